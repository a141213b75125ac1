#include "store/Recordset.h"

#include "store/Sqlite.h"
#include "store/StoreError.h"

#include <QRegularExpression>

namespace store {

int declaredWidth(const QString& declType) {
    static const QRegularExpression re(QStringLiteral(R"(\(\s*(\d+)\s*\))"));
    const auto m = re.match(declType);
    if (m.hasMatch())
        return m.captured(1).toInt();
    return declType.compare(u"BYTE", Qt::CaseInsensitive) == 0 ? 1 : 0;
}

Recordset::Recordset(std::shared_ptr<Connection> db, Query query)
    : m_db(std::move(db)), m_query(std::move(query)) {}

std::unique_ptr<Recordset> Recordset::open(std::shared_ptr<Connection> db, const Query& query) {
    if (!db || !db->isOpen())
        throw StoreError(StoreError::NotOpen, QStringLiteral("The database is not open"));
    std::unique_ptr<Recordset> rs(new Recordset(std::move(db), query));
    rs->load();
    return rs;
}

void Recordset::load() {
    Statement st = m_db->prepare(m_query.sql());
    for (int i = 0; i < m_query.parameters().size(); ++i)
        st.bindText(i + 1, m_query.parameters().at(i));
    // Column 0 is the rowid; the fields follow in table order.
    const int columns = st.columnCount();
    for (int c = 1; c < columns; ++c)
        m_fields.push_back({st.columnName(c), declaredWidth(st.columnDeclType(c))});
    const size_t n = m_fields.size();
    while (st.step()) {
        m_rowids.push_back(st.integer(0));
        for (size_t c = 0; c < n; ++c) {
            const bool null = st.isNull(int(c) + 1);
            m_nulls.push_back(null);
            m_cells.push_back(null ? QString() : st.text(int(c) + 1));
        }
    }
}

void Recordset::requireOpen() const {
    if (m_closed || !m_db->isOpen())
        throw StoreError(StoreError::NotOpen, QStringLiteral("The recordset is closed"));
}

void Recordset::requireCurrent() const {
    requireOpen();
    if (Eof())
        throw StoreError(StoreError::NoCurrentRecord, QStringLiteral("No current record"));
}

void Recordset::MoveFirst() {
    requireOpen();
    m_pos = 0;
}

void Recordset::Move(int n) {
    requireOpen();
    if (n == 0) {
        requireCurrent();
        return;
    }
    const long long target = static_cast<long long>(m_pos) + n;
    if (target < 0 || target > rowCount())
        throw StoreError(StoreError::NoCurrentRecord, QStringLiteral("No current record"));
    m_pos = int(target);
}

void Recordset::MoveNext() {
    requireCurrent();
    ++m_pos;
}

bool Recordset::moveToRowid(qint64 rowid) {
    requireOpen();
    for (int i = 0; i < rowCount(); ++i) {
        if (m_rowids[size_t(i)] == rowid) {
            m_pos = i;
            return true;
        }
    }
    m_pos = rowCount();
    return false;
}

const FieldInfo& Recordset::Field(int i) const {
    if (i < 0 || i >= FieldCount())
        throw StoreError(StoreError::NoSuchField, QStringLiteral("Item not found in this collection"));
    return m_fields[size_t(i)];
}

int Recordset::fieldIndex(const QString& name) const {
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int Recordset::requireField(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw StoreError(StoreError::NoSuchField,
                         QStringLiteral("Item not found in this collection: field '%1'").arg(name));
    return i;
}

Value Recordset::value(int field) const {
    Field(field);
    if (m_editMode != EditMode::None)
        return m_buffer[size_t(field)];
    requireCurrent();
    const size_t at = size_t(m_pos) * m_fields.size() + size_t(field);
    if (m_nulls[at])
        return std::nullopt;
    return m_cells[at];
}

qint64 Recordset::rowid() const {
    requireCurrent();
    return m_rowids[size_t(m_pos)];
}

void Recordset::AddNew() {
    requireOpen();
    m_buffer.assign(m_fields.size(), std::nullopt);
    m_touched.assign(m_fields.size(), false);
    m_editMode = EditMode::Adding;
}

void Recordset::Edit() {
    requireCurrent();
    m_buffer.clear();
    for (int f = 0; f < FieldCount(); ++f) {
        const size_t at = size_t(m_pos) * m_fields.size() + size_t(f);
        m_buffer.push_back(m_nulls[at] ? Value() : Value(m_cells[at]));
    }
    m_touched.assign(m_fields.size(), false);
    m_editMode = EditMode::Editing;
}

void Recordset::setValue(const QString& name, const Value& v) {
    if (m_editMode == EditMode::None)
        throw StoreError(StoreError::NotUpdating,
                         QStringLiteral("Update or CancelUpdate without AddNew or Edit"));
    const int f = requireField(name);
    m_buffer[size_t(f)] = v;
    m_touched[size_t(f)] = true;
}

namespace {
QString quoted(const QString& name) {
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}
} // namespace

void Recordset::insertBuffer() {
    QStringList names, marks;
    for (size_t f = 0; f < m_fields.size(); ++f) {
        if (m_touched[f]) {
            names << quoted(m_fields[f].name);
            marks << QStringLiteral("?");
        }
    }
    const QString table = quoted(m_query.table());
    const QString sql = names.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(table, names.join(u','), marks.join(u','));
    Statement st = m_db->prepare(sql);
    int bindAt = 1;
    for (size_t f = 0; f < m_fields.size(); ++f) {
        if (m_touched[f])
            st.bind(bindAt++, m_buffer[f]);
    }
    st.step();
    // The new row joins the end of the cursor; the current row stays current.
    m_rowids.push_back(m_db->lastInsertRowid());
    for (const Value& v : m_buffer) {
        m_nulls.push_back(!v.has_value());
        m_cells.push_back(v.value_or(QString()));
    }
}

// "rowid = ? AND "f1" IS ? AND ...": the row still holds what the cursor read.
QString Recordset::sameRow() const {
    QStringList tests{QStringLiteral("rowid = ?")};
    for (const FieldInfo& f : m_fields)
        tests << quoted(f.name) + QStringLiteral(" IS ?");
    return tests.join(QStringLiteral(" AND "));
}

int Recordset::bindSameRow(Statement& st, int at) const {
    st.bindInteger(at++, m_rowids[size_t(m_pos)]);
    for (int f = 0; f < FieldCount(); ++f) {
        const size_t cell = size_t(m_pos) * m_fields.size() + size_t(f);
        st.bind(at++, m_nulls[cell] ? Value() : Value(m_cells[cell]));
    }
    return at;
}

void Recordset::requireChanged() const {
    if (m_db->changes() != 1)
        throw StoreError(StoreError::NoCurrentRecord,
                         QStringLiteral("The record has been changed or deleted by another user"));
}

void Recordset::updateBuffer() {
    requireCurrent();
    QStringList sets;
    for (size_t f = 0; f < m_fields.size(); ++f)
        sets << quoted(m_fields[f].name) + QStringLiteral(" = ?");
    Statement st = m_db->prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                     .arg(quoted(m_query.table()), sets.join(u','), sameRow()));
    int bindAt = 1;
    for (const Value& v : m_buffer)
        st.bind(bindAt++, v);
    bindSameRow(st, bindAt);
    st.step();
    requireChanged();
    for (size_t f = 0; f < m_fields.size(); ++f) {
        const size_t at = size_t(m_pos) * m_fields.size() + f;
        m_nulls[at] = !m_buffer[f].has_value();
        m_cells[at] = m_buffer[f].value_or(QString());
    }
}

void Recordset::Update() {
    requireOpen();
    if (m_editMode == EditMode::None)
        throw StoreError(StoreError::NotUpdating,
                         QStringLiteral("Update or CancelUpdate without AddNew or Edit"));
    // A refused write leaves the edit pending, as the engine does, so the caller may retry
    // or cancel.
    if (m_editMode == EditMode::Adding)
        insertBuffer();
    else
        updateBuffer();
    m_editMode = EditMode::None;
}

void Recordset::Delete() {
    requireCurrent();
    Statement st = m_db->prepare(QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(m_query.table()), sameRow()));
    bindSameRow(st, 1);
    st.step();
    requireChanged();
    const auto n = std::ptrdiff_t(m_fields.size());
    const auto first = std::ptrdiff_t(m_pos) * n;
    m_cells.erase(m_cells.begin() + first, m_cells.begin() + first + n);
    m_nulls.erase(m_nulls.begin() + first, m_nulls.begin() + first + n);
    m_rowids.erase(m_rowids.begin() + m_pos);
}

void Recordset::Close() {
    m_closed = true;
    m_cells.clear();
    m_nulls.clear();
    m_rowids.clear();
}

} // namespace store
