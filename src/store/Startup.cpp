#include "store/Startup.h"

#include "store/ContactDatabase.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/Steps.h"
#include "store/StoreError.h"
#include "store/Upgrade.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <optional>
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

} // namespace

StartupOutcome OpenContactDatabase(StartupContext& cx) {
    SuppressedSteps s;
    const QString path = cx.databasePath();
    RecoverInterruptedUpgrade(path);
    if (!FileExists(path))
        return CreateContactDatabase(cx);

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

void reached(StartupContext& cx, UpgradeStep step) {
    if (cx.afterStep)
        cx.afterStep(step);
}

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
        reached(cx, UpgradeStep::Created);
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
        reached(cx, UpgradeStep::Committed);
        copy.copied = cardsIn(fresh.connection());
        copy.notCopied = copy.read - copy.copied;
        backup = BackupOldDatabase(path);
        reached(cx, UpgradeStep::BackedUp);
        fresh.install();
    } catch (const StoreError&) {
        // Nothing of the new file is kept: VESK.MDB is the old file, as it was.
        fresh.discard();
        UndoBackup(backup, path);
        outcome.result = StartupResult::EndProgram;
        tell(cx, outcome, {Kind::UpgradeFailed});
        return outcome;
    }
    reached(cx, UpgradeStep::Renamed);
    SuppressedSteps s;
    s.run([&] { cx.db.open(path); });
    tell(cx, outcome, {Kind::Upgraded});
    if (copy.notCopied > 0 || copy.unreadable)
        tell(cx, outcome, {Kind::NotCopied, copy.notCopied, copy.unreadable, backup.path});
    return outcome;
}

namespace {

bool isConstraint(const StoreError& e) {
    return e.number() == StoreError::NoSuchField ||
           (e.number() < StoreError::NotOpen && (e.number() & 0xff) == SQLITE_CONSTRAINT);
}

QString quoted(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// The new table's spelling of an old column, matched without regard to case; empty when the
// new table has no such field.
QString newColumn(const QString& table, const QString& old) {
    for (const ColumnDef& c : columnsOf(table)) {
        const QString name = QString::fromUtf16(c.name);
        if (name.compare(old, Qt::CaseInsensitive) == 0)
            return name;
    }
    return {};
}

// The insert of one table's cards: the old table's fields that the new table has, matched by
// name; a field the new table lacks stays in the backup.
class CardInsert {
public:
    CardInsert(Connection& to, const QString& table, const QStringList& oldColumns) {
        QStringList columns, marks;
        for (int c = 0; c < oldColumns.size(); ++c) {
            const QString name = newColumn(table, oldColumns[c]);
            if (name.isEmpty())
                continue;
            m_from << c;
            columns << quoted(name);
            marks << QStringLiteral("?");
        }
        // Without a field in common a card has no name, and none can be copied.
        if (!m_from.isEmpty())
            m_insert.emplace(
                to.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(quoted(table), columns.join(u','), marks.join(u','))));
    }

    // Inserts one card, `valueOf(c)` being its value of the old table's column c. A card the
    // new table refuses (a constraint) is skipped; any other error is thrown.
    template <class ValueOf> void insert(ValueOf&& valueOf) {
        if (!m_insert)
            return;
        for (qsizetype i = 0; i < m_from.size(); ++i)
            m_insert->bind(int(i) + 1, valueOf(m_from[i]));
        try {
            // One statement per card: a refused card undoes only its own insert. Any other
            // error (disk full, I/O, memory, a lock) may have ended the whole transaction,
            // so it ends the copy.
            m_insert->step();
        } catch (const StoreError& e) {
            if (!isConstraint(e))
                throw;
        }
        m_insert->reset();
    }

private:
    std::optional<Statement> m_insert;
    QList<int> m_from; // the old column of each parameter
};

// Copies one table; false when the old table exists but cannot be read.
bool copyTable(StartupContext& cx, Connection& old, Connection& to, const QString& table,
               CopyResult& result) {
    std::optional<Statement> from;
    try {
        from.emplace(old.prepare(QStringLiteral("SELECT * FROM ") + quoted(table)));
    } catch (const StoreError&) {
        // A table the old file never had holds no cards to lose.
        Statement st = old.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = "
                                                  "'table' AND name = ?1 COLLATE NOCASE"));
        st.bindText(1, table);
        return !st.step();
    }
    QStringList columns;
    for (int c = 0; c < from->columnCount(); ++c)
        columns << from->columnName(c);
    CardInsert insert(to, table, columns);
    while (from->step()) {
        if (++result.read % 100 == 0)
            reached(cx, UpgradeStep::HundredCopied);
        insert.insert([&](int c) { return from->isNull(c) ? Value() : Value(from->text(c)); });
    }
    return true;
}

} // namespace

CopyResult CopyOldData(StartupContext& cx, Connection& to, const QString& oldPath) {
    CopyResult result;
    const std::shared_ptr<Connection> old = Connection::openReadOnly(oldPath);
    for (const char* table : {"Vesk", "Work"}) {
        if (!copyTable(cx, *old, to, QString::fromLatin1(table), result)) {
            result.unreadable = true;
            break;
        }
    }
    return result;
}

} // namespace store
