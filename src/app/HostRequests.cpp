#include "app/HostRequests.h"

#include "app/MainWindow.h"

#include <QApplication>
#include <QDialog>
#include <QThread>
#include <QTimer>

namespace app {

namespace {

// Closes the modal dialogs and open menus, topmost first. A message box closed this way
// gives its caller the answer of its close button (Cancel or No where there is one).
void closeModalWindows() {
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        if (QApplication::activePopupWidget() == popup)
            break;
    }
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal)
            break;
    }
}

} // namespace

HostRequests::HostRequests(MainWindow& window, QObject* parent)
    : QObject(parent), m_window(window) {}

void HostRequests::windowLoaded() {
    m_loaded = true;
}

void HostRequests::bringForward() {
    if (m_loaded)
        m_window.restore();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void HostRequests::end() {
    if (m_endRequested)
        return;
    m_endRequested = true;
    closeModalWindows();
    // A dial waits in an event loop of its own, with no end of its own: hang it up now.
    m_window.closeDialer();
    QTimer::singleShot(0, this, &HostRequests::closeWhenIdle);
}

void HostRequests::closeWhenIdle() {
    // The main window closes from the main event loop, once the load has finished and every
    // handler that waited on a message box has run to its end; a box that opens meanwhile
    // (the load may show several in turn) is answered as it appears.
    if (!m_loaded || QThread::currentThread()->loopLevel() > 1 ||
        QApplication::activeModalWidget()) {
        closeModalWindows();
        QTimer::singleShot(50, this, &HostRequests::closeWhenIdle);
        return;
    }
    m_window.close();
}

} // namespace app
