#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace store {

class Connection;
class ContactDatabase;

// The points of an upgrade after which the program may stop: the new file created, each
// hundred cards copied, the copy committed, the old file given its backup name, the new file
// renamed to VESK.MDB.
enum class UpgradeStep { Created, HundredCopied, Committed, BackedUp, Renamed };

// EndProgram: the program must stop at once, once its notices have been shown.
enum class StartupResult { Continue, EndProgram };

// What the user is told about the contact file at startup. The store shows nothing itself:
// the program words each notice and shows them in the order they came.
struct StartupNotice {
    enum class Kind {
        NewerSchema,        // the file is of a newer version than the program
        CreationFailed,     // no new file could be made
        Created,            // a new file has been made (at first start, or for an upgrade)
        UpgradeFailed,      // the upgrade was abandoned; VESK.MDB is the old file as it was
        OldTableUnreadable, // a table of the old file could not be read; the copy stopped there
        Upgraded,           // the upgrade has finished
        NotCopied,          // cards were left behind in the backup file
    };
    Kind kind;
    // NotCopied: how many cards, or all of them when the old file could not be read to the
    // end, and the backup file that keeps them.
    int notCopied = 0;
    bool unreadable = false;
    QString backup = {};

    bool operator==(const StartupNotice&) const = default;
};

struct StartupOutcome {
    StartupResult result = StartupResult::Continue;
    QList<StartupNotice> notices; // in the order they came
};

// What the startup routines need from the program.
struct StartupContext {
    ContactDatabase& db;
    QString folder; // the program folder, ending in a separator
    // Called after each step of an upgrade; tests make it throw to stop the upgrade there.
    std::function<void(UpgradeStep)> afterStep = {};
    // Called with each notice as it comes, before the routine goes on, so the program can show
    // it at that moment (the file created before its cards are copied); optional.
    std::function<void(const StartupNotice&)> onNotice = {};
    // The program that reads the old program's Access (Jet) files; empty: the one installed
    // beside the program.
    QString jetReader = {};

    QString databasePath() const { return folder + QStringLiteral("VESK.MDB"); }
};

struct CopyResult {
    int read = 0;            // cards read from the old file, both tables together
    int copied = 0;          // cards in the new file
    int notCopied = 0;       // cards the new file refused (too long, no name)
    bool unreadable = false; // a table of the old file could not be read at all
};

// Leaves the database open at the current schema version, creating or upgrading the file
// as needed; or says why not and that the program must end. A file that cannot be opened
// at all is left alone and nothing is open on return. The old program's Access (Jet) file,
// known by its header, is upgraded unless it is newer; one that cannot be read to the end is
// a file that cannot be opened.
StartupOutcome OpenContactDatabase(StartupContext& cx);
// Creates VESK.MDB, complete or not at all.
StartupOutcome CreateContactDatabase(StartupContext& cx);
// Rebuilds an outdated VESK.MDB (closed) into a new file and gives the old one its backup
// name; on any failure VESK.MDB stays the old file, untouched.
StartupOutcome UpgradeContactDatabase(StartupContext& cx);
// Copies the cards of both tables of the old file into the new one, inside the new file's
// transaction, field by field by name: a field the new table lacks is left out. The old file
// is this program's (SQLite) or the old program's (Access, known by its header). A card the
// new file refuses (a constraint) is skipped and counted; any other error is thrown, and the
// caller abandons the whole copy: an Access file that cannot be read to the end throws
// StoreError::OldFileUnreadable.
CopyResult CopyOldData(StartupContext& cx, Connection& to, const QString& oldPath);

} // namespace store
