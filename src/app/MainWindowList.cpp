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
#include "store/ContactDatabase.h"
#include "store/ContactRecord.h"
#include "store/Recordset.h"

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
    m_grid->clearAll();
    setUpList();
}

void MainWindow::setUpList() {
    FlexGrid& g = *m_grid;
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
    m_list.gridSorted = false;
    enableCardCommands(false, false, false);
}

void MainWindow::fillList(bool byLetter, bool countWithLabel) {
    m_shared.ListCount = 0;
    m_list.rowShade = infoBackground();
    m_list.listed = {};
    const Group group = currentGroup();
    if (group != Group::None) {
        clearList();
        ContactList list(m_shared.db);
        // Taken before the reading: a change by another program while it reads shows in the
        // next stamp, and the next write of ours is then listed by a full reading.
        const std::optional<FileStamp> stamp = list.stamp();
        const std::optional<QString> prefix =
            byLetter ? std::optional(m_shared.LetterFilter) : std::nullopt;
        Listing listing = list.read(group, prefix, m_shared.SortOrder);
        m_list.lastListQuery = listing.queryText;
        if (!listing.opened) {
            m_services.prompter.tell(i18n::messages::failedToOpen(), m_shared.AppTitle);
            return;
        }
        if (stamp)
            m_list.listed = {
                true,  group, prefix, m_shared.SortOrder, m_shared.db.CurrentRecordset.get(),
                *stamp};

        // The rows stay in the cursor's store, in its order; the grid shows them from there.
        static_assert(GridCols == store::RoleCount);
        m_grid->model().showCards(listing.rows, std::move(listing.order), listing.fieldOf);
    }
    finishFill(countWithLabel);
}

void MainWindow::finishFill(bool countWithLabel) {
    FlexGrid& g = *m_grid;
    // Card rows alternate from white, so the shade painted last is white after an odd count.
    m_shared.ListCount = g.model().count() - 1;
    if (currentGroup() != Group::None) {
        m_list.rowShade = m_shared.ListCount % 2 == 1 ? QColor(Qt::white) : infoBackground();
        if (m_shared.ListCount > 0) {
            g.setCurrentRow(m_shared.ListCount);
            g.setCurrentColumn(GridCols - 1);
        }
    } else {
        m_shared.ListCount = 0;
    }
    const QString count = QString::number(m_shared.ListCount);
    m_panels[0]->setText(countWithLabel ? u' ' + m_shared.TotalRecordsLabel + u' ' + count
                                        : QStringLiteral(" Total Records ") + count);
    if (m_actions.showQuery->isChecked())
        m_panels[1]->setText(m_list.lastListQuery);
}

std::optional<QString> MainWindow::refreshPrefix() const {
    if (m_shared.LetterFilter == u"ALL")
        return std::nullopt;
    return m_shared.LetterFilter;
}

void MainWindow::refreshList() {
    if (!refreshPrefix())
        showAll();
    else
        fillList(true, false);
}

void MainWindow::showAll() {
    fillList(false, false);
}

void MainWindow::refreshAfterWrite(qint64 cardId) {
    // The list a refill would read must be the one shown, read by the cursor still open, and
    // the file changed since by this one write of ours and nothing else; otherwise a refill.
    ListBasis& basis = m_list.listed;
    const Group group = currentGroup();
    const std::optional<QString> prefix = refreshPrefix();
    ContactList list(m_shared.db);
    const std::optional<FileStamp> now = basis.valid ? list.stamp() : std::nullopt;
    const bool same =
        basis.valid && now && now->utf8 && group != Group::None && basis.group == group &&
        basis.prefix == prefix && basis.sortOrder == m_shared.SortOrder &&
        basis.cursor == m_shared.db.CurrentRecordset.get() &&
        now->dataVersion == basis.stamp.dataVersion &&
        now->schemaVersion == basis.stamp.schemaVersion && now->changes == basis.stamp.changes + 1;
    const std::optional<ContactList::Moved> moved =
        same ? list.refreshCard(group, prefix, m_shared.SortOrder, cardId) : std::nullopt;
    if (!moved) {
        refreshList();
        return;
    }
    basis.stamp = *now;

    // The grid follows the cursor: the card's row out, and in at its new place. A grid sorted
    // by a heading takes the cursor's order again, as a refill gives it.
    FlexGrid& g = *m_grid;
    GridModel& model = g.model();
    const store::Recordset& rs = *m_shared.db.CurrentRecordset;
    m_list.rowShade = infoBackground();
    const int before = rs.size() + (moved->from >= 0 ? 1 : 0) - (moved->to >= 0 ? 1 : 0);
    if (m_list.gridSorted || !model.shows(rs.rows().get()) || model.count() != before + 1) {
        model.showCards(rs.rows(), rs.order(), listFields(rs, group));
    } else {
        if (moved->from >= 0)
            model.removeCardRow(moved->from);
        if (moved->to >= 0)
            model.insertCardRow(moved->to, rs.order()[size_t(moved->to)]);
        model.shadeAlternately();
    }
    // As a fill leaves it: the set-up, no row selected, the current cell and the count.
    g.setCurrentRow(0);
    setUpList();
    finishFill(false);
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
