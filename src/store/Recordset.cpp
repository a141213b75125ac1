#include "store/Recordset.h"

#include "store/Sqlite.h"
#include "store/StoreError.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace store {

int declaredWidth(const QString& declType) {
    static const QRegularExpression re(QStringLiteral(R"(\(\s*(\d+)\s*\))"));
    const auto m = re.match(declType);
    if (m.hasMatch())
        return m.captured(1).toInt();
    return declType.compare(u"BYTE", Qt::CaseInsensitive) == 0 ? 1 : 0;
}

int compareNoCase(QByteArrayView a, QByteArrayView b) {
    // As the engine compares: ASCII letters folded, the bytes otherwise, up to the shorter
    // length (a zero byte ends the comparison there), then the longer one after.
    const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : int(c); };
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x == 0 || fold(x) != fold(y))
            return fold(x) - fold(y);
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// ---- RowStore

void RowStore::endCell(bool null) {
    if (m_text.size() >= NullBit)
        throw StoreError(StoreError::BadQuery, QStringLiteral("The list is too large"));
    m_ends.push_back(std::uint32_t(m_text.size()) | (null ? NullBit : 0u));
}

int RowStore::add(const Statement& st) {
    m_rowids.push_back(st.integer(0));
    for (int f = 0; f < m_fields; ++f) {
        // The ordered field's kind is asked before its text, which would convert a number.
        if (f == m_orderedField && !st.isText(f + 1) && !st.isNull(f + 1) &&
            std::find(m_notText.begin(), m_notText.end(), f) == m_notText.end())
            m_notText.push_back(f);
        // Two calls per cell, as a bare reading makes: the text (none for Null), its length.
        const QByteArrayView bytes = st.utf8(f + 1);
        if (!bytes.isNull())
            m_text.insert(m_text.end(), bytes.begin(), bytes.end());
        endCell(bytes.isNull());
    }
    return slotCount() - 1;
}

int RowStore::add(qint64 rowid, const std::vector<Value>& cells) {
    m_rowids.push_back(rowid);
    for (int f = 0; f < m_fields; ++f) {
        const Value v = size_t(f) < cells.size() ? cells[size_t(f)] : Value();
        if (v) {
            const QByteArray bytes = v->toUtf8();
            m_text.insert(m_text.end(), bytes.begin(), bytes.end());
        }
        endCell(!v);
    }
    return slotCount() - 1;
}

QByteArrayView RowStore::utf8(int slot, int field) const {
    const size_t at = cell(slot, field);
    const std::uint32_t end = m_ends[at] & ~NullBit;
    const std::uint32_t begin = at == 0 ? 0 : m_ends[at - 1] & ~NullBit;
    return QByteArrayView(m_text.data() + begin, qsizetype(end - begin));
}

Value RowStore::value(int slot, int field) const {
    if (isNull(slot, field))
        return std::nullopt;
    const QByteArrayView bytes = utf8(slot, field);
    return QString::fromUtf8(bytes.data(), bytes.size());
}

bool RowStore::anyNotText(int field) const {
    if (field != m_orderedField)
        return true;
    return std::find(m_notText.begin(), m_notText.end(), field) != m_notText.end();
}

// ---- Recordset

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
    m_rows = std::make_shared<RowStore>(fieldCount(), fieldIndex(QStringLiteral("Name")));
    while (st.step())
        m_order.push_back(m_rows->add(st));
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
        if (m_rows->rowid(m_order[size_t(i)]) == rowid) {
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
    return m_rows->value(m_order[size_t(m_pos)], field);
}

qint64 Recordset::rowid() const {
    requireCurrent();
    return m_rows->rowid(m_order[size_t(m_pos)]);
}

int Recordset::placeOf(int slot, int nameField, bool descending) const {
    const RowStore& rows = *m_rows;
    // True when the row in slot `a` comes before the one in slot `b`: by name (Null first in
    // ascending order), the order's direction, then by rowid upwards whatever the direction.
    const auto before = [&](int a, int b) {
        const bool aNull = rows.isNull(a, nameField);
        const bool bNull = rows.isNull(b, nameField);
        int c = aNull != bNull ? (aNull ? -1 : 1)
                               : compareNoCase(rows.utf8(a, nameField), rows.utf8(b, nameField));
        if (descending)
            c = -c;
        return c != 0 ? c < 0 : rows.rowid(a) < rows.rowid(b);
    };
    return int(std::lower_bound(m_order.begin(), m_order.end(), slot, before) - m_order.begin());
}

std::optional<Recordset::Moved> Recordset::refreshRow(qint64 rowid, const Query& query,
                                                      int nameField, bool descending) {
    requireOpen();
    if (nameField < 0 || nameField >= fieldCount())
        return std::nullopt;
    // A name stored as a number or a blob sorts apart from the texts: leave it to a reading.
    if (m_rows->anyNotText(nameField))
        return std::nullopt;
    Statement st = m_db->prepare(query.sql());
    for (int i = 0; i < query.parameters().size(); ++i)
        st.bindText(i + 1, query.parameters().at(i));
    if (st.columnCount() != fieldCount() + 1)
        return std::nullopt;
    int added = -1;
    if (st.step()) {
        if (st.integer(0) != rowid)
            return std::nullopt;
        added = m_rows->add(st);
        if (m_rows->anyNotText(nameField))
            return std::nullopt;
    }
    Moved moved;
    for (size_t i = 0; i < m_order.size(); ++i) {
        if (m_rows->rowid(m_order[i]) == rowid) {
            moved.from = int(i);
            m_order.erase(m_order.begin() + qsizetype(i));
            break;
        }
    }
    if (added >= 0) {
        moved.to = placeOf(added, nameField, descending);
        m_order.insert(m_order.begin() + moved.to, added);
    }
    m_pos = rowCount();
    return moved;
}

} // namespace store
