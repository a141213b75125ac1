#pragma once

#include <QString>

#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

class Statement;

// One open SQLite database file.
class Connection {
public:
    // Opens an existing file read-write and checks that it really is a database.
    static std::shared_ptr<Connection> open(const QString& path);
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
    qint64 lastInsertRowid() const;
    // Writes a consistent copy of the whole database, as committed at this moment, into the
    // file at `path` (new or empty) through the engine's online backup, while this
    // connection stays open and usable.
    void backupTo(const QString& path) const;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;

    // Turns the connection's last error into a StoreError and throws it.
    [[noreturn]] void raise(int rc) const;

private:
    Connection(sqlite3* db, QString path) : m_db(db), m_path(std::move(path)) {}
    sqlite3* handle() const;
    static std::shared_ptr<Connection> openWith(const QString& path, int flags);

    sqlite3* m_db;
    QString m_path;
    friend class Statement;
};

// A prepared statement; finalised when it goes out of scope.
class Statement {
public:
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    ~Statement();

    void bind(int index, const std::optional<QString>& value);
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
    qint64 integer(int i) const;

private:
    Statement(const Connection& conn, sqlite3_stmt* stmt) : m_conn(&conn), m_stmt(stmt) {}
    const Connection* m_conn;
    sqlite3_stmt* m_stmt;
    friend class Connection;
};

// Begins a transaction; rolls it back on destruction unless it was committed.
class Transaction {
public:
    explicit Transaction(Connection& conn);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_conn;
    bool m_done = false;
};

} // namespace store
