#include "update/VersionCheckWindow.h"

#include "i18n/Messages.h"
#include "orvenna/Config.h"
#include "platform/Connectivity.h"
#include "platform/Prompter.h"
#include "shell/Shared.h"
#include "store/Text.h"
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
#include <QSaveFile>
#include <QVersionNumber>

namespace update {

namespace msg = i18n::messages;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::Message;

namespace {
// The design, in twips: the collapsed window, the details it grows by, and its controls.
constexpr int ClientWidth = 6240;
constexpr int CollapsedHeight = 1390;
constexpr int DetailsHeight = 3400;
constexpr int StatusHeight = 330;
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
} // namespace

VersionCheckWindow::VersionCheckWindow(mdlVesk::Shared& shared, const shell::Services& services,
                                       QAction* menuItem, QWidget* owner)
    : SecondaryWindow(owner), m_shared(shared), m_services(services), m_menuItem(menuItem),
      m_base(serverBase(services.settings)), Inet1(new Transfer(services.transferTimeout, this)) {
    setObjectName(QStringLiteral("frmVerCheck"));
    setWindowTitle(QStringLiteral("Version Check"));
    buildControls();
    placeControls();
    tmrDelay.setObjectName(QStringLiteral("tmrDelay"));
    tmrAudit.setObjectName(QStringLiteral("tmrAudit"));
    connect(&tmrDelay, &QTimer::timeout, this, &VersionCheckWindow::tmrDelay_Timer);
    connect(&tmrAudit, &QTimer::timeout, this, &VersionCheckWindow::tmrAudit_Timer);
    connect(Inet1, &Transfer::StateChanged, this, &VersionCheckWindow::Inet1_StateChanged);
    connect(Inet1, &Transfer::finished, this, [this] {
        if (m_file)
            downloadArrived();
        else
            pageArrived();
    });
    connect(cmdVerCheck, &QPushButton::clicked, this, &VersionCheckWindow::cmdVerCheck_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &VersionCheckWindow::cmdDownload_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &VersionCheckWindow::cmdCancel_Click);
    connect(cmdShow, &QPushButton::clicked, this, &VersionCheckWindow::cmdShow_Click);
}

VersionCheckWindow::~VersionCheckWindow() {
    Form_Unload();
}

void VersionCheckWindow::buildControls() {
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    lblHeading = new QLabel(QStringLiteral("Check for availlable Version Updae"), this);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    cmdVerCheck = button("cmdVerCheck", "Check Version...");
    cmdDownload = button("cmdDownload", "Download Update");
    cmdCancel = button("cmdCancel", "Cancel Downloading");
    cmdShow = button("cmdShow", "Show >>");
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        auto* label = new QLabel(QString::fromLatin1(captions[i]), Frame1);
        m_boxes[i] = new QLineEdit(Frame1);
        m_boxes[i]->setObjectName(QString::fromLatin1(boxNames[i]));
        // Read-only to the user, but the text can still be selected and copied.
        m_boxes[i]->setReadOnly(true);
        label->setBuddy(m_boxes[i]);
        m_boxes[i]->setAccessibleName(label->text());
    }
    StatusBar1 = new QFrame(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFrameShape(QFrame::StyledPanel);
    m_panel = new QLabel(StatusBar1);
    m_panel->setAccessibleName(QStringLiteral("Status"));
    auto* bar = new QHBoxLayout(StatusBar1);
    bar->setContentsMargins(4, 0, 4, 0);
    bar->addWidget(m_panel);
}

void VersionCheckWindow::placeControls() {
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    auto px = [dpi](int twips) { return (twips * dpi + 720) / 1440; };
    // The details move things by the same number of pixels whatever the rounding elsewhere.
    const int grown = DetailsShown ? px(DetailsHeight) : 0;
    auto place = [&](QWidget* w, const Box& b, int down = 0) {
        w->setGeometry(px(b.left), px(b.top) + down, px(b.width), px(b.height));
    };
    const int height = px(CollapsedHeight) + grown;
    setFixedSize(px(ClientWidth), height);
    place(lblHeading, headingBox);
    place(cmdVerCheck, verCheckBox);
    place(cmdDownload, downloadBox);
    place(cmdCancel, downloadBox);
    place(cmdShow, showBox, grown);
    place(Frame1, frameBox);
    const auto labels = Frame1->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        const int top = rowTop + i * rowStep;
        place(labels[i], {120, top, labelWidth, 300});
        place(m_boxes[size_t(i)], {boxLeft, top - 30, boxWidth, 330});
    }
    Frame1->setVisible(DetailsShown);
    StatusBar1->setGeometry(0, height - px(StatusHeight), px(ClientWidth), px(StatusHeight));
}

QString VersionCheckWindow::ownVersion() {
    const QVersionNumber v =
        QVersionNumber::fromString(QString::fromLatin1(orvenna::config::version));
    return QStringLiteral("%1.%2.%3")
        .arg(v.majorVersion())
        .arg(v.minorVersion())
        .arg(v.microVersion());
}

QString VersionCheckWindow::statusText() const {
    return m_panel->text();
}
bool VersionCheckWindow::downloading() const {
    return m_file != nullptr;
}
void VersionCheckWindow::setStatus(const QString& text) {
    m_panel->setText(text);
}

std::optional<Answer> VersionCheckWindow::ask(const Message& message) {
    const QPointer<VersionCheckWindow> self(this);
    const Answer answer = m_services.prompter.ask(message);
    if (!self || m_unloaded)
        return std::nullopt;
    return answer;
}

void VersionCheckWindow::Form_Load() {
    tmrDelay.setInterval(500);
    tmrDelay.start();
    tmrAudit.setInterval(1000);
    tmrAudit.stop();
    cmdDownload->setEnabled(false);
    cmdCancel->hide();
    DetailsShown = false;
    if (m_menuItem)
        m_menuItem->setEnabled(false);
}

void VersionCheckWindow::Form_Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    tmrDelay.stop();
    tmrAudit.stop();
    // A download under way stops here; its unfinished file goes with it.
    Inet1->abandon();
    m_file.reset();
    if (m_menuItem)
        m_menuItem->setEnabled(true);
}

void VersionCheckWindow::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void VersionCheckWindow::reject() {
    close();
}

void VersionCheckWindow::tmrDelay_Timer() {
    tmrDelay.stop();
    VersionCheck();
}

void VersionCheckWindow::cmdVerCheck_Click() {
    tmrDelay.stop();
    VersionCheck();
}

void VersionCheckWindow::VersionCheck() {
    if (m_unloaded || Inet1->busy())
        return;
    for (QLineEdit* box : m_boxes)
        box->clear();
    setStatus({});
    cmdVerCheck->setEnabled(false);
    tmrDelay.stop();
    if (m_services.connectivity && !m_services.connectivity->connected()) {
        setStatus(msg::notConnected());
        if (!isVisible()) {
            close();
            return;
        }
        if (ask({msg::connectFirst(), msg::notConnected(), Buttons::Ok, Icon::Information}))
            cmdVerCheck->setEnabled(true);
        return;
    }
    Inet1->fetch(pageUrl(m_base));
}

void VersionCheckWindow::pageArrived() {
    PageText = QString::fromUtf8(Inet1->body());
    if (!Inet1->succeeded() || !IsValidPage(PageText)) {
        setStatus(msg::connectionFailed());
        if (!isVisible()) {
            close();
            return;
        }
        if (ask({msg::connectionFailedReasons(m_base.host(), m_shared.CrLf),
                 msg::connectionFailed(), Buttons::Ok, Icon::Information}))
            cmdVerCheck->setEnabled(true);
        return;
    }
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        m_boxes[i]->setText(*GetPageValue(PageText, QString::fromLatin1(pageLabels[i])));
        m_boxes[i]->setCursorPosition(0); // a long address shows its beginning
    }
    m_shared.LastCheckMonth = m_services.today().month();

    if (!isNewer(m_boxes[1]->text(), ownVersion())) {
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
    cmdDownload->setEnabled(true);
    if (*answer == Answer::Ok) {
        if (hidden) {
            showNormal();
            raise();
            activateWindow();
        }
        // The download ends as a check does: status cleared, the check button enabled.
        cmdDownload_Click();
        return;
    }
    if (hidden) {
        close();
        return;
    }
    setStatus({});
    cmdVerCheck->setEnabled(true);
}

void VersionCheckWindow::cmdDownload_Click() {
    if (m_unloaded || Inet1->busy())
        return;
    m_downloadUrl = store::trimSpaces(m_boxes[4]->text());
    const auto name = downloadFileName(m_downloadUrl);
    const QString folder = m_shared.programFolder + QStringLiteral("Update") + QDir::separator();
    cmdVerCheck->setEnabled(false);
    cmdDownload->hide();
    cmdCancel->show();
    tmrAudit.start();
    CancelRequested = false;
    DotPhase = 1;
    // A name that would leave the folder is no name: nothing is fetched or written.
    if (!name) {
        setStatus(msg::wrongBufferSize());
        if (ask({msg::wrongBufferSize(), m_shared.AppTitle}))
            endDownload();
        return;
    }
    if (!QDir().mkpath(folder)) {
        refuseDownload(msg::folderNotCreated(folder));
        return;
    }
    // The installer streams into a temporary file beside its own name, which it takes only
    // when complete.
    m_fileName = *name;
    m_file = std::make_unique<QSaveFile>(folder + m_fileName);
    if (!m_file->open(QIODevice::WriteOnly)) {
        refuseDownload(msg::fileNotWritten(m_file->fileName()));
        return;
    }
    Inet1->fetch(QUrl(m_downloadUrl), m_file.get());
}

void VersionCheckWindow::downloadArrived() {
    if (CancelRequested) {
        endDownload();
        return;
    }
    if (Inet1->sinkFailed()) {
        refuseDownload(msg::fileNotWritten(m_file->fileName()));
        return;
    }
    if (m_lastInetState != 8 && m_lastInetState != 12) {
        if (ask({msg::downloadError(Inet1->responseValue(), m_lastInetState, m_shared.CrLf),
                 msg::downloadErrorCaption(), Buttons::Ok, Icon::Information}))
            endDownload();
        return;
    }
    const qint64 received = Inet1->bytesReceived();
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
    cmdCancel->hide();
    cmdDownload->show();
    cmdVerCheck->setEnabled(true);
    tmrAudit.stop();
    setStatus({});
}

void VersionCheckWindow::cmdCancel_Click() {
    const auto answer =
        ask({msg::cancelDownloading(), msg::cancelConfirmation(), Buttons::YesNo, Icon::Critical});
    if (answer != Answer::Yes)
        return;
    tmrAudit.stop();
    CancelRequested = true;
    Inet1->cancel();
}

void VersionCheckWindow::cmdShow_Click() {
    DetailsShown = !DetailsShown;
    cmdShow->setText(DetailsShown ? QStringLiteral("<< Hide") : QStringLiteral("Show >>"));
    placeControls();
}

void VersionCheckWindow::tmrAudit_Timer() {
    if (DotPhase < 1 || DotPhase > 3)
        return;
    setStatus(msg::receivingData(DotPhase));
    DotPhase = DotPhase % 3 + 1;
}

void VersionCheckWindow::Inet1_StateChanged(int State) {
    m_lastInetState = State;
    const QString text = msg::transferState(State);
    if (!text.isNull())
        setStatus(text);
}

void HiddenVersionCheck::VersionCheck() {
    if (!m_load)
        return;
    if (VersionCheckWindow* window = m_load())
        window->VersionCheck();
}

} // namespace update
