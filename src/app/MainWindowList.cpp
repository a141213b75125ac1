// Filling the contact grid from the current group's table.
#include "app/ContactList.h"
#include "app/FlexGrid.h"
#include "app/LetterTabs.h"
#include "app/MainWindow.h"
#include "i18n/Letters.h"
#include "i18n/Messages.h"
#include "i18n/StringTable.h"
#include "platform/Prompter.h"
#include "shell/Shared.h"
#include "shell/TextDirection.h"
#include "store/ContactRecord.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace app {

namespace {

// The grid's column widths in twips; the field table says what each column shows.
constexpr int columnTwips[GridCols] = {1855, 1200, 1400, 1200, 1200, 1600, 2000};

} // namespace

void MainWindow::setHeading(int col, int offset) {
    m_grid->model().setHeading(col, i18n::text(m_shared.CurrentLang, offset));
}

void MainWindow::clearList() {
    FlexGrid& g = *m_grid;
    g.clearAll();
    for (int c = GridCols - 1; c >= 0; --c) {
        g.setCurrentColumn(c);
        g.setColumnWidthTwips(c, columnTwips[c], dpi());
        g.model().setAlignment(c, c == 0 ? (m_shared.CurrentLang == i18n::LangEnglish
                                                ? GridAlign::Left
                                                : GridAlign::Right)
                                         : GridAlign::Centre);
    }
    // A list that is neither group keeps the fifth heading it had.
    const Group group = currentGroup();
    for (int c = GridCols - 1; c >= 0; --c) {
        const store::Role role = store::roleInGridColumn(c);
        if (group != Group::None)
            setHeading(c, store::fieldOf(group, role).heading);
        else if (role != store::Role::Fax)
            setHeading(c, store::fieldOf(Group::Personal, role).heading);
    }
    m_indexBox->clear();
    m_list.highlightedRow = 0;
    enableCardCommands(false, false, false);
}

void MainWindow::fillList(bool byLetter, bool countWithLabel) {
    m_shared.ListCount = 0;
    m_list.rowShade = infoBackground();
    const Group group = currentGroup();
    if (group != Group::None) {
        clearList();
        Listing listing =
            ContactList(m_shared.db)
                .read(group, byLetter ? std::optional(m_shared.LetterFilter) : std::nullopt,
                      m_shared.SortOrder);
        m_list.lastListQuery = listing.queryText;
        if (!listing.opened) {
            m_services.prompter.tell(i18n::messages::failedToOpen(), m_shared.AppTitle);
            return;
        }

        showCards(listing.cards);
        if (m_shared.ListCount > 0) {
            m_grid->setCurrentRow(m_shared.ListCount);
            m_grid->setCurrentColumn(GridCols - 1);
        }
    }
    const QString count = QString::number(m_shared.ListCount);
    m_panels[0]->setText(countWithLabel ? u' ' + m_shared.TotalRecordsLabel + u' ' + count
                                        : QStringLiteral(" Total Records ") + count);
    if (m_actions.showQuery->isChecked())
        m_panels[1]->setText(m_list.lastListQuery);
}

void MainWindow::showCards(std::vector<ListedCard>& cards) {
    // Rows are built in one pass and handed to the model at once; each card row takes the
    // next of the alternating shades, so odd rows are white.
    static_assert(GridCols == store::RoleCount);
    std::vector<GridRow> rows;
    rows.reserve(cards.size() + 1);
    QColor shade = m_list.rowShade;
    const QColor white(Qt::white);
    const QColor info = infoBackground();
    const QColor black(Qt::black);
    for (ListedCard& card : cards) {
        GridRow& row = rows.emplace_back();
        row.cardId = card.cardId;
        row.cells = std::move(card.cells);
        shade = shade != white ? white : info;
        row.back = shade;
        row.fore = black;
    }
    m_shared.ListCount = int(rows.size());
    m_list.rowShade = shade;
    rows.emplace_back(); // the empty row after the last card
    m_grid->model().setRows(std::move(rows));
}

void MainWindow::refreshList() {
    if (m_shared.LetterFilter == u"ALL")
        showAll();
    else
        fillList(true, false);
}

void MainWindow::showAll() {
    fillList(false, false);
}

void MainWindow::listChosenLetter() {
    const int pos = m_letterTabs->currentIndex();
    // English tabs select A..Z, Hebrew tabs the alphabet's 22 letters; a position past the
    // alphabet keeps the filter in force.
    const QString letter = m_shared.CurrentLang == i18n::LangEnglish ? i18n::latinTabLetter(pos)
                                                                     : i18n::hebrewTabLetter(pos);
    if (!letter.isEmpty())
        m_shared.LetterFilter = letter;
    fillList(true, true);
}

void MainWindow::highlightRow(int row, int col) {
    FlexGrid& g = *m_grid;
    if (row < 1 || row > g.model().count())
        return;
    const int remembered = g.currentColumn();
    if (m_list.highlightedRow > 0 && m_list.highlightedRow <= g.model().count())
        g.model().paintRow(m_list.highlightedRow - 1, m_list.rowShade, Qt::black, -1);
    g.setCurrentRow(row);
    m_list.rowShade = g.model().row(row - 1).back;
    g.model().paintRow(row - 1, GridModel::lightBlue(), Qt::white, col);
    g.setCurrentColumn(remembered);
    m_list.highlightedRow = row;
}

void MainWindow::showRowInIndex(int col) {
    FlexGrid& g = *m_grid;
    // Each field reads in its own direction, as in its cell: a Latin name and the numbers
    // after it stay in their order inside a Hebrew line, and the other way round.
    QString text = shell::isolated(g.cellText(g.currentRow(), 0));
    for (int c = 1; c <= 4; ++c)
        text += u' ' + shell::isolated(g.cellText(g.currentRow(), c));
    m_indexBox->setText(text);
    g.setCurrentColumn(col);
}

} // namespace app
