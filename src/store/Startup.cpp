#include "store/Startup.h"

#include "store/ContactDatabase.h"
#include "store/OldData.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/Steps.h"
#include "store/StoreError.h"
#include "store/Upgrade.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace store {

namespace {

Recordset& current(ContactDatabase& db) {
    if (!db.CurrentRecordset)
        throw StoreError(StoreError::NotOpen, QStringLiteral("No recordset is open"));
    return *db.CurrentRecordset;
}

enum class Version { Current, Newer, Outdated };

// The version row's verdict. A row that cannot be read (none, or not a number) leaves the
// file as it is; Null counts as outdated.
Version readVersion(ContactDatabase& db, SuppressedSteps& s) {
    Value v;
    bool read = false;
    s.run([&] {
        v = current(db).value(QStringLiteral("dbVerNum"));
        read = true;
    });
    if (!read)
        return Version::Current;
    if (!v)
        return Version::Outdated;
    bool ok = false;
    const int n = v->toInt(&ok);
    if (!ok || n == SchemaVersion)
        return Version::Current;
    return n > SchemaVersion ? Version::Newer : Version::Outdated;
}

} // namespace

namespace {

// Keeps a notice in the outcome and hands it to the program at once.
void tell(StartupContext& cx, StartupOutcome& outcome, const StartupNotice& notice) {
    outcome.notices << notice;
    if (cx.onNotice)
        cx.onNotice(notice);
}

StartupOutcome ended(StartupContext& cx, StartupNotice::Kind kind) {
    StartupOutcome outcome{StartupResult::EndProgram, {}};
    tell(cx, outcome, {kind});
    return outcome;
}

// The old program's Access (Jet) file. This program cannot use it as it is, so it is upgraded
// whatever its version (1, 0, none, or no version table at all: not a phone book), unless it
// is newer. A file the reader cannot read is a file that cannot be opened: left as it is,
// nothing open, nothing said.
StartupOutcome openJetFile(StartupContext& cx) {
    const jet::ReadResult details =
        JetReaderOf(cx).read(cx.databasePath(), {QStringLiteral("dbDetails")});
    if (!details.ok())
        return {};
    if (details.version->number().value_or(0) > SchemaVersion)
        return ended(cx, StartupNotice::Kind::NewerSchema);
    return UpgradeContactDatabase(cx);
}

} // namespace

StartupOutcome OpenContactDatabase(StartupContext& cx) {
    SuppressedSteps s;
    const QString path = cx.databasePath();
    RecoverInterruptedUpgrade(path);
    if (!FileExists(path))
        return CreateContactDatabase(cx);
    if (jet::looksLikeJet(path))
        return openJetFile(cx);

    s.run([&] { cx.db.open(path); });
    if (s.test([&] { return cx.db.TableExists(QStringLiteral("dbDetails")); })) {
        s.run([&] { cx.db.openCurrent(Query::version()); });
        if (s.test([&] { return cx.db.FieldExists(QStringLiteral("dbVerNum")); })) {
            switch (readVersion(cx.db, s)) {
            case Version::Current:
                EnsureNameIndexes(cx.db);
                return {};
            case Version::Newer:
                return ended(cx, StartupNotice::Kind::NewerSchema);
            case Version::Outdated:
                break;
            }
        }
    }
    return UpgradeContactDatabase(cx);
}

StartupOutcome CreateContactDatabase(StartupContext& cx) {
    NewContactFile fresh(cx.databasePath());
    try {
        fresh.create();
        fresh.commit();
        fresh.install();
    } catch (const StoreError&) {
        fresh.discard();
        return ended(cx, StartupNotice::Kind::CreationFailed);
    }
    // A file in place that cannot be opened is reported by the first list fill.
    SuppressedSteps s;
    s.run([&] { cx.db.open(cx.databasePath()); });
    StartupOutcome outcome;
    tell(cx, outcome, {StartupNotice::Kind::Created});
    return outcome;
}

namespace {

int cardsIn(Connection& db) {
    Statement st = db.prepare(
        QStringLiteral("SELECT (SELECT count(*) FROM Vesk) + (SELECT count(*) FROM Work)"));
    st.step();
    return int(st.integer(0));
}

bool folderWritable(const QString& folder) {
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
#else
    return QFileInfo(folder).isWritable();
#endif
}

} // namespace

StartupOutcome UpgradeContactDatabase(StartupContext& cx) {
    using Kind = StartupNotice::Kind;
    const QString path = cx.databasePath();
    cx.db.close();
    // The notices come in the order of the routine the user knows: a file that cannot be
    // moved aside (every backup name taken, or a folder that cannot be written) is reported
    // before anything is created.
    if (FirstFreeBackupName(path).isEmpty() || !folderWritable(cx.folder))
        return ended(cx, Kind::UpgradeFailed);
    NewContactFile fresh(path);
    try {
        fresh.create();
        ReachedStep(cx, UpgradeStep::Created);
    } catch (const StoreError&) {
        fresh.discard();
        return ended(cx, Kind::CreationFailed);
    }
    StartupOutcome outcome;
    tell(cx, outcome, {Kind::Created});

    CopyResult copy;
    Backup backup;
    try {
        copy = CopyOldData(cx, fresh.connection(), path);
        if (copy.unreadable)
            tell(cx, outcome, {Kind::OldTableUnreadable});
        fresh.commit();
        ReachedStep(cx, UpgradeStep::Committed);
        copy.copied = cardsIn(fresh.connection());
        copy.notCopied = copy.read - copy.copied;
        backup = BackupOldDatabase(path);
        ReachedStep(cx, UpgradeStep::BackedUp);
        fresh.install();
    } catch (const StoreError& e) {
        // Nothing of the new file is kept: VESK.MDB is the old file, as it was.
        fresh.discard();
        UndoBackup(backup, path);
        // An Access file the reader could not read to the end is a file that cannot be opened.
        if (e.number() == StoreError::OldFileUnreadable)
            return outcome;
        outcome.result = StartupResult::EndProgram;
        tell(cx, outcome, {Kind::UpgradeFailed});
        return outcome;
    }
    ReachedStep(cx, UpgradeStep::Renamed);
    SuppressedSteps s;
    s.run([&] { cx.db.open(path); });
    tell(cx, outcome, {Kind::Upgraded});
    if (copy.notCopied > 0 || copy.unreadable)
        tell(cx, outcome, {Kind::NotCopied, copy.notCopied, copy.unreadable, backup.path});
    return outcome;
}

} // namespace store
