// Old Access (Jet) files through the reader process: real phone books and other Access files
// read back field for field, damaged and hostile files, and fake readers that hang, trickle,
// crash or write garbage.
#include "common/TestFiles.h"
#include "jet/JetReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

using jet::ReadStatus;
using State = jet::SchemaVersion::State;

Q_DECLARE_METATYPE(jet::ReadStatus)
Q_DECLARE_METATYPE(jet::SchemaVersion::State)

namespace {

const QString data = QStringLiteral(JET_DATA "/");

const auto bytesOf = testing::readFile;

jet::Reader reader(jet::Limits limits = {}) {
    return jet::Reader(QStringLiteral(JET_READER), limits);
}

// A row as a line of rows_small.tsv: the fields TAB-separated, \N for Null.
QString tsv(const jet::Row& row) {
    QStringList fields;
    for (const jet::Field& field : row.fields)
        fields << field.value_or(QStringLiteral("\\N"));
    return fields.join(u'\t');
}

struct Read {
    jet::ReadResult result;
    QMap<QString, QStringList> rows; // by table, in the order delivered
};

Read readAll(const QString& path, const QStringList& tables, const jet::Reader& with = reader()) {
    Read read;
    read.result = with.read(path, tables, [&read](const jet::Row& row) {
        read.rows[row.table->name] << tsv(row);
        return true;
    });
    return read;
}

// The cards of one list in rows_small.tsv ('V' Personal, 'W' Work), as tsv() writes them.
QStringList expectedCards(char group) {
    return testing::tsvCards(data + "rows_small.tsv", group, false);
}

QStringList columnNames(const jet::TableInfo* table) {
    QStringList names;
    for (const jet::Column& column : table->columns)
        names << column.name;
    return names;
}

// Access 97's Table1 with one text value in Windows-1255 bytes; with `codePage` the header
// names that code page instead of the Western one it holds.
QByteArray jet3File(int codePage = 1252) {
    QByteArray bytes = bytesOf(data + "access97-other.mdb");
    const qsizetype at = bytes.indexOf("hijklmnop");
    Q_ASSERT(at > 0);
    bytes.replace(at, 9, "\xF9\xEC\xE5\xED \xF2\xE5\xEC\xED"); // "שלום עולם"
    // The code page is a little-endian number at 0x3C, stored XOR-ed with a fixed key stream.
    bytes[0x3C] = char(bytes[0x3C] ^ ((1252 ^ codePage) & 0xFF));
    bytes[0x3D] = char(bytes[0x3D] ^ (((1252 ^ codePage) >> 8) & 0xFF));
    return bytes;
}

// A shell script standing in for the reader; it is started with the file and the tables.
QString fakeReader(const QTemporaryDir& dir, const QByteArray& body) {
    const QString path = dir.filePath(QStringLiteral("fake-reader"));
    testing::writeFile(path, "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace

class TestJet : public QObject {
    Q_OBJECT

private slots:
    // Each phone book reads back equal to the cards it was written from, field for field:
    // Hebrew and Latin, Null, empty and single-space texts; and its version row.
    void phoneBooks_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("jetVersion");
        QTest::addColumn<QStringList>("catalog");
        QTest::addColumn<State>("versionState");
        QTest::addColumn<int>("version");
        const QStringList all{"Vesk", "Work", "dbDetails"};
        QTest::newRow("version 1") << "vesk-jet4.mdb" << 1 << all << State::Present << 1;
        QTest::newRow("version 0") << "vesk-jet4-v0.mdb" << 1 << all << State::Present << 0;
        QTest::newRow("newer") << "vesk-jet4-newer.mdb" << 1 << all << State::Present << 2;
        QTest::newRow("no version row") << "vesk-jet4-norow.mdb" << 1 << all << State::NoRow << -1;
        QTest::newRow("no dbDetails") << "vesk-jet4-noversion.mdb" << 1
                                      << QStringList{"Vesk", "Work"} << State::NoTable << -1;
        QTest::newRow("ACE (Access 2010)") << "vesk-ace2010.mdb" << 3 << all << State::Present << 1;
    }
    void phoneBooks() {
        QFETCH(QString, file);
        QFETCH(int, jetVersion);
        QFETCH(QStringList, catalog);
        QFETCH(State, versionState);
        QFETCH(int, version);

        QVERIFY(jet::looksLikeJet(data + file));
        const Read read = readAll(data + file, {"Vesk", "Work", "dbDetails"});
        QVERIFY2(read.result.ok(), qPrintable(read.result.description));
        QCOMPARE(read.result.jetVersion, jetVersion);
        QCOMPARE(read.result.catalog, catalog);
        QCOMPARE(read.rows.value("Vesk"), expectedCards('V'));
        QCOMPARE(read.rows.value("Work"), expectedCards('W'));
        QCOMPARE(columnNames(read.result.table(u"Vesk")),
                 QStringList({"Name", "Phone", "Mobil", "Line", "Fax", "Address", "Email"}));
        QCOMPARE(columnNames(read.result.table(u"Work")),
                 QStringList({"Name", "Phone", "Mobil", "Home", "Dept", "Address", "Email"}));
        QCOMPARE(read.result.table(u"Vesk")->rows, expectedCards('V').size());
        QVERIFY(read.result.version);
        QCOMPARE(read.result.version->state, versionState);
        QCOMPARE(read.result.version->number().value_or(-1), version);
    }

    // Access's own files that are not phone books: their tables, no Vesk, no version; values
    // of every simple type come as text.
    void otherFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("jetVersion");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QStringList>("table1");
        const QString first = u8("a\tb\t0\t0\t0\t0\t1981-12-12 00:00:00\t0.0000\t0");
        const QString second =
            u8("abcdefg\thijklmnop\t2\t222\t333333333\t444.555\t1974-09-21 00:00:00\t3.5000\t1");
        QTest::newRow("Access 97")
            << "access97-other.mdb" << 0 << "CP1255" << QStringList{first, second};
        QTest::newRow("Access 2000")
            << "access2000-other.mdb" << 1 << "UTF-16" << QStringList{second, first};
    }
    void otherFiles() {
        QFETCH(QString, file);
        QFETCH(int, jetVersion);
        QFETCH(QString, encoding);
        QFETCH(QStringList, table1);

        QVERIFY(jet::looksLikeJet(data + file));
        const Read read = readAll(data + file, {"Vesk", "Work", "dbDetails", "Table1"});
        QVERIFY2(read.result.ok(), qPrintable(read.result.description));
        QCOMPARE(read.result.jetVersion, jetVersion);
        QCOMPARE(read.result.textEncoding, encoding);
        QCOMPARE(read.result.catalog, QStringList({"Table1", "Table2", "Table3", "Table4"}));
        QVERIFY(!read.result.table(u"Vesk"));
        QCOMPARE(read.result.version->state, State::NoTable);
        QCOMPARE(read.rows.value("Table1"), table1);
        QList<int> types;
        for (const jet::Column& column : read.result.table(u"Table1")->columns)
            types << column.type;
        using T = jet::ColumnType;
        QCOMPARE(types, QList<int>({int(T::Text), int(T::Text), int(T::Byte), int(T::Integer),
                                    int(T::LongInteger), int(T::Double), int(T::DateTime),
                                    int(T::Money), int(T::Bool)}));
    }

    // Jet 3 text is bytes in the writer's code page: Windows-1255 unless the header names
    // another than the Western default.
    void jet3Text_data() {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("text");
        QTest::newRow("Western default") << 1252 << "CP1255" << u8("שלום עולם");
        QTest::newRow("none named") << 0 << "CP1255" << u8("שלום עולם");
        QTest::newRow("Hebrew named") << 1255 << "CP1255" << u8("שלום עולם");
        QTest::newRow("Cyrillic named") << 1251 << "CP1251" << u8("щмен темн");
    }
    void jet3Text() {
        QFETCH(int, codePage);
        QFETCH(QString, encoding);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath("old.mdb");
        testing::writeFile(path, jet3File(codePage));

        const Read read = readAll(path, {"Table1"});
        QVERIFY2(read.result.ok(), qPrintable(read.result.description));
        QCOMPARE(read.result.textEncoding, encoding);
        QCOMPARE(read.rows.value("Table1").value(1).section(u'\t', 1, 1), text);
    }

    // The header decides, never the name; nothing but a regular file is opened, and opening
    // never blocks (the files that cannot be read are asked about below too).
    void looksLikeJet_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("jet");
        QTest::newRow("Jet 4") << "jet4" << true;
        QTest::newRow("Jet 3") << "jet3" << true;
        QTest::newRow("ACE") << "ace" << true;
        QTest::newRow("link to a Jet file") << "link" << true;
        QTest::newRow("header cut short") << "short" << false;
        QTest::newRow("marker without the page's first bytes") << "shifted" << false;
    }
    void looksLikeJet() {
        QFETCH(QString, kind);
        QFETCH(bool, jet);
        QTemporaryDir dir;
        const QString path = dir.filePath("VESK.MDB");
        makeFile(kind, path);
        QCOMPARE(jet::looksLikeJet(path), jet);
    }

    // A file that is not a readable Jet file gives an error result, never a crash, a hang or
    // a partial success, whether its header is a Jet file's (`jet`) or not.
    void unreadableFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<ReadStatus>("status");
        QTest::addColumn<bool>("jet");
        const ReadStatus notFile = ReadStatus::NotARegularFile, cannot = ReadStatus::CannotRead;
        QTest::newRow("missing") << "missing" << notFile << false;
        QTest::newRow("directory") << "directory" << notFile << false;
        QTest::newRow("FIFO") << "fifo" << notFile << false;
        QTest::newRow("link to /dev/zero") << "zero" << notFile << false;
        QTest::newRow("SQLite file") << "sqlite" << cannot << false;
        QTest::newRow("empty file") << "empty" << cannot << false;
        QTest::newRow("header only") << "headerOnly" << cannot << true;
        QTest::newRow("cut inside the catalog") << "truncated" << cannot << true;
        QTest::newRow("cut inside Work") << "truncatedLate" << cannot << true;
        QTest::newRow("random pages after the header") << "random" << cannot << true;
        // Found by fuzzing: libmdb reads outside its buffer on the first; on the second it
        // dumps bytes on its standard output, which must not reach the stream, then loops.
        QTest::newRow("libmdb crashes") << "crash" << ReadStatus::Crashed << true;
        QTest::newRow("libmdb dumps and hangs") << "hang" << ReadStatus::TimedOut << true;
    }
    void unreadableFiles() {
        QFETCH(QString, kind);
        QFETCH(ReadStatus, status);
        QFETCH(bool, jet);
        QTemporaryDir dir;
        const QString path = dir.filePath("VESK.MDB");
        makeFile(kind, path);
        QCOMPARE(jet::looksLikeJet(path), jet);
        jet::Limits limits;
        limits.idle = std::chrono::seconds(2);
        const jet::ReadResult result = reader(limits).read(path, {"Vesk", "Work", "dbDetails"});
        QCOMPARE(result.status, status);
        QVERIFY(!result.description.isEmpty());
        QVERIFY(!result.version);
    }

    // Whatever the reader does, the program gets a clear result in bounded time, and a reader
    // that is killed is gone.
    void fakeReaders_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("idleMs");
        QTest::addColumn<int>("totalMs");
        QTest::addColumn<ReadStatus>("status");
        // The stream's beginning: magic, Jet 4, a catalog of the table "T", its one column;
        // then a row "x", and the table's end and the end mark.
        const QByteArray head = "printf 'ORVJET1\\nF\\010\\001\\006UTF-16C\\003\\001\\001T'; "
                                "printf 'T\\007\\001T\\001\\001c\\012\\002'; ";
        const QByteArray row = "printf 'R\\002\\002x'; ";
        const QByteArray end = "printf 'E\\001\\001Z\\000'; ";
        const auto add = [](const char* name, const QByteArray& script, ReadStatus status,
                            int idleMs = 5000, int totalMs = 60000) {
            QTest::newRow(name) << script << idleMs << totalMs << status;
        };
        using S = ReadStatus;
        add("complete", head + row + end, S::Complete);
        add("silent", "echo $$ > \"$0.pid\"; exec sleep 60", S::TimedOut, 300);
        add("trickles past the total limit", head + "while :; do " + row + "sleep 0.05; done",
            S::TimedOut, 5000, 600);
        add("floods", head + "while :; do " + row + "done", S::TooLarge);
        add("one frame too large", "printf 'ORVJET1\\nF\\200\\200\\200\\001'; exec sleep 60",
            S::TooLarge);
        add("garbage", "head -c 4096 /dev/urandom; exec sleep 60", S::Malformed);
        add("nothing", "exit 0", S::Malformed);
        add("stream cut short", head + "printf 'R\\002\\002'", S::Malformed);
        add("text not UTF-8", head + "printf 'R\\002\\002\\377'; " + end, S::Malformed);
        add("a table not asked for",
            "printf 'ORVJET1\\nF\\010\\001\\006UTF-16C\\003\\001\\001U'; "
            "printf 'T\\007\\001U\\001\\001c\\012\\002'; " +
                end,
            S::Malformed);
        add("the reader's failure", "printf 'ORVJET1\\nX\\005\\004oops'; exit 2", S::CannotRead);
        add("killed by a signal", head + "kill -KILL $$", S::Crashed);
        add("a complete stream, then failure", head + row + end + "exit 1", S::Crashed);
    }
    void fakeReaders() {
        QFETCH(QByteArray, script);
        QFETCH(int, idleMs);
        QFETCH(int, totalMs);
        QFETCH(ReadStatus, status);
        QTemporaryDir dir;
        const QString file = dir.filePath("VESK.MDB");
        testing::writeFile(file, "any");
        jet::Limits limits;
        limits.idle = std::chrono::milliseconds(idleMs);
        limits.total = std::chrono::milliseconds(totalMs);
        limits.maxOutput = 64 * 1024;
        const QString program = fakeReader(dir, script);

        QElapsedTimer clock;
        clock.start();
        const Read read = readAll(file, {"T"}, jet::Reader(program, limits));
        QCOMPARE(read.result.status, status);
        QVERIFY(read.result.ok() || !read.result.description.isEmpty());
        QVERIFY2(clock.elapsed() < 20000, "the reader was not stopped in time");
        if (status == ReadStatus::Complete)
            QCOMPARE(read.rows.value("T"), QStringList{"x"});
        const QByteArray pid = bytesOf(program + ".pid").trimmed();
        if (!pid.isEmpty())
            QVERIFY2(::kill(pid.toInt(), 0) != 0, "the reader is still running");
    }

    // The reader is started by its full path or not at all (a bare name is not looked up).
    void missingReader_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("not there") << "/nonexistent/orvenna-jet-reader";
        QTest::newRow("a bare name") << "sh";
    }
    void missingReader() {
        QFETCH(QString, program);
        const jet::ReadResult result = jet::Reader(program).read(data + "vesk-jet4.mdb", {"Vesk"});
        QCOMPARE(result.status, ReadStatus::ReaderMissing);
    }

    // The row handler stops the reading: no more rows, and the result says so.
    void stopsOnRequest() {
        int rows = 0;
        const jet::ReadResult result =
            reader().read(data + "vesk-jet4.mdb", {"Vesk", "Work"},
                          [&rows](const jet::Row&) { return ++rows < 2; });
        QCOMPARE(result.status, ReadStatus::Stopped);
        QCOMPARE(rows, 2);
    }

private:
    static void makeFile(const QString& kind, const QString& path) {
        const QByteArray jet4 = bytesOf(data + "vesk-jet4.mdb");
        if (kind == "jet4")
            testing::writeFile(path, jet4);
        else if (kind == "jet3")
            testing::writeFile(path, bytesOf(data + "access97-other.mdb"));
        else if (kind == "ace")
            testing::writeFile(path, bytesOf(data + "vesk-ace2010.mdb"));
        else if (kind == "link")
            QVERIFY(QFile::link(data + "vesk-jet4.mdb", path));
        else if (kind == "sqlite")
            testing::RawDb(path).exec("CREATE TABLE Vesk (Name TEXT)");
        else if (kind == "empty")
            testing::writeFile(path);
        else if (kind == "short")
            testing::writeFile(path, jet4.left(12));
        else if (kind == "shifted")
            testing::writeFile(path, QByteArray(4, 'x') + jet4.mid(4));
        else if (kind == "directory")
            QVERIFY(QDir().mkdir(path));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == "zero")
            QVERIFY(QFile::link("/dev/zero", path));
        else if (kind == "headerOnly")
            testing::writeFile(path, jet4.left(4096));
        else if (kind == "truncated")
            testing::writeFile(path, jet4.left(4096 * 8));
        else if (kind == "truncatedLate")
            testing::writeFile(path, jet4.left(jet4.size() - 4096 * 3));
        else if (kind == "crash")
            testing::writeFile(path, qUncompress(bytesOf(data + "damaged-crashes-libmdb.mdb.qz")));
        else if (kind == "hang")
            testing::writeFile(path, qUncompress(bytesOf(data + "damaged-hangs-libmdb.mdb.qz")));
        else if (kind == "random") {
            QByteArray bytes = jet4.left(4096);
            QRandomGenerator random(23);
            while (bytes.size() < jet4.size())
                bytes.append(char(random.bounded(256)));
            testing::writeFile(path, bytes);
        } else
            QVERIFY(kind == "missing");
    }
};

QTEST_GUILESS_MAIN(TestJet)
#include "tst_jet.moc"
