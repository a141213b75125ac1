// vCard files of one card: the text as read and written, and the export and import commands
// of the real main window over a real file, with the file dialog scripted.
#include "common/Fixture.h"

#include "app/FlexGrid.h"
#include "platform/testing/ScriptedFileDialogs.h"
#include "vcard/VCardText.h"

#include <QtTest>

using platform::FileChoice;
using platform::Message;
using Dialogs = platform::testing::ScriptedFileDialogs;
using F = vcard::VCardFields;

namespace {
using testing::readFile;
QByteArray golden(const char* name) {
    return readFile(QStringLiteral(VCARD_DATA "/") + QLatin1String(name));
}
Message question(const QString& name) {
    return {u8("Do you want export %1 to a vCard?").arg(name), u8("System Message"),
            platform::Buttons::OkCancel, platform::Icon::Question};
}
const Message imported = notice(QStringLiteral("Vcard data has been imported as "));
const Message added = notice(QStringLiteral("A new record has been added"));

// What a reading gave: the flags seen, then each value that is not empty, in field order.
QString dump(const vcard::ReadResult& r) {
#define FIELD(member) std::pair<const char*, QString F::*>(#member, &F::member)
    static const std::pair<const char*, QString F::*> members[] = {
        FIELD(GivenName), FIELD(FamilyName), FIELD(FullName),  FIELD(Street),       FIELD(Locality),
        FIELD(Region),    FIELD(PostalCode), FIELD(Country),   FIELD(HomeVoice),    FIELD(HomeFax),
        FIELD(WorkVoice), FIELD(WorkFax),    FIELD(CellVoice), FIELD(EmailAddress), FIELD(Url),
        FIELD(OrgName),   FIELD(OrgUnit)};
#undef FIELD
    QStringList out = QStringList{r.begin ? u8("BEGIN") : QString(), r.end ? u8("END") : QString()};
    out.removeAll(QString());
    for (const auto& [name, member] : members) {
        if (!(r.fields.*member).isEmpty())
            out << QLatin1String(name) + u'=' + r.fields.*member;
    }
    return out.join(u'|');
}

// The main window in English over these cards, all of the group listed, the last selected.
struct VcardFixture : Fixture {
    Dialogs dialogs;

    VcardFixture() { fileDialogs = &dialogs; }
    app::MainWindow& open(int group, const QStringList& cards) {
        start(group ? QStringList{} : cards, group ? cards : QStringList{}, 100);
        chooseGroup(group);
        trigger("mnuAll");
        prompter.clear();
        return *window;
    }
    QStringList rows(int group) {
        return testing::RawDb(mdb()).rows(
            u8("SELECT * FROM %1 ORDER BY rowid").arg(group ? "Work" : "Vesk"));
    }
};
} // namespace

class TestVcard : public QObject {
    Q_OBJECT
private slots:
    void read_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("fields");
        QTest::newRow("Windows-1255, LF")
            << golden("hebrew-1255-lf.vcf")
            << u8("BEGIN|END|GivenName=משה|FamilyName=לוי|FullName=לוי משה|CellVoice=0529876543");
        // A phone's file: BOM, CR endings, two cards, every known prefix, ignored variants,
        // a later property overwriting an earlier one, a line after END that still counts.
        QTest::newRow("phone file, CR")
            << golden("phone-cr.vcf")
            << u8("BEGIN|END|GivenName=Moshe|FamilyName=Levi|FullName= Dana Cohen|Street=1 Main "
                  "St\r\nFlat 2|"
                  "Locality=Haifa=0D=0A|Region=North|PostalCode=31000|Country=IL;Earth|HomeVoice="
                  "041111111|"
                  "HomeFax=061111111|WorkVoice=031111111|WorkFax=051111111|CellVoice=0539999999|"
                  "EmailAddress=last@example.org|Url=http://example.org/"
                  "a;b|OrgName=Acme|OrgUnit=R&D;Lab");
        QTest::newRow("missing separators")
            << QByteArray("BEGIN:VCARD\nN:Solo\nORG:Acme\n"
                          "ADR;HOME;ENCODING=QUOTED-PRINTABLE:;;Main St;Town\nEND:VCARD")
            << u8("BEGIN|END|FamilyName=Solo|Street=Main St|Locality=Town|OrgName=Acme");
        QTest::newRow("flags exact")
            << QByteArray("begin:vcard\r\nBEGIN:VCARD\r\nEND:VCARD \r\nFN:X")
            << u8("BEGIN|FullName=X");
        QTest::newRow("empty") << QByteArray() << QString();
        // A line beyond 64 KiB is cut, and stays too long for any field.
        QTest::newRow("overlong line")
            << "FN:Aaa" + QByteArray(70000, ' ') + "B\r\nEND:VCARD"
            << u8("END|FullName=Aaa") + QString(65530, u' ') + QChar(0x7f);
    }
    void read() {
        QFETCH(QByteArray, bytes);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QTEST(dump(vcard::readVcard(buffer)), "fields");
    }

    // A card is refused rather than written with characters its encoding lacks.
    void encodings() {
        const auto named = [](const QString& name) {
            F f;
            f.FullName = name;
            return f;
        };
        QVERIFY(vcard::vcardBytes(named(u8("כהן דנה")), "windows-1255"));
        QVERIFY(!vcard::vcardBytes(named(u8("Иван Петров")), "windows-1255"));
        QVERIFY(
            !vcard::vcardBytes(named(QString(QChar(0xD800))))); // broken text, system's encoding
    }

    // Exported to the golden bytes, then imported into the emptied list: the same card again.
    void roundTrip_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("proposed"); // each row's name is its golden file's
        QTest::newRow("personal-hebrew.vcf")
            << 0 << u8("כהן דנה")
            << u8("'035551234','0521234567','','035559876',' ','dana@example.org'")
            << u8("כהן דנה.vcf");
        // A fax with a dash is no number, yet it is the only fax: it comes back.
        QTest::newRow("personal-latin.vcf")
            << 0 << u8("O'Brien Pat/Lee") << u8("'','0541112222','039998887','03-5551234',' ',' '")
            << u8("O'Brien Pat_Lee.vcf");
        // The department travels as the work fax.
        QTest::newRow("work.vcf")
            << 1 << u8("Acme Supplies")
            << u8("'1234','0501234567','098765432','Sales',' ','sales@acme.example'")
            << u8("Acme Supplies.vcf");
    }
    void roundTrip() {
        QFETCH(int, group);
        QFETCH(QString, name);
        QFETCH(QString, values);
        QFETCH(QString, proposed);
        VcardFixture f;
        app::MainWindow& w = f.open(group, {card(name, values)});
        const QStringList before = f.rows(group);
        const QString path = f.dir.filePath(QStringLiteral("card.vcf"));
        f.dialogs.script({FileChoice::chosen(path), FileChoice::chosen(path)});
        f.trigger("mnuExportVcard");
        QCOMPARE(readFile(path), golden(QTest::currentDataTag()));
        QVERIFY(QFileInfo(path).permissions() & QFile::ReadOther); // not the temporary's 0600
        testing::RawDb(f.mdb()).exec(group ? u8("DELETE FROM Work") : u8("DELETE FROM Vesk"));
        f.trigger("mnuImportVcard");
        QCOMPARE(f.rows(group), before);
        QCOMPARE(w.grid()->cellText(1, 0), name);
        QCOMPARE(
            f.prompter.messages(),
            (QList<Message>{question(name), notice(u8("A vCard has been created successfully.")),
                            added, imported}));
        const QString filters = u8("VCARD (*.vcf)|*.vcf");
        QCOMPARE(
            f.dialogs.calls(),
            (QList<Dialogs::Call>{
                {Dialogs::Kind::Save, {filters, 1, proposed}, platform::Overwrite::DontConfirm},
                {Dialogs::Kind::Open, {filters, 1, {}}, platform::Overwrite::Confirm}}));
    }

    void exportRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("chosen"); // empty: the dialog is cancelled
        QTest::addColumn<QString>("last");   // the message after the question
        QTest::newRow("one-word Personal name")
            << u8("Solo") << u8("x.vcf") << u8("Failed to export current record to vCard.");
        QTest::newRow("existing file kept")
            << u8("Aaa Bbb") << u8("old.vcf") << u8("A vCard file is all-ready exist.");
        QTest::newRow("dialog cancelled") << u8("Aaa Bbb") << QString() << QString();
    }
    void exportRefused() {
        QFETCH(QString, name);
        QFETCH(QString, chosen);
        QFETCH(QString, last);
        VcardFixture f;
        f.open(0, {card(name, "'1',NULL,NULL,NULL,NULL,NULL")});
        testing::writeFile(f.dir.filePath("old.vcf"));
        f.dialogs.script({chosen.isEmpty() ? FileChoice::cancelled()
                                           : FileChoice::chosen(f.dir.filePath(chosen))});
        f.trigger("mnuExportVcard");
        QCOMPARE(f.prompter.messages(),
                 (last.isEmpty() ? QList<Message>{question(name)}
                                 : QList<Message>{question(name), notice(last)}));
        QCOMPARE(readFile(f.dir.filePath(u8("old.vcf"))), QByteArray());
        QVERIFY(!QFile::exists(f.dir.filePath(u8("x.vcf"))));
    }

    void importOutcomes_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<QString>("refusal");  // none: the card is added
        QTest::addColumn<QString>("stored");
        const auto one = [](const char* lines) {
            return "BEGIN:VCARD\n" + QByteArray(lines) + "\nEND:VCARD\n";
        };
        QTest::newRow("missing file") << 0 << QByteArray() << QString() << QString();
        QTest::newRow("e-mail, blank numbers")
            << 0 << one("FN:Mail Only\nTEL;CELL;VOICE:  \nEMAIL;PREF;INTERNET:a@b.c")
            << u8("There is no phone/fax/line/mobile number") << QString();
        QTest::newRow("blank name") << 0 << one("FN:   \nTEL;CELL;VOICE:1")
                                    << u8("The field Name cannot be empty") << QString();
        QTest::newRow("name used") << 0 << one("FN: Aaa Bbb\nTEL;CELL;VOICE:2")
                                   << u8("The current name is used all-ready") << QString();
        QTest::newRow("too long for the store")
            << 1 << one("FN:Long Ext\nTEL;WORK;VOICE:12345")
            << u8("Field 'Phone' takes at most 4 characters") << QString();
        QTest::newRow("phone file")
            << 0 << golden("phone-cr.vcf") << QString()
            << u8("Dana Cohen|041111111|0539999999|031111111|061111111|1 Main St\r\nFlat 2 "
                  "Haifa=0D=0A North 31000 IL;Earth|last@example.org");
        QTest::newRow("work fax over a word")
            << 0 << one("FN:Two Faxes\nTEL;HOME;FAX:abc\nTEL;WORK;FAX:777") << QString()
            << u8("Two Faxes||||777| | ");
    }
    void importOutcomes() {
        QFETCH(int, group);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        QFETCH(QString, stored);
        VcardFixture f;
        f.open(group, {card("Aaa Bbb", "'1','','','',' ',' '")});
        const QStringList before = f.rows(group);
        const QString path = f.dir.filePath("in.vcf");
        if (!bytes.isNull())
            testing::writeFile(path, bytes);
        f.dialogs.script({FileChoice::chosen(path)});
        f.trigger("mnuImportVcard");
        const QList<Message> shown =
            bytes.isNull() ? QList<Message>{notice(u8("File is not exist.")),
                                            notice(u8("File is corrupted or not a Vcard file."))}
                           : QList<Message>{refusal.isEmpty() ? added : failure(refusal), imported};
        QCOMPARE(f.prompter.messages(), shown);
        QCOMPARE(f.rows(group), stored.isEmpty() ? before : before + QStringList{stored});
    }
};

QTEST_MAIN(TestVcard)
#include "tst_vcard.moc"
