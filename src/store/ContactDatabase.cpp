#include "store/ContactDatabase.h"

#include "store/Sqlite.h"
#include "store/StoreError.h"

#include <QFileInfo>

namespace store {

bool FileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile() && !info.isHidden();
}

ContactDatabase::~ContactDatabase() {
    close();
}

bool ContactDatabase::isOpen() const {
    return m_conn && m_conn->isOpen();
}

void ContactDatabase::open(const QString& path) {
    close();
    m_conn = Connection::open(path);
}

void ContactDatabase::create(const QString& path) {
    close();
    m_conn = Connection::create(path);
}

void ContactDatabase::close() {
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
