// The live update from the main window: its two menu items and the delayed check at start.
#include "app/MainWindow.h"
#include "shell/Shared.h"
#include "update/VersionCheckWindow.h"

#include <QAction>

namespace app {

void MainWindow::enableLiveUpdate(bool enabled) {
    m_shared.LiveUpdateEnabled = enabled;
    // Turned off before the delayed check: it does not come. Turned on again, it does not
    // come back in this run either.
    if (!enabled)
        m_checkTimer.stop();
}

void MainWindow::checkForUpdate() {
    update::VersionCheckWindow* window = loadVersionWindow();
    window->show();
    window->raise();
    window->activateWindow();
}

update::VersionCheckWindow* MainWindow::loadVersionWindow() {
    if (!m_versionWindow) {
        m_versionWindow =
            new update::VersionCheckWindow(m_shared, m_services, m_actions.checkForUpdate, this);
        m_versionWindow->load();
    }
    return m_versionWindow;
}

update::VersionCheckWindow* MainWindow::versionWindow() const {
    return m_versionWindow.data();
}

void MainWindow::startDelayedCheck() {
    m_checkTimer.stop();
    if (m_services.versionCheck)
        m_services.versionCheck->VersionCheck();
}

} // namespace app
