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

private:
    Recordset(std::shared_ptr<Connection> db, Query query);
    int rowCount() const { return int(m_rowids.size()); }
    int requireField(const QString& name) const;
    void requireCurrent() const;
    void requireOpen() const;
    void load();

    std::shared_ptr<Connection> m_db;
    Query m_query;
    std::vector<FieldInfo> m_fields;
    // Row-major cells; a null QString is never stored, Null is kept in m_nulls.
    std::vector<QString> m_cells;
    std::vector<bool> m_nulls;
    std::vector<qint64> m_rowids;
    int m_pos = 0;
};

// Declared width from a column type such as "TEXT(20)"; 0 when none is declared.
int declaredWidth(const QString& declType);

} // namespace store
