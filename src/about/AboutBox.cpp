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
    : shell::SecondaryWindow(owner), m_title(appTitle), m_crlf(crlf), m_prompter(prompter),
      m_shell(shell) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildControls();
    connect(cmdOK, &QPushButton::clicked, this, &AboutBox::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutBox::cmdSysInfo_Click);
    connect(lblWeb, &QPushButton::clicked, this, &AboutBox::lblWeb_Click);
    connect(lblMail, &QPushButton::clicked, this, &AboutBox::lblMail_Click);
    Form_Load();
}

void AboutBox::buildControls() {
    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    lblTitle->setFont(big);
    lblDescription = new QLabel(this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    lblDisclaimer = new QLabel(this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);
    lblWeb = link(this, QStringLiteral("lblWeb"), QString::fromUtf8(orvenna::config::vendorSite));
    lblMail =
        link(this, QStringLiteral("lblMail"), QString::fromUtf8(orvenna::config::supportMail));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblDescription);
    text->addWidget(separator(this, QStringLiteral("Line1")));
    text->addWidget(lblWeb, 0, Qt::AlignLeft);
    text->addWidget(lblMail, 0, Qt::AlignLeft);
    text->addWidget(separator(this, QStringLiteral("Line2")));
    text->addWidget(lblDisclaimer);
    auto* pictures = new QVBoxLayout;
    pictures->addWidget(image(this, QStringLiteral("Image1"), 48));
    pictures->addStretch();
    pictures->addWidget(image(this, QStringLiteral("Image2"), 24), 0, Qt::AlignHCenter);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    auto* all = new QHBoxLayout(this);
    all->addLayout(pictures);
    all->addLayout(text, 1);
    all->addLayout(buttons);
}

QString AboutBox::versionText(const QString& version) {
    const QVersionNumber v = QVersionNumber::fromString(version);
    return QStringLiteral("%1.%2.%3")
        .arg(v.majorVersion())
        .arg(v.minorVersion())
        .arg(v.microVersion());
}

void AboutBox::Form_Load() {
    setWindowTitle(i18n::messages::aboutCaption(m_title));
    lblTitle->setText(m_title + u' ' + versionText(QString::fromUtf8(orvenna::config::version)));
    lblDescription->setText(i18n::messages::aboutDescription(m_crlf, store::SchemaVersion));
    lblDisclaimer->setText(QString());
}

void AboutBox::cmdOK_Click() {
    close();
}

void AboutBox::cmdSysInfo_Click() {
    if (m_shell)
        StartSysInfo(*m_shell, m_prompter, m_title, m_toolPath);
    else
        m_prompter.tell(i18n::messages::sysInfoUnavailable(), m_title);
}

void AboutBox::lblWeb_Click() {
    if (m_shell)
        MWebLink::OpenLink(*m_shell, lblWeb->text(), MWebLink::WebLink);
}

void AboutBox::lblMail_Click() {
    if (m_shell)
        MWebLink::OpenLink(*m_shell, lblMail->text(), MWebLink::MailLink);
}

} // namespace about
