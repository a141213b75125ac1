#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>

struct sqlite3;

namespace testing {

// Writes and reads database files directly, without the store, so that tests can build
// files in any state and check what the program left in them.
class RawDb {
public:
    explicit RawDb(const QString& path);
    ~RawDb();
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    void exec(const QString& sql);
    // Rows of a query, each row's columns as text ("<null>" for Null) joined with '|'.
    QStringList rows(const QString& sql);
    QString scalar(const QString& sql);

private:
    sqlite3* m_db = nullptr;
};

// A file laid out by an earlier version: both contact tables without our constraints.
void writeOldFile(const QString& path, const QString& detailsSql);

// A file of these bytes, replacing any there was.
void writeFile(const QString& path, const QByteArray& bytes = {});

} // namespace testing
