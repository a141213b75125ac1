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
//
// A file that could not be opened (another program held it locked longer than the engine
// waits) is opened again by the first use that needs it, whether it asks isOpen(),
// connection() or a recordset, so that a book that is free again is reached without a
// restart. Such a late open waits only briefly for a lock, and takes only a file of the
// current version (or one whose version row is empty, as at start): an outdated or newer
// file waits for the next start, which upgrades or refuses it.
class ContactDatabase {
public:
    ContactDatabase() = default;
    ~ContactDatabase();
    ContactDatabase(const ContactDatabase&) = delete;
    ContactDatabase& operator=(const ContactDatabase&) = delete;

    bool isOpen() const;
    // Opens an existing file; throws when it cannot, and then tries again when next needed.
    void open(const QString& path);
    void create(const QString& path); // a new file
    void close();                     // releases the cursors too; nothing is opened again
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

    // How long a late open waits for another program's lock, in milliseconds: enough for
    // a write to end, short enough that a book still locked is reported at once.
    static constexpr int ReopenWait = 200;

private:
    // Opens the file that open() could not, when there is one.
    bool reach() const;

    // Set again by a late open, hence mutable: to the user it is the same book.
    mutable std::shared_ptr<Connection> m_conn;
    QString m_pending; // the file open() could not open, until it is opened or closed
};

} // namespace store
