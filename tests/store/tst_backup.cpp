// Replacing the contact file by a chosen file: only a sound phone book, only its cards, and
// all or nothing; and a full disk or another program's lock said as such.
#include "common/TestFiles.h"
#include "shell/StoreMessages.h"
#include "store/ContactDatabase.h"
#include "store/DatabaseCopy.h"
#include "store/StoreError.h"
#include "store/Upgrade.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace store;

namespace {
using testing::FullDisk;
const auto bytes = testing::readFile;

// A contact file of this version with `cards` Personal cards named prefix1, prefix2 ...
void writeContactFile(const QString& path, int cards, const QString& prefix) {
    NewContactFile file(path);
    file.create();
    file.commit();
    file.install();
    testing::RawDb(path).exec(
        QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO Vesk (Name, Address) SELECT '%2' || i, printf('%.200c', 'x') FROM n")
            .arg(cards)
            .arg(prefix));
}
// What the import's message would say, if anything.
QString said(const std::optional<CopyFailure>& failure) {
    return failure ? shell::copyFailureReason(*failure) : QString();
}
QString integrity(const QString& path) {
    return testing::RawDb(path).scalar("PRAGMA integrity_check");
}
// Another program (the sqlite3 tool) in the middle of changing every Personal card of the
// file, its change bigger than its cache, so that part of it is written into the file; then,
// when `killed`, killed there, leaving its journal. False when it could not be done.
bool changeEveryCard(QProcess& other, const QString& path, bool killed) {
    const QString tool = QStandardPaths::findExecutable("sqlite3");
    if (tool.isEmpty()) {
        qWarning("the sqlite3 tool is needed (scripts/install-deps)");
        return false;
    }
    other.start(tool, {path});
    if (!other.waitForStarted())
        return false;
    other.write("PRAGMA cache_size = 5;\nBEGIN;\nUPDATE Vesk SET Address = 'x';\n"
                ".system echo changing\n");
    QByteArray out;
    while (!out.contains("changing") && other.waitForReadyRead(30000))
        out += other.readAllStandardOutput();
    if (!out.contains("changing"))
        return false;
    if (killed) {
        other.kill();
        other.waitForFinished();
    }
    return !killed || QFile::exists(path + "-journal");
}
// The old program's Access (Jet) files.
const QString jetData = QStringLiteral(JET_DATA "/");

// The Jet phone books' cards as RawDb gives them: Personal, then Work.
QStringList smallBookCards() {
    const QString tsv = jetData + "rows_small.tsv";
    return testing::tsvCards(tsv, 'V') + testing::tsvCards(tsv, 'W');
}

// The program folder: VESK.MDB ("mine") open and an earlier Vesk.old.
struct Folder {
    QTemporaryDir dir;
    ContactDatabase db;
    QString mdb = dir.filePath("VESK.MDB"), old = dir.filePath("Vesk.old"),
            chosen = dir.filePath("chosen.mdb"), reader = QStringLiteral(JET_READER);
    explicit Folder(int cards = 3) {
        writeContactFile(mdb, cards, "mine");
        testing::writeFile(old, "an earlier backup");
        db.open(mdb);
    }
    std::optional<CopyFailure> import(std::function<void(ImportStep)> afterStep = {}) {
        return ImportDatabase({db, dir.path() + u'/', chosen, std::move(afterStep), reader});
    }
    QString firstName() { return *db.openRecordset(Query::all("Vesk"))->value("Name"); }
    // Temporary files left behind.
    QStringList leftovers() const {
        return QDir(dir.path())
            .entryList(QDir::Files)
            .filter(QRegularExpression("^(?!VESK.MDB$|Vesk.old$|chosen)"));
    }
};
} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    // Each refusal says why, in the words the import's message shows (the part of them that
    // does not name the file or quote the engine).
    void aFailedImportLeavesEverything_data() {
        QTest::addColumn<QString>("fault"); // how the chosen file is spoilt, or what fails
        QTest::addColumn<QString>("words");
        const auto row = [](const char* name, const char* fault, const QString& words) {
            QTest::newRow(name) << QString(fault) << words;
        };
        row("text", "text", "The file is damaged or is not a database");
        row("damaged", "damage", "The file is damaged (");
        row("no Work", "DROP TABLE Work",
            "The file is not an Orvenna phone book: it has no table 'Work'");
        row("field", "ALTER TABLE Vesk RENAME Fax TO fax",
            "The file is not an Orvenna phone book of this version: its "
            "table 'Vesk' has other fields");
        row("no version", "DELETE FROM dbDetails",
            "The file is not an Orvenna phone book: it has no version number");
        row("older", "UPDATE dbDetails SET dbVerNum = 0",
            "The file is a phone book of an older version (dbVer: 0). An older phone book is "
            "upgraded only when Orvenna starts with it as its VESK.MDB");
        row("newer", "UPDATE dbDetails SET dbVerNum = 2",
            "The file is a phone book of a newer version (dbVer: 2), which "
            "this version of Orvenna cannot read");
        // The fields' names are right, their rules missing: a name of 5,000 characters and
        // one without a name must not come in.
        row("fields without their rules",
            "DROP TABLE Vesk; CREATE TABLE Vesk (Name, Phone, Mobil, Line, Fax, Address, "
            "Email); INSERT INTO Vesk (Name) VALUES (printf('%.5000c', 'n')), (NULL), ('Fits')",
            "The file is not a sound Orvenna phone book: 2 of its cards break the rules of "
            "their fields (a value too long, or no name)");
        row("a device", "device", " is not a file but a folder, a device or a pipe");
        // Half of a change another program left there when it died: its cards are not read.
        row("an unfinished change", "killed",
            "The file holds a change that a program left unfinished");
        row("gone", "gone", "cannot be copied: ");
        row("disk full for the new file", "full new", "There is not enough free space on the disk");
        row("disk full for Vesk.old", "full old", "There is not enough free space on the disk");
        row("rename fails", "rename", "stopped"); // Vesk.old is replaced by then
    }
    void aFailedImportLeavesEverything() {
        QFETCH(QString, fault);
        QFETCH(QString, words);
        // A Vesk.old too big for the full disk, or a new file too big for it.
        const bool bigOld = fault == u"full old";
        Folder f(bigOld ? 300 : 3);
        writeContactFile(f.chosen, bigOld ? 3 : 300, "theirs");
        if (fault == u"text")
            testing::writeFile(f.chosen, "Name,Phone\n");
        else if (fault == u"damage") // garbage over an inner page of the cards
            testing::writeFile(f.chosen,
                               bytes(f.chosen).replace(8 * 4096, 2000, QByteArray(2000, 'x')));
        else if (fault == u"gone" || fault == u"device")
            QFile::remove(f.chosen);
        else if (fault.contains(u' ') && !fault.startsWith(u"full"))
            testing::RawDb(f.chosen).exec(fault);
        if (fault == u"device")
            QVERIFY(QFile::link("/dev/null", f.chosen));
        QProcess other;
        if (fault == u"killed")
            QVERIFY(changeEveryCard(other, f.chosen, true));
        const QByteArray before = bytes(f.mdb);
        auto stop = [&](ImportStep step) {
            if (step == ImportStep::BackedUp && fault == u"rename")
                throw StoreError(10, "stopped"); // the engine's I/O error
        };
        std::optional<CopyFailure> failure;
        {
            std::optional<FullDisk> full;
            if (fault.startsWith(u"full"))
                full.emplace(48 * 1024);
            failure = f.import(stop);
        }
        QVERIFY(failure);
        QVERIFY2(said(failure).contains(words), qPrintable(said(failure)));
        QCOMPARE(bytes(f.mdb), before);
        QCOMPARE(bytes(f.old) == "an earlier backup", fault != u"rename");
        QCOMPARE(f.leftovers(), QStringList());
        QCOMPARE(f.firstName(), QString("mine1")); // open again, on the same file
    }

    // A pipe chosen (through a link) is refused at once: opening it would wait until some
    // other program writes to it, and the window would stop answering.
    void aPipeIsRefusedAtOnce() {
        Folder f;
        const QString pipe = f.dir.filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QVERIFY(QFile::link(pipe, f.chosen));
        // Should the import open the pipe after all, its other end is opened after a while so
        // that the test fails rather than waits for ever.
        std::mutex m;
        std::condition_variable ended;
        bool done = false;
        std::thread rescue([&] {
            std::unique_lock lock(m);
            if (!ended.wait_for(lock, std::chrono::seconds(3), [&] { return done; })) {
                const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            }
        });
        QElapsedTimer clock;
        clock.start();
        const std::optional<CopyFailure> failure = f.import();
        const qint64 took = clock.elapsed();
        {
            const std::lock_guard lock(m);
            done = true;
        }
        ended.notify_one();
        rescue.join();
        QVERIFY2(took < 2000, qPrintable(QString::number(took)));
        QVERIFY(failure);
        QCOMPARE(shell::copyFailureReason(*failure),
                 f.chosen + " is not a file but a folder, a device or a pipe");
        QCOMPARE(f.firstName(), QString("mine1"));
    }

    // Another program is changing every card of the current book when the import comes; its
    // change is bigger than its cache, so part of it is already written into the file. While
    // that program lives, the import waits for its lock, then gives the engine's words and
    // changes nothing. Once it has died, leaving its journal, Vesk.old is the book as last
    // committed, whole and sound.
    void aBookInUseIsNeverCopiedHalfChanged_data() {
        QTest::addColumn<bool>("killed");
        QTest::newRow("the other program holds its lock") << false;
        QTest::newRow("the other program died mid-change") << true;
    }
    void aBookInUseIsNeverCopiedHalfChanged() {
        QFETCH(bool, killed);
        Folder f(20000);
        writeContactFile(f.chosen, 3, "theirs");
        const QString cards = "SELECT count(*), min(Address), max(Address) FROM Vesk";
        const QString committed = testing::RawDb(f.mdb).scalar(cards);
        QProcess other;
        QVERIFY(changeEveryCard(other, f.mdb, killed));
        const QByteArray before = bytes(f.mdb);
        const std::optional<CopyFailure> failure = f.import();
        if (killed) {
            QVERIFY2(!failure, qPrintable(said(failure)));
            QCOMPARE(integrity(f.old), QString("ok"));
            QCOMPARE(testing::RawDb(f.old).scalar(cards), committed);
            QCOMPARE(f.firstName(), QString("theirs1"));
        } else {
            QVERIFY(failure);
            QCOMPARE(shell::copyFailureReason(*failure), QString("database is locked"));
            QCOMPARE(bytes(f.mdb), before);
            QCOMPARE(bytes(f.old), QByteArray("an earlier backup"));
            other.closeWriteChannel(); // the other program ends; its change is undone
            QVERIFY(other.waitForFinished());
            QCOMPARE(f.firstName(), QString("mine1"));
        }
        QCOMPARE(integrity(f.mdb), QString("ok"));
        QCOMPARE(f.leftovers(), QStringList());
    }

    // The chosen file's cards come across, field by field, Null and all; what else it holds
    // stays behind: the new VESK.MDB has the program's own schema, so a trigger of the
    // chosen file cannot delete cards at the next add.
    void onlyTheCardsComeAcross() {
        Folder f;
        writeContactFile(f.chosen, 300, "theirs");
        testing::RawDb(f.chosen).exec(
            "UPDATE Vesk SET Phone = '0' || rowid, Email = 'a@b.example' WHERE rowid % 2 = 0;"
            "INSERT INTO Work (Name, Phone, Dept) VALUES ('Dana', '1234', NULL);"
            "CREATE TRIGGER wipe AFTER INSERT ON Vesk BEGIN DELETE FROM Vesk WHERE rowid <> "
            "new.rowid; END");
        auto cards = [](const QString& path) {
            testing::RawDb db(path);
            return db.rows("SELECT * FROM Vesk ORDER BY rowid") +
                   db.rows("SELECT * FROM Work ORDER BY rowid");
        };
        const QStringList theirs = cards(f.chosen);
        const std::optional<CopyFailure> failure = f.import();
        QVERIFY2(!failure, qPrintable(said(failure)));
        QCOMPARE(cards(f.mdb), theirs);
        const QString ours = f.dir.filePath("ours");
        writeContactFile(ours, 0, "");
        // The same tables and indexes, defined alike (the pages they start on depend on the
        // order they were built in: the name indexes come after the cards).
        auto schema = [](const QString& path) {
            return testing::RawDb(path).rows(
                "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY name");
        };
        QCOMPARE(schema(f.mdb), schema(ours));
        f.db.execute("INSERT INTO Vesk (Name) VALUES ('Added')");
        QCOMPARE(cards(f.mdb).size(), theirs.size() + 1);
    }

    // The old program's Access phone book takes the same checks as a file of ours, through the
    // Jet reader: one of version 1 replaces the cards, Hebrew, Latin and Nulls as stored; any
    // other is refused with the reason, and nothing changes.
    void anAccessPhoneBook_data() {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("words"); // empty: imported
        const auto row = [](const char* name, const char* book, const QString& words) {
            QTest::newRow(name) << QString(book) << words;
        };
        row("version 1", "vesk-jet4.mdb", {});
        row("version 1, ACE", "vesk-ace2010.mdb", {});
        row("version 0", "vesk-jet4-v0.mdb",
            "The file is a phone book of an older version (dbVer: 0)");
        row("no version table", "vesk-jet4-noversion.mdb",
            "The file is not an Orvenna phone book: it has no table 'dbDetails'");
        row("no version row", "vesk-jet4-norow.mdb",
            "The file is not an Orvenna phone book: it has no version number");
        row("newer", "vesk-jet4-newer.mdb",
            "The file is a phone book of a newer version (dbVer: 2)");
        row("other fields, WORK", "vesk-jet4-misfit.mdb",
            "The file is not an Orvenna phone book of this version: its table 'Vesk' has "
            "other fields");
        row("not a phone book (Access 97)", "access97-other.mdb",
            "The file is not an Orvenna phone book: it has no table 'Vesk'");
        row("not a phone book (Access 2000)", "access2000-other.mdb",
            "The file is not an Orvenna phone book: it has no table 'Vesk'");
        row("damaged: the reader crashes", "damaged-crashes-libmdb.mdb.qz",
            "The file is damaged (the reader ");
        row("no reader", "vesk-jet4.mdb:no reader", "cannot be started");
    }
    void anAccessPhoneBook() {
        QFETCH(QString, book);
        QFETCH(QString, words);
        Folder f;
        const QString name = book.section(u':', 0, 0);
        QByteArray theirs = bytes(jetData + name);
        if (name.endsWith(u".qz"))
            theirs = qUncompress(theirs);
        testing::writeFile(f.chosen, theirs);
        const QByteArray before = bytes(f.mdb);
        if (book.endsWith(u"no reader"))
            f.reader = f.dir.filePath("no-reader");
        const std::optional<CopyFailure> failure = f.import();
        QCOMPARE(bytes(f.chosen), theirs);
        QCOMPARE(f.leftovers(), QStringList());
        if (!words.isEmpty()) {
            QVERIFY(failure);
            QVERIFY2(said(failure).contains(words), qPrintable(said(failure)));
            QCOMPARE(bytes(f.mdb), before);
            QCOMPARE(bytes(f.old), QByteArray("an earlier backup"));
            QCOMPARE(f.firstName(), QString("mine1"));
            return;
        }
        QVERIFY2(!failure, qPrintable(said(failure)));
        QVERIFY(f.db.isOpen());
        f.db.close();
        testing::RawDb raw(f.mdb);
        QCOMPARE(raw.rows("SELECT * FROM Vesk ORDER BY rowid") +
                     raw.rows("SELECT * FROM Work ORDER BY rowid"),
                 smallBookCards());
        QCOMPARE(raw.rows("SELECT * FROM dbDetails"), QStringList{"1|Initial Version"});
        QCOMPARE(testing::RawDb(f.old).scalar("SELECT Name FROM Vesk ORDER BY rowid"),
                 QString("mine1"));
    }

    // A full disk is said as such when the file is exported, and leaves no part of a copy.
    void anExportToAFullDiskSaysSo() {
        Folder f(300);
        const QString target = f.dir.filePath("copy.mdb");
        std::optional<CopyFailure> failure;
        {
            FullDisk full(48 * 1024);
            failure = ExportDatabase(f.db, f.mdb, target, false);
        }
        QVERIFY(failure);
        QCOMPARE(shell::copyFailureReason(*failure),
                 QString("There is not enough free space on the disk"));
        QCOMPARE(QDir(f.dir.path()).entryList({"copy*"}, QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
