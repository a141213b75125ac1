#include "jet/JetReader.h"

#include "jet/FrameFormat.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace jet {

bool looksLikeJet(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    char header[20] = {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const bool whole = regular && ::read(fd, header, sizeof header) == sizeof header;
    ::close(fd);
    static const char pageZero[4] = {0x00, 0x01, 0x00, 0x00};
    return whole && std::memcmp(header, pageZero, 4) == 0 &&
           (std::memcmp(header + 4, "Standard Jet DB", 16) == 0 ||
            std::memcmp(header + 4, "Standard ACE DB", 16) == 0);
}

int TableInfo::indexOf(QStringView column) const {
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].name == column)
            return i;
    }
    return -1;
}

std::optional<int> SchemaVersion::number() const {
    if (state != State::Present || !value)
        return std::nullopt;
    bool ok = false;
    const int n = value->toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

const TableInfo* ReadResult::table(QStringView name) const {
    for (const TableInfo& t : tables) {
        if (t.name == name)
            return &t;
    }
    return nullptr;
}

QString defaultReaderProgram() {
    const QString dir =
        QCoreApplication::instance()
            ? QCoreApplication::applicationDirPath()
            : QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
    return dir + QStringLiteral("/orvenna-jet-reader");
}

Reader::Reader(QString program, Limits limits)
    : program_(program.isEmpty() ? defaultReaderProgram() : std::move(program)), limits_(limits) {}

namespace {

const QString dbDetails = QStringLiteral("dbDetails");

// Takes the reader's stream piece by piece and checks it as it goes: the magic, then File,
// Catalog, (Table Row* End)*, Done, nothing after. Each frame is handled once it is whole; a
// frame is never held longer than Limits::maxFrame.
class StreamParser {
public:
    StreamParser(const Limits& limits, const QStringList& asked, const RowHandler& onRow,
                 ReadResult& result)
        : limits_(limits), asked_(asked), onRow_(onRow), result_(result) {}

    // False when the stream is wrong, too large or stopped: result_ says which.
    bool feed(const QByteArray& bytes) {
        total_ += bytes.size();
        if (total_ > limits_.maxOutput)
            return fail(
                ReadStatus::TooLarge,
                QStringLiteral("the reader wrote more than %1 bytes").arg(limits_.maxOutput));
        buffer_.append(bytes);
        const char* const begin = buffer_.constData();
        const char* const end = begin + buffer_.size();
        const char* p = begin + consumed_;
        bool ok = true;
        while (ok) {
            const char* frameStart = p;
            if (!magicSeen_) {
                if (end - p < qsizetype(frame::Magic.size()))
                    break;
                if (std::string_view(p, frame::Magic.size()) != frame::Magic)
                    return malformed("the reader's output does not begin as it should");
                p += frame::Magic.size();
                magicSeen_ = true;
                continue;
            }
            if (p == end)
                break;
            const auto tag = static_cast<unsigned char>(*p++);
            std::uint32_t length = 0;
            const char* lengthStart = p;
            if (!frame::readVarint(p, end, length)) {
                if (end - lengthStart >= frame::MaxVarintBytes)
                    return malformed("a frame length is not a number");
                p = frameStart;
                break;
            }
            if (length > limits_.maxFrame)
                return fail(ReadStatus::TooLarge,
                            QStringLiteral("the reader wrote a frame of %1 bytes").arg(length));
            if (end - p < qsizetype(length)) {
                p = frameStart;
                break;
            }
            ok = handle(tag, p, p + length);
            p += length;
        }
        consumed_ = p - begin;
        if (consumed_ > 64 * 1024 && consumed_ * 2 > buffer_.size()) {
            buffer_.remove(0, consumed_);
            consumed_ = 0;
        }
        return ok;
    }

    // Called when the reader has ended with `exitCode` (not by a signal). Its own failure
    // frame says why it could not read; any other status is a crash (a sanitizer's, say),
    // whatever it wrote.
    void finish(int exitCode) {
        if (failed_)
            return;
        const bool whole = consumed_ == buffer_.size();
        if (whole && state_ == State::Failed)
            fail(ReadStatus::CannotRead, failure_);
        else if (exitCode != 0)
            fail(ReadStatus::Crashed,
                 QStringLiteral("the reader ended with status %1").arg(exitCode));
        else if (!whole)
            malformed("the reader's output ends inside a frame");
        else if (state_ != State::Done)
            malformed("the reader's output ends before its end mark");
    }

    const SchemaVersion& version() const { return version_; }

private:
    enum class State { File, Catalog, Tables, Rows, Done, Failed };

    bool fail(ReadStatus status, const QString& why) {
        if (!failed_) {
            failed_ = true;
            result_.status = status;
            result_.description = why;
        }
        return false;
    }
    bool malformed(const char* why) {
        return fail(ReadStatus::Malformed, QString::fromLatin1(why));
    }

    static bool number(const char*& p, const char* end, std::uint32_t& n) {
        return frame::readVarint(p, end, n);
    }
    bool text(const char*& p, const char* end, QString& out, std::uint32_t length) {
        if (qsizetype(length) > end - p)
            return false;
        QStringDecoder decoder(QStringConverter::Utf8,
                               QStringConverter::Flag::Stateless |
                                   QStringConverter::Flag::ConvertInitialBom);
        out = decoder(QByteArrayView(p, length));
        p += length;
        return !decoder.hasError();
    }
    bool string(const char*& p, const char* end, QString& out) {
        std::uint32_t length = 0;
        return number(p, end, length) && text(p, end, out, length);
    }

    bool handle(unsigned char tag, const char* p, const char* end) {
        if (state_ == State::Done || state_ == State::Failed)
            return malformed("the reader wrote after its end mark");
        switch (tag) {
        case frame::Failed:
            if (!string(p, end, failure_) || p != end)
                return malformed("a failure frame is malformed");
            state_ = State::Failed;
            return true;
        case frame::File: {
            std::uint32_t version = 0;
            if (state_ != State::File || !number(p, end, version) ||
                !string(p, end, result_.textEncoding) || p != end)
                return malformed("the file frame is malformed or out of place");
            result_.jetVersion = int(version);
            state_ = State::Catalog;
            return true;
        }
        case frame::Catalog: {
            std::uint32_t count = 0;
            if (state_ != State::Catalog || !number(p, end, count))
                return malformed("the catalog frame is malformed or out of place");
            for (std::uint32_t i = 0; i < count; ++i) {
                QString name;
                if (!string(p, end, name))
                    return malformed("the catalog frame is malformed");
                result_.catalog << name;
            }
            if (p != end)
                return malformed("the catalog frame is malformed");
            state_ = State::Tables;
            return true;
        }
        case frame::Table:
            return table(p, end);
        case frame::Row:
            return row(p, end);
        case frame::End: {
            std::uint32_t rows = 0;
            if (state_ != State::Rows || !number(p, end, rows) || p != end ||
                rows != result_.tables.back().rows)
                return malformed("a table's end frame is malformed or out of place");
            state_ = State::Tables;
            return true;
        }
        case frame::Done:
            if (state_ != State::Tables || p != end)
                return malformed("the end mark is out of place");
            state_ = State::Done;
            return true;
        default:
            return malformed("the reader wrote a frame of an unknown kind");
        }
    }

    bool table(const char* p, const char* end) {
        TableInfo info;
        std::uint32_t count = 0;
        if (state_ != State::Tables || !string(p, end, info.name) || !number(p, end, count))
            return malformed("a table frame is malformed or out of place");
        if (count > std::uint32_t(limits_.maxColumns))
            return fail(ReadStatus::TooLarge,
                        QStringLiteral("the table %1 has %2 columns").arg(info.name).arg(count));
        // Each table once, only one asked for, only one the catalog lists.
        if (!asked_.contains(info.name) || !result_.catalog.contains(info.name) ||
            result_.table(info.name))
            return malformed("the reader sent a table not asked for");
        for (std::uint32_t i = 0; i < count; ++i) {
            Column column;
            std::uint32_t type = 0;
            std::uint32_t size = 0;
            if (!string(p, end, column.name) || !number(p, end, type) || !number(p, end, size) ||
                type > 0xFF || size > 0xFFFF)
                return malformed("a table frame is malformed");
            column.type = int(type);
            column.size = int(size);
            info.columns << column;
        }
        if (p != end)
            return malformed("a table frame is malformed");
        result_.tables << info;
        state_ = State::Rows;
        if (info.name == dbDetails) {
            const int field = result_.tables.back().indexOf(u"dbVerNum");
            versionField_ = field;
            version_.state =
                field < 0 ? SchemaVersion::State::NoField : SchemaVersion::State::NoRow;
        }
        return true;
    }

    bool row(const char* p, const char* end) {
        if (state_ != State::Rows)
            return malformed("a row is out of place");
        TableInfo& info = result_.tables.back();
        Row row;
        row.table = &info;
        row.fields.reserve(info.columns.size());
        for (qsizetype i = 0; i < info.columns.size(); ++i) {
            std::uint32_t marker = 0;
            if (!number(p, end, marker))
                return malformed("a row is malformed");
            if (marker == 0) {
                row.fields.append(std::nullopt);
                continue;
            }
            QString value;
            if (!text(p, end, value, marker - 1))
                return malformed("a row is malformed");
            row.fields.append(std::move(value));
        }
        if (p != end)
            return malformed("a row is malformed");
        ++info.rows;
        if (info.name == dbDetails && info.rows == 1 && versionField_ >= 0) {
            version_.state = SchemaVersion::State::Present;
            version_.value = row.fields[versionField_];
        }
        if (onRow_ && !onRow_(row))
            return fail(ReadStatus::Stopped, QStringLiteral("stopped"));
        return true;
    }

    const Limits& limits_;
    const QStringList& asked_;
    const RowHandler& onRow_;
    ReadResult& result_;
    QByteArray buffer_;
    qsizetype consumed_ = 0;
    qint64 total_ = 0;
    bool magicSeen_ = false;
    bool failed_ = false;
    State state_ = State::File;
    QString failure_;
    int versionField_ = -1;
    SchemaVersion version_;
};

QString seconds(std::chrono::milliseconds ms) {
    return QString::number(double(ms.count()) / 1000.0, 'g', 3);
}

} // namespace

ReadResult Reader::read(const QString& path, const QStringList& tables,
                        const RowHandler& onRow) const {
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        result.status = ReadStatus::NotARegularFile;
        result.description = QStringLiteral("%1 is not a regular file").arg(path);
        return result;
    }

    // Named by its full path, never looked up in PATH.
    if (QFileInfo(program_).isRelative()) {
        result.status = ReadStatus::ReaderMissing;
        result.description = QStringLiteral("the reader %1 is not a full path").arg(program_);
        return result;
    }
    QProcess reader;
    // The reader says why it failed in its own frames; what else it writes (libmdb's warnings
    // on a damaged file, by the page) is dropped unread, never buffered here.
    reader.setStandardErrorFile(QProcess::nullDevice());
    reader.setStandardInputFile(QProcess::nullDevice());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& key : environment.keys()) {
        if (key.startsWith(QLatin1String("MDB")))
            environment.remove(key);
    }
    reader.setProcessEnvironment(environment);
    QStringList arguments{info.absoluteFilePath()};
    arguments += tables;
    reader.start(program_, arguments, QIODevice::ReadOnly);
    if (!reader.waitForStarted(int(limits_.start.count()))) {
        result.status = ReadStatus::ReaderMissing;
        result.description = QStringLiteral("the reader %1 cannot be started: %2")
                                 .arg(program_, reader.errorString());
        return result;
    }

    StreamParser parser(limits_, tables, onRow, result);
    const QDeadlineTimer deadline(limits_.total);
    auto stop = [&](ReadStatus status, const QString& why) {
        reader.kill();
        reader.waitForFinished(-1);
        result.status = status;
        result.description = why;
        return result;
    };

    bool ok = true;
    while (ok && reader.state() == QProcess::Running) {
        if (reader.bytesAvailable() == 0) {
            const qint64 left = deadline.remainingTime();
            if (left == 0)
                return stop(
                    ReadStatus::TimedOut,
                    QStringLiteral("the reader took longer than %1 s").arg(seconds(limits_.total)));
            const qint64 wait = std::min<qint64>(left, limits_.idle.count());
            if (!reader.waitForReadyRead(int(wait))) {
                if (reader.state() != QProcess::Running)
                    break;
                if (wait == limits_.idle.count())
                    return stop(ReadStatus::TimedOut,
                                QStringLiteral("the reader did nothing for %1 s")
                                    .arg(seconds(limits_.idle)));
                continue; // the total limit; the next round says so
            }
        }
        ok = parser.feed(reader.read(64 * 1024));
    }
    if (!ok) {
        reader.kill();
        reader.waitForFinished(-1);
        return result;
    }
    // The reader has ended (or is ending): how it ended, then what it wrote last.
    if (reader.state() != QProcess::NotRunning &&
        !reader.waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 1))))
        return stop(ReadStatus::TimedOut,
                    QStringLiteral("the reader took longer than %1 s").arg(seconds(limits_.total)));
    if (reader.exitStatus() == QProcess::CrashExit) {
        result.status = ReadStatus::Crashed;
        result.description = QStringLiteral("the reader crashed");
        return result;
    }
    while (ok && reader.bytesAvailable() > 0)
        ok = parser.feed(reader.read(64 * 1024));
    if (!ok)
        return result;
    parser.finish(reader.exitCode());
    if (result.ok() && tables.contains(dbDetails))
        result.version = parser.version();
    return result;
}

} // namespace jet
