// The main window's dial commands: the number of the chosen cell goes to the modem dialer.
#include "app/FlexGrid.h"
#include "app/MainWindow.h"
#include "dialer/DialerWindow.h"
#include "i18n/Messages.h"
#include "platform/Prompter.h"
#include "shell/Shared.h"

namespace app {

void MainWindow::dialCurrentCell() {
    FlexGrid& g = *m_grid;
    m_list.rememberedColumn = g.currentColumn();
    m_shared.NumberToDial.clear();
    // The number columns; in the Work list column 4 is the department, dialled like the rest.
    if (m_list.rememberedColumn >= 1 && m_list.rememberedColumn <= 4) {
        g.setCurrentColumn(m_list.rememberedColumn);
        m_shared.NumberToDial = g.currentText();
    }
    if (m_shared.NumberToDial.isEmpty())
        return;
    if (!m_shared.DialerIdle) {
        m_services.prompter.tell(
            i18n::messages::portInUse(m_dialer ? m_dialer->number() : QString()),
            i18n::messages::dialerWarning());
        return;
    }
    if (!m_dialer)
        m_dialer =
            new dialer::DialerWindow(m_shared, m_services.prompter, m_services.serialPorts, this);
    m_dialer->setNumber(m_shared.NumberToDial);
    m_dialer->show();
    m_dialer->raise();
    m_dialer->activateWindow();
    // Its activation starts the dial, once this command has returned to the event loop.
    QMetaObject::invokeMethod(m_dialer.data(), &dialer::DialerWindow::dialIfIdle,
                              Qt::QueuedConnection);
}

dialer::DialerWindow* MainWindow::dialerWindow() const {
    return m_dialer.data();
}

void MainWindow::closeDialer() {
    if (!m_dialer)
        return;
    // The modem is not left off-hook: the call goes on on the telephone or ends.
    m_dialer->hangUpNow();
    m_dialer->close();
}

} // namespace app
