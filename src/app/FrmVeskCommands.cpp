// The main window's commands, the grid's mouse and keyboard handling, the wheel.
#include "app/CardDeletion.h"
#include "app/FlexGrid.h"
#include "app/FrmVesk.h"
#include "app/LetterTabs.h"
#include "editor/FrmNewPhn.h"
#include "i18n/Messages.h"
#include "i18n/StringTable.h"
#include "platform/Prompter.h"
#include "report/ReportPreview.h"
#include "search/SearchFrm.h"
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

void frmVesk::wireCommands() {
    auto on = [this](QAction* item, auto handler) {
        connect(item, &QAction::triggered, this, handler);
    };
    connect(btnAdd, &QToolButton::clicked, this, &frmVesk::btnAdd_Click);
    connect(btnEdit, &QToolButton::clicked, this, &frmVesk::btnEdit_Click);
    connect(btnAll, &QToolButton::clicked, this, &frmVesk::btnAll_Click);
    connect(btnSearch, &QToolButton::clicked, this, &frmVesk::btnSearch_Click);
    on(mnuSearch, &frmVesk::btnSearch_Click);
    on(popSearch, &frmVesk::btnSearch_Click);
    connect(btnDelete, &QToolButton::clicked, this, &frmVesk::btnDelete_Click);
    connect(btnQuit, &QToolButton::clicked, this, &frmVesk::btnQuit_Click);
    on(mnuAdd, &frmVesk::btnAdd_Click);
    on(popAdd, &frmVesk::btnAdd_Click);
    on(mnuEdit, &frmVesk::editCurrentRow);
    on(popEdit, &frmVesk::editCurrentRow);
    on(mnuDel, &frmVesk::btnDelete_Click);
    on(popDel, &frmVesk::btnDelete_Click);
    on(mnuExit, &frmVesk::btnQuit_Click);
    on(mnuAll, &frmVesk::btnAll_Click);
    on(mnuDbg, &frmVesk::mnuDbg_Click);
    on(mPopRestore, &frmVesk::mPopRestore_Click);
    on(mpopSearch, &frmVesk::mpopSearch_Click);
    on(mPopExit, &frmVesk::mPopExit_Click);
    on(mnuPrint, &frmVesk::mnuPrint_Click);
    on(popPrint, &frmVesk::popPrint_Click);
    connect(this, &frmVesk::unloaded, this, [this] {
        if (m_report)
            m_report->close(); // the preview goes with the main window
    });
    on(mnuExportVcard, &frmVesk::mnuExportVcard_Click);
    on(mnuImportVcard, &frmVesk::mnuImportVcard_Click);
    on(mnuImportContacts, &frmVesk::mnuImportContacts_Click);
    on(mnuExportContacts, &frmVesk::mnuExportContacts_Click);
    connect(cmbGroup, &QComboBox::activated, this, &frmVesk::cmbGroup_Click);
    on(mnuExportDB, &frmVesk::mnuExportDB_Click);
    on(mnuImportDB, &frmVesk::mnuImportDB_Click);
    on(mnuAbout, &frmVesk::mnuAbout_Click);
    connect(btnMail, &QToolButton::clicked, this, &frmVesk::popSendMail_Click);
    on(mnuSendMail, &frmVesk::popSendMail_Click);
    on(popSendMail, &frmVesk::popSendMail_Click);
    connect(mnuEnableLiveUpdate, &QAction::triggered, this, &frmVesk::mnuEnableLiveUpdate_Click);
    on(mnuCheckVersionUpdate, &frmVesk::mnuCheckVersionUpdate_Click);
    connect(btnDial, &QToolButton::clicked, this, &frmVesk::btnDial_Click);
    on(mnuDialingNum, &frmVesk::btnDial_Click);
    on(popDialing, &frmVesk::popDialing_Click);

    FlexGrid* g = MSHFlexGrid1;
    connect(g, &FlexGrid::Click, this, &frmVesk::MSHFlexGrid1_Click);
    connect(g, &FlexGrid::DblClick, this, &frmVesk::MSHFlexGrid1_DblClick);
    connect(g, &FlexGrid::KeyPress, this, &frmVesk::MSHFlexGrid1_KeyPress);
    connect(g, &FlexGrid::GotFocus, this, &frmVesk::MSHFlexGrid1_GotFocus);
    connect(g, &FlexGrid::MouseDown, this, &frmVesk::MSHFlexGrid1_MouseDown);
    connect(g, &FlexGrid::KeyDown, this, &frmVesk::MSHFlexGrid1_KeyDown);
}

// ---- Commands

void frmVesk::openEditor(const editor::EditRequest& request) {
    // One editor at a time: while it is open the command brings it forward as it is.
    if (!m_editor) {
        m_editor = new editor::FrmNewPhn(m_shared, m_services.prompter, *this, request, this);
        if (!m_editor->Form_Load())
            return;
    }
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
}

QWidget* frmVesk::editorWindow() const {
    return m_editor.data();
}

void frmVesk::btnAdd_Click() {
    openEditor(
        {.UpdateMode = false, .SelectedName = {}, .SelectedCardId = -1, .group = currentGroup()});
}

void frmVesk::btnEdit_Click() {
    FlexGrid& g = *MSHFlexGrid1;
    g.setCol(0);
    const QString SelectedName = offeredName(g.Text());
    const platform::Message ask{
        QStringLiteral("Do you want updating ") + SelectedName + QStringLiteral(" record?"),
        i18n::messages::systemMessage(), platform::Buttons::OkCancel, platform::Icon::Question};
    if (m_services.prompter.ask(ask) != platform::Answer::Ok)
        return;
    g.setCol(0);
    openEditor({.UpdateMode = true,
                .SelectedName = SelectedName,
                .SelectedCardId = g.cardIdAt(g.Row()),
                .group = currentGroup()});
}

void frmVesk::btnSearch_Click() {
    // One search window: a hidden or minimised one comes back with its text and list.
    if (!m_search)
        m_search = new search::SearchFrm(m_shared, m_services.prompter, *this, this);
    m_search->bringBack();
}

search::SearchFrm* frmVesk::searchWindow() const {
    return m_search.data();
}

void frmVesk::btnAll_Click() {
    m_shared.LetterFilter = QStringLiteral("ALL");
    ShowAll();
}

void frmVesk::btnDelete_Click() {
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

void frmVesk::btnQuit_Click() {
    close();
}

void frmVesk::mnuDbg_Click() {
    m_panels[1]->setText(mnuDbg->isChecked() ? m_list.LastListQuery : QString());
}

void frmVesk::cmbGroup_Click() {
    update_list();
}

// ---- The grid

void frmVesk::MSHFlexGrid1_Click() {
    FlexGrid& g = *MSHFlexGrid1;
    if (g.MouseRow() < 1 || !g.isCardRow(g.Row()))
        return;
    m_list.TypedPrefix.clear();
    selectCurrentCell();
}

void frmVesk::selectCurrentCell() {
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

void frmVesk::MSHFlexGrid1_KeyDown(int key) {
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

void frmVesk::moveByKey(int key, bool fromSelected) {
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

void frmVesk::MSHFlexGrid1_DblClick() {
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

void frmVesk::editCurrentRow() {
    if (MSHFlexGrid1->isCardRow(MSHFlexGrid1->Row()))
        btnEdit_Click();
}

void frmVesk::MSHFlexGrid1_KeyPress(QChar key) {
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

void frmVesk::MSHFlexGrid1_GotFocus() {
    m_list.TypedPrefix.clear();
}

void frmVesk::MSHFlexGrid1_MouseDown(Qt::MouseButton button, QPoint globalPos) {
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

void frmVesk::InstallWheelHook() {
    if (!m_wheelHooked)
        MSHFlexGrid1->viewport()->installEventFilter(this);
    m_wheelHooked = true;
}

void frmVesk::RemoveWheelHook() {
    if (m_wheelHooked)
        MSHFlexGrid1->viewport()->removeEventFilter(this);
    m_wheelHooked = false;
}

bool frmVesk::eventFilter(QObject* watched, QEvent* event) {
    if (watched == MSHFlexGrid1->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        MouseWheel(wheel->angleDelta().y());
        return true; // the grid does not scroll a second time on its own
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmVesk::MouseWheel(int zDelta) {
    FlexGrid& g = *MSHFlexGrid1;
    const int top = g.TopRow();
    if (top < g.Rows() - 1 && zDelta > 0)
        g.setTopRow(top + 1);
    else if (top > 1 && zDelta < 0)
        g.setTopRow(top - 1);
}

// ---- Window state

void frmVesk::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmVesk::hideIntoTray() {
    if (!isMinimized() || !trayIconVisible())
        return;
    m_geometryBeforeTray = saveGeometry();
    hide();
}

void frmVesk::Form_Resize() {
    // A minimised window goes to the notification area, but only while there is an icon
    // there to bring it back; otherwise it stays an ordinary minimised window.
    // Hidden once the state change has run its course: showMinimized() itself shows the
    // window again right after announcing the new state.
    if (isMinimized() && trayIconVisible())
        QMetaObject::invokeMethod(this, &frmVesk::hideIntoTray, Qt::QueuedConnection);
    ResizeForm();
}

} // namespace app
