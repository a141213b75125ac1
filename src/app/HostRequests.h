#pragma once

#include <QObject>

namespace app {

class MainWindow;

// Requests that reach the running program from outside its windows: a later start in the
// same folder asks it to come forward; the desktop session (or the terminal) asks it to
// end. Both are served the way the user would do it by hand.
class HostRequests final : public QObject {
    Q_OBJECT
public:
    explicit HostRequests(MainWindow& window, QObject* parent = nullptr);

    // The main window has finished loading; an end asked for meanwhile happens now.
    void windowLoaded();

    // Shows the main window whatever state it is in (hidden in the notification area,
    // minimised, behind others) and makes it the active window; a message box the program
    // is waiting on comes forward with it.
    void bringForward();
    // Answers every open message box as its close button would, then closes the main
    // window, which runs its unload step as the close box does.
    void end();

private:
    void closeWhenIdle();

    MainWindow& m_window;
    bool m_loaded = false;
    bool m_endRequested = false;
};

} // namespace app
