#include "update/VersionCheckWindow.h"

#include "i18n/Messages.h"
#include "orvenna/Config.h"
#include "platform/Connectivity.h"
#include "platform/Prompter.h"
#include "shell/Shared.h"
#include "store/Text.h"
#include "update/InstallerFile.h"
#include "update/Transfer.h"
#include "update/VersionPage.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVersionNumber>

namespace update {

namespace msg = i18n::messages;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::Message;

namespace {
// The longest version page read; a longer one is no version page.
constexpr qint64 pageLimit = 1 << 20;
// The design, in twips: the collapsed window, the details it grows by, and its controls.
constexpr int clientWidth = 6240;
constexpr int collapsedHeight = 1390;
constexpr int detailsHeight = 3400;
constexpr int statusHeight = 330;
struct Box {
    int left, top, width, height;
};
constexpr Box headingBox{240, 120, 5760, 300};
constexpr Box verCheckBox{240, 540, 1800, 400};
constexpr Box downloadBox{2160, 540, 2160, 400};
constexpr Box showBox{4440, 540, 1560, 400};
constexpr Box frameBox{240, 1060, 5760, 2760};
constexpr int rowTop = 300, rowStep = 480, labelWidth = 2000, boxLeft = 2220, boxWidth = 3360;

const char* const boxNames[] = {"txtAppName", "txtAppVer", "txtVerDate", "txtVerSize",
                                "txtDownloadUrl"};
const char* const captions[] = {
    "Application Name:", "Application Version:", "Version Date:", "Version Size:", "Download:"};

// The program's own version, as the page's version is compared with it.
QString ownVersion() {
    const QVersionNumber v =
        QVersionNumber::fromString(QString::fromLatin1(orvenna::config::version));
    return QStringLiteral("%1.%2.%3")
        .arg(v.majorVersion())
        .arg(v.minorVersion())
        .arg(v.microVersion());
}
} // namespace

VersionCheckWindow::VersionCheckWindow(mdlVesk::Shared& shared, const shell::Services& services,
                                       QAction* menuItem, QWidget* owner)
    : SecondaryWindow(owner), m_shared(shared), m_services(services), m_menuItem(menuItem),
      m_base(serverBase(services.settings)),
      m_transfer(new Transfer(services.transferTimeout, this)) {
    setObjectName(QStringLiteral("frmVerCheck"));
    setWindowTitle(QStringLiteral("Version Check"));
    buildControls();
    placeControls();
    m_delayTimer.setObjectName(QStringLiteral("tmrDelay"));
    m_progressTimer.setObjectName(QStringLiteral("tmrAudit"));
    connect(&m_delayTimer, &QTimer::timeout, this, &VersionCheckWindow::checkNow);
    connect(&m_progressTimer, &QTimer::timeout, this, &VersionCheckWindow::showReceivingProgress);
    connect(m_transfer, &Transfer::stateChanged, this, &VersionCheckWindow::showTransferState);
    connect(m_transfer, &Transfer::finished, this, [this] {
        if (m_file)
            downloadArrived();
        else
            pageArrived();
    });
    connect(m_checkButton, &QPushButton::clicked, this, &VersionCheckWindow::checkNow);
    connect(m_downloadButton, &QPushButton::clicked, this, &VersionCheckWindow::download);
    connect(m_cancelButton, &QPushButton::clicked, this, &VersionCheckWindow::cancelDownload);
    connect(m_detailsButton, &QPushButton::clicked, this, &VersionCheckWindow::toggleDetails);
}

VersionCheckWindow::~VersionCheckWindow() {
    unload();
}

void VersionCheckWindow::buildControls() {
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    m_heading = new QLabel(QStringLiteral("Check for availlable Version Updae"), this);
    m_heading->setObjectName(QStringLiteral("lblHeading"));
    m_checkButton = button("cmdVerCheck", "Check Version...");
    m_downloadButton = button("cmdDownload", "Download Update");
    m_cancelButton = button("cmdCancel", "Cancel Downloading");
    m_detailsButton = button("cmdShow", "Show >>");
    m_details = new QFrame(this);
    m_details->setObjectName(QStringLiteral("Frame1"));
    m_details->setFrameShape(QFrame::StyledPanel);
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        auto* label = new QLabel(QString::fromLatin1(captions[i]), m_details);
        m_boxes[i] = new QLineEdit(m_details);
        m_boxes[i]->setObjectName(QString::fromLatin1(boxNames[i]));
        // Read-only to the user, but the text can still be selected and copied.
        m_boxes[i]->setReadOnly(true);
        label->setBuddy(m_boxes[i]);
        m_boxes[i]->setAccessibleName(label->text());
    }
    m_statusBar = new QFrame(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setFrameShape(QFrame::StyledPanel);
    m_statusPanel = new QLabel(m_statusBar);
    // What the panel says is its name to a screen reader; what it is, its description.
    m_statusPanel->setAccessibleDescription(QStringLiteral("Status"));
    auto* bar = new QHBoxLayout(m_statusBar);
    bar->setContentsMargins(4, 0, 4, 0);
    bar->addWidget(m_statusPanel);
}

void VersionCheckWindow::placeControls() {
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    auto px = [dpi](int twips) { return (twips * dpi + 720) / 1440; };
    // The details move things by the same number of pixels whatever the rounding elsewhere.
    const int grown = m_detailsShown ? px(detailsHeight) : 0;
    auto place = [&](QWidget* w, const Box& b, int down = 0) {
        w->setGeometry(px(b.left), px(b.top) + down, px(b.width), px(b.height));
    };
    const int height = px(collapsedHeight) + grown;
    setFixedSize(px(clientWidth), height);
    place(m_heading, headingBox);
    place(m_checkButton, verCheckBox);
    place(m_downloadButton, downloadBox);
    place(m_cancelButton, downloadBox);
    place(m_detailsButton, showBox, grown);
    place(m_details, frameBox);
    const auto labels = m_details->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        const int top = rowTop + i * rowStep;
        place(labels[i], {120, top, labelWidth, 300});
        place(m_boxes[size_t(i)], {boxLeft, top - 30, boxWidth, 330});
    }
    m_details->setVisible(m_detailsShown);
    m_statusBar->setGeometry(0, height - px(statusHeight), px(clientWidth), px(statusHeight));
}

void VersionCheckWindow::setStatus(const QString& text) {
    m_statusPanel->setText(text);
}

std::optional<Answer> VersionCheckWindow::ask(const Message& message) {
    const QPointer<VersionCheckWindow> self(this);
    const Answer answer = m_services.prompter.ask(message);
    if (!self || m_unloaded)
        return std::nullopt;
    return answer;
}

void VersionCheckWindow::load() {
    m_delayTimer.setInterval(500);
    m_delayTimer.start();
    m_progressTimer.setInterval(1000);
    m_progressTimer.stop();
    m_downloadButton->setEnabled(false);
    m_cancelButton->hide();
    m_detailsShown = false;
    if (m_menuItem)
        m_menuItem->setEnabled(false);
}

void VersionCheckWindow::unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_delayTimer.stop();
    m_progressTimer.stop();
    // A download under way stops here; its unfinished file goes with it.
    m_transfer->abandon();
    m_file.reset();
    if (m_menuItem)
        m_menuItem->setEnabled(true);
}

void VersionCheckWindow::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

void VersionCheckWindow::reject() {
    close();
}

void VersionCheckWindow::checkNow() {
    m_delayTimer.stop();
    checkVersion();
}

void VersionCheckWindow::checkVersion() {
    if (m_unloaded || m_transfer->busy())
        return;
    for (QLineEdit* box : m_boxes)
        box->clear();
    setStatus({});
    m_checkButton->setEnabled(false);
    m_delayTimer.stop();
    if (m_services.connectivity && !m_services.connectivity->connected()) {
        setStatus(msg::notConnected());
        if (!isVisible()) {
            close();
            return;
        }
        if (ask({msg::connectFirst(), msg::notConnected(), Buttons::Ok, Icon::Information}))
            m_checkButton->setEnabled(true);
        return;
    }
    m_transfer->fetch(pageUrl(m_base), pageLimit);
}

void VersionCheckWindow::pageArrived() {
    const QString page = QString::fromUtf8(m_transfer->body());
    if (!m_transfer->succeeded() || !isValidPage(page)) {
        setStatus(msg::connectionFailed());
        if (!isVisible()) {
            close();
            return;
        }
        if (ask({msg::connectionFailedReasons(m_base.host(), m_shared.CrLf),
                 msg::connectionFailed(), Buttons::Ok, Icon::Information}))
            m_checkButton->setEnabled(true);
        return;
    }
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        m_boxes[i]->setText(*pageValue(page, QString::fromLatin1(pageLabels[i])));
        m_boxes[i]->setCursorPosition(0); // a long address shows its beginning
    }
    m_shared.LastCheckMonth = m_services.today().month();

    if (!isNewer(m_boxes[AppVersion]->text(), ownVersion())) {
        if (isVisible() && !ask({msg::noNewSoftware(), m_shared.AppTitle}))
            return;
        close();
        return;
    }
    const bool hidden = !isVisible();
    const auto answer = ask({msg::newVersionAvailable(), msg::downloadConfirmation(),
                             Buttons::OkCancel, Icon::Information});
    if (!answer)
        return;
    m_downloadButton->setEnabled(true);
    if (*answer == Answer::Ok) {
        if (hidden) {
            showNormal();
            raise();
            activateWindow();
        }
        // The download ends as a check does: status cleared, the check button enabled.
        download();
        return;
    }
    if (hidden) {
        close();
        return;
    }
    setStatus({});
    m_checkButton->setEnabled(true);
}

void VersionCheckWindow::download() {
    if (m_unloaded || m_transfer->busy())
        return;
    m_downloadUrl = store::trimSpaces(m_boxes[DownloadUrl]->text());
    const auto name = downloadFileName(m_downloadUrl);
    const QString folder = m_shared.programFolder + QStringLiteral("Update") + QDir::separator();
    m_checkButton->setEnabled(false);
    m_downloadButton->hide();
    m_cancelButton->show();
    m_progressTimer.start();
    m_cancelRequested = false;
    m_dotPhase = 1;
    // A name that would leave the folder is no name: nothing is fetched or written.
    if (!name) {
        refuseDownload(msg::downloadNameRefused(m_downloadUrl));
        return;
    }
    if (!QDir().mkpath(folder)) {
        refuseDownload(msg::folderNotCreated(folder));
        return;
    }
    // The installer streams into a file of its own in the folder, which takes the installer's
    // name only when complete.
    m_fileName = *name;
    m_file = std::make_unique<InstallerFile>(folder, m_fileName);
    if (!m_file->open()) {
        refuseDownload(msg::fileNotWritten(m_file->fileName()));
        return;
    }
    m_transfer->fetch(QUrl(m_downloadUrl), m_file->device());
}

void VersionCheckWindow::downloadArrived() {
    if (m_cancelRequested) {
        endDownload();
        return;
    }
    if (m_transfer->sinkFailed()) {
        refuseDownload(msg::fileNotWritten(m_file->fileName()));
        return;
    }
    if (m_lastState != Transfer::State::ResponseReceived &&
        m_lastState != Transfer::State::Completed) {
        if (ask({msg::downloadError(m_transfer->responseValue(), int(m_lastState), m_shared.CrLf),
                 msg::downloadErrorCaption(), Buttons::Ok, Icon::Information}))
            endDownload();
        return;
    }
    const qint64 received = m_transfer->bytesReceived();
    setStatus(msg::downloadFrom(m_downloadUrl, received));
    if (received < 3) {
        m_file.reset();
        setStatus(msg::wrongBufferSize());
        if (ask({msg::wrongBufferSize(), m_shared.AppTitle}))
            endDownload();
        return;
    }
    setStatus(msg::savingTo(m_fileName, received));
    const QString path = m_file->fileName();
    if (!m_file->commit()) {
        refuseDownload(msg::fileNotWritten(path));
        return;
    }
    m_file.reset();
    if (ask({msg::downloadFinished(path, m_fileName, m_shared.CrLf), msg::downloadFinishCaption(),
             Buttons::Ok, Icon::Information}))
        endDownload();
}

// A download that could not be stored is reported, never taken for a finished one.
void VersionCheckWindow::refuseDownload(const QString& reason) {
    m_file.reset();
    if (ask({msg::downloadNotSaved(reason, m_shared.CrLf), msg::downloadErrorCaption(), Buttons::Ok,
             Icon::Information}))
        endDownload();
}

void VersionCheckWindow::endDownload() {
    m_file.reset();
    m_cancelButton->hide();
    m_downloadButton->show();
    m_checkButton->setEnabled(true);
    m_progressTimer.stop();
    setStatus({});
}

void VersionCheckWindow::cancelDownload() {
    const auto answer =
        ask({msg::cancelDownloading(), msg::cancelConfirmation(), Buttons::YesNo, Icon::Critical});
    if (answer != Answer::Yes)
        return;
    m_progressTimer.stop();
    m_cancelRequested = true;
    m_transfer->cancel();
}

void VersionCheckWindow::toggleDetails() {
    m_detailsShown = !m_detailsShown;
    m_detailsButton->setText(m_detailsShown ? QStringLiteral("<< Hide")
                                            : QStringLiteral("Show >>"));
    placeControls();
}

void VersionCheckWindow::showReceivingProgress() {
    if (m_dotPhase < 1 || m_dotPhase > 3)
        return;
    setStatus(msg::receivingData(m_dotPhase));
    m_dotPhase = m_dotPhase % 3 + 1;
}

void VersionCheckWindow::showTransferState(Transfer::State state) {
    m_lastState = state;
    const QString text = msg::transferState(int(state));
    if (!text.isNull())
        setStatus(text);
}

void HiddenVersionCheck::VersionCheck() {
    if (!m_load)
        return;
    if (VersionCheckWindow* window = m_load())
        window->checkVersion();
}

} // namespace update
