#pragma once

#include "store/Query.h"
#include "store/Recordset.h"

#include <QString>

#include <memory>

namespace store {

class Connection;

// True when `path` names an ordinary file: not a folder, not hidden.
bool FileExists(const QString& path);

// The open contact file and the shared cursor over it.
class ContactDatabase {
public:
    ContactDatabase() = default;
    ~ContactDatabase();
    ContactDatabase(const ContactDatabase&) = delete;
    ContactDatabase& operator=(const ContactDatabase&) = delete;

    bool isOpen() const;
    void open(const QString& path);   // an existing file
    void create(const QString& path); // a new file
    void close();                     // releases the cursors too
    Connection& connection() const;   // throws when not open
    std::shared_ptr<Connection> shared() const;

    // Exact, case-sensitive name lookups; they throw when nothing is open.
    bool TableExists(const QString& name) const;
    bool FieldExists(const QString& name) const; // over CurrentRecordset

    void execute(const QString& sql);
    std::unique_ptr<Recordset> openRecordset(const Query& query) const;
    // Replaces CurrentRecordset by a cursor over `query`. On failure CurrentRecordset is
    // left empty and the error is thrown.
    Recordset& openCurrent(const Query& query);

    std::unique_ptr<Recordset> CurrentRecordset;

private:
    std::shared_ptr<Connection> m_conn;
};

} // namespace store
