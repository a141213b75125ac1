#pragma once

#include "dialer/Modem.h"
#include "shell/SecondaryWindow.h"

#include <QIODevice>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mdlVesk {
struct Shared;
}
namespace platform {
class Prompter;
class SerialPorts;
} // namespace platform

namespace dialer {

// The phone dialer: finds the modem on COM1..COM4, dials the number in its box as a voice
// call, asks the user to pick up the handset and hangs the modem up, so that the call goes
// on on the telephone. `DialerIdle` in the shared state guards against a second dial.
class DialerWindow final : public shell::SecondaryWindow {
    Q_OBJECT
public:
    // Without serial ports no modem is ever found.
    DialerWindow(mdlVesk::Shared& shared, platform::Prompter& prompter,
                 platform::SerialPorts* ports, QWidget* owner);
    ~DialerWindow() override;

    // Starts dialling the number in the box when the dialer is idle.
    void dialIfIdle();
    // The program is ending: a call being dialled is hung up and its port closed now.
    void hangUpNow();

    void setNumber(const QString& number);
    QString number() const;

signals:
    // A dial started by the Dial button has ended, whichever way.
    void dialEnded();

protected:
    void placeOverOwner() override;
    void closeEvent(QCloseEvent* event) override;
    // Esc closes the window as its close box does.
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    // Dials the number in the box and waits for the modem, serving the event loop meanwhile.
    void dial();
    void cancelDial();

private:
    // The controls and the shared state as they are between dials.
    void becomeIdle();
    void dialNumber(const QString& digits);
    // Whether the window may close; asks first while a call is being dialled.
    bool mayClose();
    void setStatus(const QString& text);
    // Hangs up and closes the port being dialled on, if any.
    void releasePort();

    mdlVesk::Shared& m_shared;
    platform::Prompter& m_prompter;
    platform::SerialPorts* m_ports;
    Modem m_modem;
    std::unique_ptr<QIODevice> m_port; // the port being dialled on
    bool m_running = false;            // dial() is on the stack
    bool m_closeWhenDone = false;      // closed during a dial: closes once it has unwound

    QLineEdit* m_numberBox = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_dialButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_quitButton = nullptr;
};

} // namespace dialer
