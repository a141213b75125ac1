#include "app/ContactsTransfer.h"
#include "common/Fixture.h"
#include "i18n/StringTable.h"
#include "interchange/ImportPreview.h"
#include "platform/testing/ScriptedFileDialogs.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <functional>

using platform::FileChoice;

namespace {

// The main window in Hebrew over Personal cards, with file dialogs that answer from a script.
struct ContactsFixture : Fixture {
    platform::testing::ScriptedFileDialogs dialogs;

    ContactsFixture() {
        fileDialogs = &dialogs;
        progressDelay =
            std::chrono::milliseconds(0); // the progress window at once, so Cancel can be pressed
    }
    app::MainWindow& open(const QStringList& cards) {
        start(cards);
        trigger("mnuAll");
        prompter.clear();
        return *window;
    }
    QStringList rows() {
        return testing::RawDb(mdb()).rows(QStringLiteral("SELECT * FROM Vesk ORDER BY rowid"));
    }
};

// A cell of the preview's list, as shown.
QString cell(const interchange::ImportPreview& preview, int row, int column) {
    return preview.list()->model()->index(row, column).data().toString();
}

// Cancels the import's progress window the first time it shows some progress, after telling
// `seen`; `timer` runs while the progress window lets events through.
void cancelOnceUnderWay(QTimer& timer, QWidget& window,
                        std::function<void(QProgressDialog&)> seen) {
    QObject::connect(&timer, &QTimer::timeout, [&window, seen, done = false]() mutable {
        auto* progress = window.findChild<QProgressDialog*>(QStringLiteral("ImportProgress"));
        if (progress && progress->value() > 0 && !done) {
            done = true;
            seen(*progress);
            progress->cancel();
        }
    });
    timer.start(0);
}

} // namespace

class TestContactsCommands : public QObject {
    Q_OBJECT
private slots:
    // What the import tells when a file gives no card to import, before any preview.
    void aFileWithoutCardsIsSaidWhy_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null: no such file
        QTest::addColumn<QString>("said");
        QTest::newRow("missing") << "gone.vcf" << QByteArray() << "No such file or directory";
        QTest::newRow("no card") << "empty.vcf" << QByteArray("") << "The file holds no card.";
        QTest::newRow("CSV by its extension, any case")
            << "list.CSV" << QByteArray("Nothing,Known\r\na,b\r\n")
            << "The file cannot be read: Line 1 names no column of a name.";
        QTest::newRow("a card") << "one.vcf" << QByteArray("BEGIN:VCARD\nFN:A\nEND:VCARD\n")
                                << QString();
    }
    void aFileWithoutCardsIsSaidWhy() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        ContactsFixture f;
        f.start({}, {}, 100); // Qt's own texts in English
        const QString path = f.dir.filePath(name);
        if (!bytes.isNull())
            testing::writeFile(path, bytes);
        app::ContactsImport import(f.shared->db, f.settings);
        QCOMPARE(import.read(path, i18n::LangEnglish), said);
    }

    // A card of the file is a duplicate when the list holds its name, as stored (blanks around
    // it or not), and only then: another case is another name.
    void aNameTheListHoldsIsADuplicate_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("duplicate");
        QTest::newRow("the same") << "Levi Dana" << true;
        QTest::newRow("blanks around it") << "  Levi Dana " << true;
        QTest::newRow("another case") << "levi dana" << false;
        QTest::newRow("another name") << "Levi Dan" << false;
    }
    void aNameTheListHoldsIsADuplicate() {
        QFETCH(QString, stored);
        QFETCH(bool, duplicate);
        ContactsFixture f;
        f.open({card(stored, QStringLiteral("'03-1111111',NULL,NULL,NULL,NULL,NULL"))});
        const QString path = f.dir.filePath(QStringLiteral("one.vcf"));
        testing::writeFile(path, "BEGIN:VCARD\nFN:Levi Dana\nTEL:03-2222222\nEND:VCARD\n");
        app::ContactsImport import(f.shared->db, f.settings);
        QCOMPARE(import.read(path, i18n::LangEnglish), QString());
        const auto plans =
            import.plan(store::ContactGroup::Personal, "IL", [](int, int) { return true; });
        QCOMPARE(plans.value().at(0).outcome,
                 duplicate ? interchange::Outcome::Duplicate : interchange::Outcome::New);
    }

    // A phone's export: the preview lists each card, planned again for the home region chosen
    // there, in the interface's language; OK writes the new ones, keeps the region and sums up.
    void importThroughPreview() {
        ContactsFixture f;
        f.open({QStringLiteral("'Levi Dana','03-1111111',NULL,NULL,NULL,NULL,NULL")});
        f.settings.setValue(QStringLiteral("Settings/HomeRegion"), QStringLiteral("US"));
        QCOMPARE(f.action("mnuImportContacts")->text(), QStringLiteral("ייבוא אנשי קשר..."));
        f.dialogs.script({FileChoice::chosen(QStringLiteral(INTERCHANGE_DATA "/phone21.vcf"))});
        f.action("mnuImportContacts")->trigger();
        auto* preview = f.window->findChild<interchange::ImportPreview*>();
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->regionBox()->currentText(), u"ארצות הברית \u2066+1\u2069"_qs);
        QCOMPARE(preview->regionHint()->text(),
                 u"מספרים של אזור הבית יישמרו בתבנית מקומית, ואחרים בתבנית בינלאומית."_qs);
        QCOMPARE(cell(*preview, 0, 2), QStringLiteral("חדש, בלי חלק מהמספרים"));
        QCOMPARE(cell(*preview, 0, 3), // +972521234567 is 13 long
                 u"\u2068+972 52-123-4567\u2069: אינו נכנס בשדה פלאפון (12 תווים)"_qs);
        preview->regionBox()->setCurrentIndex(preview->regionBox()->findData(QStringLiteral("IL")));
        QCOMPARE(cell(*preview, 0, 2), QStringLiteral("חדש"));
        QCOMPARE(cell(*preview, 1, 2), QStringLiteral("כפול (לא ייובא)"));
        // Nothing before OK.
        QCOMPARE(f.rows().size(), 1);
        QCOMPARE(f.prompter.texts(), QStringList{});
        preview->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QTRY_COMPARE(f.prompter.texts(),
                     QStringList{u"1 כרטיסים יובאו, 1 כפולים דולגו, 0 נדחו"_qs});
        QCOMPARE(f.settings.value(QStringLiteral("Settings/HomeRegion")), QStringLiteral("IL"));
        // Stored as the editor stores a card: an empty number is an empty text, not Null.
        QCOMPARE(f.rows().last(),
                 QStringLiteral("כהן דוד|03-555-1234|052-123-4567||+12125550100|הרצל 1, תל "
                                "אביב|dudu@example.com"));
        int shown = 0; // the grid was refilled: both cards are listed
        int imported = 0;
        for (int row = 1; row < f.window->grid()->rowCount(); ++row) {
            shown += f.window->grid()->isCardRow(row);
            if (f.window->grid()->cellText(row, 0) == QStringLiteral("כהן דוד"))
                imported = row;
        }
        QCOMPARE(shown, 2);
        // ... so the editor opens it like any other card.
        f.prompter.clear();
        f.clickCell(imported, 0);
        f.prompter.script({platform::Answer::Ok});
        f.press("btnEdit");
        QCOMPARE(f.prompter.texts(), QStringList{"Do you want updating כהן דוד record?"});
        QVERIFY(f.window->editorWindow());
        QVERIFY(f.window->editorWindow()->isVisible());
    }

    // Cancel in the progress window, with cards already written in the transaction: all of
    // them are rolled back and the user is told so. A trigger in the file slows each insert,
    // so that the write lasts long enough for its progress to be told several times.
    void cancelDuringTheWrite() {
        ContactsFixture f;
        f.open({QStringLiteral("'Levi Dana','03-1111111',NULL,NULL,NULL,NULL,NULL")});
        {
            testing::RawDb raw(f.mdb());
            raw.exec(QStringLiteral("CREATE TABLE Slow (x)"));
            raw.exec(
                QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
                               "WHERE x < 150) INSERT INTO Slow SELECT x FROM c"));
            raw.exec(QStringLiteral("CREATE TRIGGER SlowInsert AFTER INSERT ON Vesk BEGIN "
                                    "SELECT count(*) FROM Slow a, Slow b; END"));
        }
        f.dialogs.script({FileChoice::chosen(QStringLiteral(INTERCHANGE_DATA "/many.vcf"))});
        f.action("mnuImportContacts")->trigger();
        auto* preview = f.window->findChild<interchange::ImportPreview*>();
        QVERIFY(preview);
        int cancelledAt = -1;
        QStringList names; // the window's title and its bar's name, as a screen reader finds them
        QTimer canceller;
        cancelOnceUnderWay(canceller, *f.window, [&](QProgressDialog& progress) {
            cancelledAt = progress.value();
            names << progress.windowTitle()
                  << progress.findChild<QProgressBar*>()->accessibleName();
        });
        preview->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QTRY_COMPARE(f.prompter.texts(), QStringList{u"הייבוא בוטל; דבר לא נכתב."_qs});
        QVERIFY2(cancelledAt > 0 && cancelledAt < 1000, qPrintable(QString::number(cancelledAt)));
        QCOMPARE(names, (QStringList{"ייבוא אנשי קשר", "מייבא אנשי קשר..."}));
        QCOMPARE(f.rows().size(), 1);
    }

    // Cancel while the cards are planned: no preview, nothing written, nothing said.
    void cancelWhilePlanning() {
        ContactsFixture f;
        f.open({QStringLiteral("'Levi Dana','03-1111111',NULL,NULL,NULL,NULL,NULL")});
        QByteArray cards;
        for (int i = 0; i < 8000; ++i)
            cards += "BEGIN:VCARD\nFN:Card " + QByteArray::number(i) + "\nTEL;CELL:052-" +
                     QByteArray::number(1000000 + i) + "\nEND:VCARD\n";
        const QString path = f.dir.filePath(QStringLiteral("cards.vcf"));
        testing::writeFile(path, cards);
        f.dialogs.script({FileChoice::chosen(path)});
        int cancelledAt = -1;
        QTimer canceller;
        cancelOnceUnderWay(canceller, *f.window,
                           [&](QProgressDialog& progress) { cancelledAt = progress.value(); });
        f.action("mnuImportContacts")->trigger();
        QVERIFY2(cancelledAt > 0, qPrintable(QString::number(cancelledAt)));
        QVERIFY(!f.window->findChild<interchange::ImportPreview*>());
        QCOMPARE(f.prompter.texts(), QStringList{});
        QCOMPARE(f.rows().size(), 1);
    }

    // The list as the grid shows it goes to a CSV file; a file naming no known column says so.
    void exportAndUnreadable() {
        ContactsFixture f;
        f.open({QStringLiteral("'Bbb','052-123-4567','+49123456789',NULL,NULL,NULL,NULL"),
                QStringLiteral("'Aaa',NULL,'=1+1',NULL,NULL,NULL,NULL")});
        const QString path = f.dir.filePath(QStringLiteral("out.csv"));
        f.dialogs.script({FileChoice::chosen(path)});
        f.action("mnuExportContacts")->trigger();
        QCOMPARE(f.prompter.texts(), QStringList{"2 cards have been exported to " + path + "."});
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(),
                 QByteArray(
                     "\xEF\xBB\xBFName,Home Phone,Mobile Phone,Business Phone,Fax,Address,"
                     "E-mail Address\r\nAaa,,'=1+1,,,,\r\nBbb,052-123-4567,+49123456789,,,,\r\n"));
        f.prompter.clear();
        testing::writeFile(path, "Nothing,Known\r\na,b\r\n");
        f.dialogs.script({FileChoice::chosen(path)});
        f.action("mnuImportContacts")->trigger();
        QCOMPARE(f.prompter.texts(),
                 QStringList{u"לא ניתן לקרוא את הקובץ: שורה 1 אינה מציינת עמודה של שם."_qs});
    }
};

QTEST_MAIN(TestContactsCommands)
#include "tst_contactscommands.moc"
