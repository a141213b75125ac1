#pragma once

#include "store/ContactDatabase.h"

#include <QString>

#include <memory>

namespace store {

class Transaction;

// A new contact file, built beside VESK.MDB under a temporary name in one transaction and put
// in its place only once it is complete. Until then VESK.MDB is whatever it was: a crash, a
// kill or a full disk at any moment leaves either the old file or the complete new one.
class NewContactFile {
public:
    explicit NewContactFile(QString finalPath);
    // Closes the file, rolling back what was not committed. The temporary file stays, as it
    // would after a crash; the next start removes it.
    ~NewContactFile();
    NewContactFile(const NewContactFile&) = delete;
    NewContactFile& operator=(const NewContactFile&) = delete;

    static QString temporaryPath(const QString& finalPath);

    // Creates the temporary file and, inside its transaction, the three tables and the
    // version row. Throws StoreError.
    void create();
    Connection& connection() const { return m_db.connection(); }
    void commit();
    // Closes the committed file and renames it to the final name, replacing what is there.
    void install();
    // Rolls back, closes and removes the temporary file.
    void discard();

private:
    QString m_final;
    QString m_temp;
    ContactDatabase m_db;
    std::unique_ptr<Transaction> m_tx;
};

// At start: a temporary file left by an interrupted upgrade is removed, unless VESK.MDB is
// missing and the temporary file is complete (the program stopped between moving the old
// file aside and renaming the new one); then it becomes VESK.MDB.
void RecoverInterruptedUpgrade(const QString& finalPath);

// The old file under its backup name. `linked`: VESK.MDB still names it too, until the new
// file replaces it; otherwise it was moved.
struct Backup {
    QString path;
    bool linked = false;
};

// The first of VESK.000 .. VESK.999 that is free; empty when every name is taken.
QString FirstFreeBackupName(const QString& path);
// Gives the file at `path` the first free backup name. Where the file system allows, the old
// file keeps its own name as well, so that there is never a moment without VESK.MDB. Throws
// StoreError when no name can be given.
Backup BackupOldDatabase(const QString& path);
// Takes a backup name back after a failed upgrade, leaving the old file as VESK.MDB.
void UndoBackup(const Backup& backup, const QString& path);

} // namespace store
