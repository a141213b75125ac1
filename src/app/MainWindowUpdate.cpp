// The live update from the main window: its two menu items and the delayed check at start.
#include "app/MainWindow.h"
#include "shell/Shared.h"
#include "update/VersionCheckWindow.h"

#include <QAction>

namespace app {

void MainWindow::mnuEnableLiveUpdate_Click(bool checked) {
    m_shared.LiveUpdateEnabled = checked;
    // Turned off before the delayed check: it does not come. Turned on again, it does not
    // come back in this run either.
    if (!checked)
        tmrDelay.stop();
}

void MainWindow::mnuCheckVersionUpdate_Click() {
    update::VersionCheckWindow* window = loadVersionWindow();
    window->show();
    window->raise();
    window->activateWindow();
}

update::VersionCheckWindow* MainWindow::loadVersionWindow() {
    if (!m_verCheck) {
        m_verCheck =
            new update::VersionCheckWindow(m_shared, m_services, mnuCheckVersionUpdate, this);
        m_verCheck->load();
    }
    return m_verCheck;
}

update::VersionCheckWindow* MainWindow::versionWindow() const {
    return m_verCheck.data();
}

void MainWindow::tmrDelay_Timer() {
    tmrDelay.stop();
    if (m_services.versionCheck)
        m_services.versionCheck->VersionCheck();
}

} // namespace app
