#include "store/Startup.h"

#include "orvenna/Config.h"
#include "platform/Prompter.h"
#include "store/ContactDatabase.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/Steps.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>

namespace store {

namespace messages {

QString vendorLines(const QString& crlf) {
    return crlf + QString::fromUtf8(orvenna::config::vendorSite) + crlf + QString::fromUtf8(orvenna::config::supportMail);
}

QString newerSchema() { return QStringLiteral("גרסת התוכנה שברשותך אינה תואמת לגרסת מבנה הנתונים."); }
QString upgradeFailed(const QString& crlf) {
    return QStringLiteral("!ארעה שגיאה קריטית בתהליך שידרוג מבנה הנתונים") + vendorLines(crlf);
}
QString upgradeFinished() { return QStringLiteral("תהליך שידרוג מבנה הנתונים הסתיים בהצלחה."); }
QString creationFailed(const QString& crlf) {
    return QStringLiteral("!ארעה שגיאה קריטית בתהליך יצירת מבנה הנתונים") + vendorLines(crlf);
}
QString creationFinished() { return QStringLiteral("תהליך יצירת מבנה הנתונים הסתיים בהצלחה."); }
QString failedToOpen() { return QStringLiteral("Failed to open connection to database..."); }

QString notCopied(const CopyResult& r, const QString& backup, const QString& crlf) {
    const QString file = QDir::toNativeSeparators(backup);
    if (r.unreadable) {
        return QStringLiteral("לא ניתן היה לקרוא את כל הכרטיסים מהקובץ הישן. כל הכרטיסים נשמרו בקובץ הגיבוי ") +
               file + crlf +
               QStringLiteral("Not every card could be read from the old file; all of them remain in "
                              "the backup file ") +
               file + u'.';
    }
    return QStringLiteral("%1 כרטיסים לא הועתקו ונשארו בקובץ הגיבוי ").arg(r.notCopied) + file + crlf +
           QStringLiteral("%1 cards could not be copied; they remain in the backup file ").arg(r.notCopied) +
           file + u'.';
}

} // namespace messages

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

StartupResult OpenContactDatabase(StartupContext& cx) {
    SuppressedSteps s;
    const QString path = cx.databasePath();
    if (!FileExists(path))
        return CreateContactDatabase(cx);

    s.run([&] { cx.db.open(path); });
    if (s.test([&] { return cx.db.TableExists(QStringLiteral("dbDetails")); })) {
        s.run([&] { cx.db.openCurrent(Query::version()); });
        if (s.test([&] { return cx.db.FieldExists(QStringLiteral("dbVerNum")); })) {
            switch (readVersion(cx.db, s)) {
            case Version::Current:
                EnsureNameIndexes(cx.db);
                return StartupResult::Continue;
            case Version::Newer:
                cx.prompter.tell(messages::newerSchema(), cx.title);
                return StartupResult::EndProgram;
            case Version::Outdated: break;
            }
        }
    }

    QString old;
    s.run([&] { old = BackupOldDatabase(cx); });
    if (old.isEmpty()) {
        cx.prompter.tell(messages::upgradeFailed(cx.crlf), cx.title, platform::Icon::Critical);
        return StartupResult::EndProgram;
    }
    if (CreateContactDatabase(cx) == StartupResult::EndProgram)
        return StartupResult::EndProgram;
    CopyResult copy;
    copy.unreadable = true; // stays so when the copy fails before it starts
    s.run([&] { copy = CopyOldData(cx, old); });
    cx.prompter.tell(messages::upgradeFinished(), cx.title);
    if (copy.notCopied > 0 || copy.unreadable)
        cx.prompter.tell(messages::notCopied(copy, old, cx.crlf), cx.title, platform::Icon::Exclamation);
    return StartupResult::Continue;
}

StartupResult CreateContactDatabase(StartupContext& cx) {
    SuppressedSteps s;
    s.run([&] { cx.db.create(cx.databasePath()); });
    for (const char* table : {"Vesk", "Work", "dbDetails"})
        CreateContactTable(cx.db, QString::fromLatin1(table), s);
    if (s.hasPending()) {
        cx.prompter.tell(messages::creationFailed(cx.crlf), cx.title, platform::Icon::Critical);
        return StartupResult::EndProgram;
    }
    cx.prompter.tell(messages::creationFinished(), cx.title);
    return StartupResult::Continue;
}

QString BackupOldDatabase(StartupContext& cx) {
    SuppressedSteps s;
    s.run([&] { cx.db.CurrentRecordset.reset(); });
    s.run([&] { cx.db.close(); });
    const QString path = cx.databasePath();
    const QString base = path.chopped(3);
    // QFile::rename never replaces an existing file, so a taken name is simply skipped.
    for (int i = 0; i < 1000; ++i) {
        const QString target = base + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
        if (QFile::rename(path, target))
            return target;
    }
    return QString();
}

namespace {

// Copies one table; false when the old table exists but cannot be read.
bool copyTable(ContactDatabase& db, const std::shared_ptr<Connection>& old, const QString& table,
               CopyResult& result) {
    std::unique_ptr<Recordset> from;
    try {
        from = Recordset::open(old, Query::all(table));
    } catch (const StoreError&) {
        // A table the old file never had holds no cards to lose.
        Statement st = old->prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = "
                                                   "'table' AND name = ?1 COLLATE NOCASE"));
        st.bindText(1, table);
        return !st.step();
    }
    if (from->RecordCount() < 1)
        return true;
    from->MoveFirst();
    Recordset& to = db.openCurrent(Query::all(table));
    while (!from->Eof()) {
        try {
            to.AddNew();
            for (int f = 0; f < from->FieldCount(); ++f)
                to.setValue(from->Field(f).name, from->value(f));
            to.Update();
            ++result.copied;
        } catch (const StoreError&) {
            to.CancelUpdate();
            ++result.notCopied;
        }
        from->MoveNext();
    }
    return true;
}

} // namespace

CopyResult CopyOldData(StartupContext& cx, const QString& oldPath) {
    CopyResult result;
    const std::shared_ptr<Connection> old = Connection::open(oldPath);
    cx.db.open(cx.databasePath());
    // One transaction for the whole copy: a hundred thousand cards copy in seconds, not
    // minutes, and a refused card only undoes its own insert.
    Transaction tx(cx.db.connection());
    for (const char* table : {"Vesk", "Work"}) {
        if (!copyTable(cx.db, old, QString::fromLatin1(table), result)) {
            cx.prompter.tell(messages::failedToOpen(), cx.title);
            result.unreadable = true;
            break;
        }
    }
    try {
        tx.commit();
    } catch (const StoreError&) {
        result.notCopied += result.copied;
        result.copied = 0;
        result.unreadable = true;
    }
    return result;
}

} // namespace store
