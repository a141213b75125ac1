#include "app/GridModel.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <numeric>

namespace app {

QColor infoBackground() {
    return QGuiApplication::palette().color(QPalette::Inactive, QPalette::ToolTipBase);
}

namespace {
Qt::Alignment qtAlignment(GridAlign align) {
    // Absolute, so that "right" means the right edge in a right-to-left grid too.
    switch (align) {
    case GridAlign::Centre:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case GridAlign::Right:
        return Qt::AlignRight | Qt::AlignVCenter | Qt::AlignAbsolute;
    case GridAlign::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter | Qt::AlignAbsolute;
}
} // namespace

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GridCols;
}

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
    case Qt::AccessibleTextRole:
        return r.cells[size_t(index.column())];
    case Qt::BackgroundRole: {
        const QColor c = cellBackground(index.row(), index.column());
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::ForegroundRole:
        return r.fore.isValid() ? QVariant(r.fore) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(qtAlignment(m_align[size_t(index.column())]));
    default:
        return {};
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

void GridModel::setAlignment(int col, GridAlign align) {
    m_align[size_t(col)] = align;
    emit headerDataChanged(Qt::Horizontal, col, col);
    if (!m_rows.empty())
        emit dataChanged(index(0, col), index(count() - 1, col), {Qt::TextAlignmentRole});
}

void GridModel::paintRow(int row, const QColor& back, const QColor& fore, int darkCol) {
    GridRow& r = m_rows[size_t(row)];
    r.back = back;
    r.fore = fore;
    r.darkCol = darkCol;
    emit dataChanged(index(row, 0), index(row, GridCols - 1),
                     {Qt::BackgroundRole, Qt::ForegroundRole});
}

namespace {
// -1, 0 or 1 as a before, equal to or after b in the generic order.
int genericCompare(const QString& a, const QString& b) {
    bool aNumber = false;
    bool bNumber = false;
    const double x = a.trimmed().toDouble(&aNumber);
    const double y = b.trimmed().toDouble(&bNumber);
    if (aNumber && bNumber)
        return x < y ? -1 : (y < x ? 1 : 0);
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
} // namespace

std::vector<int> GridModel::sortGeneric(int col) {
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    const size_t c = size_t(std::clamp(col, 0, GridCols - 1));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return genericCompare(m_rows[size_t(a)].cells[c], m_rows[size_t(b)].cells[c]) < 0;
    });
    beginResetModel();
    std::vector<GridRow> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newIndex(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newIndex[size_t(order[i])] = int(i);
        sorted.push_back(std::move(m_rows[size_t(order[i])]));
    }
    m_rows = std::move(sorted);
    endResetModel();
    return newIndex;
}

} // namespace app
