#pragma once

#include <QDate>

#include <functional>

class QSettings;

namespace platform {
class Prompter;
class KeyboardLayout;
class TrayIcon;
} // namespace platform

namespace app {

// Starts the version check that the delay timer triggers once, six seconds after start.
class VersionCheckHook {
public:
    virtual ~VersionCheckHook() = default;
    virtual void VersionCheck() = 0;
};

// What the main window needs from the host. main() passes the real ones; tests pass
// doubles and a settings file in a temporary folder.
struct Services {
    platform::Prompter& prompter;
    platform::KeyboardLayout& keyboard;
    QSettings& settings;
    VersionCheckHook* versionCheck = nullptr;
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    // The notification-area icon; none: the window minimises like any other.
    platform::TrayIcon* tray = nullptr;
};

} // namespace app
