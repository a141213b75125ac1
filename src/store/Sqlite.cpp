#include "store/Sqlite.h"

#include "store/Schema.h"
#include "store/StoreError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <utility>

#include <sqlite3.h>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace store {

namespace {

QString describe(sqlite3* db, int rc) {
    const QString msg =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    // The schema names its constraints after the rule they keep, so the engine's message
    // already says which field refused the value and why.
    static const QString check = QStringLiteral("CHECK constraint failed: ");
    static const QString notNull = QStringLiteral("NOT NULL constraint failed: ");
    if (msg.startsWith(check))
        return msg.mid(check.size());
    if (msg.startsWith(notNull)) {
        QString field = msg.mid(notNull.size());
        field = field.mid(field.indexOf(u'.') + 1);
        return QStringLiteral("Field '%1' is required and cannot be empty").arg(field);
    }
    if ((rc & 0xff) == SQLITE_NOTADB)
        return QStringLiteral("The file is damaged or is not a database");
    // A file opened for reading only cannot undo the change a program left in its journal
    // when it stopped; the engine's own words speak of writing.
    if (db && sqlite3_extended_errcode(db) == SQLITE_READONLY_ROLLBACK)
        return QStringLiteral("The file holds a change that a program left unfinished when it "
                              "stopped, and cannot be read until that change is undone");
    return msg;
}

// A write refused for want of room. The engine says SQLITE_FULL when the system says the disk
// is full, but a plain I/O error when a quota or a file size limit stops it; to the user all
// of them are a full disk.
bool outOfRoom(int rc, int systemError) {
    if ((rc & 0xff) == SQLITE_FULL)
        return true;
    if ((rc & 0xff) != SQLITE_IOERR)
        return false;
#ifdef EDQUOT
    if (systemError == EDQUOT)
        return true;
#endif
    return systemError == ENOSPC || systemError == EFBIG;
}

StoreError errorOf(sqlite3* db, int rc, int systemError) {
    if (outOfRoom(rc, systemError))
        return StoreError(SQLITE_FULL, QString::fromUtf8(sqlite3_errstr(SQLITE_FULL)));
    return StoreError(db ? sqlite3_extended_errcode(db) : rc, describe(db, rc));
}

// Refuses anything at `path` that is not a regular file, without opening it: opening a pipe
// waits until another program writes to it. A name that is not there is left to the engine.
void requireRegularFile(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return;
#else
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return;
#endif
    throw StoreError(StoreError::NotARegularFile,
                     QStringLiteral("%1 is not a regular file").arg(path));
}

} // namespace

std::shared_ptr<Connection> Connection::openWith(const QString& path, int flags, int busyTimeout) {
    // The engine opens the journal beside the file as well, to roll back what a program that
    // stopped mid-write left there.
    for (const char* suffix : {"", "-journal", "-wal"})
        requireRegularFile(path + QLatin1String(suffix));
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = describe(db, rc);
        const int code = db ? sqlite3_extended_errcode(db) : rc;
        sqlite3_close(db);
        throw StoreError(code, text);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyTimeout);
    // Room for a whole phone book of 100,000 cards, so listing and searching read from
    // memory after the first pass.
    sqlite3_exec(db, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    return std::shared_ptr<Connection>(new Connection(db, path));
}

std::shared_ptr<Connection> Connection::open(const QString& path, int busyTimeout) {
    auto conn = openWith(path, SQLITE_OPEN_READWRITE, busyTimeout);
    // SQLite reads the file lazily: read its schema now so that a damaged file or one that
    // is not a database fails here, at the open.
    conn->execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    sqlite3_busy_timeout(conn->m_db, BusyTimeout);
    return conn;
}

std::shared_ptr<Connection> Connection::openReadOnly(const QString& path) {
    auto conn = openWith(path, SQLITE_OPEN_READONLY);
    conn->execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    return conn;
}

std::shared_ptr<Connection> Connection::create(const QString& path) {
    if (QFileInfo::exists(path))
        throw StoreError(StoreError::FileExists,
                         QStringLiteral("The file %1 already exists").arg(path));
    auto conn = openWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // Writes the file's header, so that creation fails here when the folder is not writable.
    conn->execute(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
    return conn;
}

Connection::~Connection() {
    close();
}

void Connection::close() {
    if (m_db) {
        // A statement still lent is finalised when it is given back.
        for (const Cached& c : std::as_const(m_cache)) {
            if (!c.lent)
                sqlite3_finalize(c.stmt);
        }
        m_cache.clear();
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void Connection::setRowWriteHook(RowWriteHook hook) {
    m_rowWriteHook = std::move(hook);
    if (!m_rowWriteHook) {
        sqlite3_update_hook(handle(), nullptr, nullptr);
        return;
    }
    sqlite3_update_hook(
        handle(),
        [](void* self, int, const char*, const char* table, sqlite3_int64) {
            static_cast<Connection*>(self)->m_rowWriteHook(table);
        },
        this);
}

sqlite3* Connection::handle() const {
    if (!m_db)
        throw StoreError(StoreError::NotOpen, QStringLiteral("The database is not open"));
    return m_db;
}

void Connection::raise(int rc) const {
    // The engine does not keep the system's reason for every failed write (a file size limit
    // is one it drops); the call that failed has just returned, so errno still holds it.
    const int lastSystemError = errno;
    const int kept = m_db ? sqlite3_system_errno(m_db) : 0;
    throw errorOf(m_db, rc, kept != 0 ? kept : lastSystemError);
}

void Connection::execute(const QString& sql) {
    Statement st = prepare(sql);
    while (st.step()) {
    }
}

Statement Connection::prepare(const QString& sql) {
    sqlite3* db = handle();
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        raise(rc);
    return Statement(*this, stmt);
}

Statement Connection::prepareCached(const QString& sql) {
    auto found = m_cache.find(sql);
    if (found == m_cache.end()) {
        Statement fresh = prepare(sql);
        found = m_cache.insert(sql, {std::exchange(fresh.m_stmt, nullptr), false});
    } else if (found->lent) {
        return prepare(sql);
    }
    found->lent = true;
    return Statement(*this, found->stmt, true);
}

void Connection::giveBack(sqlite3_stmt* stmt) const {
    for (Cached& c : m_cache) {
        if (c.stmt == stmt) {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
            c.lent = false;
            return;
        }
    }
    sqlite3_finalize(stmt);
}

void Connection::backupTo(const QString& path) const {
    sqlite3* from = handle();
    const std::shared_ptr<Connection> to =
        openWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup* backup = sqlite3_backup_init(to->m_db, "main", from, "main");
    if (!backup)
        to->raise(sqlite3_errcode(to->m_db));
    // All pages in one step, under one read lock: the copy is one committed state. A lock
    // held by another program is waited for as long as any statement waits.
    const int rc = sqlite3_backup_step(backup, -1);
    const int systemError = errno;
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) // the reason is the step's, whichever of the two files it concerns
        throw errorOf(nullptr, rc, systemError);
    to->close();
}

qint64 Connection::lastInsertRowid() const {
    return sqlite3_last_insert_rowid(handle());
}

int Connection::changes() const {
    return sqlite3_changes(handle());
}

Statement::Statement(Statement&& other) noexcept
    : m_conn(other.m_conn), m_stmt(std::exchange(other.m_stmt, nullptr)), m_cached(other.m_cached) {
}

Statement::~Statement() {
    if (m_cached && m_stmt)
        m_conn->giveBack(m_stmt);
    else
        sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, const std::optional<QString>& value) {
    int rc;
    if (!value) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        const QByteArray utf8 = value->toUtf8();
        rc = sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK)
        m_conn->raise(rc);
}

void Statement::bindUtf8(int index, const QByteArray& utf8) {
    const int rc = utf8.isNull() ? sqlite3_bind_null(m_stmt, index)
                                 : sqlite3_bind_text(m_stmt, index, utf8.constData(),
                                                     int(utf8.size()), SQLITE_STATIC);
    if (rc != SQLITE_OK)
        m_conn->raise(rc);
}

void Statement::bindInteger(int index, qint64 value) {
    const int rc = sqlite3_bind_int64(m_stmt, index, value);
    if (rc != SQLITE_OK)
        m_conn->raise(rc);
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_conn->raise(rc);
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const {
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int i) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

QString Statement::columnDeclType(int i) const {
    return QString::fromUtf8(sqlite3_column_decltype(m_stmt, i));
}

bool Statement::isNull(int i) const {
    return sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
}

QString Statement::text(int i) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
    const int n = sqlite3_column_bytes(m_stmt, i);
    return QString::fromUtf8(p, n);
}

QByteArrayView Statement::utf8(int i) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
    return QByteArrayView(p, p ? sqlite3_column_bytes(m_stmt, i) : 0);
}

bool Statement::isText(int i) const {
    return sqlite3_column_type(m_stmt, i) == SQLITE_TEXT;
}

qint64 Statement::integer(int i) const {
    return sqlite3_column_int64(m_stmt, i);
}

Transaction::Transaction(Connection& conn, Kind kind) : m_conn(conn) {
    m_conn.execute(kind == Write ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
}

Transaction::~Transaction() {
    if (!m_done && m_conn.isOpen()) {
        try {
            m_conn.execute(QStringLiteral("ROLLBACK"));
        } catch (const StoreError&) {
            // Nothing left to undo: the engine already rolled back.
        }
    }
}

void Transaction::commit() {
    m_conn.execute(QStringLiteral("COMMIT"));
    m_done = true;
}

} // namespace store
