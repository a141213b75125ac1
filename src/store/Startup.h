#pragma once

#include "i18n/Messages.h"

#include <QString>

#include <functional>

namespace platform {
class Prompter;
}

namespace store {

class Connection;
class ContactDatabase;

// The points of an upgrade after which the program may stop: the new file created, each
// hundred cards copied, the copy committed, the old file given its backup name, the new file
// renamed to VESK.MDB.
enum class UpgradeStep { Created, HundredCopied, Committed, BackedUp, Renamed };

// What the startup routines need from the program.
struct StartupContext {
    ContactDatabase& db;
    QString folder; // the program folder, ending in a separator
    platform::Prompter& prompter;
    QString title; // caption of the messages
    QString crlf = QStringLiteral("\r\n");
    // Called after each step of an upgrade; tests make it throw to stop the upgrade there.
    std::function<void(UpgradeStep)> afterStep = {};

    QString databasePath() const { return folder + QStringLiteral("VESK.MDB"); }
};

// EndProgram: a message has been shown and the program must stop at once.
enum class StartupResult { Continue, EndProgram };

struct CopyResult {
    int read = 0;            // cards read from the old file, both tables together
    int copied = 0;          // cards in the new file
    int notCopied = 0;       // cards the new file refused (too long, no name, unknown field)
    bool unreadable = false; // a table of the old file could not be read at all
};

// Leaves the database open at the current schema version, creating or upgrading the file
// as needed; or shows why not and says the program must end. A file that cannot be opened
// at all is left alone and nothing is open on return.
StartupResult OpenContactDatabase(StartupContext& cx);
// Creates VESK.MDB, complete or not at all.
StartupResult CreateContactDatabase(StartupContext& cx);
// Rebuilds an outdated VESK.MDB (closed) into a new file and gives the old one its backup
// name; on any failure VESK.MDB stays the old file, untouched.
StartupResult UpgradeContactDatabase(StartupContext& cx);
// Copies the cards of both tables of the old file into the new one, inside the new file's
// transaction. A card the new file refuses (a constraint) is skipped and counted; any other
// error is thrown, and the caller abandons the whole copy.
CopyResult CopyOldData(StartupContext& cx, Connection& to, const QString& oldPath);

} // namespace store
