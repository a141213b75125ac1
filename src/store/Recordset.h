#pragma once

#include "store/Query.h"

#include <QString>

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

// An updatable cursor over the rows of a query, in the query's order. The rows are read
// once when it opens; each row keeps its rowid, and Edit/Update and Delete write only when
// the row with that rowid still holds every value read (another program may have changed
// the file meanwhile). Each write is committed at once (unless a Transaction is open).
class Recordset {
public:
    static std::unique_ptr<Recordset> open(std::shared_ptr<Connection> db, const Query& query);

    const Query& query() const { return m_query; }
    Connection& connection() const { return *m_db; }

    // Position.
    bool Eof() const { return m_pos >= rowCount(); }
    int RecordCount() const { return rowCount(); }
    void MoveFirst();
    void Move(int n);
    void MoveNext();
    // Makes the row with this rowid current; false (and at end) when there is none.
    bool moveToRowid(qint64 rowid);

    // Fields.
    int FieldCount() const { return int(m_fields.size()); }
    const FieldInfo& Field(int i) const;
    int fieldIndex(const QString& name) const; // -1 when there is no such field
    int Size(const QString& name) const { return Field(requireField(name)).size; }

    // The current row's values; an edit buffer's while AddNew or Edit is pending.
    Value value(int field) const;
    Value value(const QString& name) const { return value(requireField(name)); }
    qint64 rowid() const;

    // Writing.
    void AddNew();
    void Edit();
    void setValue(const QString& name, const Value& v);
    void Update();
    void CancelUpdate() { m_editMode = EditMode::None; }
    void Delete();
    void Close();
    bool isOpen() const { return !m_closed; }

private:
    enum class EditMode { None, Adding, Editing };

    Recordset(std::shared_ptr<Connection> db, Query query);
    int rowCount() const { return int(m_rowids.size()); }
    int requireField(const QString& name) const;
    void requireCurrent() const;
    void requireOpen() const;
    void load();
    void insertBuffer();
    void updateBuffer();
    QString sameRow() const;
    int bindSameRow(Statement& st, int at) const;
    void requireChanged() const;

    std::shared_ptr<Connection> m_db;
    Query m_query;
    std::vector<FieldInfo> m_fields;
    // Row-major cells; a null QString is never stored, Null is kept in m_nulls.
    std::vector<QString> m_cells;
    std::vector<bool> m_nulls;
    std::vector<qint64> m_rowids;
    int m_pos = 0;
    bool m_closed = false;
    EditMode m_editMode = EditMode::None;
    std::vector<Value> m_buffer;
    std::vector<bool> m_touched;
};

// Declared width from a column type such as "TEXT(20)"; 0 when none is declared.
int declaredWidth(const QString& declType);

} // namespace store
