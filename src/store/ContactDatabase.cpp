#include "store/ContactDatabase.h"

#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

#include <QFileInfo>

namespace store {

namespace {

QStringList tableNames(Connection& conn) {
    Statement st =
        conn.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    QStringList names;
    while (st.step())
        names << st.text(0);
    return names;
}

// The start's verdict on a file, without upgrading it: true for the current version, a
// version row that is missing or not a number; false for an older, newer or unversioned
// file. Names are compared exactly, as at start.
bool isCurrentBook(Connection& conn) {
    if (!tableNames(conn).contains(QStringLiteral("dbDetails")))
        return false;
    Statement details = conn.prepare(QStringLiteral("SELECT * FROM dbDetails"));
    int column = -1;
    for (int c = 0; c < details.columnCount(); ++c) {
        if (details.columnName(c) == u"dbVerNum")
            column = c;
    }
    if (column < 0)
        return false;
    if (!details.step())
        return true;
    if (details.isNull(column))
        return false;
    bool number = false;
    const int version = details.text(column).toInt(&number);
    return !number || version == SchemaVersion;
}

// The name indexes a current file gets at start, best effort.
void ensureNameIndexes(Connection& conn) {
    const QStringList tables = tableNames(conn);
    for (const char* table : {"Vesk", "Work"}) {
        try {
            if (tables.contains(QLatin1String(table)))
                conn.execute(createNameIndexSql(QString::fromLatin1(table)));
        } catch (const StoreError&) {
        }
    }
}

} // namespace

bool FileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile() && !info.isHidden();
}

ContactDatabase::~ContactDatabase() {
    close();
}

bool ContactDatabase::isOpen() const {
    return reach();
}

bool ContactDatabase::reach() const {
    if (m_conn && m_conn->isOpen())
        return true;
    if (m_pending.isEmpty())
        return false;
    try {
        const std::shared_ptr<Connection> conn = Connection::open(m_pending, ReopenWait);
        if (!isCurrentBook(*conn))
            return false;
        ensureNameIndexes(*conn);
        m_conn = conn;
        return true;
    } catch (const StoreError&) {
        return false;
    }
}

void ContactDatabase::open(const QString& path) {
    close();
    m_pending = path;
    m_conn = Connection::open(path);
    m_pending.clear();
}

void ContactDatabase::create(const QString& path) {
    close();
    m_conn = Connection::create(path);
}

void ContactDatabase::close() {
    m_pending.clear();
    CurrentRecordset.reset();
    if (m_conn)
        m_conn->close();
    m_conn.reset();
}

Connection& ContactDatabase::connection() const {
    if (!isOpen())
        throw StoreError(StoreError::NotOpen, QStringLiteral("The database is not open"));
    return *m_conn;
}

std::shared_ptr<Connection> ContactDatabase::shared() const {
    connection();
    return m_conn;
}

bool ContactDatabase::TableExists(const QString& name) const {
    Statement st = connection().prepare(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"));
    while (st.step()) {
        if (st.text(0) == name)
            return true;
    }
    return false;
}

bool ContactDatabase::FieldExists(const QString& name) const {
    if (!CurrentRecordset)
        throw StoreError(StoreError::NotOpen, QStringLiteral("No recordset is open"));
    for (int i = 0; i < CurrentRecordset->fieldCount(); ++i) {
        if (CurrentRecordset->fieldInfo(i).name == name)
            return true;
    }
    return false;
}

void ContactDatabase::execute(const QString& sql) {
    connection().execute(sql);
}

std::unique_ptr<Recordset> ContactDatabase::openRecordset(const Query& query) const {
    return Recordset::open(shared(), query);
}

Recordset& ContactDatabase::openCurrent(const Query& query) {
    CurrentRecordset.reset();
    CurrentRecordset = openRecordset(query);
    return *CurrentRecordset;
}

} // namespace store
