#include "app/FrmVesk.h"
#include "shell/Shared.h"
#include "platform/KeyboardLayout.h"
#include "platform/QtPrompter.h"
#include "platform/TrayIcon.h"

#include <QApplication>
#include <QSettings>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvenna"));
    QApplication::setApplicationName(QStringLiteral("Orvenna"));
    // The program ends when the main window unloads, not when its last window closes: the
    // main window may be hidden in the notification area.
    QApplication::setQuitOnLastWindowClosed(false);

    mdlVesk::Shared shared;
    platform::QtPrompter prompter;
    platform::HostKeyboardLayout keyboard;
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Orvenna"),
                       QStringLiteral("Orvenna"));
    platform::QtTrayIcon tray;
    app::Services services{prompter, keyboard, settings};
    services.tray = &tray;
    app::frmVesk window(shared, services);
    QObject::connect(&window, &app::frmVesk::unloaded, &application, &QApplication::quit,
                     Qt::QueuedConnection);

    if (window.Form_Load() == app::frmVesk::LoadResult::EndProgram)
        return 1;
    prompter.setParent(&window);
    const int status = QApplication::exec();
    window.Form_Terminate();
    return status;
}
