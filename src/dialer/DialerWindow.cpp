#include "dialer/DialerWindow.h"

#include "i18n/Messages.h"
#include "platform/Prompter.h"
#include "platform/SerialPorts.h"
#include "shell/Placement.h"
#include "shell/Shared.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace dialer {

namespace msg = i18n::messages;

namespace {
// The number box holds at most what the digit filter ever counted.
constexpr int NumberMaxLength = 255;
} // namespace

DialerWindow::DialerWindow(mdlVesk::Shared& shared, platform::Prompter& prompter,
                           platform::SerialPorts* ports, QWidget* owner)
    : shell::SecondaryWindow(owner), m_shared(shared), m_prompter(prompter), m_ports(ports) {
    setObjectName(QStringLiteral("frmDialer"));
    setWindowTitle(msg::dialerCaption());

    txtNumber = new QLineEdit(this);
    txtNumber->setObjectName(QStringLiteral("txtNumber"));
    txtNumber->setMaxLength(NumberMaxLength);
    // A phone number reads left to right whatever the interface's direction.
    txtNumber->setLayoutDirection(Qt::LeftToRight);
    txtNumber->setAccessibleName(QStringLiteral("Number"));
    txtStatus = new QLabel(this);
    txtStatus->setObjectName(QStringLiteral("txtStatus"));
    txtStatus->setMinimumWidth(320);
    txtStatus->setAccessibleName(QStringLiteral("Status"));

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    cmdDial = button("cmdDial", QStringLiteral("Dial"));
    cmdCancel = button("cmdCancel", QStringLiteral("Cancel"));
    cmdQuit = button("cmdQuit", QStringLiteral("Quit"));
    cmdDial->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(txtNumber, 0, 0);
    grid->addWidget(txtStatus, 1, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdDial, cmdCancel, cmdQuit})
        buttons->addWidget(b);
    grid->addLayout(buttons, 2, 0);

    connect(cmdDial, &QPushButton::clicked, this, &DialerWindow::cmdDial_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &DialerWindow::cmdCancel_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &DialerWindow::cmdQuit_Click);
    RelDialer();
}

DialerWindow::~DialerWindow() {
    // Never leave the modem off-hook, whatever ends the window.
    releasePort();
}

void DialerWindow::placeOverOwner() {
    if (const QWidget* owner = parentWidget())
        shell::placeAtCentreOf(*this, *owner);
}

void DialerWindow::setNumber(const QString& number) {
    txtNumber->setText(number);
}
QString DialerWindow::number() const {
    return txtNumber->text();
}
QString DialerWindow::status() const {
    return txtStatus->text();
}
void DialerWindow::setStatus(const QString& text) {
    txtStatus->setText(text);
}

void DialerWindow::Form_Activate() {
    if (m_shared.DialerIdle && !m_running) {
        RelDialer();
        cmdDial_Click();
    }
}

void DialerWindow::RelDialer() {
    txtNumber->setEnabled(true);
    cmdDial->setEnabled(true);
    cmdQuit->setEnabled(true);
    cmdCancel->setEnabled(false);
    m_shared.DialerIdle = true;
    setStatus(msg::dialReady());
}

void DialerWindow::cmdDial_Click() {
    if (m_running)
        return;
    m_running = true;
    txtNumber->setEnabled(false);
    cmdDial->setEnabled(false);
    cmdQuit->setEnabled(false);
    cmdCancel->setEnabled(true);
    m_shared.DialerIdle = false;

    const QString digits = digitsOf(txtNumber->text());
    if (digits.isEmpty()) {
        QApplication::beep();
        m_prompter.tell(msg::numberNotValid(), m_shared.AppTitle);
    } else {
        DialNumber(digits);
    }
    RelDialer();
    m_running = false;
    emit dialEnded();
    if (m_closeWhenDone)
        close();
}

int DialerWindow::FindModem() {
    return m_ports ? dialer::FindModem(*m_ports, m_modem) : 0;
}

void DialerWindow::DialNumber(const QString& digits) {
    const QByteArray command = dialCommand(digits);
    setStatus(msg::searchingForModem());
    const int port = FindModem();
    if (m_modem.cancelled()) {
        // Cancelled while searching: nothing is dialled.
        m_modem.clearCancel();
        return;
    }
    if (port == 0) {
        m_prompter.tell(msg::noModemDetected(), m_shared.AppTitle);
        return;
    }
    m_port = m_ports->open(port);
    if (!m_port) {
        m_prompter.tell(msg::portNotAvailable(port), m_shared.AppTitle);
        return;
    }
    setStatus(msg::dialing(command, port));
    if (m_modem.dial(*m_port, command) == Modem::DialResult::Answered && m_port) {
        QApplication::beep();
        m_prompter.tell(msg::pickUpPhone(), m_shared.AppTitle);
    }
    releasePort();
}

void DialerWindow::releasePort() {
    if (!m_port)
        return;
    Modem::hangUp(*m_port);
    m_port->close();
    m_port.reset();
}

void DialerWindow::hangUpNow() {
    if (!m_running)
        return;
    m_modem.cancel();
    releasePort();
    m_shared.DialerIdle = true;
}

void DialerWindow::cmdCancel_Click() {
    if (!m_running)
        return;
    m_modem.cancel();
    cmdCancel->setEnabled(false);
    setStatus({});
    m_shared.DialerIdle = true;
}

void DialerWindow::cmdQuit_Click() {
    close();
}

bool DialerWindow::Form_QueryUnload() {
    if (m_shared.DialerIdle)
        return true;
    const platform::Message ask{msg::quitDialer(), msg::dialerWarning(),
                                platform::Buttons::OkCancel, platform::Icon::Critical};
    if (m_prompter.ask(ask) != platform::Answer::Ok)
        return false;
    cmdCancel_Click();
    m_shared.DialerIdle = true;
    return true;
}

void DialerWindow::closeEvent(QCloseEvent* event) {
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    if (m_running) {
        // The dial is still on the stack: the window goes out of sight now and closes once
        // the dial has hung up and unwound.
        m_closeWhenDone = true;
        hide();
        event->ignore();
        return;
    }
    event->accept();
}

void DialerWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    SecondaryWindow::keyPressEvent(event);
}

} // namespace dialer
