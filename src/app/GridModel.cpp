#include "app/GridModel.h"

#include "store/Recordset.h"
#include "store/Text.h"

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

// The paints every list uses, by number.
enum : std::uint8_t { Unpainted = 0, WhiteRow = 1, InfoRow = 2 };
} // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {
    m_paints = {Paint{}, Paint{}, Paint{}};
    clear();
}

GridModel::~GridModel() = default;

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GridCols;
}

std::uint8_t GridModel::paintIndex(const Paint& paint) {
    const auto found = std::find(m_paints.begin(), m_paints.end(), paint);
    if (found != m_paints.end())
        return std::uint8_t(found - m_paints.begin());
    if (m_paints.size() > 255) {
        // Too many kinds: keep those the rows still use (the first three always).
        std::vector<bool> used(m_paints.size(), false);
        used[Unpainted] = used[WhiteRow] = used[InfoRow] = true;
        for (std::uint8_t p : m_paint)
            used[p] = true;
        std::vector<std::uint8_t> renumber(m_paints.size(), 0);
        std::vector<Paint> kept;
        for (size_t i = 0; i < m_paints.size(); ++i) {
            if (used[i]) {
                renumber[i] = std::uint8_t(kept.size());
                kept.push_back(m_paints[i]);
            }
        }
        for (std::uint8_t& p : m_paint)
            p = renumber[p];
        m_paints = std::move(kept);
    }
    m_paints.push_back(paint);
    return std::uint8_t(m_paints.size() - 1);
}

QString GridModel::cell(int i, int col) const {
    const int slot = m_slots[size_t(i)];
    const int field = m_fieldOf[size_t(col)];
    if (slot < 0 || field < 0)
        return {};
    const QByteArrayView bytes = m_rows->utf8(slot, field);
    const QString text = QString::fromUtf8(bytes.data(), bytes.size());
    return m_trim ? store::trimSpaces(text) : text;
}

int GridModel::findPrefix(int col, const QString& prefix, int from) const {
    const QByteArray bytes = prefix.toUtf8();
    const int field = m_fieldOf[size_t(col)];
    if (!m_rows || field < 0)
        return bytes.isEmpty() && from < count() ? from : -1;
    for (int i = std::max(from, 0); i < count(); ++i) {
        const int slot = m_slots[size_t(i)];
        const QByteArrayView cellBytes =
            slot < 0 ? QByteArrayView() : store::trimSpaces(m_rows->utf8(slot, field));
        if (cellBytes.startsWith(bytes))
            return i;
    }
    return -1;
}

qint64 GridModel::cardId(int i) const {
    const int slot = m_slots[size_t(i)];
    return slot < 0 ? -1 : m_rows->rowid(slot);
}

GridRow GridModel::row(int i) const {
    GridRow r;
    for (int c = 0; c < GridCols; ++c)
        r.cells[size_t(c)] = cell(i, c);
    r.cardId = cardId(i);
    const Paint& p = paintOf(i);
    r.back = p.back;
    r.fore = p.fore;
    r.darkCol = p.darkCol;
    return r;
}

QColor GridModel::cellBackground(int row, int col) const {
    const Paint& p = paintOf(row);
    return p.darkCol == col ? darkBlue() : p.back;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return cell(index.row(), index.column());
    case Qt::BackgroundRole: {
        const QColor c = cellBackground(index.row(), index.column());
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::ForegroundRole: {
        const QColor& fore = paintOf(index.row()).fore;
        return fore.isValid() ? QVariant(fore) : QVariant();
    }
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

void GridModel::showCards(std::shared_ptr<const store::RowStore> rows, std::vector<int> order,
                          const std::array<int, GridCols>& fieldOf) {
    beginResetModel();
    m_rows = std::move(rows);
    m_fieldOf = fieldOf;
    m_trim = true;
    m_slots = std::move(order);
    m_slots.push_back(-1); // the empty row after the last card
    // The shades the fill's painting gives, whatever the desktop's colours are now.
    m_paints[WhiteRow] = {QColor(Qt::white), QColor(Qt::black), -1};
    m_paints[InfoRow] = {infoBackground(), QColor(Qt::black), -1};
    m_paint.assign(m_slots.size(), Unpainted);
    for (size_t i = 0; i + 1 < m_slots.size(); ++i)
        m_paint[i] = i % 2 == 0 ? WhiteRow : InfoRow;
    endResetModel();
}

void GridModel::setRows(const std::vector<GridRow>& rows) {
    auto store = std::make_shared<store::RowStore>(GridCols);
    std::vector<int> rowSlots;
    std::vector<std::uint8_t> paint;
    for (const GridRow& r : rows) {
        rowSlots.push_back(
            store->add(r.cardId, std::vector<store::Value>(r.cells.begin(), r.cells.end())));
        paint.push_back(paintIndex({r.back, r.fore, r.darkCol}));
    }
    beginResetModel();
    m_rows = std::move(store);
    std::iota(m_fieldOf.begin(), m_fieldOf.end(), 0);
    m_trim = false;
    m_slots = std::move(rowSlots);
    m_paint = std::move(paint);
    endResetModel();
}

void GridModel::clear() {
    beginResetModel();
    m_rows.reset();
    m_slots.assign(1, -1);
    m_paint.assign(1, Unpainted);
    endResetModel();
}

void GridModel::removeCardRow(int i) {
    beginRemoveRows({}, i, i);
    m_slots.erase(m_slots.begin() + i);
    m_paint.erase(m_paint.begin() + i);
    endRemoveRows();
}

void GridModel::insertCardRow(int i, int slot) {
    beginInsertRows({}, i, i);
    m_slots.insert(m_slots.begin() + i, slot);
    m_paint.insert(m_paint.begin() + i, Unpainted);
    endInsertRows();
}

void GridModel::shadeAlternately() {
    m_paints[WhiteRow] = {QColor(Qt::white), QColor(Qt::black), -1};
    m_paints[InfoRow] = {infoBackground(), QColor(Qt::black), -1};
    for (size_t i = 0; i < m_slots.size(); ++i)
        m_paint[i] = m_slots[i] < 0 ? Unpainted : (i % 2 == 0 ? WhiteRow : InfoRow);
    if (!m_slots.empty())
        emit dataChanged(index(0, 0), index(count() - 1, GridCols - 1),
                         {Qt::BackgroundRole, Qt::ForegroundRole});
}

void GridModel::setHeading(int col, const QString& text) {
    m_headings[size_t(col)] = text;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void GridModel::setAlignment(int col, GridAlign align) {
    m_align[size_t(col)] = align;
    emit headerDataChanged(Qt::Horizontal, col, col);
    if (count() > 0)
        emit dataChanged(index(0, col), index(count() - 1, col), {Qt::TextAlignmentRole});
}

void GridModel::paintRow(int row, const QColor& back, const QColor& fore, int darkCol) {
    m_paint[size_t(row)] = paintIndex({back, fore, darkCol});
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
    const int c = std::clamp(col, 0, GridCols - 1);
    std::vector<QString> texts(m_slots.size());
    for (size_t i = 0; i < texts.size(); ++i)
        texts[i] = cell(int(i), c);
    std::vector<int> order(m_slots.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return genericCompare(texts[size_t(a)], texts[size_t(b)]) < 0;
    });
    beginResetModel();
    std::vector<int> rowSlots(m_slots.size());
    std::vector<std::uint8_t> paint(m_slots.size());
    std::vector<int> newIndex(m_slots.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newIndex[size_t(order[i])] = int(i);
        rowSlots[i] = m_slots[size_t(order[i])];
        paint[i] = m_paint[size_t(order[i])];
    }
    m_slots = std::move(rowSlots);
    m_paint = std::move(paint);
    endResetModel();
    return newIndex;
}

} // namespace app
