#include "app/GridModel.h"

namespace app {

namespace {
Qt::Alignment qtAlignment(int code) {
    // Absolute, so that "right" means the right edge in a right-to-left grid too.
    switch (code) {
    case 4: return Qt::AlignHCenter | Qt::AlignVCenter;
    case 7: return Qt::AlignRight | Qt::AlignVCenter | Qt::AlignAbsolute;
    default: return Qt::AlignLeft | Qt::AlignVCenter | Qt::AlignAbsolute;
    }
}
} // namespace

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : GridCols; }

QColor GridModel::cellBackground(int row, int col) const {
    const GridRow& r = m_rows[size_t(row)];
    return r.darkCol == col ? darkBlue() : r.back;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const GridRow& r = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return r.cells[size_t(index.column())];
    case Qt::BackgroundRole: {
        const QColor c = cellBackground(index.row(), index.column());
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::ForegroundRole: return r.fore.isValid() ? QVariant(r.fore) : QVariant();
    case Qt::TextAlignmentRole: return QVariant::fromValue(qtAlignment(m_align[size_t(index.column())]));
    default: return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= GridCols)
        return {};
    if (role == Qt::DisplayRole)
        return m_headings[size_t(section)];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(qtAlignment(m_align[size_t(section)]));
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void GridModel::setRows(std::vector<GridRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void GridModel::setHeading(int col, const QString& text) {
    m_headings[size_t(col)] = text;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void GridModel::setAlignment(int col, int code) {
    m_align[size_t(col)] = code;
    emit headerDataChanged(Qt::Horizontal, col, col);
    if (!m_rows.empty())
        emit dataChanged(index(0, col), index(count() - 1, col), {Qt::TextAlignmentRole});
}

void GridModel::setText(int row, int col, const QString& text) {
    m_rows[size_t(row)].cells[size_t(col)] = text;
    emit dataChanged(index(row, col), index(row, col), {Qt::DisplayRole});
}

void GridModel::paintRow(int row, const QColor& back, const QColor& fore, int darkCol) {
    GridRow& r = m_rows[size_t(row)];
    r.back = back;
    r.fore = fore;
    r.darkCol = darkCol;
    emit dataChanged(index(row, 0), index(row, GridCols - 1), {Qt::BackgroundRole, Qt::ForegroundRole});
}

} // namespace app
