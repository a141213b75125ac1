#include "store/DatabaseCopy.h"

#include "jet/JetReader.h"
#include "store/ContactDatabase.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/Startup.h"
#include "store/StoreError.h"
#include "store/Upgrade.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <utility>

#include <sqlite3.h>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace store {

namespace {

using Reason = CopyFailure::Reason;

// How a failure travels up to the public functions, which return it.
struct Refusal : std::exception {
    explicit Refusal(CopyFailure f) : failure(std::move(f)) {}
    CopyFailure failure;
};

[[noreturn]] void refuse(CopyFailure failure) {
    throw Refusal(std::move(failure));
}

[[noreturn]] void notCopied(const QString& path, const QString& why) {
    refuse({Reason::NotCopied, why, path});
}

// Runs `work`; a refusal or a store error becomes the failure returned.
template <typename Work> std::optional<CopyFailure> outcomeOf(Work&& work) {
    try {
        work();
    } catch (const Refusal& r) {
        return r.failure;
    } catch (const StoreError& e) {
        if (e.number() < StoreError::NotOpen && (e.number() & 0xff) == SQLITE_FULL)
            return CopyFailure{Reason::DiskFull};
        return CopyFailure{Reason::StoreFailed, e.description()};
    }
    return std::nullopt;
}

QByteArray local(const QString& path) {
    return QFile::encodeName(path);
}

// Puts a file's contents, or a folder's new names, on the disk before the next step relies
// on them, so that a power cut cannot leave a name on an incomplete file.
void syncToDisk([[maybe_unused]] const QString& path, [[maybe_unused]] bool folder = false) {
#ifdef Q_OS_UNIX
    const int fd = ::open(local(path).constData(), folder ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

// A temporary file is readable by its owner alone; the copy the user asked for gets the
// permissions of any new file of theirs (what the umask leaves of read and write for all).
void giveUsualPermissions([[maybe_unused]] const QString& path) {
#ifdef Q_OS_UNIX
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(local(path).constData(), 0666 & ~mask);
#endif
}

void syncFolderOf(const QString& path) {
    syncToDisk(QFileInfo(path).absolutePath(), true);
}

void removeWithJournal(const QString& path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

// A complete copy of `from` at `to`, replacing what is there.
void copyFile(const QString& from, const QString& to) {
    removeWithJournal(to);
    QFile source(from);
    if (!source.copy(to))
        notCopied(from, source.errorString());
    syncToDisk(to);
}

// Gives `from` the name `to`, replacing a file of that name in one step.
void renameOver(const QString& from, const QString& to) {
    if (std::rename(local(from).constData(), local(to).constData()) != 0)
        notCopied(from, QString::fromLocal8Bit(std::strerror(errno)));
    syncFolderOf(to);
}

bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QStringList column(Connection& conn, const QString& sql, const QString& parameter = {}) {
    Statement st = conn.prepare(sql);
    if (!parameter.isNull())
        st.bindText(1, parameter);
    QStringList values;
    while (st.step())
        values << st.text(0);
    return values;
}

// A version read from the file, or none when it has no version row (or a Null there).
void checkVersion(std::optional<int> version) {
    if (!version)
        refuse({Reason::NoVersion});
    if (*version < SchemaVersion)
        refuse({.reason = Reason::OlderVersion, .version = *version});
    if (*version > SchemaVersion)
        refuse({.reason = Reason::NewerVersion, .version = *version});
}

void checkVersion(Connection& conn) {
    Statement st = conn.prepare(QStringLiteral("SELECT dbVerNum FROM dbDetails"));
    if (!st.step() || st.isNull(0))
        refuse({Reason::NoVersion});
    checkVersion(int(st.integer(0)));
}

const QStringList contactTables{QStringLiteral("Vesk"), QStringLiteral("Work"),
                                QStringLiteral("dbDetails")};

// The table's fields must be the current ones, names compared exactly, in any order.
void checkFields(const QString& table, const QStringList& fields) {
    QSet<QString> expected;
    for (const ColumnDef& c : columnsOf(table))
        expected.insert(QString::fromUtf16(c.name));
    if (QSet<QString>(fields.begin(), fields.end()) != expected)
        refuse({.reason = Reason::OtherFields, .table = table});
}

void exportDatabase(const ContactDatabase& db, const QString& databasePath, const QString& target,
                    bool overwrite) {
    // Asked first, before anything is written: the caller asks the user and comes back.
    if (!overwrite && QFileInfo::exists(target))
        refuse({Reason::TargetExists});
    // Renaming a copy over the open file would leave the program writing to a file no
    // longer named VESK.MDB: every later change would be lost.
    if (sameFile(target, databasePath))
        refuse({Reason::OntoItself});

    QTemporaryFile part(target + QStringLiteral(".XXXXXX"));
    part.setAutoRemove(false);
    if (!part.open())
        notCopied(databasePath, part.errorString());
    const QString temp = part.fileName();
    part.close();
    giveUsualPermissions(temp);
    try {
        const auto from = db.isOpen() ? db.shared() : Connection::openReadOnly(databasePath);
        from->backupTo(temp);
        syncToDisk(temp);
        if (overwrite) {
            renameOver(temp, target);
        } else {
            // Never replaces a file that appeared meanwhile.
            if (!QFile::rename(temp, target))
                refuse({Reason::TargetExists});
            syncFolderOf(target);
        }
    } catch (...) {
        removeWithJournal(temp);
        throw;
    }
}

// The chosen file, opened for reading only. Nothing but a regular file is opened, so that
// a pipe cannot hold the program until another program writes to it.
std::shared_ptr<Connection> openChosen(const QString& path) {
    if (!QFileInfo::exists(path))
        notCopied(path, QString::fromLocal8Bit(std::strerror(ENOENT)));
    try {
        return Connection::openReadOnly(path);
    } catch (const StoreError& e) {
        if (e.number() == StoreError::NotARegularFile)
            refuse({.reason = Reason::NotARegularFile, .path = path});
        throw;
    }
}

// The old program's Access (Jet) file, read whole by the reader: the same tables, fields and
// version as this program's file. A file it cannot read to the end is damaged.
void checkJetFile(const QString& path, const QString& jetReader) {
    const jet::Reader reader(jetReader);
    const jet::ReadResult read = reader.read(path, contactTables);
    switch (read.status) {
    case jet::ReadStatus::Complete:
        break;
    case jet::ReadStatus::NotARegularFile:
        refuse({.reason = Reason::NotARegularFile, .path = path});
    case jet::ReadStatus::ReaderMissing: // no fault of the file's
        refuse({Reason::StoreFailed, read.description});
    default:
        refuse({Reason::Damaged, read.description});
    }
    for (const QString& table : contactTables) {
        const jet::TableInfo* info = read.table(table); // names compared exactly, as at start
        if (!info)
            refuse({.reason = Reason::MissingTable, .table = table});
        QStringList fields;
        for (const jet::Column& column : info->columns)
            fields << column.name;
        checkFields(table, fields);
    }
    checkVersion(read.version ? read.version->number() : std::nullopt);
}

void checkContactFile(const QString& path, const QString& jetReader) {
    if (jet::looksLikeJet(path)) {
        checkJetFile(path, jetReader);
        return;
    }
    const auto conn = openChosen(path);
    QStringList problems;
    try {
        problems = column(*conn, QStringLiteral("PRAGMA integrity_check(1)"));
    } catch (const StoreError& e) {
        refuse({Reason::Damaged, e.description()});
    }
    if (problems != QStringList{QStringLiteral("ok")})
        refuse({Reason::Damaged, problems.value(0)});

    const QStringList tables =
        column(*conn, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    for (const QString& table : contactTables) {
        if (!tables.contains(table)) // names compared exactly, as at start
            refuse({.reason = Reason::MissingTable, .table = table});
        checkFields(table,
                    column(*conn, QStringLiteral("SELECT name FROM pragma_table_info(?1)"), table));
    }
    checkVersion(*conn);
}

int cardsIn(Connection& conn) {
    Statement st = conn.prepare(
        QStringLiteral("SELECT (SELECT count(*) FROM Vesk) + (SELECT count(*) FROM Work)"));
    st.step();
    return int(st.integer(0));
}

// A file the engine cannot read as a database at all.
bool damaged(const StoreError& e) {
    const int primary = e.number() & 0xff;
    return e.number() < StoreError::NotOpen &&
           (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT);
}

void importDatabase(const ImportRequest& rq) {
    const QString mdb = rq.folder + QStringLiteral("VESK.MDB");
    const QString old = rq.folder + QStringLiteral("Vesk.old");
    const QString oldTemp = old + QStringLiteral(".new");
    auto reached = [&](ImportStep step) {
        if (rq.afterStep)
            rq.afterStep(step);
    };

    checkContactFile(rq.source, rq.jetReader);
    reached(ImportStep::Checked);

    // The chosen file's cards go into a file of the program's own making, never the chosen
    // file itself: its triggers, views and looser fields stay behind. It is built under the
    // upgrade's temporary name, so a start after a crash removes a leftover.
    NewContactFile fresh(mdb);
    try {
        fresh.create();
        StartupContext cx{rq.db, rq.folder};
        cx.jetReader = rq.jetReader;
        CopyResult copy;
        try {
            copy = CopyOldData(cx, fresh.connection(), rq.source);
        } catch (const StoreError& e) {
            // An Access file that the reader read whole a moment ago and now cannot.
            if (e.number() == StoreError::OldFileUnreadable)
                refuse({Reason::Damaged, e.description()});
            throw;
        }
        if (copy.unreadable)
            refuse({Reason::Damaged, QStringLiteral("a table cannot be read")});
        fresh.commit();
        if (const int refused = copy.read - cardsIn(fresh.connection()); refused > 0)
            refuse({.reason = Reason::CardsRefused, .cards = refused});
        reached(ImportStep::Copied);

        // The current file is held still by a read lock from its snapshot to its replacement:
        // no other program's change can fall between the two, a lock of another program is
        // waited for (and its message returned when it stays), and a transaction that a
        // program left when it died is rolled back before anything is read.
        std::shared_ptr<Connection> current;
        try {
            current = rq.db.isOpen() ? rq.db.shared() : Connection::open(mdb);
        } catch (const StoreError& e) {
            if (!damaged(e))
                throw;
        }
        std::optional<Transaction> still;
        if (current) {
            still.emplace(*current, Transaction::Read);
            current->execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        }
        if (MakesBackup(rq.source)) {
            removeWithJournal(oldTemp);
            // A file that is no database has no state to keep but its bytes.
            if (current)
                current->backupTo(oldTemp);
            else
                copyFile(mdb, oldTemp);
            syncToDisk(oldTemp);
            renameOver(oldTemp, old);
            reached(ImportStep::BackedUp);
        }
        fresh.install();
    } catch (...) {
        fresh.discard();
        removeWithJournal(oldTemp);
        throw;
    }
    rq.db.close();
    try {
        rq.db.open(mdb);
    } catch (const StoreError&) {
        // The new file is in place; the list says when it cannot be read, and the next use
        // tries again.
    }
}

} // namespace

std::optional<CopyFailure> ExportDatabase(const ContactDatabase& db, const QString& databasePath,
                                          const QString& target, bool overwrite) {
    return outcomeOf([&] { exportDatabase(db, databasePath, target, overwrite); });
}

std::optional<CopyFailure> CheckContactFile(const QString& path, const QString& jetReader) {
    return outcomeOf([&] { checkContactFile(path, jetReader); });
}

std::optional<CopyFailure> ImportDatabase(const ImportRequest& request) {
    return outcomeOf([&] { importDatabase(request); });
}

bool MakesBackup(const QString& source) {
    return source.right(3).toUpper() == u"MDB";
}

} // namespace store
