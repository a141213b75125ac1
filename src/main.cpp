#include "app/HostRequests.h"
#include "app/MainWindow.h"
#include "app/ProgramFolder.h"
#include "app/SingleInstance.h"
#include "i18n/Messages.h"
#include "platform/EndSignals.h"
#include "platform/HostConnectivity.h"
#include "platform/HostKeyboardLayout.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtPrompter.h"
#include "platform/QtSerialPorts.h"
#include "platform/QtShell.h"
#include "platform/QtTrayIcon.h"
#include "shell/Shared.h"
#include "update/VersionCheckWindow.h"

#include <QApplication>
#include <QDir>
#include <QSettings>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(i18n::messages::appTitle());
    QApplication::setApplicationName(i18n::messages::appTitle());
    QGuiApplication::setDesktopFileName(QStringLiteral("example.orvenna.Orvenna"));
    // The program ends when the main window unloads, not when its last window closes: the
    // main window may be hidden in the notification area.
    QApplication::setQuitOnLastWindowClosed(false);
    // From here on the session's and the terminal's requests to end close the program
    // normally, so that its settings are written.
    platform::EndSignals endSignals;

    // One program per folder: a second start brings the first one forward and ends.
    const QString programFolder =
        app::programFolderFor(QDir::toNativeSeparators(QDir::currentPath()), QDir::separator());
    app::SingleInstance instance(programFolder);
    if (instance.claim() == app::SingleInstance::Role::Second) {
        if (instance.activateFirst())
            return 0;
        qWarning("Orvenna is already running in this folder and does not answer.");
        return 1;
    }

    mdlVesk::Shared shared;
    platform::QtPrompter prompter;
    platform::HostKeyboardLayout keyboard;
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, i18n::messages::appTitle(),
                       i18n::messages::appTitle());
    platform::QtTrayIcon tray;
    shell::Services services{prompter, keyboard, settings};
    services.tray = &tray;
    services.programFolder = programFolder;
    platform::QtFileDialogs fileDialogs;
    platform::QtShell desktop;
    services.fileDialogs = &fileDialogs;
    services.shell = &desktop;
    platform::HostConnectivity connectivity;
    services.connectivity = &connectivity;
    // The check a while after start runs on the main window's own version window.
    update::HiddenVersionCheck versionCheck;
    services.versionCheck = &versionCheck;
    platform::QtSerialPorts serialPorts(settings);
    services.serialPorts = &serialPorts;
    app::MainWindow window(shared, services);
    fileDialogs.setParent(&window);
    versionCheck.setLoader([&window] { return window.loadVersionWindow(); });
    QObject::connect(&window, &app::MainWindow::unloaded, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    app::HostRequests requests(window);
    QObject::connect(&instance, &app::SingleInstance::activationRequested, &requests,
                     &app::HostRequests::bringForward);
    QObject::connect(&endSignals, &platform::EndSignals::endRequested, &requests,
                     &app::HostRequests::end);

    if (window.load() == app::MainWindow::LoadResult::EndProgram)
        return 1;
    prompter.setParent(&window);
    requests.windowLoaded();
    const int status = QApplication::exec();
    window.shutDown();
    return status;
}
