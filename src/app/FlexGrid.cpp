#include "app/FlexGrid.h"

#include "app/Twips.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

namespace app {

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent) {
    setModel(&m_model);
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
}

void FlexGrid::setRow(int row) {
    m_row = std::clamp(row, 0, Rows() - 1);
}

void FlexGrid::setCol(int col) { m_col = std::clamp(col, 0, GridCols - 1); }

QString FlexGrid::TextMatrix(int row, int col) const {
    if (col < 0 || col >= GridCols)
        return {};
    if (row == 0)
        return m_model.heading(col);
    if (row < 1 || row > m_model.count())
        return {};
    return m_model.row(row - 1).cells[size_t(col)];
}

QColor FlexGrid::CellBackColor() const {
    if (m_row < 1 || m_row > m_model.count())
        return {};
    return m_model.cellBackground(m_row - 1, m_col);
}

int FlexGrid::TopRow() const { return verticalScrollBar()->value() + 1; }

void FlexGrid::setTopRow(int row) { verticalScrollBar()->setValue(std::max(0, row - 1)); }

void FlexGrid::setColWidthTwips(int col, int twips, int dpi) {
    m_widthTwips[size_t(col)] = twips;
    setColumnWidth(col, Twips(dpi).px(twips));
}

void FlexGrid::clearAll() {
    m_model.setRows({GridRow{}});
    for (int c = 0; c < GridCols; ++c)
        m_model.setHeading(c, QString());
    m_row = 0;
    m_col = 0;
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    const int r = rowAt(event->position().toPoint().y());
    const int c = columnAt(event->position().toPoint().x());
    m_mouseRow = r < 0 ? 0 : r + 1;
    if (r >= 0 && c >= 0) {
        m_row = r + 1;
        m_col = c;
    }
    QTableView::mousePressEvent(event);
}

} // namespace app
