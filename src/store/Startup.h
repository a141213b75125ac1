#pragma once

#include <QString>

namespace platform {
class Prompter;
}

namespace store {

class ContactDatabase;

// What the startup routines need from the program.
struct StartupContext {
    ContactDatabase& db;
    QString folder;           // the program folder, ending in a separator
    platform::Prompter& prompter;
    QString title;            // caption of the messages
    QString crlf = QStringLiteral("\r\n");

    QString databasePath() const { return folder + QStringLiteral("VESK.MDB"); }
};

// EndProgram: a message has been shown and the program must stop at once.
enum class StartupResult { Continue, EndProgram };

struct CopyResult {
    int copied = 0;     // cards written to the new file, both tables together
    int notCopied = 0;  // cards the new file refused (too long, no name, unknown field)
    bool unreadable = false; // a table of the old file could not be read at all
};

// Leaves the database open at the current schema version, creating or upgrading the file
// as needed; or shows why not and says the program must end. A file that cannot be opened
// at all is left alone and nothing is open on return.
StartupResult OpenContactDatabase(StartupContext& cx);
StartupResult CreateContactDatabase(StartupContext& cx);
// Closes the database and moves the file to the first free VESK.000 .. VESK.999; returns
// the new path, or an empty string when every name is taken or the move fails.
QString BackupOldDatabase(StartupContext& cx);
// Copies the cards of both tables of the old file into the newly created one; every card
// that fits is copied, the others are counted.
CopyResult CopyOldData(StartupContext& cx, const QString& oldPath);

namespace messages {
QString newerSchema();
QString upgradeFailed(const QString& crlf);
QString upgradeFinished();
QString creationFailed(const QString& crlf);
QString creationFinished();
QString notCopied(const CopyResult& r, const QString& backup, const QString& crlf);
QString failedToOpen();
} // namespace messages

} // namespace store
