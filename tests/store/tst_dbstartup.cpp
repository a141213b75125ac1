// Opening the contact file at startup: creating, refusing, upgrading, and what is said.
#include "common/TestFiles.h"
#include "platform/testing/ScriptedPrompter.h"
#include "store/ContactDatabase.h"
#include "store/Startup.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

using namespace store;
using platform::Icon;
using platform::Message;

namespace {
const QString title = QStringLiteral("Orvenna");
const QString crlf = QStringLiteral("\r\n");
const QString created = QStringLiteral("תהליך יצירת מבנה הנתונים הסתיים בהצלחה.");
const QString upgraded = QStringLiteral("תהליך שידרוג מבנה הנתונים הסתיים בהצלחה.");

QByteArray digest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}
} // namespace

class TestDbStartup : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ContactDatabase> m_db;
    platform::testing::ScriptedPrompter m_prompter;

    QString folder() const { return m_dir->path() + u'/'; }
    QString file(const QString& name) const { return folder() + name; }
    QString mdb() const { return file(QStringLiteral("VESK.MDB")); }

    StartupResult start(const QString& programFolder = {}) {
        StartupContext cx{*m_db, programFolder.isEmpty() ? folder() : programFolder, m_prompter, title, crlf};
        return OpenContactDatabase(cx);
    }

    static Message notice(const QString& text, Icon icon = Icon::None) {
        return {text, title, platform::Buttons::Ok, icon};
    }

    void writeOldWithCards(const QString& details) {
        testing::writeOldFile(mdb(), details);
        testing::RawDb raw(mdb());
        raw.exec(QStringLiteral("INSERT INTO Vesk VALUES ('Abir', '031234567', NULL, '', 'x', 'Haifa', NULL)"));
        raw.exec(QStringLiteral("INSERT INTO Vesk (Name) VALUES ('O''Brien')"));
        raw.exec(QStringLiteral("INSERT INTO Work VALUES ('Dana', '1234', '0501234567', NULL, 'R&D', NULL, 'd@x.example')"));
    }

    void verifyCurrentFileHoldsOldCards() {
        testing::RawDb raw(mdb());
        QCOMPARE(raw.rows(QStringLiteral("select * from Vesk order by Name")),
                 QStringList({QStringLiteral("Abir|031234567|<null>||x|Haifa|<null>"),
                              QStringLiteral("O'Brien|<null>|<null>|<null>|<null>|<null>|<null>")}));
        QCOMPARE(raw.rows(QStringLiteral("select * from Work")),
                 QStringList{QStringLiteral("Dana|1234|0501234567|<null>|R&D|<null>|d@x.example")});
        QCOMPARE(raw.rows(QStringLiteral("select * from dbDetails")), QStringList{QStringLiteral("1|Initial Version")});
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = std::make_unique<ContactDatabase>();
        m_prompter.clear();
    }
    void cleanup() {
        m_db.reset();
        m_dir.reset();
    }

    void firstStartCreatesTheFile() {
        QCOMPARE(start(), StartupResult::Continue);
        QCOMPARE(m_prompter.messages(), QList<Message>{notice(created)});
        QVERIFY(m_db->isOpen());
        testing::RawDb raw(mdb());
        QCOMPARE(raw.rows(QStringLiteral("select name from sqlite_master where type = 'table' order by rowid")),
                 QStringList({QStringLiteral("Vesk"), QStringLiteral("Work"), QStringLiteral("dbDetails")}));
        QCOMPARE(raw.rows(QStringLiteral("select * from dbDetails")), QStringList{QStringLiteral("1|Initial Version")});
    }

    void aCurrentFileWithoutTheNameIndexGainsIt() {
        QCOMPARE(start(), StartupResult::Continue);
        m_db->close();
        {
            testing::RawDb raw(mdb());
            raw.exec(QStringLiteral("DROP INDEX Vesk_Name"));
            raw.exec(QStringLiteral("INSERT INTO Vesk (Name) VALUES ('Avi')"));
        }
        m_prompter.clear();
        QCOMPARE(start(), StartupResult::Continue);
        QVERIFY(m_prompter.messages().isEmpty());
        m_db->close();
        testing::RawDb raw(mdb());
        QCOMPARE(raw.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name")),
                 (QStringList{QStringLiteral("Vesk_Name"), QStringLiteral("Work_Name")}));
        QCOMPARE(raw.rows(QStringLiteral("SELECT Name FROM Vesk")), QStringList{QStringLiteral("Avi")});
    }

    void aCurrentFileIsUsedAsItIs() {
        QCOMPARE(start(), StartupResult::Continue);
        m_db->close();
        m_prompter.clear();
        const QByteArray before = digest(mdb());
        QCOMPARE(start(), StartupResult::Continue);
        QVERIFY(m_prompter.messages().isEmpty());
        QVERIFY(m_db->isOpen());
        QVERIFY(!QFile::exists(file(QStringLiteral("VESK.000"))));
        m_db->close();
        QCOMPARE(digest(mdb()), before);
    }

    void aNewerFileEndsTheProgramUntouched() {
        writeOldWithCards(QStringLiteral("CREATE TABLE dbDetails (dbVerNum INTEGER, dbVerDesc TEXT);"
                                         "INSERT INTO dbDetails VALUES (2, 'Second')"));
        const QByteArray before = digest(mdb());
        QCOMPARE(start(), StartupResult::EndProgram);
        QCOMPARE(m_prompter.messages(),
                 QList<Message>{notice(QStringLiteral("גרסת התוכנה שברשותך אינה תואמת לגרסת מבנה הנתונים."))});
        m_db->close();
        QCOMPARE(digest(mdb()), before);
        QVERIFY(!QFile::exists(file(QStringLiteral("VESK.000"))));
    }

    void outdatedFilesAreUpgraded_data() {
        QTest::addColumn<QString>("details");
        QTest::newRow("version 0") << QStringLiteral(
            "CREATE TABLE dbDetails (dbVerNum INTEGER, dbVerDesc TEXT); INSERT INTO dbDetails VALUES (0, 'Old')");
        QTest::newRow("no version field") << QStringLiteral(
            "CREATE TABLE dbDetails (Version INTEGER); INSERT INTO dbDetails VALUES (1)");
        QTest::newRow("no version table") << QString();
        QTest::newRow("version table in other case") << QStringLiteral(
            "CREATE TABLE dbdetails (dbVerNum INTEGER, dbVerDesc TEXT); INSERT INTO dbdetails VALUES (1, 'x')");
    }
    void outdatedFilesAreUpgraded() {
        QFETCH(QString, details);
        writeOldWithCards(details);
        const QByteArray before = digest(mdb());
        QCOMPARE(start(), StartupResult::Continue);
        QCOMPARE(m_prompter.messages(), QList<Message>({notice(created), notice(upgraded)}));
        QVERIFY(m_db->isOpen());
        QCOMPARE(digest(file(QStringLiteral("VESK.000"))), before); // the old file, as it was
        m_db->close();
        verifyCurrentFileHoldsOldCards();
    }

    void theBackupTakesTheFirstFreeNumber() {
        QFile taken(file(QStringLiteral("VESK.000")));
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.write("keep me");
        taken.close();
        writeOldWithCards({});
        QCOMPARE(start(), StartupResult::Continue);
        QVERIFY(QFile::exists(file(QStringLiteral("VESK.001"))));
        QCOMPARE(digest(file(QStringLiteral("VESK.000"))),
                 QCryptographicHash::hash("keep me", QCryptographicHash::Sha256));
        m_db->close();
        verifyCurrentFileHoldsOldCards();
    }

    void anEmptyOutdatedFileIsStillRebuilt() {
        testing::writeOldFile(mdb(), {});
        QCOMPARE(start(), StartupResult::Continue);
        QCOMPARE(m_prompter.messages(), QList<Message>({notice(created), notice(upgraded)}));
        QVERIFY(QFile::exists(file(QStringLiteral("VESK.000"))));
        testing::RawDb raw(mdb());
        QCOMPARE(raw.scalar(QStringLiteral("select count(*) from Vesk")), QStringLiteral("0"));
    }

    void aVersionTableWithoutRowsIsUsedUnchanged() {
        writeOldWithCards(QStringLiteral("CREATE TABLE dbDetails (dbVerNum INTEGER, dbVerDesc TEXT)"));
        QCOMPARE(start(), StartupResult::Continue);
        QVERIFY(m_prompter.messages().isEmpty());
        QVERIFY(m_db->isOpen());
        QVERIFY(!QFile::exists(file(QStringLiteral("VESK.000"))));
    }

    void aFileThatIsNoDatabaseIsLeftAlone() {
        QFile f(mdb());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, '\x5a'));
        f.close();
        const QByteArray before = digest(mdb());
        QCOMPARE(start(), StartupResult::Continue);
        QVERIFY(m_prompter.messages().isEmpty());
        QVERIFY(!m_db->isOpen());
        QCOMPARE(digest(mdb()), before);
        QVERIFY(!QFile::exists(file(QStringLiteral("VESK.000"))));
    }

    void anOutdatedFileThatCannotBeMovedEndsTheProgram() {
        for (int i = 0; i < 1000; ++i) {
            QFile f(file(QStringLiteral("VESK.%1").arg(i, 3, 10, QLatin1Char('0'))));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        writeOldWithCards({});
        QCOMPARE(start(), StartupResult::EndProgram);
        QCOMPARE(m_prompter.messages(),
                 QList<Message>{notice(QStringLiteral("!ארעה שגיאה קריטית בתהליך שידרוג מבנה הנתונים") + crlf +
                                           QStringLiteral("www.orvenna.example") + crlf +
                                           QStringLiteral("support@orvenna.example"),
                                       Icon::Critical)});
        verifyCurrentFileHoldsOldCards_withoutDetails();
    }

    void creationFailureEndsTheProgram() {
        const QString missing = folder() + QStringLiteral("no such folder/");
        QCOMPARE(start(missing), StartupResult::EndProgram);
        QCOMPARE(m_prompter.messages(),
                 QList<Message>{notice(QStringLiteral("!ארעה שגיאה קריטית בתהליך יצירת מבנה הנתונים") + crlf +
                                           QStringLiteral("www.orvenna.example") + crlf +
                                           QStringLiteral("support@orvenna.example"),
                                       Icon::Critical)});
    }

    // Cards the new file refuses are not reported as copied: every card that fits is
    // copied, and the user learns how many stayed behind in the backup.
    void cardsThatDoNotFitAreReported() {
        testing::writeOldFile(mdb(), {});
        {
            testing::RawDb raw(mdb());
            raw.exec(QStringLiteral("INSERT INTO Vesk (Name) VALUES ('First')"));
            raw.exec(QStringLiteral("INSERT INTO Vesk (Name, Phone) VALUES ('Long phone', '1234567890123')"));
            raw.exec(QStringLiteral("INSERT INTO Vesk (Name) VALUES (NULL)"));
            raw.exec(QStringLiteral("INSERT INTO Vesk (Name) VALUES ('Last')"));
            raw.exec(QStringLiteral("INSERT INTO Work (Name, Phone) VALUES ('Ext too long', '12345')"));
            raw.exec(QStringLiteral("INSERT INTO Work (Name, Phone) VALUES ('Ext', '1234')"));
        }
        QCOMPARE(start(), StartupResult::Continue);
        const QString backup = file(QStringLiteral("VESK.000"));
        QCOMPARE(m_prompter.messages(),
                 QList<Message>({notice(created), notice(upgraded),
                                 notice(QStringLiteral("3 כרטיסים לא הועתקו ונשארו בקובץ הגיבוי ") + backup + crlf +
                                            QStringLiteral("3 cards could not be copied; they remain in the backup file ") +
                                            backup + u'.',
                                        Icon::Exclamation)}));
        m_db->close();
        testing::RawDb raw(mdb());
        QCOMPARE(raw.rows(QStringLiteral("select Name from Vesk order by rowid")),
                 QStringList({QStringLiteral("First"), QStringLiteral("Last")}));
        QCOMPARE(raw.rows(QStringLiteral("select Name from Work")), QStringList{QStringLiteral("Ext")});
        testing::RawDb old(backup);
        QCOMPARE(old.scalar(QStringLiteral("select count(*) from Vesk")), QStringLiteral("4"));
    }

    void anOldFileMissingATableStillGivesUpItsOtherCards() {
        {
            testing::RawDb raw(mdb());
            raw.exec(QStringLiteral("CREATE TABLE Work (Name TEXT, Phone TEXT, Mobil TEXT, Home TEXT, Dept TEXT, "
                                    "Address TEXT, Email TEXT)"));
            raw.exec(QStringLiteral("INSERT INTO Work (Name) VALUES ('Only work')"));
        }
        QCOMPARE(start(), StartupResult::Continue);
        QCOMPARE(m_prompter.messages(), QList<Message>({notice(created), notice(upgraded)}));
        m_db->close();
        testing::RawDb raw(mdb());
        QCOMPARE(raw.rows(QStringLiteral("select Name from Work")), QStringList{QStringLiteral("Only work")});
    }

private:
    void verifyCurrentFileHoldsOldCards_withoutDetails() {
        testing::RawDb raw(mdb());
        QCOMPARE(raw.scalar(QStringLiteral("select count(*) from Vesk")), QStringLiteral("2"));
        QCOMPARE(raw.scalar(QStringLiteral("select count(*) from sqlite_master where name = 'dbDetails'")),
                 QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestDbStartup)
#include "tst_dbstartup.moc"
