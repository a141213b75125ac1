#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>

#include <sys/resource.h>

struct sqlite3;

// Texts as the tests write them.
inline QString u8(const char* s) {
    return QString::fromUtf8(s);
}

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

// A file of these bytes, replacing any there was; a file's bytes, none when it cannot be read.
void writeFile(const QString& path, const QByteArray& bytes = {});
QByteArray readFile(const QString& path);

// The cards of one list ('V' Personal, 'W' Work) in a file laid out as the Jet phone books'
// rows_small.tsv: TAB-separated fields, \N for Null; `asRows` gives them as RawDb::rows does.
QStringList tsvCards(const QString& tsvPath, char group, bool asRows = true);

// Files written while it lives cannot grow beyond `bytes`: the disk is full for them.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace testing
