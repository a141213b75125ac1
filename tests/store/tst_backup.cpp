// Replacing the contact file by a chosen file: only a sound phone book, and all or nothing.
#include "common/TestFiles.h"
#include "shell/StoreMessages.h"
#include "store/ContactDatabase.h"
#include "store/DatabaseCopy.h"
#include "store/StoreError.h"
#include "store/Upgrade.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace store;
using Reason = CopyFailure::Reason;

namespace {
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
QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
// The program folder: VESK.MDB ("mine") open and an earlier Vesk.old.
struct Folder {
    QTemporaryDir dir;
    ContactDatabase db;
    QString mdb = dir.filePath("VESK.MDB"), old = dir.filePath("Vesk.old"),
            chosen = dir.filePath("chosen.mdb");
    Folder() {
        writeContactFile(mdb, 3, "mine");
        testing::writeFile(old, "an earlier backup");
        db.open(mdb);
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
    // Each refusal says why, in the words the import's message shows (the start of them where
    // the engine or the system adds its own).
    void aFailedImportLeavesEverything_data() {
        QTest::addColumn<QString>("fault"); // how the chosen file is spoilt, or what fails
        QTest::addColumn<Reason>("reason");
        QTest::addColumn<QString>("words");
        QTest::newRow("text") << "text" << Reason::StoreFailed
                              << "The file is damaged or is not a database";
        QTest::newRow("damaged") << "damage" << Reason::Damaged << "The file is damaged (";
        QTest::newRow("no Work") << "DROP TABLE Work" << Reason::MissingTable
                                 << "The file is not an Orvenna phone book: it has no table 'Work'";
        QTest::newRow("field") << "ALTER TABLE Vesk RENAME Fax TO fax" << Reason::OtherFields
                               << "The file is not an Orvenna phone book of this version: its "
                                  "table 'Vesk' has other fields";
        QTest::newRow("no version") << "DELETE FROM dbDetails" << Reason::NoVersion
                                    << "The file is not an Orvenna phone book: it has no version "
                                       "number";
        QTest::newRow("older") << "UPDATE dbDetails SET dbVerNum = 0" << Reason::OlderVersion
                               << "The file is a phone book of an older version (dbVer: 0). An "
                                  "older phone book is upgraded "
                                  "only when Orvenna starts with it as its VESK.MDB";
        QTest::newRow("newer") << "UPDATE dbDetails SET dbVerNum = 2" << Reason::NewerVersion
                               << "The file is a phone book of a newer version (dbVer: 2), which "
                                  "this version of Orvenna cannot read";
        QTest::newRow("copy fails")
            << "gone" << Reason::NotCopied << "The file " + QDir::tempPath();
        QTest::newRow("rename fails")
            << "rename" << Reason::StoreFailed << "stopped"; // Vesk.old is replaced by then
    }
    void aFailedImportLeavesEverything() {
        QFETCH(QString, fault);
        QFETCH(Reason, reason);
        QFETCH(QString, words);
        Folder f;
        writeContactFile(f.chosen, 300, "theirs");
        if (fault == u"text")
            testing::writeFile(f.chosen, "Name,Phone\n");
        else if (fault == u"damage") // garbage over an inner page of the cards
            testing::writeFile(f.chosen,
                               bytes(f.chosen).replace(8 * 4096, 2000, QByteArray(2000, 'x')));
        else if (fault == u"gone")
            QFile::remove(f.chosen);
        else if (fault != u"rename")
            testing::RawDb(f.chosen).exec(fault);
        const QByteArray before = bytes(f.mdb);
        auto stop = [&](ImportStep step) {
            if (step == ImportStep::BackedUp && fault == u"rename")
                throw StoreError(10, "stopped"); // the engine's I/O error
        };
        const std::optional<CopyFailure> failure =
            ImportDatabase({f.db, f.dir.path() + u'/', f.chosen, stop});
        QVERIFY(failure);
        QCOMPARE(failure->reason, reason);
        const QString said = shell::copyFailureReason(*failure);
        QVERIFY2(said.startsWith(words), qPrintable(said));
        QCOMPARE(bytes(f.mdb), before);
        QCOMPARE(bytes(f.old) == "an earlier backup", fault != u"rename");
        QCOMPARE(f.leftovers(), QStringList());
        QCOMPARE(f.firstName(), QString("mine1")); // open again, on the same file
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
