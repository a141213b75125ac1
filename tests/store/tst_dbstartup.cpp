// Opening the contact file at startup: creating, refusing, upgrading, and what is said.
#include "common/TestFiles.h"
#include "platform/testing/ScriptedPrompter.h"
#include "shell/StoreMessages.h"
#include "store/ContactDatabase.h"
#include "store/Startup.h"
#include "store/StoreError.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

using namespace store;
using platform::Icon;
using platform::Message;
using Kind = StartupNotice::Kind;
using Notices = QList<StartupNotice>;

namespace store {
// How QCOMPARE prints a notice when two lists differ.
char* toString(const StartupNotice& n) {
    static const char* const kinds[] = {"NewerSchema",   "CreationFailed",     "Created",
                                        "UpgradeFailed", "OldTableUnreadable", "Upgraded",
                                        "NotCopied"};
    return QTest::toString(QStringLiteral("%1 (%2 not copied%3, backup '%4')")
                               .arg(QLatin1String(kinds[int(n.kind)]))
                               .arg(n.notCopied)
                               .arg(QLatin1String(n.unreadable ? ", unreadable" : ""), n.backup));
}
} // namespace store

namespace {
const QString title = QStringLiteral("Orvenna");
const QString crlf = QStringLiteral("\r\n");
const QString created = QStringLiteral("תהליך יצירת מבנה הנתונים הסתיים בהצלחה.");
const QString upgraded = QStringLiteral("תהליך שידרוג מבנה הנתונים הסתיים בהצלחה.");
const QString vendor =
    crlf + QStringLiteral("www.orvenna.example") + crlf + QStringLiteral("support@orvenna.example");
const QString creationFailed =
    QStringLiteral("!ארעה שגיאה קריטית בתהליך יצירת מבנה הנתונים") + vendor;
const QString upgradeFailed =
    QStringLiteral("!ארעה שגיאה קריטית בתהליך שידרוג מבנה הנתונים") + vendor;
const QString abir = QStringLiteral("Abir|031234567|<null>||x|Haifa|<null>");
const QString obrien = QStringLiteral("O'Brien|<null>|<null>|<null>|<null>|<null>|<null>");
const QString dana = QStringLiteral("Dana|1234|0501234567|<null>|R&D|<null>|d@x.example");
const QString versionZero = QStringLiteral("CREATE TABLE dbDetails (dbVerNum INTEGER, dbVerDesc "
                                           "TEXT); INSERT INTO dbDetails VALUES (0, 'Old');");

Message notice(const QString& text, Icon icon = Icon::None) {
    return {text, title, platform::Buttons::Ok, icon};
}

const StartupNotice createdNotice{Kind::Created}, upgradedNotice{Kind::Upgraded},
    creationFailedNotice{Kind::CreationFailed}, upgradeFailedNotice{Kind::UpgradeFailed};

// How an upgrade is stopped: the program dies, a step fails, or the disk fills up.
enum class Stop { Crash, Error, DiskFull };
struct Crash {};
using testing::FullDisk;
using testing::readFile;

// The upgrade's step hook that stops it as `stop` says once it reaches `at`.
std::function<void(UpgradeStep)> haltAt(UpgradeStep at, Stop stop) {
    return [at, stop](UpgradeStep reached) {
        if (reached != at || stop == Stop::DiskFull)
            return;
        if (stop == Stop::Crash)
            throw Crash{};
        throw StoreError(SQLITE_IOERR_WRITE, QStringLiteral("disk I/O error"));
    };
}

QByteArray digest(const QString& path) {
    return QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256);
}

// The old program's Access (Jet) files.
const QString jetData = QStringLiteral(JET_DATA "/");

// The cards of one list of the Jet phone books ('V' Personal, 'W' Work) as RawDb gives them.
QStringList smallBookCards(char group) {
    return testing::tsvCards(jetData + "rows_small.tsv", group);
}

// The indexes of a file, to be the name index of each list and nothing else.
QStringList indexes(testing::RawDb& raw) {
    return raw.rows(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name"));
}
const QStringList nameIndexes{QStringLiteral("Vesk_Name"), QStringLiteral("Work_Name")};

// The cards of vesk-jet4-misfit.mdb that fit the new tables.
QStringList misfitCards(char group) {
    if (group == 'W')
        return {QStringLiteral("Ron Katz|1234|052-1112233|<null>|Sales| |<null>")};
    QStringList cards;
    for (int i = 1; i <= 120; ++i)
        cards << QStringLiteral("Card %1|03-%2|<null>||<null>| |user%3@example.org")
                     .arg(i, 3, 10, QLatin1Char('0'))
                     .arg(i, 7, 10, QLatin1Char('0'))
                     .arg(i);
    return cards;
}
} // namespace

class TestDbStartup : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ContactDatabase> m_db;
    QString m_jetReader = QStringLiteral(JET_READER);

    QString folder() const { return m_dir->path() + u'/'; }
    QString file(const QString& name) const { return folder() + name; }
    QString mdb() const { return file(QStringLiteral("VESK.MDB")); }

    StartupOutcome start(const QString& programFolder = {},
                         std::function<void(UpgradeStep)> afterStep = {},
                         std::function<void(const StartupNotice&)> onNotice = {}) {
        StartupContext cx{*m_db, programFolder.isEmpty() ? folder() : programFolder,
                          std::move(afterStep), std::move(onNotice), m_jetReader};
        return OpenContactDatabase(cx);
    }

    // Starts again as a new process would: a new connection.
    StartupOutcome restart() {
        m_db = std::make_unique<ContactDatabase>();
        return start();
    }

    // VESK.MDB at version 1 holding these many cards, sound throughout.
    void verifyCompleteNewFile(int personal, int work) {
        QCOMPARE(
            testing::RawDb(mdb()).scalar(QStringLiteral(
                "SELECT (SELECT * FROM pragma_integrity_check), (SELECT dbVerNum FROM dbDetails), "
                "(SELECT count(*) FROM Vesk), (SELECT count(*) FROM Work)")),
            QStringLiteral("ok|1|%1|%2").arg(personal).arg(work));
    }

    QStringList leftovers() const {
        return QDir(folder()).entryList({QStringLiteral("VESK.MDB?*")}, QDir::Files);
    }

    // An old file holding Abir, O'Brien and Dana; `details` is run on it afterwards.
    void writeOldWithCards(const QString& details) {
        testing::writeOldFile(mdb(), {});
        testing::RawDb raw(mdb());
        raw.exec(QStringLiteral(
            "INSERT INTO Vesk VALUES ('Abir', '031234567', NULL, '', 'x', 'Haifa', NULL)"));
        raw.exec(QStringLiteral("INSERT INTO Vesk (Name) VALUES ('O''Brien')"));
        raw.exec(QStringLiteral("INSERT INTO Work VALUES ('Dana', '1234', '0501234567', NULL, "
                                "'R&D', NULL, 'd@x.example')"));
        if (!details.isEmpty())
            raw.exec(details);
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = std::make_unique<ContactDatabase>();
        m_jetReader = QStringLiteral(JET_READER);
    }
    void cleanup() {
        m_db.reset();
        m_dir.reset();
    }

    // The first start creates the file; the next uses it as it is; a current file that lost
    // its name index gains it back and keeps its cards.
    void firstStartCreatesTheFileAndLaterStartsUseIt() {
        StartupOutcome outcome = start();
        QCOMPARE(outcome.result, StartupResult::Continue);
        QCOMPARE(outcome.notices, Notices{createdNotice});
        QVERIFY(m_db->isOpen());
        m_db->close();
        const QByteArray before = digest(mdb());
        outcome = restart();
        QCOMPARE(outcome.result, StartupResult::Continue);
        QCOMPARE(outcome.notices, Notices{});
        QVERIFY(m_db->isOpen());
        m_db->close();
        QCOMPARE(digest(mdb()), before);
        {
            testing::RawDb raw(mdb());
            raw.exec(QStringLiteral("DROP INDEX Vesk_Name"));
            raw.exec(QStringLiteral("INSERT INTO Vesk (Name) VALUES ('Avi')"));
        }
        outcome = restart();
        QCOMPARE(outcome.result, StartupResult::Continue);
        QCOMPARE(outcome.notices, Notices{});
        m_db->close();
        testing::RawDb raw(mdb());
        QCOMPARE(indexes(raw), nameIndexes);
        QCOMPARE(raw.rows(QStringLiteral("SELECT Name FROM Vesk")),
                 QStringList{QStringLiteral("Avi")});
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("VESK.MDB")});
    }

    // Files the program does not upgrade: a newer one ends it, one that is no database and
    // a version table without rows are used as they are, an outdated one ends it when every
    // backup name is taken. No backup is made; all but the empty version table stay byte for
    // byte as they were.
    void filesThatAreNotUpgradedAreLeftAlone_data() {
        QTest::addColumn<QString>("details"); // none: no database at all
        QTest::addColumn<int>("taken");       // backup names VESK.000 on already there
        QTest::addColumn<Notices>("said");    // anything said ends the program
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("untouched");
        QTest::newRow("newer") << "CREATE TABLE dbDetails (dbVerNum INTEGER, dbVerDesc TEXT); "
                                  "INSERT INTO dbDetails VALUES (2, 'Second')"
                               << 0 << Notices{{Kind::NewerSchema}} << true << true;
        QTest::newRow("version table without rows")
            << "CREATE TABLE dbDetails (dbVerNum INTEGER, dbVerDesc TEXT)" << 0 << Notices{} << true
            << false;
        QTest::newRow("no database") << QString() << 0 << Notices{} << false << true;
        QTest::newRow("every backup name taken")
            << versionZero << 1000 << Notices{upgradeFailedNotice} << false << true;
    }
    void filesThatAreNotUpgradedAreLeftAlone() {
        QFETCH(QString, details);
        QFETCH(int, taken);
        QFETCH(Notices, said);
        QFETCH(bool, open);
        QFETCH(bool, untouched);
        for (int i = 0; i < taken; ++i)
            testing::writeFile(file(QStringLiteral("VESK.%1").arg(i, 3, 10, QLatin1Char('0'))));
        if (details.isEmpty())
            testing::writeFile(mdb(), QByteArray(8192, '\x5a'));
        else
            writeOldWithCards(details);
        const QByteArray before = digest(mdb());
        const StartupOutcome outcome = start();
        QCOMPARE(outcome.result,
                 said.isEmpty() ? StartupResult::Continue : StartupResult::EndProgram);
        QCOMPARE(outcome.notices, said);
        QCOMPARE(m_db->isOpen(), open);
        m_db->close();
        if (untouched)
            QCOMPARE(digest(mdb()), before);
        QCOMPARE(
            QDir(folder()).entryList({QStringLiteral("VESK.[0-9][0-9][0-9]")}, QDir::Files).size(),
            taken);
    }

    // Outdated files are rebuilt, their cards copied and the old file kept as the first free
    // VESK.nnn backup, an empty one included. Cards the new file refuses or cannot read are not
    // reported as copied: every card that fits is copied, and the user learns how many stayed
    // behind in the backup, or that not all could be read.
    void outdatedFilesAreUpgraded_data() {
        QTest::addColumn<QString>("details"); // run on the old file after its cards are written
        QTest::addColumn<bool>("taken");      // VESK.000 is already there
        QTest::addColumn<QStringList>("vesk");
        QTest::addColumn<QStringList>("work");
        QTest::addColumn<Notices>("said"); // the backup of a NotCopied notice is filled in
        const QStringList all{abir, obrien}, work{dana};
        const Notices done{createdNotice, upgradedNotice};
        QTest::newRow("version 0") << versionZero << false << all << work << done;
        QTest::newRow("no version field")
            << "CREATE TABLE dbDetails (Version INTEGER); INSERT INTO dbDetails VALUES (1)" << false
            << all << work << done;
        QTest::newRow("no version table") << QString() << false << all << work << done;
        QTest::newRow("version table in other case")
            << "CREATE TABLE dbdetails (dbVerNum INTEGER, dbVerDesc TEXT); INSERT INTO dbdetails "
               "VALUES (1, 'x')"
            << false << all << work << done;
        QTest::newRow("first backup name taken") << QString() << true << all << work << done;
        QTest::newRow("no cards") << "DELETE FROM Vesk; DELETE FROM Work" << false << QStringList()
                                  << QStringList() << done;
        // The cards of the table there are still come across.
        QTest::newRow("no Personal table")
            << "DROP TABLE Vesk" << false << QStringList() << work << done;
        // The fields the new tables have come across; the backup keeps the others.
        QTest::newRow("a field more in Work, one fewer in Vesk")
            << "ALTER TABLE Work ADD COLUMN Birthday TEXT; UPDATE Work SET Birthday = '1970-01-01';"
               "ALTER TABLE Vesk DROP COLUMN Email"
            << false << all << work << done;
        const QString nulls = QStringLiteral("|<null>|<null>|<null>|<null>|<null>|<null>");
        QTest::newRow("cards that do not fit")
            << "DELETE FROM Vesk; DELETE FROM Work;"
               "INSERT INTO Vesk (Name) VALUES ('First');"
               "INSERT INTO Vesk (Name, Phone) VALUES ('Long phone', '1234567890123');"
               "INSERT INTO Vesk (Name) VALUES (NULL);"
               "INSERT INTO Vesk (Name) VALUES ('Last');"
               "INSERT INTO Work (Name, Phone) VALUES ('Ext too long', '12345');"
               "INSERT INTO Work (Name, Phone) VALUES ('Ext', '1234')"
            << false << QStringList{"First" + nulls, "Last" + nulls}
            << QStringList{"Ext|1234|<null>|<null>|<null>|<null>|<null>"}
            << done + Notices{{Kind::NotCopied, 3, false, {}}};
        // The copy stops at the table it cannot read (a module this engine lacks).
        QTest::newRow("a table that cannot be read")
            << "DROP TABLE Vesk; PRAGMA writable_schema = ON;"
               "INSERT INTO sqlite_master (type, name, tbl_name, rootpage, sql) VALUES ('table', "
               "'Vesk', 'Vesk', 0, 'CREATE VIRTUAL TABLE Vesk USING nosuch(Name)');"
               "PRAGMA writable_schema = OFF"
            << false << QStringList{} << QStringList{}
            << Notices{createdNotice,
                       {Kind::OldTableUnreadable},
                       upgradedNotice,
                       {Kind::NotCopied, 0, true, {}}};
    }
    void outdatedFilesAreUpgraded() {
        QFETCH(QString, details);
        QFETCH(bool, taken);
        QFETCH(QStringList, vesk);
        QFETCH(QStringList, work);
        QFETCH(Notices, said);
        if (taken)
            testing::writeFile(file(QStringLiteral("VESK.000")), "keep me");
        writeOldWithCards(details);
        const QByteArray before = digest(mdb());
        // Each notice reaches the program as it comes: the new file's before its cards.
        QStringList events;
        const StartupOutcome outcome = start(
            {}, [&](UpgradeStep step) { events << QString::number(int(step)); },
            [&](const StartupNotice& notice) {
                events << u'n' + QString::number(int(notice.kind));
            });
        QCOMPARE(outcome.result, StartupResult::Continue);
        const QString backup = file(QString::fromLatin1(taken ? "VESK.001" : "VESK.000"));
        for (StartupNotice& n : said)
            if (n.kind == Kind::NotCopied)
                n.backup = backup;
        QCOMPARE(outcome.notices, said);
        const QString created = u'n' + QString::number(int(createdNotice.kind));
        QCOMPARE(events.mid(0, 2),
                 QStringList({QString::number(int(UpgradeStep::Created)), created}));
        QCOMPARE(events.last(), u'n' + QString::number(int(said.last().kind)));
        QVERIFY(m_db->isOpen());
        QCOMPARE(digest(backup), before); // the old file, as it was: every card is still there
        if (taken)
            QCOMPARE(digest(file(QStringLiteral("VESK.000"))),
                     QCryptographicHash::hash("keep me", QCryptographicHash::Sha256));
        m_db->close();
        testing::RawDb raw(mdb());
        QCOMPARE(raw.rows(QStringLiteral("select * from Vesk order by Name")), vesk);
        QCOMPARE(raw.rows(QStringLiteral("select * from Work")), work);
        QCOMPARE(raw.rows(QStringLiteral("select * from dbDetails")),
                 QStringList{QStringLiteral("1|Initial Version")});
    }

    // A creation that fails ends the program and leaves nothing behind, not even a
    // half-made VESK.MDB for the next start to take for an outdated file.
    void aCreationThatFailsLeavesNoFile_data() {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("no such folder") << false;
        QTest::newRow("disk full") << true;
    }
    void aCreationThatFailsLeavesNoFile() {
        QFETCH(bool, diskFull);
        StartupOutcome outcome;
        {
            std::optional<FullDisk> full;
            if (diskFull)
                full.emplace(8 * 1024);
            outcome = start(diskFull ? folder() : folder() + QStringLiteral("no such folder/"));
        }
        QCOMPARE(outcome.result, StartupResult::EndProgram);
        QCOMPARE(outcome.notices, Notices{creationFailedNotice});
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList{});
    }

    // The program stops dead, meets an error, or fills the disk during an upgrade, of a file of
    // ours or of an Access file (then while its cards come from the reader). Either the old
    // file stays VESK.MDB untouched or the complete new one is there; the next start finishes
    // the job and every card is accounted for.
    void anInterruptedUpgradeLosesNoCard_data() {
        QTest::addColumn<UpgradeStep>("step");
        QTest::addColumn<Stop>("stop");
        QTest::addColumn<bool>("jet");
        const std::pair<const char*, UpgradeStep> steps[] = {
            {"created", UpgradeStep::Created},
            {"hundred cards", UpgradeStep::HundredCopied},
            {"committed", UpgradeStep::Committed},
            {"backed up", UpgradeStep::BackedUp},
            {"renamed", UpgradeStep::Renamed}};
        for (const auto& [name, step] : steps) {
            QTest::addRow("crash after %s", name) << step << Stop::Crash << false;
            if (step != UpgradeStep::Renamed)
                QTest::addRow("error after %s", name) << step << Stop::Error << false;
        }
        QTest::newRow("disk full during the copy")
            << UpgradeStep::Renamed << Stop::DiskFull << false;
        QTest::newRow("Access file, crash") << UpgradeStep::HundredCopied << Stop::Crash << true;
        QTest::newRow("Access file, error") << UpgradeStep::HundredCopied << Stop::Error << true;
    }
    void anInterruptedUpgradeLosesNoCard() {
        QFETCH(UpgradeStep, step);
        QFETCH(Stop, stop);
        QFETCH(bool, jet);
        // Numbered cards beside the three: 475 Personal and 25 Work in all. The Access file
        // has 120 and 1, and three cards that stay behind.
        const int personal = jet ? 120 : 475, work = jet ? 1 : 25;
        const QString numbered = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO %2 (Name, Phone, Address) SELECT printf('Card %05d', i), '%3', "
            "printf('Street %d', i) FROM n;");
        if (jet)
            QVERIFY(QFile::copy(jetData + "vesk-jet4-misfit.mdb", mdb()));
        else
            writeOldWithCards(versionZero + numbered.arg(473).arg("Vesk", "031234567") +
                              numbered.arg(24).arg("Work", "12"));
        const QByteArray before = digest(mdb());
        const auto halt = haltAt(step, stop);
        if (stop == Stop::Crash) {
            QVERIFY_THROWS_EXCEPTION(Crash, start({}, halt));
            m_db->close();
            if (step == UpgradeStep::Renamed)
                verifyCompleteNewFile(personal, work);
            else
                QCOMPARE(digest(mdb()), before);
            if (step < UpgradeStep::BackedUp)
                QVERIFY(!QFile::exists(file(QStringLiteral("VESK.000"))));
        } else {
            StartupOutcome outcome;
            {
                std::optional<FullDisk> full;
                if (stop == Stop::DiskFull)
                    full.emplace(44 * 1024);
                outcome = start({}, halt);
            }
            QCOMPARE(outcome.result, StartupResult::EndProgram);
            QCOMPARE(outcome.notices, step == UpgradeStep::Created
                                          ? Notices{creationFailedNotice}
                                          : Notices({createdNotice, upgradeFailedNotice}));
            QCOMPARE(digest(mdb()), before);
            QCOMPARE(leftovers(), QStringList{});
            QVERIFY(!QFile::exists(file(QStringLiteral("VESK.000"))));
        }

        const StartupOutcome next = restart();
        QCOMPARE(next.result, StartupResult::Continue);
        Notices upgrade{createdNotice, upgradedNotice};
        if (jet)
            upgrade << StartupNotice{Kind::NotCopied, 3, false, file("VESK.000")};
        QCOMPARE(next.notices,
                 step == UpgradeStep::Renamed && stop == Stop::Crash ? Notices{} : upgrade);
        m_db->close();
        verifyCompleteNewFile(personal, work);
        QCOMPARE(leftovers(), QStringList{});
        // The last backup is the old file as it was (a crash after the backup name was given
        // leaves the old file under two names).
        const QStringList backups =
            QDir(folder()).entryList({QStringLiteral("VESK.0??")}, QDir::Files, QDir::Name);
        QVERIFY(!backups.isEmpty());
        QCOMPARE(digest(file(backups.last())), before);
    }

    // The old program's Access (Jet) file, known by its header, is upgraded whatever its
    // version (a newer one aside): the same notices, the file kept byte for byte as VESK.000,
    // every card that fits copied field for field (Hebrew, Latin, Null, a single space), the
    // cards that do not fit counted, and a file that is not a phone book gives an empty one.
    void jetFilesAreUpgraded_data() {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QStringList>("vesk");
        QTest::addColumn<QStringList>("work");
        QTest::addColumn<int>("notCopied");
        const QStringList vesk = smallBookCards('V'), work = smallBookCards('W');
        QTest::newRow("version 1") << "vesk-jet4.mdb" << vesk << work << 0;
        QTest::newRow("version 0") << "vesk-jet4-v0.mdb" << vesk << work << 0;
        QTest::newRow("no version table") << "vesk-jet4-noversion.mdb" << vesk << work << 0;
        QTest::newRow("version table without rows") << "vesk-jet4-norow.mdb" << vesk << work << 0;
        QTest::newRow("ACE (Access 2010)") << "vesk-ace2010.mdb" << vesk << work << 0;
        // A field more in each table, wider fields, a Work table named WORK: a long name, a
        // card without a name and a five-digit extension stay behind in the backup.
        QTest::newRow("cards and fields that do not fit")
            << "vesk-jet4-misfit.mdb" << misfitCards('V') << misfitCards('W') << 3;
        QTest::newRow("not a phone book (Access 97)")
            << "access97-other.mdb" << QStringList() << QStringList() << 0;
        QTest::newRow("not a phone book (Access 2000)")
            << "access2000-other.mdb" << QStringList() << QStringList() << 0;
    }
    void jetFilesAreUpgraded() {
        QFETCH(QString, book);
        QFETCH(QStringList, vesk);
        QFETCH(QStringList, work);
        QFETCH(int, notCopied);
        QVERIFY(QFile::copy(jetData + book, mdb()));
        const QByteArray before = digest(mdb());
        const StartupOutcome outcome = start();
        QCOMPARE(outcome.result, StartupResult::Continue);
        const QString backup = file(QStringLiteral("VESK.000"));
        Notices said{createdNotice, upgradedNotice};
        if (notCopied > 0)
            said << StartupNotice{Kind::NotCopied, notCopied, false, backup};
        QCOMPARE(outcome.notices, said);
        QVERIFY(m_db->isOpen());
        m_db->close();
        QCOMPARE(digest(backup), before);
        QCOMPARE(leftovers(), QStringList{});
        testing::RawDb raw(mdb());
        QCOMPARE(raw.rows(QStringLiteral("select * from Vesk order by rowid")), vesk);
        QCOMPARE(raw.rows(QStringLiteral("select * from Work order by rowid")), work);
        QCOMPARE(raw.rows(QStringLiteral("select * from dbDetails")),
                 QStringList{QStringLiteral("1|Initial Version")});
        QCOMPARE(indexes(raw), nameIndexes);
    }

    // An Access file that is newer is refused; one the reader cannot read (damaged, cut short,
    // the reader crashing or not there) is a file that cannot be opened, whether that shows in
    // its catalog or among its cards: nothing open, nothing kept of a new file, VESK.MDB as it
    // was and no backup.
    void jetFilesThatAreNotUpgradedAreLeftAlone_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readerThere");
        QTest::addColumn<Notices>("said"); // anything said but the creation ends the program
        const QByteArray book = readFile(jetData + "vesk-jet4.mdb");
        QTest::newRow("newer") << readFile(jetData + "vesk-jet4-newer.mdb") << true
                               << Notices{{Kind::NewerSchema}};
        QTest::newRow("cut inside the catalog") << book.left(4096 * 8) << true << Notices{};
        QTest::newRow("cut inside Work")
            << book.left(book.size() - 4096 * 3) << true << Notices{createdNotice};
        QTest::newRow("the reader crashes")
            << qUncompress(readFile(jetData + "damaged-crashes-libmdb.mdb.qz")) << true
            << Notices{};
        QTest::newRow("no reader") << book << false << Notices{};
    }
    void jetFilesThatAreNotUpgradedAreLeftAlone() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readerThere);
        QFETCH(Notices, said);
        testing::writeFile(mdb(), bytes);
        if (!readerThere)
            m_jetReader = folder() + QStringLiteral("no-reader");
        const StartupOutcome outcome = start();
        const bool ends = !said.isEmpty() && said.last() != createdNotice;
        QCOMPARE(outcome.result, ends ? StartupResult::EndProgram : StartupResult::Continue);
        QCOMPARE(outcome.notices, said);
        QVERIFY(!m_db->isOpen());
        QCOMPARE(readFile(mdb()), bytes);
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("VESK.MDB")});
    }

    // A file that cannot be opened at start (another program holds it locked through the
    // whole wait, or it is no database) is opened by the first use that needs it once it can
    // be, without a restart: the list, the editor's check or a write. An outdated file put
    // there meanwhile waits for the next start, which upgrades it.
    void aBookThatCouldNotBeOpenedIsReachedLater_data() {
        QTest::addColumn<bool>("locked"); // otherwise no database at start, put right later
        QTest::addColumn<QString>("use"); // what needs the book first
        QTest::addColumn<bool>("outdated");
        QTest::newRow("locked, the list") << true << "list" << false;
        QTest::newRow("put right, the editor's check") << false << "isOpen" << false;
        QTest::newRow("put right, a write") << false << "write" << false;
        QTest::newRow("an outdated file") << false << "isOpen" << true;
    }
    void aBookThatCouldNotBeOpenedIsReachedLater() {
        QFETCH(bool, locked);
        QFETCH(QString, use);
        QFETCH(bool, outdated);
        QCOMPARE(start().result, StartupResult::Continue);
        m_db->close();
        testing::RawDb(mdb()).exec(QStringLiteral("INSERT INTO Vesk (Name) VALUES ('Avi')"));
        const QString aside = file(QStringLiteral("aside"));
        std::optional<testing::RawDb> other; // a second connection: another program
        if (locked) {
            other.emplace(mdb());
            other->exec(QStringLiteral("BEGIN EXCLUSIVE"));
        } else {
            QVERIFY(QFile::rename(mdb(), aside));
            testing::writeFile(mdb(), QByteArray(8192, '\x5a'));
        }
        const StartupOutcome outcome = restart();
        QCOMPARE(outcome.result, StartupResult::Continue);
        QCOMPARE(outcome.notices, Notices{});
        QVERIFY(!m_db->isOpen()); // still not to be opened: the list says so

        if (locked) {
            other->exec(QStringLiteral("COMMIT"));
        } else {
            QVERIFY(QFile::remove(mdb()));
            if (outdated)
                writeOldWithCards(versionZero);
            else
                QVERIFY(QFile::rename(aside, mdb()));
        }
        const QByteArray before = digest(mdb());
        bool reached = false;
        try {
            if (use == u"list")
                reached = m_db->openCurrent(
                                  Query::allOrdered(QStringLiteral("Vesk"), QStringLiteral("ASC")))
                              .size() == 1;
            else if (use == u"isOpen")
                reached = m_db->isOpen();
            else
                m_db->execute(QStringLiteral("INSERT INTO Vesk (Name) VALUES ('Ben')"));
            reached = reached || use == u"write";
        } catch (const StoreError&) {
        }
        QCOMPARE(reached, !outdated);
        if (outdated)
            QCOMPARE(digest(mdb()), before);
    }

    // What an earlier start left behind: a complete new file is taken when VESK.MDB is gone,
    // anything else is removed.
    void leftoversOfAnEarlierStart_data() {
        QTest::addColumn<bool>("withCurrentFile");
        QTest::addColumn<bool>("completeTemporary");
        QTest::addColumn<int>("cards");
        QTest::newRow("beside VESK.MDB") << true << true << 0;
        QTest::newRow("complete, VESK.MDB gone") << false << true << 3;
        QTest::newRow("half made, VESK.MDB gone") << false << false << 0;
    }
    void leftoversOfAnEarlierStart() {
        QFETCH(bool, withCurrentFile);
        QFETCH(bool, completeTemporary);
        QFETCH(int, cards);
        QCOMPARE(start().result, StartupResult::Continue);
        m_db->close();
        const QString temp = mdb() + QStringLiteral(".new");
        if (completeTemporary)
            QVERIFY(QFile::copy(mdb(), temp));
        testing::RawDb(temp).exec(
            completeTemporary ? QStringLiteral("INSERT INTO Vesk (Name) VALUES ('a'), ('b'), ('c')")
                              : QStringLiteral("CREATE TABLE Vesk (Name TEXT)"));
        if (!withCurrentFile)
            QVERIFY(QFile::remove(mdb()));
        const StartupOutcome outcome = restart();
        QCOMPARE(outcome.result, StartupResult::Continue);
        QCOMPARE(outcome.notices,
                 withCurrentFile || completeTemporary ? Notices{} : Notices{createdNotice});
        m_db->close();
        QCOMPARE(leftovers(), QStringList{});
        verifyCompleteNewFile(cards, 0);
    }

    // The program shows the notices in the order they came, each in its words, caption and
    // icon.
    void noticesBecomeTheirMessages_data() {
        QTest::addColumn<Notices>("notices");
        QTest::addColumn<QList<Message>>("shown");
        const QString backup = QStringLiteral("/program/VESK.000");
        QTest::newRow("newer file")
            << Notices{{Kind::NewerSchema}}
            << QList<Message>{notice("גרסת התוכנה שברשותך אינה תואמת לגרסת מבנה הנתונים.")};
        QTest::newRow("creation failed") << Notices{creationFailedNotice}
                                         << QList<Message>{notice(creationFailed, Icon::Critical)};
        QTest::newRow("upgrade failed")
            << Notices({createdNotice, upgradeFailedNotice})
            << QList<Message>({notice(created), notice(upgradeFailed, Icon::Critical)});
        QTest::newRow("cards not copied")
            << Notices({createdNotice, upgradedNotice, {Kind::NotCopied, 3, false, backup}})
            << QList<Message>(
                   {notice(created), notice(upgraded),
                    notice("3 כרטיסים לא הועתקו ונשארו בקובץ הגיבוי " + backup + crlf +
                               "3 cards could not be copied; they remain in the backup file " +
                               backup + ".",
                           Icon::Exclamation)});
        QTest::newRow("old file unreadable")
            << Notices({createdNotice,
                        {Kind::OldTableUnreadable},
                        upgradedNotice,
                        {Kind::NotCopied, 0, true, backup}})
            << QList<Message>(
                   {notice(created), notice("Failed to open connection to database..."),
                    notice(upgraded),
                    notice("לא ניתן היה לקרוא את כל הכרטיסים מהקובץ הישן. כל הכרטיסים נשמרו "
                           "בקובץ הגיבוי " +
                               backup + crlf +
                               "Not every card could be read from the old file; all of them "
                               "remain in the backup file " +
                               backup + ".",
                           Icon::Exclamation)});
    }
    void noticesBecomeTheirMessages() {
        QFETCH(Notices, notices);
        QFETCH(QList<Message>, shown);
        platform::testing::ScriptedPrompter prompter;
        shell::tellStartup(prompter, notices, title, crlf);
        QCOMPARE(prompter.messages(), shown);
    }
};

QTEST_GUILESS_MAIN(TestDbStartup)
#include "tst_dbstartup.moc"
