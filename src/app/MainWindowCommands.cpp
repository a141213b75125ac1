// The main window's card commands, the grid's mouse and keyboard handling, the wheel.
#include "app/CardDeletion.h"
#include "app/FlexGrid.h"
#include "app/MainWindow.h"
#include "editor/RecordEditor.h"
#include "i18n/Messages.h"
#include "i18n/StringTable.h"
#include "platform/Prompter.h"
#include "search/SearchWindow.h"
#include "shell/Shared.h"
#include "store/Text.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QWheelEvent>

namespace app {

namespace {
// The name a grid row offers to the editor and the deletion: the last 20 characters of its
// name cell, trimmed.
QString offeredName(const QString& cell) {
    return store::trimSpaces(cell.right(20));
}
} // namespace

// ---- Commands

void MainWindow::openEditor(const editor::EditRequest& request) {
    // One editor at a time: while it is open the command brings it forward as it is.
    if (!m_editor) {
        m_editor = new editor::RecordEditor(m_shared, m_services.prompter, *this, request, this);
        if (!m_editor->load())
            return;
    }
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
}

void MainWindow::addCard() {
    openEditor({.updateMode = false, .selectedName = {}, .cardId = -1, .group = currentGroup()});
}

void MainWindow::editCurrentRow() {
    FlexGrid& g = *m_grid;
    g.setCurrentColumn(0);
    const QString selectedName = offeredName(g.currentText());
    const platform::Message ask{
        QStringLiteral("Do you want updating ") + selectedName + QStringLiteral(" record?"),
        i18n::messages::systemMessage(), platform::Buttons::OkCancel, platform::Icon::Question};
    if (m_services.prompter.ask(ask) != platform::Answer::Ok)
        return;
    g.setCurrentColumn(0);
    openEditor({.updateMode = true,
                .selectedName = selectedName,
                .cardId = g.cardIdAt(g.currentRow()),
                .group = currentGroup()});
}

void MainWindow::editCurrentCard() {
    if (m_grid->isCardRow(m_grid->currentRow()))
        editCurrentRow();
}

void MainWindow::openSearch() {
    // One search window: a hidden or minimised one comes back with its text and list.
    if (!m_search)
        m_search = new search::SearchWindow(m_shared, m_services.prompter, *this, this);
    m_search->bringBack();
}

search::SearchWindow* MainWindow::searchWindow() const {
    return m_search.data();
}

void MainWindow::showAllCards() {
    m_shared.LetterFilter = QStringLiteral("ALL");
    showAll();
}

void MainWindow::deleteCurrentCard() {
    FlexGrid& g = *m_grid;
    g.setCurrentColumn(0);
    // The card is reached by the identity its row carries, so a grid sorted by a heading
    // still deletes the card the user sees.
    const qint64 cardId = g.cardIdAt(g.currentRow());
    const auto outcome =
        DeleteCard(m_shared.db.CurrentRecordset.get(), cardId, offeredName(g.currentText()),
                   m_services.prompter, m_shared.AppTitle);
    if (outcome == DeleteOutcome::Deleted) {
        m_indexBox->clear();
        refreshAfterWrite(cardId);
    } else if (outcome == DeleteOutcome::NotFound) {
        m_indexBox->clear();
        refreshList();
    }
}

void MainWindow::showQueryText() {
    m_panels[1]->setText(m_actions.showQuery->isChecked() ? m_list.lastListQuery : QString());
}

// ---- The grid

void MainWindow::selectClickedCard() {
    FlexGrid& g = *m_grid;
    if (g.mouseRow() < 1 || !g.isCardRow(g.currentRow()))
        return;
    m_list.typedPrefix.clear();
    selectCurrentCell();
}

void MainWindow::selectCurrentCell() {
    FlexGrid& g = *m_grid;
    const int col = g.currentColumn();
    highlightRow(g.currentRow(), col);
    showRowInIndex(col);
    enableCardCommands(true, !g.cellText(g.currentRow(), col).isEmpty(),
                       !g.cellText(g.currentRow(), 5).isEmpty());
    g.setCurrentColumn(col);
}

void MainWindow::actOnKey(int key) {
    FlexGrid& g = *m_grid;
    // The card the user sees selected: the highlighted row; none right after a fill.
    const bool selected = m_list.highlightedRow > 0 && m_list.highlightedRow == g.currentRow() &&
                          g.isCardRow(g.currentRow());
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected)
            editCurrentCard(); // the double click's action
        return;
    case Qt::Key_Delete:
        if (selected)
            deleteCurrentCard();
        return;
    default:
        moveByKey(key, selected);
    }
}

void MainWindow::moveByKey(int key, bool fromSelected) {
    FlexGrid& g = *m_grid;
    const int cards = g.rowCount() - 2;
    if (cards < 1)
        return;
    // With nothing selected the keys start before the first card, in the name column.
    const int row = fromSelected ? g.currentRow() : 0;
    const int col = fromSelected ? g.currentColumn() : 0;
    const int page = g.pageRows();
    const int step = g.layoutDirection() == Qt::RightToLeft ? -1 : 1;
    QPoint to(col, row);
    switch (key) {
    case Qt::Key_Up:
        to.ry() = fromSelected ? row - 1 : 1;
        break;
    case Qt::Key_Down:
        to.ry() = row + 1;
        break;
    case Qt::Key_PageUp:
        to.ry() = row - page;
        break;
    case Qt::Key_PageDown:
        to.ry() = row + page;
        break;
    case Qt::Key_Home:
        to.ry() = 1;
        break;
    case Qt::Key_End:
        to.ry() = cards;
        break;
    case Qt::Key_Left:
        to = {col - (fromSelected ? step : 0), std::max(row, 1)};
        break;
    case Qt::Key_Right:
        to = {col + (fromSelected ? step : 0), std::max(row, 1)};
        break;
    default:
        return;
    }
    // Moving by the keyboard selects as a click does, but keeps the typed prefix.
    g.moveTo(std::clamp(to.y(), 1, cards), std::clamp(to.x(), 0, GridCols - 1));
    selectCurrentCell();
}

void MainWindow::sortOrEditClickedRow() {
    FlexGrid& g = *m_grid;
    if (g.mouseRow() < 0)
        return; // below the last row: nothing there
    if (g.mouseRow() == 0) {
        const int col = g.currentColumn();
        const std::vector<int> moved = g.sortRows(col);
        m_list.gridSorted = true;
        // The selected row's paint travels with it; keep pointing at it.
        if (m_list.highlightedRow > 0 && m_list.highlightedRow < int(moved.size()))
            m_list.highlightedRow = moved[size_t(m_list.highlightedRow)];
        m_services.prompter.tell(QStringLiteral("sorting #") + QString::number(col) +
                                     QStringLiteral("..."),
                                 m_shared.AppTitle);
        return;
    }
    editCurrentCard();
}

void MainWindow::jumpToTypedName(QChar key) {
    FlexGrid& g = *m_grid;
    if (key == QChar(27)) {
        m_list.typedPrefix.clear();
        return;
    }
    m_list.typedPrefix += key;
    m_list.highlightedRow = g.currentRow();
    const int found = g.model().findPrefix(0, m_list.typedPrefix);
    if (found >= 0) {
        const int i = found + 1; // below the heading row
        g.setCurrentRow(i);
        g.setCurrentColumn(0);
        highlightRow(i, 0);
        g.showRow(i);
        return;
    }
    g.setCurrentRow(m_list.highlightedRow);
    g.setCurrentColumn(m_list.rememberedColumn);
}

void MainWindow::forgetTypedPrefix() {
    m_list.typedPrefix.clear();
}

void MainWindow::showContextMenu(Qt::MouseButton button, QPoint globalPos) {
    if (button != Qt::RightButton)
        return;
    // A press on a card selects it as a click does, so the menu's card commands act on it.
    selectClickedCard();
    m_list.rememberedColumn = m_grid->currentColumn();
    // Hebrew: the menu hangs to the left of the pointer (right-aligned); English: to its right.
    QPoint at = globalPos;
    if (m_shared.CurrentLang == i18n::LangHebrew) {
        m_contextMenu->setLayoutDirection(Qt::RightToLeft);
        at.rx() -= m_contextMenu->sizeHint().width();
    } else if (m_shared.CurrentLang == i18n::LangEnglish) {
        m_contextMenu->setLayoutDirection(Qt::LeftToRight);
    } else {
        return;
    }
    m_contextMenu->popup(at);
}

void MainWindow::installWheelHook() {
    if (!m_wheelHooked)
        m_grid->viewport()->installEventFilter(this);
    m_wheelHooked = true;
}

void MainWindow::removeWheelHook() {
    if (m_wheelHooked)
        m_grid->viewport()->removeEventFilter(this);
    m_wheelHooked = false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        scrollByWheel(wheel->angleDelta().y());
        return true; // the grid does not scroll a second time on its own
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::scrollByWheel(int delta) {
    FlexGrid& g = *m_grid;
    const int top = g.topRow();
    if (top < g.rowCount() - 1 && delta > 0)
        g.setTopRow(top + 1);
    else if (top > 1 && delta < 0)
        g.setTopRow(top - 1);
}

// ---- Window state

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        followWindowState();
}

void MainWindow::hideIntoTray() {
    if (!isMinimized() || !trayIconVisible())
        return;
    m_geometryBeforeTray = saveGeometry();
    hide();
}

void MainWindow::followWindowState() {
    // A minimised window goes to the notification area, but only while there is an icon
    // there to bring it back; otherwise it stays an ordinary minimised window.
    // Hidden once the state change has run its course: showMinimized() itself shows the
    // window again right after announcing the new state.
    if (isMinimized() && trayIconVisible())
        QMetaObject::invokeMethod(this, &MainWindow::hideIntoTray, Qt::QueuedConnection);
    followResize();
}

} // namespace app
