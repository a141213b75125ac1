#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace store {

class ContactDatabase;

// Why the contact file was not copied, or why a file cannot replace it. The program words
// each reason for the user.
struct CopyFailure {
    enum class Reason {
        TargetExists, // the export's target is there, and overwriting it was not asked for
        OntoItself,   // the export's target is the open contact file itself
        NotCopied,    // the file at `path` could not be copied or renamed: `detail` says why
        Damaged,      // the file fails the integrity check: `detail` is the engine's finding
        MissingTable, // the file has no `table`
        OtherFields,  // the file's `table` has other fields than the current ones
        NoVersion,    // the file has no version row
        OlderVersion, // the file's `version` is older than the program's
        NewerVersion, // the file's `version` is newer than the program's
        StoreFailed,  // any other error of the engine or the store: `detail` is its description
    };
    Reason reason;
    QString detail = {};
    QString path = {};
    QString table = {};
    int version = 0;

    bool operator==(const CopyFailure&) const = default;
};

// Writes a consistent copy of the contact file to `target`, as committed at this moment: the
// open database is copied through the engine's online backup (the file at `databasePath` is
// opened for the copy when nothing is open). The copy is built under a temporary name beside
// the target and takes the target's name only when complete, so a failed export leaves the
// target as it was. Without `overwrite` an existing target is refused before anything is
// written (TargetExists). Nothing on success.
[[nodiscard]] std::optional<CopyFailure> ExportDatabase(const ContactDatabase& db,
                                                        const QString& databasePath,
                                                        const QString& target, bool overwrite);

// Why the file at `path` is not a sound contact file of the current schema version: a
// database that passes the integrity check and has the tables Vesk, Work and dbDetails with
// exactly the current fields, and a version row equal to SchemaVersion. Nothing when it is.
[[nodiscard]] std::optional<CopyFailure> CheckContactFile(const QString& path);

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
// renamed over VESK.MDB; the database is then opened again. Nothing on success.
// On failure VESK.MDB is the file it was, open again; a failure before the backup leaves
// Vesk.old untouched too. A StoreError thrown by `afterStep` is a failure like any other.
[[nodiscard]] std::optional<CopyFailure> ImportDatabase(const ImportRequest& request);

// True when the chosen file's backup rule applies: its name ends in "MDB", in any case.
bool MakesBackup(const QString& source);

} // namespace store
