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
constexpr int numberMaxLength = 255;
} // namespace

DialerWindow::DialerWindow(mdlVesk::Shared& shared, platform::Prompter& prompter,
                           platform::SerialPorts* ports, QWidget* owner)
    : shell::SecondaryWindow(owner), m_shared(shared), m_prompter(prompter), m_ports(ports) {
    setObjectName(QStringLiteral("frmDialer"));
    setWindowTitle(msg::dialerCaption());

    m_numberBox = new QLineEdit(this);
    m_numberBox->setObjectName(QStringLiteral("txtNumber"));
    m_numberBox->setMaxLength(numberMaxLength);
    // A phone number reads left to right whatever the interface's direction.
    m_numberBox->setLayoutDirection(Qt::LeftToRight);
    m_numberBox->setAccessibleName(QStringLiteral("Number"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("txtStatus"));
    m_status->setMinimumWidth(320);
    // What the label says is its name to a screen reader; what it is, its description.
    m_status->setAccessibleDescription(QStringLiteral("Status"));

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    m_dialButton = button("cmdDial", QStringLiteral("Dial"));
    m_cancelButton = button("cmdCancel", QStringLiteral("Cancel"));
    m_quitButton = button("cmdQuit", QStringLiteral("Quit"));
    m_dialButton->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_numberBox, 0, 0);
    grid->addWidget(m_status, 1, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {m_dialButton, m_cancelButton, m_quitButton})
        buttons->addWidget(b);
    grid->addLayout(buttons, 2, 0);

    connect(m_dialButton, &QPushButton::clicked, this, &DialerWindow::dial);
    connect(m_cancelButton, &QPushButton::clicked, this, &DialerWindow::cancelDial);
    connect(m_quitButton, &QPushButton::clicked, this, &DialerWindow::close);
    becomeIdle();
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
    m_numberBox->setText(number);
}
QString DialerWindow::number() const {
    return m_numberBox->text();
}
void DialerWindow::setStatus(const QString& text) {
    m_status->setText(text);
}

void DialerWindow::dialIfIdle() {
    if (m_shared.DialerIdle && !m_running) {
        becomeIdle();
        dial();
    }
}

void DialerWindow::becomeIdle() {
    m_numberBox->setEnabled(true);
    m_dialButton->setEnabled(true);
    m_quitButton->setEnabled(true);
    m_cancelButton->setEnabled(false);
    m_shared.DialerIdle = true;
    setStatus(msg::dialReady());
}

void DialerWindow::dial() {
    if (m_running)
        return;
    m_running = true;
    m_numberBox->setEnabled(false);
    m_dialButton->setEnabled(false);
    m_quitButton->setEnabled(false);
    m_cancelButton->setEnabled(true);
    m_shared.DialerIdle = false;

    const QString digits = digitsOf(m_numberBox->text());
    if (digits.isEmpty()) {
        QApplication::beep();
        m_prompter.tell(msg::numberNotValid(), m_shared.AppTitle);
    } else {
        dialNumber(digits);
    }
    becomeIdle();
    m_running = false;
    emit dialEnded();
    if (m_closeWhenDone)
        close();
}

void DialerWindow::dialNumber(const QString& digits) {
    const QByteArray command = dialCommand(digits);
    setStatus(msg::searchingForModem());
    const int port = m_ports ? findModem(*m_ports, m_modem) : 0;
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
    const QString dialing = msg::dialing(command, port);
    setStatus(dialing);
    // The modem's other answers (BUSY, NO DIALTONE) do not end the wait; they tell the user why
    // nothing happens.
    auto showAnswer = [&](const QString& answer) {
        setStatus(dialing + u' ' + msg::modemAnswered(answer));
    };
    if (m_modem.dial(*m_port, command, showAnswer) == Modem::DialResult::Answered && m_port) {
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

void DialerWindow::cancelDial() {
    if (!m_running)
        return;
    m_modem.cancel();
    m_cancelButton->setEnabled(false);
    setStatus({});
    m_shared.DialerIdle = true;
}

bool DialerWindow::mayClose() {
    if (m_shared.DialerIdle)
        return true;
    const platform::Message ask{msg::quitDialer(), msg::dialerWarning(),
                                platform::Buttons::OkCancel, platform::Icon::Critical};
    if (m_prompter.ask(ask) != platform::Answer::Ok)
        return false;
    cancelDial();
    m_shared.DialerIdle = true;
    return true;
}

void DialerWindow::closeEvent(QCloseEvent* event) {
    if (!mayClose()) {
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
