#pragma once

// Old Access (Jet) files, read safely: libmdb runs in a child process (orvenna-jet-reader,
// installed beside the program) with a time limit and bounded output, and its rows come back
// here as they arrive. A crash, a hang or garbage from the child is "the file cannot be
// read"; nothing is ever a partial success. Qt Core only.
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

namespace jet {

// True when `path` is a regular file (a link to one too) whose header is a Jet 3 or 4 file's
// ("Standard Jet DB") or a newer ACE file's ("Standard ACE DB"). Never blocks on a FIFO or a
// device: they are refused unread.
bool looksLikeJet(const QString& path);

// A column's type, as the file stores it (libmdb's codes).
enum class ColumnType {
    Bool = 0x01,
    Byte = 0x02,
    Integer = 0x03,
    LongInteger = 0x04,
    Money = 0x05,
    Float = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
    ReplicationId = 0x0F,
    Numeric = 0x10,
    Complex = 0x12,
};

struct Column {
    QString name;
    int type = 0; // a ColumnType, or a code this program does not know
    int size = 0; // as stored: bytes (a Text column of 20 characters is 40 in a Jet 4 file)
};

struct TableInfo {
    QString name;
    QList<Column> columns;
    qint64 rows = 0; // rows delivered so far; all of them once the read is complete

    // The column named exactly `name` (case-sensitive), or -1.
    int indexOf(QStringView name) const;
};

// A value: text (numbers, dates and yes/no as text too) or Null. OLE objects, and values of a
// type libmdb does not know, are read as Null.
using Field = std::optional<QString>;

struct Row {
    const TableInfo* table = nullptr;
    QList<Field> fields; // one per column of `table`, in its order
};

// Returns false to stop the reading (the result is then Stopped).
using RowHandler = std::function<bool(const Row&)>;

// `dbVerNum` of the first row of `dbDetails`, when that table was asked for.
struct SchemaVersion {
    enum class State { NoTable, NoField, NoRow, Present };
    State state = State::NoTable;
    Field value; // when Present: the number as text, or Null

    // The value as a number, when it is one.
    std::optional<int> number() const;
};

enum class ReadStatus {
    Complete,        // every table asked for that the file holds, every row
    Stopped,         // the row handler asked to stop
    NotARegularFile, // a folder, a FIFO, a device, a dangling link, nothing
    ReaderMissing,   // the reader program cannot be started
    CannotRead,      // the reader says the file is not one it can read, or damaged
    Crashed,         // the reader ended by a signal or with an unexpected status
    TimedOut,        // no progress for Limits::idle, or longer than Limits::total
    TooLarge,        // more output, or a larger frame, than the limits allow
    Malformed,       // the reader's output is not a well-formed stream
};

struct ReadResult {
    ReadStatus status = ReadStatus::Complete;
    QString description;                  // why it failed, in English; empty when complete
    int jetVersion = -1;                  // 0 Jet 3, 1 Jet 4, 2 and up the newer ACE files
    QString textEncoding;                 // what text was read as ("CP1255" for a Jet 3 file, say)
    QStringList catalog;                  // the file's user tables, in catalog order
    QList<TableInfo> tables;              // those asked for that the file holds, in the order read
    std::optional<SchemaVersion> version; // when dbDetails was asked for and the read completed

    bool ok() const { return status == ReadStatus::Complete; }
    const TableInfo* table(QStringView name) const;
};

struct Limits {
    std::chrono::milliseconds start{10'000};  // for the reader to start
    std::chrono::milliseconds idle{15'000};   // without a byte from the reader
    std::chrono::milliseconds total{300'000}; // for the whole read
    qint64 maxOutput = qint64(1) << 30;       // bytes, the whole stream
    qint64 maxFrame = qint64(1) << 20;        // bytes, one row (or the catalog)
    int maxColumns = 256;
};

// The reader program beside the running program's binary.
QString defaultReaderProgram();

class Reader {
public:
    // `program` empty: the one beside the running program.
    explicit Reader(QString program = {}, Limits limits = {});

    // Reads the file at `path` (a regular file only): its catalog and each of `tables` it
    // holds (names compared exactly), each row handed to `onRow` as it arrives. Blocks the
    // calling thread until the reader ends (waiting on it, never spinning); the reader is
    // killed on a time limit, an excess, a malformed stream or a stop.
    ReadResult read(const QString& path, const QStringList& tables,
                    const RowHandler& onRow = {}) const;

    const QString& program() const { return program_; }

private:
    QString program_;
    Limits limits_;
};

} // namespace jet
