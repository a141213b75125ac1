// The main window's about box and its mail command.
#include "about/AboutBox.h"
#include "about/MWebLink.h"
#include "app/FlexGrid.h"
#include "app/MainWindow.h"
#include "i18n/StringTable.h"
#include "shell/Shared.h"

namespace app {

void MainWindow::showAbout() {
    // One about box: while it is open the command brings it forward.
    if (!m_about) {
        m_about = new about::AboutBox(m_shared.AppTitle, m_shared.CrLf, m_services.prompter,
                                      m_services.shell, this);
        connect(this, &MainWindow::unloaded, m_about.data(), &QWidget::close);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

about::AboutBox* MainWindow::aboutWindow() const {
    return m_about.data();
}

void MainWindow::mailCurrentCard() {
    FlexGrid& g = *m_grid;
    if (!g.isCardRow(g.currentRow()))
        return; // the heading or the empty row at the end
    g.setCurrentColumn(5);
    const QString address = g.currentText();
    if (!address.isEmpty() && m_services.shell)
        MWebLink::openOrTell(*m_services.shell, m_services.prompter, m_shared.AppTitle, address,
                             MWebLink::MailLink, m_shared.CurrentLang == i18n::LangHebrew);
}

} // namespace app
