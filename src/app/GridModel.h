#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include <array>
#include <vector>

namespace app {

inline constexpr int GridCols = 7;

// A column's alignment, centred vertically. Left and right are absolute: "right" stays the
// right edge in a right-to-left grid.
enum class GridAlign { Left = 0, Centre, Right };

// One grid row below the heading: the texts of its seven cells, the identity of the card it
// shows (the card's rowid; -1 for the trailing empty row) and its paint.
struct GridRow {
    std::array<QString, GridCols> cells;
    qint64 cardId = -1;
    QColor back;
    QColor fore;
    int darkCol = -1; // the selected row's dark cell
};

// The shade of every other card row: the desktop's tooltip background.
QColor infoBackground();

// The contact grid's cells below the heading row. Heading texts are header data. A fill
// hands over all rows at once and resets the model once.
class GridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setRows(std::vector<GridRow> rows);
    const GridRow& row(int i) const { return m_rows[size_t(i)]; }
    int count() const { return int(m_rows.size()); }

    void setHeading(int col, const QString& text);
    QString heading(int col) const { return m_headings[size_t(col)]; }
    void setAlignment(int col, GridAlign align);
    GridAlign alignment(int col) const { return m_align[size_t(col)]; }
    void paintRow(int row, const QColor& back, const QColor& fore, int darkCol);
    // Sorts every row (the empty one too) ascending by one column: numbers by value when both
    // texts are numbers, other texts without regard to case; equal rows keep their order.
    // Returns, for each old row index, its new index.
    std::vector<int> sortGeneric(int col);

    static QColor darkBlue() { return QColor(0, 0, 0xC0); }        // 0xC00000 in blue-green-red
    static QColor lightBlue() { return QColor(0x80, 0x80, 0xFF); } // 0xFF8080
    QColor cellBackground(int row, int col) const;

private:
    std::vector<GridRow> m_rows;
    std::array<QString, GridCols> m_headings;
    std::array<GridAlign, GridCols> m_align{}; // every column left until the list sets them
};

} // namespace app
