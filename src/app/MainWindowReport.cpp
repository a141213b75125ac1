// The printed phone list: the rows the grid shows, handed to the report and its preview.
#include "app/FlexGrid.h"
#include "app/MainWindow.h"
#include "i18n/Messages.h"
#include "report/ReportPreview.h"

#include <QAction>
#include <QLabel>

namespace app {

void MainWindow::printList() {
    m_panels[1]->setText(i18n::messages::preparingReport());
    m_panels[1]->repaint(); // the list is read and laid out before the loop runs again

    // The rows as the grid shows them: its order, its letter, its group. The empty row is
    // left out wherever it stands: a sort by a heading can move it up among the cards.
    FlexGrid& g = *m_grid;
    auto table = std::make_shared<report::ReportTable>();
    table->reserve(size_t(g.model().count()));
    int lastCard = 0;
    for (int row = 1; row < g.rowCount(); ++row) {
        if (!g.isCardRow(row))
            continue;
        // The card as its row shows it, each column's text in the field it shows.
        store::ContactRecord& card = table->emplace_back();
        card.group = currentGroup();
        card.rowid = g.cardIdAt(row);
        for (int col = 0; col < GridCols; ++col)
            card[store::roleInGridColumn(col)] = g.cellText(row, col);
        lastCard = row;
    }
    if (lastCard > 0) {
        g.setCurrentRow(lastCard);
        g.setCurrentColumn(GridCols - 1);
    }

    // One preview: a new print replaces the list it shows.
    if (!m_report)
        m_report = new report::ReportPreview(m_services.prompter, m_shared.AppTitle, this);
    report::PhoneListReport& r = m_report->report();
    r.setTitle(i18n::messages::reportTitle());
    switch (currentGroup()) {
    case Group::Work:
        r.setFifthColumn(report::PhoneListReport::Fifth::Department);
        break;
    case Group::Personal:
        r.setFifthColumn(report::PhoneListReport::Fifth::Fax);
        break;
    case Group::None:
        break;
    }
    r.bind(std::move(table));
    m_report->showReport();

    m_panels[1]->setText(m_actions.showQuery->isChecked() ? m_list.lastListQuery : QString());
}

report::ReportPreview* MainWindow::reportWindow() const {
    return m_report.data();
}

} // namespace app
