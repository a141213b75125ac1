#pragma once

#include <QDate>
#include <QString>

#include <chrono>
#include <functional>

class QSettings;

namespace platform {
class Prompter;
class KeyboardLayout;
class TrayIcon;
class FileDialogs;
class Shell;
class Connectivity;
class SerialPorts;
} // namespace platform
namespace carddav {
class PasswordStore;
}

namespace shell {

// Starts the version check that the delay timer triggers once, a while after start.
class VersionCheckHook {
public:
    virtual ~VersionCheckHook() = default;
    virtual void VersionCheck() = 0;
};

// What the main window and the windows and libraries it opens need from the host: main()
// passes the real ones; tests pass doubles and a settings file in a temporary folder.
struct Services {
    platform::Prompter& prompter;
    platform::KeyboardLayout& keyboard;
    QSettings& settings;
    VersionCheckHook* versionCheck = nullptr;
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    // The notification-area icon; none: the window minimises like any other.
    platform::TrayIcon* tray = nullptr;
    // The program folder, ending in the platform's separator. main() works it out once from
    // the working directory; nothing else reads the working directory.
    QString programFolder{};
    // How long after start the version check waits.
    std::chrono::milliseconds versionCheckDelay{6000};
    // The file dialogs, and the desktop's links and programs; without them the commands that
    // need them do nothing.
    platform::FileDialogs* fileDialogs = nullptr;
    platform::Shell* shell = nullptr;

    // The live update: the host's network state (none: count as connected, the transfer
    // decides) and how long a transfer may go without progress before it fails.
    platform::Connectivity* connectivity = nullptr;
    std::chrono::milliseconds transferTimeout{30000};
    // Where the sync keeps the server's password; none: the system keychain.
    carddav::PasswordStore* syncPasswords = nullptr;
    // COM1..COM4 for the modem dialer; none: no modem is ever found.
    platform::SerialPorts* serialPorts = nullptr;
    // How long a long task (an address-book import) runs before its progress window, with its
    // Cancel, appears.
    std::chrono::milliseconds progressDelay{500};
};

} // namespace shell
