#include "jet/JetDump.h"

#include "jet/FrameFormat.h"

// glib and iconv first: mdbtools.h includes them inside its extern "C" block, where glib's C++
// parts do not compile; their include guards keep them out of it.
#include <glib.h>
#include <iconv.h>
#include <mdbtools.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace jet {

namespace {

// Where libmdb's bound conversions stop; a memo that reaches it would be cut short, and is
// refused instead.
constexpr std::size_t BindSize = 65536;
constexpr std::size_t SinkChunk = 64 * 1024;

class Output {
public:
    explicit Output(const FrameSink& sink) : sink_(sink) { buffer_.reserve(2 * SinkChunk); }

    bool ok() const { return ok_; }

    void frame(frame::Tag tag, std::string_view payload) {
        buffer_.push_back(static_cast<char>(tag));
        frame::appendVarint(buffer_, static_cast<std::uint32_t>(payload.size()));
        buffer_.append(payload);
        if (buffer_.size() >= SinkChunk)
            flush();
    }
    void flush() {
        if (ok_ && !buffer_.empty())
            ok_ = sink_(buffer_);
        buffer_.clear();
    }
    void raw(std::string_view bytes) { buffer_.append(bytes); }

private:
    const FrameSink& sink_;
    std::string buffer_;
    bool ok_ = true;
};

struct HandleCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableFree {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
struct GFree {
    void operator()(char* text) const { g_free(text); }
};
using Handle = std::unique_ptr<MdbHandle, HandleCloser>;
using TableDef = std::unique_ptr<MdbTableDef, TableFree>;
using GText = std::unique_ptr<char, GFree>;

struct Failure {
    std::string description;
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// Windows-1255 as Windows maps it, one byte to one character (0x80..0xFF; U+FFFD where the
// code page defines nothing). iconv's CP1255 composes letters with their points into
// presentation forms and holds back a value's last letter in case a point follows; text must
// come out as stored.
constexpr char16_t Cp1255High[128] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0xFFFD, 0x2039, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, //
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0xFFFD, 0x203A, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, //
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x20AA, 0x00A5, 0x00A6, 0x00A7, // 0xA0
    0x00A8, 0x00A9, 0x00D7, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, //
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x00B8, 0x00B9, 0x00F7, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF, //
    0x05B0, 0x05B1, 0x05B2, 0x05B3, 0x05B4, 0x05B5, 0x05B6, 0x05B7, // 0xC0
    0x05B8, 0x05B9, 0xFFFD, 0x05BB, 0x05BC, 0x05BD, 0x05BE, 0x05BF, //
    0x05C0, 0x05C1, 0x05C2, 0x05C3, 0x05F0, 0x05F1, 0x05F2, 0x05F3, // 0xD0
    0x05F4, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, //
    0x05D0, 0x05D1, 0x05D2, 0x05D3, 0x05D4, 0x05D5, 0x05D6, 0x05D7, // 0xE0
    0x05D8, 0x05D9, 0x05DA, 0x05DB, 0x05DC, 0x05DD, 0x05DE, 0x05DF, //
    0x05E0, 0x05E1, 0x05E2, 0x05E3, 0x05E4, 0x05E5, 0x05E6, 0x05E7, // 0xF0
    0x05E8, 0x05E9, 0x05EA, 0xFFFD, 0xFFFD, 0x200E, 0x200F, 0xFFFD, //
};

// Jet 3 text. libmdb is told the file is ISO-8859-1, which keeps every byte as the character
// of that number; this takes the bytes back from libmdb's UTF-8 and decodes them in the file's
// real code page. Jet 4 and newer files store UTF-16, which libmdb converts itself: nothing to
// do.
class TextRecoder {
public:
    TextRecoder() = default;
    TextRecoder(const TextRecoder&) = delete;
    TextRecoder& operator=(const TextRecoder&) = delete;
    ~TextRecoder() {
        if (iconv_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(iconv_);
    }

    void useCodePage(const std::string& encoding) {
        active_ = true;
        if (encoding != "CP1255") {
            iconv_ = iconv_open("UTF-8", encoding.c_str());
            if (iconv_ == reinterpret_cast<iconv_t>(-1))
                throw Failure{"text in " + encoding + " cannot be converted"};
        }
    }

    std::string operator()(std::string_view fromLibmdb) {
        if (!active_)
            return std::string(fromLibmdb);
        std::string bytes;
        bytes.reserve(fromLibmdb.size());
        for (std::size_t i = 0; i < fromLibmdb.size(); ++i) {
            const auto c = static_cast<unsigned char>(fromLibmdb[i]);
            if ((c == 0xC2 || c == 0xC3) && i + 1 < fromLibmdb.size()) {
                bytes.push_back(char(((c & 0x03) << 6) | (fromLibmdb[++i] & 0x3F)));
            } else {
                bytes.push_back(char(c));
            }
        }
        std::string text;
        text.reserve(bytes.size() * 2);
        if (iconv_ == reinterpret_cast<iconv_t>(-1)) {
            for (const char byte : bytes) {
                const auto b = static_cast<unsigned char>(byte);
                appendUtf8(text, b < 0x80 ? char32_t(b) : char32_t(Cp1255High[b - 0x80]));
            }
            return text;
        }
        return throughIconv(bytes);
    }

private:
    std::string throughIconv(std::string& bytes) {
        std::string text(bytes.size() * 4 + 16, '\0');
        iconv(iconv_, nullptr, nullptr, nullptr, nullptr);
        char* in = bytes.data();
        std::size_t inLeft = bytes.size();
        char* out = text.data();
        std::size_t outLeft = text.size();
        while (inLeft > 0) {
            if (iconv(iconv_, &in, &inLeft, &out, &outLeft) != std::size_t(-1))
                break;
            if (errno == E2BIG || outLeft < 3)
                throw Failure{"a text grows too much in conversion"};
            // A byte the code page does not define.
            std::memcpy(out, "\xEF\xBF\xBD", 3);
            out += 3;
            outLeft -= 3;
            ++in;
            --inLeft;
        }
        iconv(iconv_, nullptr, nullptr, &out, &outLeft);
        text.resize(text.size() - outLeft);
        return text;
    }

    bool active_ = false;
    iconv_t iconv_ = reinterpret_cast<iconv_t>(-1);
};

void appendField(std::string& row, std::string_view text) {
    frame::appendVarint(row, static_cast<std::uint32_t>(text.size() + 1));
    row.append(text);
}

void appendHex(std::string& row, const unsigned char* bytes, int size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(std::size_t(size) * 2);
    for (int i = 0; i < size; ++i) {
        hex.push_back(digits[bytes[i] >> 4]);
        hex.push_back(digits[bytes[i] & 0xF]);
    }
    appendField(row, hex);
}

// Types whose values are read as text. OLE objects (pictures, documents) are not text, and
// libmdb gives "" for a type it does not know: both are read as Null rather than as a value
// they are not.
bool readable(int type) {
    switch (type) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_DATETIME:
    case MDB_BINARY:
    case MDB_TEXT:
    case MDB_MEMO:
    case MDB_REPID:
    case MDB_NUMERIC:
    case MDB_COMPLEX:
        return true;
    default:
        return false;
    }
}

// The file open in libmdb, and how its text is read.
struct Context {
    MdbHandle* mdb;
    TextRecoder& text;
};

// One column's value of the row just cracked, as text (the way mdb-export writes it).
void appendValue(std::string& row, Context& file, const MdbColumn* col, const MdbField& field,
                 const std::string& tableName) {
    MdbHandle* mdb = file.mdb;
    if (col->col_type == MDB_BOOL) {
        // A yes/no value lives in the null mask: a set bit is Yes.
        appendField(row, field.is_null ? "0" : "1");
        return;
    }
    if (field.is_null || !readable(col->col_type)) {
        frame::appendVarint(row, 0);
        return;
    }
    const auto pageSize = static_cast<int>(mdb->fmt->pg_size);
    if (field.start < 0 || field.siz < 0 || field.start > pageSize ||
        field.siz > pageSize - field.start)
        throw Failure{"a row of " + tableName + " points outside its page"};
    if (col->col_type == MDB_BINARY) {
        appendHex(row, mdb->pg_buf + field.start, field.siz);
        return;
    }
    GText text(col->col_type == MDB_NUMERIC
                   ? mdb_numeric_to_string(mdb, field.start, col->col_scale, col->col_prec)
                   : mdb_col_to_string(mdb, mdb->pg_buf, field.start, col->col_type, field.siz));
    const std::string_view value = text ? std::string_view(text.get()) : std::string_view();
    if (col->col_type == MDB_MEMO && value.size() + 8 >= BindSize)
        throw Failure{"a memo of " + tableName + " is longer than the reader takes"};
    if (col->col_type == MDB_TEXT || col->col_type == MDB_MEMO)
        appendField(row, file.text(value));
    else
        appendField(row, value);
}

TableDef openTable(MdbCatalogEntry* entry, const std::string& name) {
    TableDef table(mdb_read_table(entry));
    if (!table || !mdb_read_columns(table.get()) || table->num_cols > MDB_MAX_COLS)
        throw Failure{"the table " + name + " cannot be read"};
    return table;
}

// A page that cannot be read ends libmdb's scan as if the table ended there; the table's own
// count tells a scan that stopped short.
void checkCount(const MdbTableDef& table, std::uint32_t rows, const std::string& name) {
    if (rows < table.num_rows)
        throw Failure{"only " + std::to_string(rows) + " of the " + std::to_string(table.num_rows) +
                      " rows of " + name + " can be read"};
}

void writeTable(Output& out, Context& file, MdbCatalogEntry* entry, const std::string& name) {
    MdbHandle* mdb = file.mdb;
    TableDef table = openTable(entry, name);
    const unsigned columns = table->num_cols;

    std::string payload;
    frame::appendString(payload, name);
    frame::appendVarint(payload, columns);
    for (unsigned i = 0; i < columns; ++i) {
        const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        frame::appendString(payload, file.text(col->name));
        frame::appendVarint(payload, static_cast<std::uint32_t>(col->col_type));
        frame::appendVarint(payload, static_cast<std::uint32_t>(std::max(col->col_size, 0)));
    }
    out.frame(frame::Table, payload);

    // mdb_fetch_row skips deleted rows and converts only what is bound; nothing is, and each
    // row fetched is cracked again here for its null mask, which tells a Null from an empty
    // text (a bound value is "" for both).
    std::unique_ptr<MdbField[]> fields(new MdbField[columns]);
    std::uint32_t rows = 0;
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get())) {
        int start = 0;
        std::size_t size = 0;
        if (table->cur_row == 0 || mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) != 0)
            throw Failure{"a row of " + name + " cannot be found again"};
        start &= 0x1FFF; // the row's flags are in the high bits
        if (mdb_crack_row(table.get(), start, size, fields.get()) < 0)
            throw Failure{"a row of " + name + " cannot be read"};
        payload.clear();
        for (unsigned i = 0; i < columns; ++i) {
            const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
            appendValue(payload, file, col, fields[i], name);
        }
        out.frame(frame::Row, payload);
        if (!out.ok())
            return;
        ++rows;
    }
    checkCount(*table, rows, name);
    payload.clear();
    frame::appendVarint(payload, rows);
    out.frame(frame::End, payload);
}

// libmdb lists what it could read of the catalog table, MSysObjects, and no more: that table
// is there, and whole, or the list of tables cannot be trusted.
void checkCatalog(MdbHandle* mdb) {
    const std::string name = "MSysObjects";
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || name != entry->object_name)
            continue;
        TableDef table = openTable(entry, name);
        std::uint32_t rows = 0;
        mdb_rewind_table(table.get());
        while (mdb_fetch_row(table.get()))
            ++rows;
        checkCount(*table, rows, name);
        return;
    }
    throw Failure{"the catalog cannot be read"};
}

// Opens `path` for libmdb: a regular file only, never blocking on a FIFO or a device; libmdb
// then opens the very file checked, through /proc when it is there.
struct OpenedFile {
    int fd = -1;
    ~OpenedFile() {
        if (fd >= 0)
            ::close(fd);
    }
};

Handle openJet(const char* path, OpenedFile& file) {
    file.fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file.fd < 0)
        throw Failure{std::string("the file cannot be opened: ") + std::strerror(errno)};
    struct stat st {};
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw Failure{"not a regular file"};
    std::string byFd = "/proc/self/fd/" + std::to_string(file.fd);
    const char* name = ::access(byFd.c_str(), R_OK) == 0 ? byFd.c_str() : path;
    Handle mdb(mdb_open(name, MDB_NOFLAGS));
    if (!mdb || !mdb->f || !mdb->fmt)
        throw Failure{"not a Jet database libmdb can open"};
    return mdb;
}

// How the file's text is read: Jet 3 bytes through the recoder (libmdb passing them on as
// ISO-8859-1, a byte per character), newer files' UTF-16 by libmdb itself.
std::string setUpText(MdbHandle* mdb, TextRecoder& text) {
    if (mdb->f->jet_version != MDB_VER_JET3)
        return "UTF-16";
    const std::string encoding = jet3Encoding(mdb->f->code_page);
    text.useCodePage(encoding);
    // libmdb takes the Jet 3 code page from this variable when it sets up its conversions.
    mdb_iconv_close(mdb);
    ::setenv("MDB_JET3_CHARSET", "ISO-8859-1", 1);
    mdb_iconv_init(mdb);
    if (mdb->iconv_in == reinterpret_cast<iconv_t>(-1))
        throw Failure{"libmdb cannot convert text"};
    return encoding;
}

} // namespace

std::string jet3Encoding(unsigned codePage) {
    const std::string fallback = "CP1255";
    if (codePage == 0 || codePage == 1252)
        return fallback;
    std::string named = "CP" + std::to_string(codePage);
    iconv_t probe = iconv_open("UTF-8", named.c_str());
    if (probe == reinterpret_cast<iconv_t>(-1))
        return fallback;
    iconv_close(probe);
    return named;
}

int dumpJetFile(const char* path, const std::vector<std::string>& tables, const FrameSink& sink) {
    // What the environment could change in libmdb's reading: the output encoding, debugging
    // output on stdout, a search path for the file.
    for (const char* variable : {"MDBICONV", "MDB_ICONV", "MDBOPTS", "MDBPATH", "MDB_JET3_CHARSET"})
        ::unsetenv(variable);

    Output out(sink);
    out.raw(frame::Magic);
    try {
        OpenedFile file;
        Handle mdb = openJet(path, file);
        mdb_set_bind_size(mdb.get(), BindSize);
        mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
        mdb_set_shortdate_fmt(mdb.get(), "%Y-%m-%d");
        mdb_set_boolean_fmt_numbers(mdb.get());

        TextRecoder text;
        Context context{mdb.get(), text};
        std::string payload;
        frame::appendVarint(payload, mdb->f->jet_version);
        frame::appendString(payload, setUpText(mdb.get(), text));
        out.frame(frame::File, payload);

        if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
            throw Failure{"the catalog cannot be read"};
        checkCatalog(mdb.get());
        std::vector<std::pair<std::string, MdbCatalogEntry*>> userTables;
        for (unsigned i = 0; i < mdb->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (entry->object_type == MDB_TABLE && !mdb_is_system_table(entry))
                userTables.emplace_back(text(entry->object_name), entry);
        }
        payload.clear();
        frame::appendVarint(payload, static_cast<std::uint32_t>(userTables.size()));
        for (const auto& [name, entry] : userTables)
            frame::appendString(payload, name);
        out.frame(frame::Catalog, payload);

        for (const std::string& wanted : tables) {
            for (const auto& [name, entry] : userTables) {
                if (wanted == name) {
                    writeTable(out, context, entry, name);
                    break;
                }
            }
            if (!out.ok())
                return 3;
        }
        out.frame(frame::Done, {});
    } catch (const Failure& failure) {
        std::string payload;
        frame::appendString(payload, failure.description);
        out.frame(frame::Failed, payload);
        out.flush();
        return out.ok() ? frame::FailedStatus : 3;
    }
    out.flush();
    return out.ok() ? 0 : 3;
}

} // namespace jet
