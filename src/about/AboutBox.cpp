#include "about/AboutBox.h"

#include "about/MWebLink.h"
#include "about/SysInfo.h"
#include "i18n/Messages.h"
#include "orvenna/Config.h"
#include "platform/Prompter.h"
#include "shell/AppIcon.h"
#include "store/Schema.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVersionNumber>

namespace about {

namespace {

QFrame* separator(QWidget* parent, const QString& name) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel* image(QWidget* parent, const QString& name, int size) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(name);
    picture->setPixmap(QPixmap::fromImage(shell::appIconImage(size)));
    picture->setAccessibleName(QStringLiteral("Orvenna"));
    return picture;
}

// A link the keyboard and assistive technology reach as a button, shown as a link.
QPushButton* link(QWidget* parent, const QString& name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    QFont font = button->font();
    font.setUnderline(true);
    button->setFont(font);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, palette.color(QPalette::Link));
    button->setPalette(palette);
    return button;
}

} // namespace

AboutBox::AboutBox(const QString& appTitle, const QString& crlf, platform::Prompter& prompter,
                   platform::Shell* shell, QWidget* owner)
    : shell::SecondaryWindow(owner), m_appTitle(appTitle), m_prompter(prompter), m_shell(shell) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(i18n::messages::aboutCaption(m_appTitle));
    buildControls(crlf);
}

void AboutBox::buildControls(const QString& crlf) {
    auto* title = new QLabel(
        m_appTitle + u' ' + versionText(QString::fromUtf8(orvenna::config::version)), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    title->setFont(big);
    auto* description =
        new QLabel(i18n::messages::aboutDescription(crlf, store::SchemaVersion), this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);
    auto* disclaimer = new QLabel(this);
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    disclaimer->setWordWrap(true);
    m_webLink =
        link(this, QStringLiteral("lblWeb"), QString::fromUtf8(orvenna::config::vendorSite));
    m_mailLink =
        link(this, QStringLiteral("lblMail"), QString::fromUtf8(orvenna::config::supportMail));
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("cmdOK"));
    okButton->setDefault(true);
    auto* sysInfoButton = new QPushButton(QStringLiteral("&System Info..."), this);
    sysInfoButton->setObjectName(QStringLiteral("cmdSysInfo"));

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(description);
    text->addWidget(separator(this, QStringLiteral("Line1")));
    text->addWidget(m_webLink, 0, Qt::AlignLeft);
    text->addWidget(m_mailLink, 0, Qt::AlignLeft);
    text->addWidget(separator(this, QStringLiteral("Line2")));
    text->addWidget(disclaimer);
    auto* pictures = new QVBoxLayout;
    pictures->addWidget(image(this, QStringLiteral("Image1"), 48));
    pictures->addStretch();
    pictures->addWidget(image(this, QStringLiteral("Image2"), 24), 0, Qt::AlignHCenter);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(sysInfoButton);
    buttons->addStretch();
    auto* all = new QHBoxLayout(this);
    all->addLayout(pictures);
    all->addLayout(text, 1);
    all->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &AboutBox::close);
    connect(sysInfoButton, &QPushButton::clicked, this, &AboutBox::startSystemInfo);
    connect(m_webLink, &QPushButton::clicked, this, &AboutBox::openWebSite);
    connect(m_mailLink, &QPushButton::clicked, this, &AboutBox::writeToSupport);
}

QString AboutBox::versionText(const QString& version) {
    const QVersionNumber v = QVersionNumber::fromString(version);
    return QStringLiteral("%1.%2.%3")
        .arg(v.majorVersion())
        .arg(v.minorVersion())
        .arg(v.microVersion());
}

void AboutBox::startSystemInfo() {
    if (m_shell)
        startSysInfo(*m_shell, m_prompter, m_appTitle);
    else
        m_prompter.tell(i18n::messages::sysInfoUnavailable(), m_appTitle);
}

void AboutBox::openWebSite() {
    if (m_shell)
        MWebLink::openOrTell(*m_shell, m_prompter, m_appTitle, m_webLink->text(),
                             MWebLink::WebLink);
}

void AboutBox::writeToSupport() {
    if (m_shell)
        MWebLink::openOrTell(*m_shell, m_prompter, m_appTitle, m_mailLink->text(),
                             MWebLink::MailLink);
}

} // namespace about
