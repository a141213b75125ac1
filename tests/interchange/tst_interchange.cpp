#include "interchange/CsvReader.h"
#include "interchange/Export.h"
#include "interchange/ImportPlan.h"
#include "interchange/ImportWriter.h"
#include "interchange/PhoneFit.h"
#include "interchange/VcfReader.h"

#include "i18n/StringTable.h"
#include "store/ContactDatabase.h"
#include "store/Query.h"
#include "store/Recordset.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace interchange;
using store::ContactGroup;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QByteArray golden(const QString& name) {
    return bytesOf(QStringLiteral(INTERCHANGE_DATA "/") + name);
}

SourceFile read(const QByteArray& bytes, bool csv) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return csv ? readCsv(buffer) : readVcf(buffer);
}

// "line outcome name|field|...|field" in table order (a Null as "<null>"), then "; number:
// reason" per number not kept; a refused card gives its reason in place of the fields.
QString describe(const PlannedCard& p) {
    static const char* outcomes[] = {"new", "duplicate", "refused"};
    QString s = QStringLiteral("%1 %2 ").arg(p.line).arg(QLatin1String(outcomes[int(p.outcome)]));
    if (p.outcome == Outcome::Refused)
        return s + p.reason.text(i18n::LangEnglish);
    QStringList values;
    for (const store::CardField& f : store::fieldsOf(p.card.group))
        values << p.card[f.role].value_or(QStringLiteral("<null>"));
    s += values.join(u'|');
    for (const NotKept& n : p.notKept)
        s += QStringLiteral("; ") + n.number + QStringLiteral(": ") +
             n.reason.text(i18n::LangEnglish);
    return s;
}

// A new contact file with both tables.
void createFile(store::ContactDatabase& db, const QString& path) {
    db.create(path);
    db.execute(store::createTableSql(QStringLiteral("Vesk")));
    db.execute(store::createTableSql(QStringLiteral("Work")));
}

std::vector<store::ContactRecord> cardsOf(store::ContactDatabase& db, ContactGroup group) {
    std::vector<store::ContactRecord> cards;
    auto rs = db.openRecordset(store::Query::allOrdered(store::tableOf(group), "ASC"));
    for (; !rs->atEnd(); rs->next()) {
        store::ContactRecord card{group, -1, {}};
        for (const store::CardField& f : store::fieldsOf(group))
            card[f.role] = rs->value(QString::fromUtf16(f.column));
        cards.push_back(card);
    }
    return cards;
}

std::vector<PlannedCard> planned(store::ContactDatabase& db, const QByteArray& bytes, bool csv,
                                 ContactGroup group) {
    return planImport(read(bytes, csv).cards, group, "IL", [&db, group](const QString& name) {
        return store::NameTaken(db.connection(), group, name);
    });
}

// Cards "Card 0" ... of a vCard file, each with its own mobile number.
QByteArray manyCards(int count) {
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += "BEGIN:VCARD\nFN:Card " + QByteArray::number(i) + "\nTEL;CELL:052-" +
               QByteArray::number(1000000 + i) + "\nEND:VCARD\n";
    return out;
}

store::ContactRecord personal(const QString& name) {
    store::ContactRecord card{ContactGroup::Personal, -1, {}};
    card[store::Role::Name] = name;
    card[store::Role::Mobile] = QStringLiteral("052-1234567");
    return card;
}

} // namespace

class TestInterchange : public QObject {
    Q_OBJECT
private slots:
    void goldenFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<ContactGroup>("group");
        QTest::addColumn<QStringList>("expected");
        const auto P = ContactGroup::Personal;
        QTest::newRow("2.1 phone export: QP, soft break, CHARSET, photo, +972")
            << "phone21.vcf" << P
            << QStringList{
                   u"1 new כהן דוד|03-555-1234|052-123-4567||+12125550100|הרצל 1, תל אביב|dudu@example.com"_qs,
                   "16 new Levi Dana|03-765-4321|054-765-4321||| | ; 050-000-0000: Another "
                   "mobile number came first"};
        QTest::newRow("3.0 folding, type lists, escapes")
            << "folded30.vcf" << P
            << QStringList{"1 refused Name takes at most 20 characters",
                           "9 new Mizrahi Ron|03-123-4567||||Rothschild 5 floor 2, Tel Aviv, "
                           "6688101, Israel| "};
        QTest::newRow("4.0 uri numbers, name from N, from ORG; Work fields")
            << "v40.vcf" << ContactGroup::Work
            << QStringList{"1 new Peretz Yael||052-555-0101|02-555-0102|| |yael@example.org",
                           "8 new Acme Ltd|1234|||Sales| | "};
        QTest::newRow("Windows-1255 bytes")
            << "hebrew1255.vcf" << P << QStringList{u"1 new אבי לוי|08-654-3210|||| | "_qs};
        QTest::newRow("malformed lines and cards")
            << "malformed.vcf" << P
            << QStringList{"2 new Good One|03-555-1111|||| | ", "7 refused Line 9 cannot be read",
                           "12 refused The card has no END:VCARD line",
                           "15 new Last Good||||03-555-4444| | "};
        QTest::newRow("CSV, a column per kind, quoted line break")
            << "layout-columns.csv" << P
            << QStringList{"2 new Levi Dana||052-111-2222||03-555-0000|Herzl 1 flat \"B\", "
                           "Haifa|dana@example.com",
                           "4 refused The field Name cannot be empty",
                           "5 refused The quoted field that begins on line 5 has no end"};
        QTest::newRow("CSV, numbered type and value pairs")
            << "layout-pairs.csv" << ContactGroup::Work
            << QStringList{"2 new Ron Mizrahi||054-555-0002||03-555-0001| |ron@example.com; "
                           "+972 54-555-0003: Another mobile number came first"};
        // Mail programs' and phones' own layouts: the address parts joined in postal order
        // (the first address of a card: home, then work), the numbers by their columns.
        QTest::newRow("CSV of a desktop mail program, home and business parts")
            << "outlook.csv" << P
            << QStringList{"2 new Levi Dana|04-855-1234|052-111-2222|||Herzl 1, Flat 4, PO Box 77, "
                           "Haifa, 3303123, Israel|dana@example.com",
                           "3 new Acme Ltd||+12175550101|||1 Main St, Springfield, IL, 62701, "
                           "United States of America| "};
        QTest::newRow("CSV of a mail client, \"Home Address\" is the street")
            << "thunderbird.csv" << P
            << QStringList{"2 new Moshe Cohen|08-655-1212|054-555-0303|035550101||Rothschild 5, "
                           "Apt 3, Tel Aviv, 6688101, Israel|moshe@example.com"};
        QTest::newRow("CSV of a web address book, numbered address and labels")
            << "google.csv" << P
            << QStringList{"2 new Peretz Yael|02-555-0102|052-555-0101|||Jaffa 10, Entrance B, "
                           "Jerusalem, 9414101, Israel|yael@example.org"};
        QTest::newRow("CSV of a desktop address book, \"Address Street\", a label alone")
            << "kde.csv" << P
            << QStringList{"2 new Ron Mizrahi||054-555-0002|||HaBarzel 30, Tel Aviv, 6971005, "
                           "Israel|ron@example.com",
                           "5 new Dana Levi|04-855-1234||||Herzl 1 Haifa| "};
        QTest::newRow("CSV, Hebrew headers, semicolons, Windows-1255")
            << "hebrew1255.csv" << P << QStringList{u"2 new משה כהן||052-123-4567|||ירושלים| "_qs};
    }

    void goldenFiles() {
        QFETCH(QString, file);
        QFETCH(ContactGroup, group);
        QFETCH(QStringList, expected);
        const SourceFile read_ = read(golden(file), file.endsWith(".csv"));
        QVERIFY(read_.error.isEmpty());
        QStringList got;
        for (const PlannedCard& p :
             planImport(read_.cards, group, "IL", [](const QString&) { return false; }))
            got << describe(p);
        QCOMPARE(got, expected);
    }

    void problemsOutsideCards() {
        auto problems = [](const SourceFile& file) {
            QStringList out;
            for (const FileProblem& p : file.problems)
                out << QString::number(p.line) + u' ' + p.reason.text(i18n::LangEnglish);
            return out;
        };
        QCOMPARE(problems(read(golden("malformed.vcf"), false)),
                 QStringList{"1 Line 1 is not inside a card"});
        QCOMPARE(problems(read("Nothing,Known\r\na,b\r\n", true)),
                 QStringList{"1 Line 1 names no column of a name"});
        const SourceFile many = read(golden("many.vcf"), false);
        QCOMPARE(int(many.cards.size()), 1000);
        QCOMPARE(describe(fitCard(many.cards.back(), ContactGroup::Personal, "IL")),
                 "4996 new Card 0999||052-999-0999||| | ");
    }

    void csvAddresses_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("address");
        QTest::newRow("parts without a prefix, in any order")
            << QByteArray("Name,Country,ZIP,City,Street\r\nA,Israel,3303123,Haifa,Herzl 1")
            << "Herzl 1, Haifa, 3303123, Israel";
        QTest::newRow("a column of the whole address wins")
            << QByteArray("Name,Home Street,Address\r\nA,Jaffa 10,Herzl 1 Haifa")
            << "Herzl 1 Haifa";
    }

    void csvAddresses() {
        QFETCH(QByteArray, csv);
        QTEST(read(csv, true).cards.at(0).address, "address");
    }

    void fitNumber_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("region");
        QTest::addColumn<QString>("stored"); // "-" for not kept
        QTest::newRow("home region, national") << "+972 52-123-4567" << 12 << "IL"
                                               << "052-123-4567";
        QTest::newRow("too long with separators") << "+972 52-123-4567" << 10 << "IL"
                                                  << "0521234567";
        QTest::newRow("foreign: E.164") << "+1 212 555 0100" << 12 << "IL"
                                        << "+12125550100";
        QTest::newRow("foreign, too long") << "+1 212 555 0100" << 11 << "IL"
                                           << "-";
        QTest::newRow("extension as written") << "1234" << 4 << "IL"
                                              << "1234";
        QTest::newRow("no region: as written") << "052-123-4567" << 12 << ""
                                               << "052-123-4567";
        QTest::newRow("not even digits fit") << "+972 52-123-4567" << 4 << "IL"
                                             << "-";
        // Ranges the library's tables do not list yet are still home numbers; a wrong length is
        // not.
        QTest::newRow("unlisted range, national") << "+972 55 218 4368" << 12 << "IL"
                                                  << "055-218-4368";
        QTest::newRow("unlisted range, as phones write it") << "055 202 8934" << 12 << "IL"
                                                            << "055-202-8934";
        QTest::newRow("wrong length as written") << "03-123-456" << 12 << "IL"
                                                 << "03-123-456";
        QTest::newRow("extension apart from the digits") << "+972 3-123-4567 ext 204" << 13 << "IL"
                                                         << "031234567x204";
        QTest::newRow("extension not dropped") << "+1 212 555 0100 ext 5" << 12 << "IL"
                                               << "-";
        // Keypad letters are the digits a phone dials for them; other letters make no number.
        QTest::newRow("keypad letters") << "1-800-MY-APPLE" << 12 << "IL"
                                        << "18006927753";
        QTest::newRow("keypad letters, international") << "+1 800 MY APPLE" << 12 << "IL"
                                                       << "+18006927753";
        QTest::newRow("keypad letters, extension marker kept")
            << "1-800-FLOWERS ext 5" << 20 << "US"
            << "(800) 356-9377 x5";
        QTest::newRow("a note is no number") << "052-1234567 (Dana)" << 12 << "IL"
                                             << "-";
        QTest::newRow("two letters spell nothing") << "1-800-GO" << 12 << "IL"
                                                   << "-";
        QTest::newRow("Hebrew letters") << u"03-1234567 בית"_qs << 12 << "IL"
                                        << "-";
    }

    void fitNumber() {
        QFETCH(QString, number);
        QFETCH(int, width);
        QFETCH(QString, region);
        QTEST(interchange::fitNumber(number, width, region).value_or("-"), "stored");
    }

    // What a card keeps of its numbers, and why it does not keep the others.
    void numbersKept_data() {
        QTest::addColumn<std::vector<SourcePhone>>("phones");
        QTest::addColumn<QString>("planned");
        QTest::newRow("letters spelling the number, letters that do not")
            << std::vector<SourcePhone>{{"1-800-MY-APPLE", PhoneKind::Home},
                                        {u"03-1234567 בית"_qs, PhoneKind::Work},
                                        {"050-1234567 (Dana)", PhoneKind::None}}
            << u"0 new Shop|18006927753|||| | ; 03-1234567 בית: Its letters cannot be converted "
               "to digits; 050-1234567 (Dana): Its letters cannot be converted to digits"_qs;
        QTest::newRow("no number left") << std::vector<SourcePhone>{{"1-800-GO", PhoneKind::Cell}}
                                        << "0 refused There is no phone/fax/line/mobile number";
    }

    void numbersKept() {
        QFETCH(std::vector<SourcePhone>, phones);
        SourceCard card;
        card.name = "Shop";
        card.phones = phones;
        QTEST(describe(fitCard(card, ContactGroup::Personal, "IL")), "planned");
    }

    // A CSV cell a spreadsheet would run as a formula is written after an apostrophe; a number
    // is written as stored. The import gives back what was stored.
    void csvCells_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("cell"); // as written in the file
        QTest::newRow("international number") << "+49123456789"
                                              << "+49123456789";
        QTest::newRow("number with an extension") << "+1 (212) 555-0100 ext. 5"
                                                  << "+1 (212) 555-0100 ext. 5";
        QTest::newRow("negative-looking number") << "-12 34/5"
                                                 << "-12 34/5";
        QTest::newRow("formula") << "=1+1"
                                 << "'=1+1";
        QTest::newRow("at") << "@SUM(A1)"
                            << "'@SUM(A1)";
        QTest::newRow("plus with a command") << "+1+cmd|' /C calc'!A0"
                                             << "'+1+cmd|' /C calc'!A0";
        QTest::newRow("minus with letters") << "-2+3+e"
                                            << "'-2+3+e";
        QTest::newRow("tab") << "\t=1"
                             << "'\t=1";
        QTest::newRow("carriage return") << "\r=1"
                                         << "\"'\r=1\"";
        QTest::newRow("an apostrophe of its own before =") << "'=x"
                                                           << "''=x";
        QTest::newRow("an apostrophe of its own") << "'Tis"
                                                  << "'Tis";
    }

    void csvCells() {
        QFETCH(QString, stored);
        QFETCH(QString, cell);
        store::ContactRecord card{ContactGroup::Personal, -1, {}};
        card[store::Role::Name] = stored;
        const QByteArray bytes = exportCsv({card}, ContactGroup::Personal);
        QCOMPARE(QString::fromUtf8(bytes).section(QStringLiteral("\r\n"), 1, -2),
                 cell + QStringLiteral(",,,,,,"));
        QCOMPARE(read(bytes, true).cards.at(0).name, stored);
    }

    void csvApostrophesOfOtherFiles_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("value");
        QTest::newRow("before a number, as older exports wrote it") << "'+49123456789"
                                                                    << "+49123456789";
        QTest::newRow("before a letter") << "'Amr"
                                         << "'Amr";
    }

    void csvApostrophesOfOtherFiles() {
        QFETCH(QString, cell);
        QTEST(read(("Name\r\n" + cell).toUtf8(), true).cards.at(0).name, "value");
    }

    // A Personal card's name goes out as stored, in FN and in N: read back from either, by the
    // import or by a phone that builds the name from N, it is the same name.
    void exportedNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("lines"); // FN and N as written
        QTest::newRow("given and family") << "Moshe Cohen"
                                          << "FN:Moshe Cohen\r\nN:;Moshe Cohen;;;";
        QTest::newRow("Hebrew") << u"כהן משה"_qs << u"FN:כהן משה\r\nN:;כהן משה;;;"_qs;
        QTest::newRow("one word") << "Solo"
                                  << "FN:Solo\r\nN:;Solo;;;";
        QTest::newRow("escaped") << "Sum; Co, x"
                                 << "FN:Sum\\; Co\\, x\r\nN:;Sum\\; Co\\, x;;;";
    }

    void exportedNames() {
        QFETCH(QString, name);
        QFETCH(QString, lines);
        store::ContactRecord card{ContactGroup::Personal, -1, {}};
        card[store::Role::Name] = name;
        card[store::Role::Home] = "03-5551234";
        const QByteArray vcf = exportVcf({card});
        QVERIFY2(vcf.contains("VERSION:3.0\r\n" + lines.toUtf8() + "\r\n"), vcf.constData());
        QCOMPARE(read(vcf, false).cards.at(0).name, name);
        QByteArray withoutFn = vcf;
        withoutFn.replace(lines.section(QStringLiteral("\r\n"), 0, 0).toUtf8() + "\r\n", "");
        QCOMPARE(read(withoutFn, false).cards.at(0).name, name);
    }

    // The name read from a phone's card (FN, and N family name first) goes back out unreversed.
    void aNameReadGoesBackOutAsItCame() {
        const SourceFile in =
            read("BEGIN:VCARD\nFN:Moshe Cohen\nN:Cohen;Moshe\nTEL:03-5551234\nEND:VCARD\n", false);
        const PlannedCard plan = fitCard(in.cards.at(0), ContactGroup::Personal, "IL");
        const QByteArray out = exportVcf({plan.card});
        QVERIFY2(!out.contains("Moshe;Cohen") && out.contains("N:;Moshe Cohen;;;"),
                 out.constData());
    }

    // The reasons in either language; a field by its words in English, by its heading in Hebrew.
    void reasons_data() {
        namespace off = i18n::off;
        QTest::addColumn<Reason>("reason");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("hebrew");
        QTest::newRow("a line") << Reason::of(off::reasonOutsideCard, 7)
                                << "Line 7 is not inside a card" << u"שורה 7 אינה בתוך כרטיס"_qs;
        QTest::newRow("a number field")
            << Reason::ofField(off::reasonNumberTooLong, ContactGroup::Work, store::Role::Work)
            << "Does not fit Phone (4 characters)" << u"אינו נכנס בשדה טל' בעבודה (4 תווים)"_qs;
        QTest::newRow("a text field")
            << Reason::ofField(off::reasonTextTooLong, ContactGroup::Work, store::Role::Name)
            << "Name takes at most 20 characters"
            << u"בשדה שם\\חברה יש מקום ל-20 תווים לכל היותר"_qs;
        QTest::newRow("the store's own words")
            << Reason::words("Field 'Phone' takes at most 4 characters")
            << "Field 'Phone' takes at most 4 characters"
            << "Field 'Phone' takes at most 4 characters";
    }

    void reasons() {
        QFETCH(Reason, reason);
        QTEST(reason.text(i18n::LangEnglish), "english");
        QTEST(reason.text(i18n::LangHebrew), "hebrew");
    }

    void regionName_data() {
        QTest::addColumn<QString>("region");
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("name");
        QTest::newRow("English") << "IL" << i18n::LangEnglish << "Israel";
        QTest::newRow("Hebrew") << "US" << i18n::LangHebrew << u"ארצות הברית"_qs;
        QTest::newRow("a region of a country") << "AC" << i18n::LangHebrew << u"האי אסנשן"_qs;
    }

    void regionName() {
        QFETCH(QString, region);
        QFETCH(int, lang);
        QTEST(interchange::regionName(region, lang), "name");
    }

    void homeRegion_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("hebrew");
        QTest::addColumn<QString>("region");
        QTest::newRow("setting wins") << "de"
                                      << "he_IL" << true << "DE";
        QTest::newRow("locale") << ""
                                << "en_US" << true << "US";
        QTest::newRow("C locale, Hebrew") << ""
                                          << "C" << true << "IL";
        QTest::newRow("C locale, English") << ""
                                           << "C" << false << "";
    }

    void homeRegion() {
        QFETCH(QString, setting);
        QFETCH(QString, locale);
        QFETCH(bool, hebrew);
        QTEST(interchange::homeRegion(setting, QLocale(locale), hebrew), "region");
    }

    // The plan reads each number written alike once and shares it between cards: every card
    // comes out as fitting it alone would make it, whatever the field, width and region.
    void sharedNumbersFitAsAlone_data() {
        QTest::addColumn<QString>("region");
        QTest::addColumn<ContactGroup>("group");
        QTest::addColumn<bool>("ahead"); // the numbers read while the file was read
        QTest::newRow("Israel, Personal") << "IL" << ContactGroup::Personal << false;
        QTest::newRow("Israel, Work") << "IL" << ContactGroup::Work << false;
        QTest::newRow("United States") << "US" << ContactGroup::Personal << false;
        QTest::newRow("no region") << "" << ContactGroup::Personal << false;
        QTest::newRow("Israel, Work, read ahead") << "IL" << ContactGroup::Work << true;
        QTest::newRow("no region, read ahead") << "" << ContactGroup::Personal << true;
    }
    void sharedNumbersFitAsAlone() {
        QFETCH(QString, region);
        QFETCH(ContactGroup, group);
        const QStringList numbers{"+972 52-123-4567",   "052-1234567",    " 052-1234567 ",
                                  "031234567 ext. 204", "1-800-MY-APPLE", "call me",
                                  "+1 212 555 0100",    "*6400",          "1234"};
        const PhoneKind kinds[] = {PhoneKind::None, PhoneKind::Cell, PhoneKind::Work,
                                   PhoneKind::Home, PhoneKind::Fax};
        std::vector<SourceCard> cards;
        for (int i = 0; i < 40; ++i) {
            SourceCard card;
            card.line = i + 1;
            card.name = QStringLiteral("Card %1").arg(i);
            for (int n = 0; n < 3; ++n)
                card.phones.push_back({numbers[(i + n * 4) % numbers.size()], kinds[(i + n) % 5]});
            cards.push_back(card);
        }
        auto never = [](const QString&) { return false; };
        std::vector<PlannedCard> plans;
        QFETCH(bool, ahead);
        if (ahead) {
            SourceCards packed;
            NumbersAhead read(region);
            for (const SourceCard& card : cards) {
                packed.push_back(card);
                read.added(packed);
            }
            read.finish();
            plans = planImport(
                        packed, group, region, never, [](int, int) { return true; }, &read)
                        ->toVector();
        } else {
            plans = planImport(cards, group, region, never);
        }
        for (size_t i = 0; i < cards.size(); ++i)
            QCOMPARE(describe(plans[i]), describe(fitCard(cards[i], group, region)));
    }

    // The write checks names again only when the file changed since the plan read it: a card
    // written meanwhile by another program (data_version) or by this connection
    // (total_changes) makes it check, and the card planned new becomes a duplicate.
    void writeTrustsAnUnchangedPlan_data() {
        QTest::addColumn<QString>("meanwhile"); // who writes "Card 1" after the plan
        QTest::addColumn<QString>("summary");
        QTest::newRow("nobody") << ""
                                << "3 cards imported, 0 duplicates skipped, 0 refused";
        QTest::newRow("another connection") << "other"
                                            << "2 cards imported, 1 duplicates skipped, 0 refused";
        QTest::newRow("this connection") << "same"
                                         << "2 cards imported, 1 duplicates skipped, 0 refused";
    }
    void writeTrustsAnUnchangedPlan() {
        QFETCH(QString, meanwhile);
        QTemporaryDir dir;
        store::ContactDatabase book;
        createFile(book, dir.filePath("book.mdb"));
        store::Connection& db = book.connection();
        std::optional<store::Transaction> snapshot(std::in_place, db, store::Transaction::Read);
        const BookState seen = bookState(db);
        std::vector<PlannedCard> plans = planned(book, manyCards(3), false, ContactGroup::Personal);
        snapshot.reset();
        QCOMPARE(bookState(db), seen); // reading changes nothing
        if (meanwhile == "other")
            store::InsertContact(*store::Connection::open(dir.filePath("book.mdb")),
                                 personal("Card 1"));
        else if (meanwhile == "same")
            store::InsertContact(db, personal("Card 1"));
        QCOMPARE(bookState(db) == seen, meanwhile.isEmpty());
        QTEST(importSummary(writeImport(
                                db, plans, [](int, int) { return true; }, seen)
                                .value()),
              "summary");
        QCOMPARE(cardsOf(book, ContactGroup::Personal).size(), size_t(3));
    }

    // The plan and the write go in slices, telling their progress at the start, at most
    // every ProgressEveryMs, and at the end; a cancel gives no plan, and leaves nothing
    // written however many cards the transaction held.
    void slicedSteps_data() {
        QTest::addColumn<bool>("write");   // else the plan
        QTest::addColumn<int>("cancelAt"); // the call to refuse, counted from 1; 0 for the last
        for (const bool write : {false, true}) {
            const char* step = write ? "write" : "plan";
            QTest::addRow("%s cancelled before the first card", step) << write << 1;
            QTest::addRow("%s cancelled after the last card", step) << write << 0;
            QTest::addRow("%s not cancelled", step) << write << -1;
        }
    }
    void slicedSteps() {
        QFETCH(bool, write);
        QFETCH(int, cancelAt);
        QTemporaryDir dir;
        store::ContactDatabase book;
        createFile(book, dir.filePath("book.mdb"));
        const int count = 2000;
        const SourceFile file = read(manyCards(count), false);
        QElapsedTimer clock;
        clock.start();
        std::vector<std::pair<int, qint64>> calls; // done, when
        int told = 0;
        auto progress = [&](int done, int total) {
            calls.emplace_back(done, clock.elapsed());
            told = total;
            return !(int(calls.size()) == cancelAt || (cancelAt == 0 && done == total));
        };
        auto never = [](const QString&) { return false; };
        bool done = false;
        if (write) {
            std::vector<PlannedCard> plans =
                planImport(file.cards, ContactGroup::Personal, "IL", never);
            done = writeImport(book.connection(), plans, progress).has_value();
            QCOMPARE(cardsOf(book, ContactGroup::Personal).size(), size_t(done ? count : 0));
        } else {
            const auto plans =
                planImport(file.cards, ContactGroup::Personal, "IL", never, progress);
            done = plans.has_value();
            if (done)
                QCOMPARE(describe(plans->back()),
                         describe(fitCard(file.cards.back(), ContactGroup::Personal, "IL")));
        }
        QCOMPARE(done, cancelAt < 0);
        if (!done)
            return;
        QCOMPARE(calls.front().first, 0);
        QCOMPARE(calls.back().first, told);
        for (size_t i = 2; i + 1 < calls.size(); ++i)
            QVERIFY(calls[i].second - calls[i - 1].second >= ProgressEveryMs);
    }

    void roundTrip_data() {
        QTest::addColumn<ContactGroup>("group");
        QTest::addColumn<bool>("csv");
        for (const bool csv : {false, true}) {
            QTest::addRow("Personal %s", csv ? "csv" : "vcf") << ContactGroup::Personal << csv;
            QTest::addRow("Work %s", csv ? "csv" : "vcf") << ContactGroup::Work << csv;
        }
    }

    // Every card of a list, exported and imported into an empty file, comes back the same; a
    // cancel leaves the file as it was; a card of the file or of the list again is a duplicate.
    void roundTrip() {
        QFETCH(ContactGroup, group);
        QFETCH(bool, csv);
        QTemporaryDir dir;
        store::ContactDatabase from, to;
        createFile(from, dir.filePath("from.mdb"));
        createFile(to, dir.filePath("to.mdb"));
        const QByteArray source = golden("phone21.vcf") + golden("folded30.vcf") +
                                  golden("v40.vcf") + golden("v40.vcf") +
                                  "BEGIN:VCARD\nFN:=Sum\\, \"quoted\"; x\nTEL:-12\nEND:VCARD\n";
        std::vector<PlannedCard> plans = planned(from, source, false, group);
        QVERIFY(!writeImport(from.connection(), plans, [](int done, int) { return done < 3; }));
        QVERIFY(cardsOf(from, group).empty());
        QCOMPARE(writeImport(from.connection(), plans, [](int, int) { return true; }),
                 (ImportTally{6, 2, 1}));
        const std::vector<store::ContactRecord> before = cardsOf(from, group);
        const QString path = dir.filePath(csv ? "list.csv" : "list.vcf");
        QCOMPARE(writeWhole(path, csv ? exportCsv(before, group) : exportVcf(before)), QString());
        for (const char* summary : {"6 cards imported, 0 duplicates skipped, 0 refused",
                                    "0 cards imported, 6 duplicates skipped, 0 refused"}) {
            plans = planned(to, bytesOf(path), csv, group);
            QCOMPARE(
                importSummary(
                    writeImport(to.connection(), plans, [](int, int) { return true; }).value()),
                summary);
        }
        QCOMPARE(cardsOf(to, group), before);
    }
};

QTEST_GUILESS_MAIN(TestInterchange)
#include "tst_interchange.moc"
