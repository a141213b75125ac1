#include "app/FlexGrid.h"

#include "app/Twips.h"
#include "shell/TextDirection.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace app {

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent) {
    setModel(&m_model);
    // Each cell reads in its own text's direction inside the grid's.
    setItemDelegate(new shell::OwnDirectionDelegate(this));
    // Rows of one fixed height, so a list of 100,000 cards scrolls without measuring each.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setTabKeyNavigation(false);

    // A press on the heading makes its column current and sets the mouse row to the heading.
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this, [this](int section) {
        m_mouseRow = 0;
        m_col = std::clamp(section, 0, GridCols - 1);
        emit leftPressed();
    });
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int section) {
        m_mouseRow = 0;
        m_col = std::clamp(section, 0, GridCols - 1);
        emit leftDoubleClicked();
    });
    // The header takes no right press of its own: it is the grid's, for the context menu.
    horizontalHeader()->viewport()->installEventFilter(this);
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() != Qt::LeftButton) {
            m_mouseRow = 0;
            emit otherButtonPressed(press->button(), press->globalPosition().toPoint());
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void FlexGrid::setCurrentRow(int row) {
    m_row = std::clamp(row, 0, rowCount() - 1);
}

void FlexGrid::setCurrentColumn(int col) {
    m_col = std::clamp(col, 0, GridCols - 1);
}

QString FlexGrid::cellText(int row, int col) const {
    if (col < 0 || col >= GridCols)
        return {};
    if (row == 0)
        return m_model.heading(col);
    if (row < 1 || row > m_model.count())
        return {};
    return m_model.cell(row - 1, col);
}

int FlexGrid::topRow() const {
    return verticalScrollBar()->value() + 1;
}

void FlexGrid::setTopRow(int row) {
    verticalScrollBar()->setValue(std::max(0, row - 1));
}

void FlexGrid::setColumnWidthTwips(int col, int twips, int dpi) {
    setColumnWidth(col, Twips(dpi).px(twips));
}

void FlexGrid::clearAll() {
    m_model.clear();
    for (int c = 0; c < GridCols; ++c)
        m_model.setHeading(c, QString());
    m_row = 0;
    m_col = 0;
}

qint64 FlexGrid::cardIdAt(int row) const {
    if (row < 1 || row > m_model.count())
        return -1;
    return m_model.cardId(row - 1);
}

std::vector<int> FlexGrid::sortRows(int col) {
    const std::vector<int> moved = m_model.sortGeneric(col);
    std::vector<int> rows(moved.size() + 1, 0);
    for (size_t i = 0; i < moved.size(); ++i)
        rows[i + 1] = moved[i] + 1;
    return rows;
}

void FlexGrid::showRow(int row) {
    if (row >= 1 && row <= m_model.count())
        scrollTo(m_model.index(row - 1, std::clamp(m_col, 0, GridCols - 1)));
}

void FlexGrid::trackMouse(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const int r = rowAt(p.y());
    const int c = columnAt(p.x());
    m_mouseRow = r < 0 ? -1 : r + 1;
    // The left button moves the current cell, and the right one too, so the context menu acts
    // on the card pressed.
    if ((event->button() == Qt::LeftButton || event->button() == Qt::RightButton) && r >= 0 &&
        c >= 0) {
        m_row = r + 1;
        m_col = c;
    }
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    trackMouse(event);
    if (event->button() == Qt::LeftButton) {
        emit leftPressed();
    } else {
        emit otherButtonPressed(event->button(), event->globalPosition().toPoint());
    }
    event->accept();
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The double click carries its own position; it need not follow a press on the same cell.
    trackMouse(event);
    if (event->button() == Qt::LeftButton)
        emit leftDoubleClicked();
    event->accept();
}

int FlexGrid::pageRows() const {
    return std::max(1, viewport()->height() / std::max(1, rowHeight(0)) - 1);
}

void FlexGrid::moveTo(int row, int col) {
    setCurrentRow(row);
    setCurrentColumn(col);
    // The view's own current index follows, so that screen readers announce the cell.
    if (m_row >= 1) {
        const QModelIndex index = m_model.index(m_row - 1, m_col);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        scrollTo(index);
    }
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    static constexpr int commandKeys[] = {
        Qt::Key_Return,   Qt::Key_Enter, Qt::Key_Delete, Qt::Key_Up,   Qt::Key_Down, Qt::Key_PageUp,
        Qt::Key_PageDown, Qt::Key_Home,  Qt::Key_End,    Qt::Key_Left, Qt::Key_Right};
    if (std::find(std::begin(commandKeys), std::end(commandKeys), event->key()) !=
        std::end(commandKeys)) {
        emit commandKeyPressed(event->key());
        event->accept();
        return;
    }
    // A key that types a character (Esc and Backspace included) goes to the name jump.
    const QString text = event->text();
    if (!text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        for (QChar ch : text)
            emit characterTyped(ch);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void FlexGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit focusEntered();
}

} // namespace app
