// The notification-area icon, its menu, and the same menu on the window's own background.
#include "app/MainWindow.h"

#include "platform/TrayIcon.h"
#include "shell/Shared.h"

#include <QMenu>
#include <QMouseEvent>

namespace app {

void MainWindow::addTrayIcon() {
    platform::TrayIcon* tray = m_services.tray;
    if (!tray)
        return;
    connect(tray, &platform::TrayIcon::doubleClicked, this, &MainWindow::restore,
            Qt::UniqueConnection);
    connect(tray, &platform::TrayIcon::menuRequested, this, &MainWindow::showTrayMenu,
            Qt::UniqueConnection);
    tray->add(windowIcon(), m_shared.AppTitle);
}

bool MainWindow::trayIconVisible() const {
    return m_services.tray && m_services.tray->isShown();
}

void MainWindow::showTrayMenu(QPoint globalPos) {
    // A hidden window stays hidden: only a visible one is brought forward first.
    if (isVisible()) {
        raise();
        activateWindow();
    }
    m_trayMenu->popup(globalPos);
}

void MainWindow::restore() {
    const bool fromTray = !isVisible() && !m_geometryBeforeTray.isEmpty();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    // Back exactly where it was: shown again on its own, a hidden window is placed anew by
    // the platform, off by its frame.
    if (fromTray)
        restoreGeometry(m_geometryBeforeTray);
    m_geometryBeforeTray.clear();
    show();
    raise();
    activateWindow();
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    showBackgroundMenu(event->button(), event->globalPosition().toPoint());
    QMainWindow::mousePressEvent(event);
}

void MainWindow::showBackgroundMenu(Qt::MouseButton button, QPoint globalPos) {
    if (button != Qt::RightButton)
        return;
    // Only the window's own background: a press on a control (or on a label or decoration
    // that lets it through) is not the window's.
    const QPoint local = m_client->mapFromGlobal(globalPos);
    if (!m_client->rect().contains(local) || m_client->childAt(local))
        return;
    m_trayMenu->popup(globalPos);
}

} // namespace app
