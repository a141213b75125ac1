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
    void Form_Activate();
    void cmdDial_Click();
    void cmdCancel_Click();
    void cmdQuit_Click();
    // Whether the window may close; asks first while a call is being dialled.
    bool Form_QueryUnload();
    void RelDialer();
    int FindModem();
    void DialNumber(const QString& digits);
    // The program is ending: a call being dialled is hung up and its port closed now.
    void hangUpNow();

    void setNumber(const QString& number);
    QString number() const;
    QString status() const;

signals:
    // A dial started by the Dial button has ended, whichever way.
    void dialEnded();

protected:
    void placeOverOwner() override;
    void closeEvent(QCloseEvent* event) override;
    // Esc closes the window as its close box does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setStatus(const QString& text);
    // Hangs up and closes the port being dialled on, if any.
    void releasePort();

    mdlVesk::Shared& m_shared;
    platform::Prompter& m_prompter;
    platform::SerialPorts* m_ports;
    Modem m_modem;
    std::unique_ptr<QIODevice> m_port; // the port being dialled on
    bool m_running = false;            // cmdDial_Click is on the stack
    bool m_closeWhenDone = false;      // closed during a dial: closes once it has unwound

    QLineEdit* txtNumber = nullptr;
    QLabel* txtStatus = nullptr;
    QPushButton* cmdDial = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdQuit = nullptr;
};

} // namespace dialer
