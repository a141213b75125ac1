#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include <array>
#include <memory>
#include <vector>

namespace store {
class RowStore;
}

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

// The contact grid's cells below the heading row. Heading texts are header data.
//
// The rows are those of a cursor's store (store::RowStore), in an order of their own (a sort
// by a heading changes it), followed by one empty row. A cell becomes text only when it is
// asked for (painted, read); nothing is copied per card when the list is filled. Each row's
// paint is one of a few kinds, kept as a small number per row.
class GridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);
    ~GridModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Shows `order`'s slots of `rows`, `fieldOf` giving each column's field (-1: an empty
    // column), then the empty row; card rows alternate white and the info background, from
    // white. Resets the model once.
    void showCards(std::shared_ptr<const store::RowStore> rows, std::vector<int> order,
                   const std::array<int, GridCols>& fieldOf);
    // Rows given as texts (the empty row included); for grids that show no cursor.
    void setRows(const std::vector<GridRow>& rows);
    // Only the empty row.
    void clear();

    // A row as a whole (its seven texts converted), its card and a single cell.
    GridRow row(int i) const;
    qint64 cardId(int i) const;
    QString cell(int i, int col) const;
    int count() const { return int(m_slots.size()); }
    // The first row from `from` on whose cell in `col`, trimmed of blanks, begins with
    // `prefix` exactly; -1 for none. Compared as stored, without making a text of each cell.
    int findPrefix(int col, const QString& prefix, int from = 0) const;
    // Whether the rows shown are those of this store.
    bool shows(const store::RowStore* rows) const { return rows && m_rows.get() == rows; }
    // The store row a grid row shows; -1 for the empty row.
    int slotAt(int i) const { return m_slots[size_t(i)]; }

    // A card row taken out, or one put in at `i`, showing `slot` of the store shown.
    void removeCardRow(int i);
    void insertCardRow(int i, int slot);
    // Every card row in the shade a fill gives its place; the empty row unpainted.
    void shadeAlternately();

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
    struct Paint {
        QColor back;
        QColor fore;
        int darkCol = -1;
        bool operator==(const Paint&) const = default;
    };
    // The number of a paint, added to the kinds in use when new.
    std::uint8_t paintIndex(const Paint& paint);
    const Paint& paintOf(int row) const { return m_paints[m_paint[size_t(row)]]; }

    std::shared_ptr<const store::RowStore> m_rows;
    std::array<int, GridCols> m_fieldOf{};
    bool m_trim = false;               // cells shown trimmed of blanks (a list's, not texts given)
    std::vector<int> m_slots;          // the store slot of each row; -1 for an empty row
    std::vector<std::uint8_t> m_paint; // each row's paint, an index into m_paints
    std::vector<Paint> m_paints;       // 0: unpainted, 1: white, 2: the info background
    std::array<QString, GridCols> m_headings;
    std::array<GridAlign, GridCols> m_align{}; // every column left until the list sets them
};

} // namespace app
