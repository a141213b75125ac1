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
        TargetExists,    // the export's target is there, and overwriting it was not asked for
        OntoItself,      // the export's target is the open contact file itself
        NotCopied,       // the file at `path` could not be copied or renamed: `detail` says why
        NotARegularFile, // `path` names a folder, a device or a pipe, not a file
        DiskFull,        // the disk had no room for the copy
        Damaged,         // the file fails the integrity check: `detail` is the engine's finding
        MissingTable,    // the file has no `table`
        OtherFields,     // the file's `table` has other fields than the current ones
        NoVersion,       // the file has no version row
        OlderVersion,    // the file's `version` is older than the program's
        NewerVersion,    // the file's `version` is newer than the program's
        CardsRefused,    // `cards` of the file's cards break the rules of the fields
        StoreFailed,     // any other error of the engine or the store (a lock held by another
                         // program among them): `detail` is its description
    };
    Reason reason;
    QString detail = {};
    QString path = {};
    QString table = {};
    int version = 0;
    int cards = 0;

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
// regular file, a database that passes the integrity check and has the tables Vesk, Work and
// dbDetails with exactly the current fields, and a version row equal to SchemaVersion. Other
// tables are not looked at. The old program's Access (Jet) file, known by its header, takes
// the same checks through the Jet reader (`jetReader`; empty: the one beside the program),
// which must read it whole: a file it cannot read is Damaged, with its reason. The file is
// only read. Nothing when it is.
[[nodiscard]] std::optional<CopyFailure> CheckContactFile(const QString& path,
                                                          const QString& jetReader = {});

// The points of an import after which a test may stop it: the chosen file checked, its cards
// copied into the new file, the previous file kept as Vesk.old.
enum class ImportStep { Checked, Copied, BackedUp };

struct ImportRequest {
    ContactDatabase& db;
    QString folder; // the program folder, ending in a separator
    QString source; // the file chosen
    // Called after each step; tests make it throw to stop the import there.
    std::function<void(ImportStep)> afterStep = {};
    // The program that reads Access (Jet) files; empty: the one installed beside the program.
    QString jetReader = {};
};

// Replaces the cards of VESK.MDB by those of the chosen file, this program's file or the old
// program's Access (Jet) file. The chosen file is only read: once it passes CheckContactFile,
// its cards are copied, field by field, into a new file the
// program makes with its own schema under a temporary name (as the upgrade copies them), and
// a card the fields refuse refuses the whole file (CardsRefused). Then, while the current file
// is held still by a read lock (a lock of another program is waited for, and its message
// returned when it stays; a transaction left by a program that died is rolled back first), a
// snapshot of it is written to Vesk.old through the engine's online backup when the source's
// name ends in "MDB" (any case; restoring a ".old" makes no backup), and the new file is
// renamed over VESK.MDB and opened. Nothing on success. On failure VESK.MDB is the file it
// was, still open; a failure before the backup leaves Vesk.old untouched too. A StoreError
// thrown by `afterStep` is a failure like any other.
[[nodiscard]] std::optional<CopyFailure> ImportDatabase(const ImportRequest& request);

// True when the chosen file's backup rule applies: its name ends in "MDB", in any case.
bool MakesBackup(const QString& source);

} // namespace store
