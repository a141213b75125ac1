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
    if (!m_db->isOpen())
        throw StoreError(StoreError::NotOpen, QStringLiteral("The recordset is closed"));
}

void Recordset::requireCurrent() const {
    requireOpen();
    if (atEnd())
        throw StoreError(StoreError::NoCurrentRecord, QStringLiteral("No current record"));
}

void Recordset::first() {
    requireOpen();
    m_pos = 0;
}

void Recordset::next() {
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

const FieldInfo& Recordset::fieldInfo(int i) const {
    if (i < 0 || i >= fieldCount())
        throw StoreError(StoreError::NoSuchField,
                         QStringLiteral("Item not found in this collection"));
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
    fieldInfo(field);
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

} // namespace store
