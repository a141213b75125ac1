// The main window's commands, the grid's mouse and keyboard handling, the wheel.
#include "app/CardDeletion.h"
#include "app/FlexGrid.h"
#include "app/LetterTabs.h"
#include "app/MainWindow.h"
#include "editor/RecordEditor.h"
#include "i18n/Messages.h"
#include "i18n/StringTable.h"
#include "platform/Prompter.h"
#include "report/ReportPreview.h"
#include "search/SearchWindow.h"
#include "shell/Shared.h"
#include "store/Text.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QWheelEvent>

namespace app {

namespace {
// The name a grid row offers to the editor and the deletion: the last 20 characters of its
// name cell, trimmed.
QString offeredName(const QString& cell) {
    return store::trimSpaces(cell.right(20));
}
} // namespace

void MainWindow::wireCommands() {
    auto on = [this](QAction* item, auto handler) {
        connect(item, &QAction::triggered, this, handler);
    };
    connect(btnAdd, &QToolButton::clicked, this, &MainWindow::btnAdd_Click);
    connect(btnEdit, &QToolButton::clicked, this, &MainWindow::btnEdit_Click);
    connect(btnAll, &QToolButton::clicked, this, &MainWindow::btnAll_Click);
    connect(btnSearch, &QToolButton::clicked, this, &MainWindow::btnSearch_Click);
    on(mnuSearch, &MainWindow::btnSearch_Click);
    on(popSearch, &MainWindow::btnSearch_Click);
    connect(btnDelete, &QToolButton::clicked, this, &MainWindow::btnDelete_Click);
    connect(btnQuit, &QToolButton::clicked, this, &MainWindow::btnQuit_Click);
    on(mnuAdd, &MainWindow::btnAdd_Click);
    on(popAdd, &MainWindow::btnAdd_Click);
    on(mnuEdit, &MainWindow::editCurrentRow);
    on(popEdit, &MainWindow::editCurrentRow);
    on(mnuDel, &MainWindow::btnDelete_Click);
    on(popDel, &MainWindow::btnDelete_Click);
    on(mnuExit, &MainWindow::btnQuit_Click);
    on(mnuAll, &MainWindow::btnAll_Click);
    on(mnuDbg, &MainWindow::mnuDbg_Click);
    on(mPopRestore, &MainWindow::mPopRestore_Click);
    on(mpopSearch, &MainWindow::mpopSearch_Click);
    on(mPopExit, &MainWindow::mPopExit_Click);
    on(mnuPrint, &MainWindow::mnuPrint_Click);
    on(popPrint, &MainWindow::popPrint_Click);
    connect(this, &MainWindow::unloaded, this, [this] {
        if (m_report)
            m_report->close(); // the preview goes with the main window
    });
    on(mnuExportVcard, &MainWindow::mnuExportVcard_Click);
    on(mnuImportVcard, &MainWindow::mnuImportVcard_Click);
    on(mnuImportContacts, &MainWindow::mnuImportContacts_Click);
    on(mnuExportContacts, &MainWindow::mnuExportContacts_Click);
    connect(cmbGroup, &QComboBox::activated, this, &MainWindow::cmbGroup_Click);
    on(mnuExportDB, &MainWindow::mnuExportDB_Click);
    on(mnuImportDB, &MainWindow::mnuImportDB_Click);
    on(mnuAbout, &MainWindow::mnuAbout_Click);
    connect(btnMail, &QToolButton::clicked, this, &MainWindow::popSendMail_Click);
    on(mnuSendMail, &MainWindow::popSendMail_Click);
    on(popSendMail, &MainWindow::popSendMail_Click);
    connect(mnuEnableLiveUpdate, &QAction::triggered, this, &MainWindow::mnuEnableLiveUpdate_Click);
    on(mnuCheckVersionUpdate, &MainWindow::mnuCheckVersionUpdate_Click);
    connect(btnDial, &QToolButton::clicked, this, &MainWindow::btnDial_Click);
    on(mnuDialingNum, &MainWindow::btnDial_Click);
    on(popDialing, &MainWindow::popDialing_Click);

    FlexGrid* g = MSHFlexGrid1;
    connect(g, &FlexGrid::Click, this, &MainWindow::MSHFlexGrid1_Click);
    connect(g, &FlexGrid::DblClick, this, &MainWindow::MSHFlexGrid1_DblClick);
    connect(g, &FlexGrid::KeyPress, this, &MainWindow::MSHFlexGrid1_KeyPress);
    connect(g, &FlexGrid::GotFocus, this, &MainWindow::MSHFlexGrid1_GotFocus);
    connect(g, &FlexGrid::MouseDown, this, &MainWindow::MSHFlexGrid1_MouseDown);
    connect(g, &FlexGrid::KeyDown, this, &MainWindow::MSHFlexGrid1_KeyDown);
}

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

QWidget* MainWindow::editorWindow() const {
    return m_editor.data();
}

void MainWindow::btnAdd_Click() {
    openEditor({.updateMode = false, .selectedName = {}, .cardId = -1, .group = currentGroup()});
}

void MainWindow::btnEdit_Click() {
    FlexGrid& g = *MSHFlexGrid1;
    g.setCol(0);
    const QString SelectedName = offeredName(g.Text());
    const platform::Message ask{
        QStringLiteral("Do you want updating ") + SelectedName + QStringLiteral(" record?"),
        i18n::messages::systemMessage(), platform::Buttons::OkCancel, platform::Icon::Question};
    if (m_services.prompter.ask(ask) != platform::Answer::Ok)
        return;
    g.setCol(0);
    openEditor({.updateMode = true,
                .selectedName = SelectedName,
                .cardId = g.cardIdAt(g.Row()),
                .group = currentGroup()});
}

void MainWindow::btnSearch_Click() {
    // One search window: a hidden or minimised one comes back with its text and list.
    if (!m_search)
        m_search = new search::SearchWindow(m_shared, m_services.prompter, *this, this);
    m_search->bringBack();
}

search::SearchWindow* MainWindow::searchWindow() const {
    return m_search.data();
}

void MainWindow::btnAll_Click() {
    m_shared.LetterFilter = QStringLiteral("ALL");
    ShowAll();
}

void MainWindow::btnDelete_Click() {
    FlexGrid& g = *MSHFlexGrid1;
    g.setCol(0);
    // The card is reached by the identity its row carries, so a grid sorted by a heading
    // still deletes the card the user sees.
    const auto outcome = DeleteCard(m_shared.db.CurrentRecordset.get(), g.cardIdAt(g.Row()),
                                    offeredName(g.Text()), m_services.prompter, m_shared.AppTitle);
    if (outcome == DeleteOutcome::Deleted || outcome == DeleteOutcome::NotFound) {
        TxtIndex->clear();
        update_list();
    }
}

void MainWindow::btnQuit_Click() {
    close();
}

void MainWindow::mnuDbg_Click() {
    m_panels[1]->setText(mnuDbg->isChecked() ? m_list.LastListQuery : QString());
}

void MainWindow::cmbGroup_Click() {
    update_list();
}

// ---- The grid

void MainWindow::MSHFlexGrid1_Click() {
    FlexGrid& g = *MSHFlexGrid1;
    if (g.MouseRow() < 1 || !g.isCardRow(g.Row()))
        return;
    m_list.TypedPrefix.clear();
    selectCurrentCell();
}

void MainWindow::selectCurrentCell() {
    FlexGrid& g = *MSHFlexGrid1;
    const int col = g.Col();
    HighlightRow(g.Row(), col);
    ShowRowInIndex(col);
    for (QAction* item : {popEdit, popDel, mnuEdit, mnuDel})
        item->setEnabled(true);
    btnDelete->setEnabled(true);
    btnEdit->setEnabled(true);

    const bool hasNumber = !g.TextMatrix(g.Row(), col).isEmpty();
    popDialing->setEnabled(hasNumber);
    btnDial->setEnabled(hasNumber);

    const bool hasEmail = !g.TextMatrix(g.Row(), 5).isEmpty();
    for (QAction* item : {popSendMail, mnuSendMail})
        item->setEnabled(hasEmail);
    btnMail->setEnabled(hasEmail);
    g.setCol(col);
}

void MainWindow::MSHFlexGrid1_KeyDown(int key) {
    FlexGrid& g = *MSHFlexGrid1;
    // The card the user sees selected: the highlighted row; none right after a fill.
    const bool selected =
        m_list.HighlightedRow > 0 && m_list.HighlightedRow == g.Row() && g.isCardRow(g.Row());
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected)
            editCurrentRow(); // the double click's action
        return;
    case Qt::Key_Delete:
        if (selected)
            btnDelete_Click();
        return;
    default:
        moveByKey(key, selected);
    }
}

void MainWindow::moveByKey(int key, bool fromSelected) {
    FlexGrid& g = *MSHFlexGrid1;
    const int cards = g.Rows() - 2;
    if (cards < 1)
        return;
    // With nothing selected the keys start before the first card, in the name column.
    const int row = fromSelected ? g.Row() : 0;
    const int col = fromSelected ? g.Col() : 0;
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

void MainWindow::MSHFlexGrid1_DblClick() {
    FlexGrid& g = *MSHFlexGrid1;
    if (g.MouseRow() < 0)
        return; // below the last row: nothing there
    if (g.MouseRow() == 0) {
        const int col = g.Col();
        const std::vector<int> moved = g.Sort(col);
        // The selected row's paint travels with it; keep pointing at it.
        if (m_list.HighlightedRow > 0 && m_list.HighlightedRow < int(moved.size()))
            m_list.HighlightedRow = moved[size_t(m_list.HighlightedRow)];
        m_services.prompter.tell(QStringLiteral("sorting #") + QString::number(col) +
                                     QStringLiteral("..."),
                                 m_shared.AppTitle);
        return;
    }
    editCurrentRow();
}

void MainWindow::editCurrentRow() {
    if (MSHFlexGrid1->isCardRow(MSHFlexGrid1->Row()))
        btnEdit_Click();
}

void MainWindow::MSHFlexGrid1_KeyPress(QChar key) {
    FlexGrid& g = *MSHFlexGrid1;
    if (key == QChar(27)) {
        m_list.TypedPrefix.clear();
        return;
    }
    m_list.TypedPrefix += key;
    const qsizetype n = m_list.TypedPrefix.size();
    m_list.HighlightedRow = g.Row();
    for (int i = 1; i < g.Rows(); ++i) {
        if (store::trimSpaces(g.TextMatrix(i, 0)).left(n) == m_list.TypedPrefix) {
            g.setRow(i);
            g.setCol(0);
            HighlightRow(i, 0);
            g.showRow(i);
            return;
        }
    }
    g.setRow(m_list.HighlightedRow);
    g.setCol(m_list.RememberedColumn);
}

void MainWindow::MSHFlexGrid1_GotFocus() {
    m_list.TypedPrefix.clear();
}

void MainWindow::MSHFlexGrid1_MouseDown(Qt::MouseButton button, QPoint globalPos) {
    if (button != Qt::RightButton)
        return;
    m_list.RememberedColumn = MSHFlexGrid1->Col();
    // Hebrew: the menu hangs to the left of the pointer (right-aligned); English: to its right.
    QPoint at = globalPos;
    if (m_shared.CurrentLang == i18n::LangHebrew) {
        popFile->setLayoutDirection(Qt::RightToLeft);
        at.rx() -= popFile->sizeHint().width();
    } else if (m_shared.CurrentLang == i18n::LangEnglish) {
        popFile->setLayoutDirection(Qt::LeftToRight);
    } else {
        return;
    }
    popFile->popup(at);
}

void MainWindow::InstallWheelHook() {
    if (!m_wheelHooked)
        MSHFlexGrid1->viewport()->installEventFilter(this);
    m_wheelHooked = true;
}

void MainWindow::RemoveWheelHook() {
    if (m_wheelHooked)
        MSHFlexGrid1->viewport()->removeEventFilter(this);
    m_wheelHooked = false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == MSHFlexGrid1->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        MouseWheel(wheel->angleDelta().y());
        return true; // the grid does not scroll a second time on its own
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::MouseWheel(int zDelta) {
    FlexGrid& g = *MSHFlexGrid1;
    const int top = g.TopRow();
    if (top < g.Rows() - 1 && zDelta > 0)
        g.setTopRow(top + 1);
    else if (top > 1 && zDelta < 0)
        g.setTopRow(top - 1);
}

// ---- Window state

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void MainWindow::hideIntoTray() {
    if (!isMinimized() || !trayIconVisible())
        return;
    m_geometryBeforeTray = saveGeometry();
    hide();
}

void MainWindow::Form_Resize() {
    // A minimised window goes to the notification area, but only while there is an icon
    // there to bring it back; otherwise it stays an ordinary minimised window.
    // Hidden once the state change has run its course: showMinimized() itself shows the
    // window again right after announcing the new state.
    if (isMinimized() && trayIconVisible())
        QMetaObject::invokeMethod(this, &MainWindow::hideIntoTray, Qt::QueuedConnection);
    ResizeForm();
}

} // namespace app
