#pragma once

#include <QString>

#include <functional>

namespace store {

class ContactDatabase;

// Writes a consistent copy of the contact file to `target`, as committed at this moment: the
// open database is copied through the engine's online backup (the file at `databasePath` is
// opened for the copy when nothing is open). The copy is built under a temporary name beside
// the target and takes the target's name only when complete, so a failed export leaves the
// target as it was. Without `overwrite` an existing target is refused before anything is
// written (StoreError::FileExists). Throws StoreError.
void ExportDatabase(const ContactDatabase& db, const QString& databasePath, const QString& target,
                    bool overwrite);

// Throws StoreError (NotContactFile, or the engine's error) with the reason, fit to show the
// user, when the file at `path` is not a sound contact file of the current schema version: a
// database that passes the integrity check and has the tables Vesk, Work and dbDetails with
// exactly the current fields, and a version row equal to SchemaVersion.
void CheckContactFile(const QString& path);

// The points of an import after which a test may stop it: the chosen file copied beside
// VESK.MDB, the copy checked, the previous file kept as Vesk.old.
enum class ImportStep { Copied, Checked, BackedUp };

struct ImportRequest {
    ContactDatabase& db;
    QString folder; // the program folder, ending in a separator
    QString source; // the file chosen
    // Called after each step; tests make it throw to stop the import there.
    std::function<void(ImportStep)> afterStep = {};
};

// Replaces VESK.MDB by the chosen file. The file is copied to a temporary name in the program
// folder and checked there (CheckContactFile), so what takes the name VESK.MDB is exactly
// what was checked. Only then the database is closed, VESK.MDB is copied to Vesk.old when the
// source's name ends in "MDB" (any case; restoring a ".old" makes no backup), and the copy is
// renamed over VESK.MDB; the database is then opened again.
// On failure StoreError is thrown and VESK.MDB is the file it was, open again; a failure
// before the backup leaves Vesk.old untouched too.
void ImportDatabase(const ImportRequest& request);

// True when the chosen file's backup rule applies: its name ends in "MDB", in any case.
bool MakesBackup(const QString& source);

} // namespace store
