#pragma once

#include "store/Query.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace store {

class Connection;
class Statement;

using Value = std::optional<QString>; // no value = Null

struct FieldInfo {
    QString name;
    int size = 0; // declared width in characters; 0 where none is declared
};

// The rows a cursor has read, kept compactly: every field's text as UTF-8 in one buffer, each
// row with its rowid. Rows are only ever added, each in a slot of its own; a cursor (and the
// grid that shows it) keeps its own order of slots, so a list of 100,000 cards is a few large
// blocks, not 700,000 strings to make and free.
class RowStore {
public:
    // `orderedField` is the field a list is ordered by (-1 for none): whether a row holds
    // something else than text there is noted (see anyNotText).
    explicit RowStore(int fields, int orderedField = -1)
        : m_fields(fields), m_orderedField(orderedField) {}

    int fieldCount() const { return m_fields; }
    int slotCount() const { return int(m_rowids.size()); }

    // Adds the current row of a statement whose column 0 is the rowid and whose fields follow;
    // returns its slot.
    int add(const Statement& st);
    // Adds a row from texts (a Null for no value); returns its slot.
    int add(qint64 rowid, const std::vector<Value>& cells);

    qint64 rowid(int slot) const { return m_rowids[size_t(slot)]; }
    bool isNull(int slot, int field) const { return m_ends[cell(slot, field)] & NullBit; }
    // The field's UTF-8 bytes; empty for Null.
    QByteArrayView utf8(int slot, int field) const;
    Value value(int slot, int field) const;
    // Whether some row held something other than text or Null (a number, a blob) in a field;
    // only the ordered field is watched, any other field answers true.
    bool anyNotText(int field) const;

private:
    static constexpr std::uint32_t NullBit = 0x80000000u;
    size_t cell(int slot, int field) const {
        return size_t(slot) * size_t(m_fields) + size_t(field);
    }
    void endCell(bool null);

    int m_fields;
    int m_orderedField;
    std::vector<char> m_text;
    std::vector<std::uint32_t> m_ends; // per cell: end of its bytes in m_text, NullBit for Null
    std::vector<qint64> m_rowids;
    std::vector<int> m_notText; // the fields where some row held a number or a blob
};

// A cursor over the rows of a query, in the query's order, read once when it opens; each
// row keeps its rowid. Cards are written by rowid through the functions of ContactRecord.h.
class Recordset {
public:
    static std::unique_ptr<Recordset> open(std::shared_ptr<Connection> db, const Query& query);

    const Query& query() const { return m_query; }
    Connection& connection() const { return *m_db; }

    // Position.
    bool atEnd() const { return m_pos >= rowCount(); }
    int size() const { return rowCount(); }
    void first();
    void next();
    void toEnd() { m_pos = rowCount(); } // past the last row, as a reading leaves it
    // Makes the row with this rowid current; false (and at end) when there is none.
    bool moveToRowid(qint64 rowid);

    // Fields.
    int fieldCount() const { return int(m_fields.size()); }
    const FieldInfo& fieldInfo(int i) const;
    int fieldIndex(const QString& name) const; // -1 when there is no such field

    // The current row's values.
    Value value(int field) const;
    Value value(const QString& name) const { return value(requireField(name)); }
    qint64 rowid() const;

    // The rows as stored, and the slot of each row in cursor order; the grid shows them
    // without copying.
    std::shared_ptr<const RowStore> rows() const { return m_rows; }
    const std::vector<int>& order() const { return m_order; }

    // A card the program itself has just written, brought into the cursor without reading
    // the query again: the row of `rowid` leaves the cursor; when `query` (this cursor's
    // query narrowed to that card) still finds it, it comes back at the place the query's
    // order gives it. Returns the old position (-1 when it was not there) and the new one
    // (-1 when it is not there now), and leaves the cursor at its end, as a reading does.
    // `nameField` orders the rows by name. False when the rows cannot be ordered here (a
    // name that is not text), and then nothing has changed.
    struct Moved {
        int from = -1;
        int to = -1;
    };
    std::optional<Moved> refreshRow(qint64 rowid, const Query& query, int nameField,
                                    bool descending);

private:
    Recordset(std::shared_ptr<Connection> db, Query query);
    int rowCount() const { return int(m_order.size()); }
    int requireField(const QString& name) const;
    void requireCurrent() const;
    void requireOpen() const;
    void load();
    // The position where a row of this slot belongs in the query's order.
    int placeOf(int slot, int nameField, bool descending) const;

    std::shared_ptr<Connection> m_db;
    Query m_query;
    std::vector<FieldInfo> m_fields;
    std::shared_ptr<RowStore> m_rows;
    std::vector<int> m_order; // slot of each row, in cursor order
    int m_pos = 0;
};

// Declared width from a column type such as "TEXT(20)"; 0 when none is declared.
int declaredWidth(const QString& declType);

// The order of names in the list query (the engine's NOCASE collation: ASCII letters without
// regard to case, everything else by its UTF-8 bytes): negative, 0 or positive.
int compareNoCase(QByteArrayView a, QByteArrayView b);

} // namespace store
