#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

class Statement;

// How long a statement waits for another program's lock on the file before it fails with
// "database is locked", in milliseconds.
inline constexpr int BusyTimeout = 5000;

// One open SQLite database file. Only a regular file is opened: a folder, a device, a pipe,
// or a link to one, is refused (StoreError::NotARegularFile) before anything opens it, so
// that nothing waits on a pipe; a journal beside the file that is not a regular file is
// refused too.
class Connection {
public:
    // Opens an existing file read-write and checks that it really is a database, waiting at
    // most `busyTimeout` ms for another program's lock to read it; later statements wait
    // BusyTimeout.
    static std::shared_ptr<Connection> open(const QString& path, int busyTimeout = BusyTimeout);
    // Opens an existing file for reading only: nothing done through it can change the file.
    static std::shared_ptr<Connection> openReadOnly(const QString& path);
    // Creates a new database file; fails when a file of that name already exists.
    static std::shared_ptr<Connection> create(const QString& path);

    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool isOpen() const { return m_db != nullptr; }
    void close();
    const QString& path() const { return m_path; }

    void execute(const QString& sql);
    Statement prepare(const QString& sql);
    // The same, for a statement run again and again (one per card of an import): prepared
    // once per connection and lent out, reset and unbound when given back. A statement still
    // lent when the same text is asked for again is prepared afresh.
    Statement prepareCached(const QString& sql);
    qint64 lastInsertRowid() const;
    // Writes a consistent copy of the whole database, as committed at this moment, into the
    // file at `path` (new or empty) through the engine's online backup, while this
    // connection stays open and usable.
    void backupTo(const QString& path) const;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;
    // Called with the table's name for each row inserted, updated or deleted through this
    // connection, inside the statement (so it must not use the connection); none: no call.
    using RowWriteHook = std::function<void(const char* table)>;
    void setRowWriteHook(RowWriteHook hook);

    // Turns the connection's last error into a StoreError and throws it.
    [[noreturn]] void raise(int rc) const;

private:
    Connection(sqlite3* db, QString path) : m_db(db), m_path(std::move(path)) {}
    sqlite3* handle() const;
    static std::shared_ptr<Connection> openWith(const QString& path, int flags,
                                                int busyTimeout = BusyTimeout);
    void giveBack(sqlite3_stmt* stmt) const;

    struct Cached {
        sqlite3_stmt* stmt = nullptr;
        bool lent = false;
    };
    sqlite3* m_db;
    QString m_path;
    mutable QHash<QString, Cached> m_cache;
    RowWriteHook m_rowWriteHook;
    friend class Statement;
};

// A prepared statement; finalised when it goes out of scope.
class Statement {
public:
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    ~Statement();

    void bind(int index, const std::optional<QString>& value);
    // Binds UTF-8 text (Null when `utf8` is null) without copying it: the bytes must stay
    // as they are until the statement is reset. For a statement run once per card of a copy.
    void bindUtf8(int index, const QByteArray& utf8);
    void bindText(int index, const QString& value) { bind(index, value); }
    void bindInteger(int index, qint64 value);
    // Steps once: true while a row is available.
    bool step();
    void reset();

    int columnCount() const;
    QString columnName(int i) const;
    QString columnDeclType(int i) const;
    bool isNull(int i) const;
    QString text(int i) const;
    // The column's text as UTF-8, valid until the next step; a null view for Null.
    QByteArrayView utf8(int i) const;
    // True when the column holds text (not Null, a number or a blob).
    bool isText(int i) const;
    qint64 integer(int i) const;

private:
    Statement(const Connection& conn, sqlite3_stmt* stmt, bool cached = false)
        : m_conn(&conn), m_stmt(stmt), m_cached(cached) {}
    const Connection* m_conn;
    sqlite3_stmt* m_stmt;
    bool m_cached;
    friend class Connection;
};

// Begins a transaction; rolls it back on destruction unless it was committed. A Read one
// takes no write lock: the reads made in it see one state of the file and lock it once,
// not once per statement.
class Transaction {
public:
    enum Kind { Write, Read };
    explicit Transaction(Connection& conn, Kind kind = Write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_conn;
    bool m_done = false;
};

} // namespace store
