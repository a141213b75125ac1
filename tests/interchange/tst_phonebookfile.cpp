// A whole phone book imported as an address book: the old program's Access file or one of our
// own, the cards of the list shown taken from its table of that list, through the same plan and
// write as a vCard file; a file that is no phone book, or a damaged one, refused with a reason.
#include "app/ContactsTransfer.h"
#include "common/TestFiles.h"
#include "i18n/Messages.h"
#include "i18n/StringTable.h"
#include "interchange/PhoneBookFile.h"
#include "store/ContactDatabase.h"
#include "store/Upgrade.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using interchange::PhoneKind;
using interchange::SourceCard;
using store::ContactGroup;

Q_DECLARE_METATYPE(store::ContactGroup)

namespace {

const QString jetData = QStringLiteral(JET_DATA "/");
const QString jetReader = QStringLiteral(JET_READER);

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The cards of one list of rows_small.tsv ('V' Personal, 'W' Work), each field as stored
// (nullopt for Null).
QList<QList<std::optional<QString>>> smallBook(char list) {
    QList<QList<std::optional<QString>>> rows;
    const QString prefix = QString(QLatin1Char(list)) + u'\t';
    for (const QString& line :
         QString::fromUtf8(bytesOf(jetData + "rows_small.tsv")).split(u'\n')) {
        if (!line.startsWith(prefix))
            continue;
        QList<std::optional<QString>> row;
        for (const QString& field : line.mid(2).split(u'\t'))
            row << (field == u"\\N" ? std::optional<QString>() : field);
        rows << row;
    }
    return rows;
}

// What each list's fields mean to another address book: Personal Name, Phone (home), Mobil,
// Line (work), Fax, Address, Email; Work Name, Phone (work), Mobil, Home, Dept, Address, Email.
std::vector<SourceCard> expectedCards(ContactGroup group) {
    const bool work = group == ContactGroup::Work;
    const PhoneKind kinds[] = {work ? PhoneKind::Work : PhoneKind::Home, PhoneKind::Cell,
                               work ? PhoneKind::Home : PhoneKind::Work, PhoneKind::Fax};
    std::vector<SourceCard> cards;
    int line = 0;
    for (const auto& row : smallBook(work ? 'W' : 'V')) {
        SourceCard card;
        card.line = ++line;
        card.name = row[0].value_or(QString());
        for (int n = 0; n < 4; ++n) {
            const QString value = row[n + 1].value_or(QString());
            if (work && n == 3)
                card.department = value;
            else if (!value.isEmpty())
                card.phones.push_back({value, kinds[n]});
        }
        card.address = row[5].value_or(QString());
        card.email = row[6].value_or(QString());
        cards.push_back(card);
    }
    return cards;
}

QString sqlValue(const std::optional<QString>& value) {
    return value ? u'\'' + QString(*value).replace(u'\'', QStringLiteral("''")) + u'\''
                 : QStringLiteral("NULL");
}

// A phone book of this program holding the cards of rows_small.tsv.
void writeSmallBook(const QString& path) {
    store::NewContactFile file(path);
    file.create();
    file.commit();
    file.install();
    testing::RawDb db(path);
    for (const auto& [table, list] : {std::pair{"Vesk", 'V'}, std::pair{"Work", 'W'}}) {
        for (const auto& row : smallBook(list)) {
            QStringList values;
            for (const auto& value : row)
                values << sqlValue(value);
            db.exec(QStringLiteral("INSERT INTO %1 VALUES (%2)")
                        .arg(QLatin1String(table), values.join(u',')));
        }
    }
}

} // namespace

class TestPhoneBookFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // The file to read: a file of tests/data/jet (".qz": compressed), or one written here.
    QString book(const QString& name) {
        const QString path = m_dir.filePath(name);
        if (QFile::exists(path))
            return path;
        if (name == u"ours.mdb") {
            writeSmallBook(path);
        } else if (name == u"view.mdb") { // Vesk and Work are views of a table of other names
            testing::RawDb db(path);
            db.exec("CREATE TABLE cards (Name, Phone); INSERT INTO cards VALUES ('A', '1');"
                    "CREATE VIEW Vesk AS SELECT * FROM cards; CREATE VIEW Work AS SELECT * FROM "
                    "cards");
        } else if (name == u"noname.mdb") {
            testing::RawDb(path).exec(
                "CREATE TABLE Vesk (Nom, Phone); CREATE TABLE Work (Nom, Phone); "
                "INSERT INTO Vesk VALUES ('A', '1'); INSERT INTO Work VALUES ('A', '1')");
        } else if (name == u"cut.mdb") { // our phone book cut after its first pages
            writeSmallBook(m_dir.filePath("whole.mdb"));
            testing::writeFile(path, bytesOf(m_dir.filePath("whole.mdb")).left(2 * 4096));
        } else if (name.endsWith(u".qz")) {
            testing::writeFile(path, qUncompress(bytesOf(jetData + name)));
        } else {
            return jetData + name;
        }
        return path;
    }

private slots:
    // Each field by its name and its meaning in the list: the numbers by kind, a Work card's
    // Dept as its department; Null as nothing; the same cards from an Access file of either
    // format as from one of ours.
    void theCardsOfTheListShown_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<ContactGroup>("group");
        for (const char* file :
             {"vesk-jet4.mdb", "vesk-ace2010.mdb", "vesk-jet4-noversion.mdb", "ours.mdb"}) {
            QTest::addRow("%s, Personal", file) << file << ContactGroup::Personal;
            QTest::addRow("%s, Work", file) << file << ContactGroup::Work;
        }
    }
    void theCardsOfTheListShown() {
        QFETCH(QString, file);
        QFETCH(ContactGroup, group);
        const interchange::SourceFile read =
            interchange::readPhoneBook(book(file), group, jetReader);
        QVERIFY(read.problems.empty());
        QVERIFY(read.error.isEmpty());
        QCOMPARE(read.cards, expectedCards(group));
    }

    // Refused with the reason, in the interface's language, before any preview.
    void notAPhoneBookOrDamaged_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<ContactGroup>("group");
        QTest::addColumn<int>("reason");
        const int notABook = i18n::off::reasonNotPhoneBook, damaged = i18n::off::reasonBookDamaged;
        QTest::newRow("Access 97, other tables")
            << "access97-other.mdb" << ContactGroup::Personal << notABook;
        QTest::newRow("Access 2000, other tables")
            << "access2000-other.mdb" << ContactGroup::Work << notABook;
        QTest::newRow("Access, damaged: the reader crashes")
            << "damaged-crashes-libmdb.mdb.qz" << ContactGroup::Personal << damaged;
        QTest::newRow("ours, views") << "view.mdb" << ContactGroup::Personal << notABook;
        QTest::newRow("ours, no Name") << "noname.mdb" << ContactGroup::Work << notABook;
        QTest::newRow("ours, cut short") << "cut.mdb" << ContactGroup::Work << damaged;
    }
    void notAPhoneBookOrDamaged() {
        QFETCH(QString, file);
        QFETCH(ContactGroup, group);
        QFETCH(int, reason);
        const QString path = book(file);
        const QByteArray before = bytesOf(path);
        app::ContactsImport import(m_db, m_settings);
        import.setJetReader(jetReader);
        const QString expected = i18n::messages::importUnreadable(
            interchange::Reason::of(reason).text(i18n::LangHebrew), i18n::LangHebrew);
        QCOMPARE(import.read(path, i18n::LangHebrew, group), expected);
        QCOMPARE(bytesOf(path), before);
    }

    // The whole way of an import: the file known as a phone book by its header, whatever its
    // name; its cards checked against the list's names and written in one transaction; a
    // second import of the same book finds every card a duplicate.
    void mergedIntoTheListShown_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("Access") << "vesk-jet4.mdb";
        QTest::newRow("ours, named .vcf") << "ours.vcf";
    }
    void mergedIntoTheListShown() {
        QFETCH(QString, file);
        QString path = book(file);
        if (file == u"ours.vcf") {
            path = m_dir.filePath(file);
            QFile::copy(book("ours.mdb"), path);
        }
        const QString mine = m_dir.filePath("VESK.MDB");
        QFile::remove(mine);
        writeSmallBook(mine);
        testing::RawDb(mine).exec("DELETE FROM Work WHERE Name <> 'Ron Katz'");
        m_db.close();
        m_db.open(mine);
        auto importWork = [&] {
            app::ContactsImport import(m_db, m_settings);
            import.setJetReader(jetReader);
            if (!import.read(path, i18n::LangEnglish, ContactGroup::Work).isEmpty())
                return interchange::ImportTally{-1, -1, -1};
            std::vector<interchange::PlannedCard> plans =
                import.plan(ContactGroup::Work, "IL", [](int, int) { return true; }).value();
            return import.write(plans, [](int, int) { return true; }).value();
        };
        // Ron Katz is there; ליאור has no number.
        QCOMPARE(importWork(), (interchange::ImportTally{2, 1, 1}));
        QCOMPARE(testing::RawDb(mine).rows("SELECT Name, Dept FROM Work ORDER BY rowid"),
                 (QStringList{"Ron Katz|Sales", QString::fromUtf8("רונית אברהם|כספים"),
                              "Support Desk|"}));
        QCOMPARE(importWork(), (interchange::ImportTally{0, 3, 1}));
        m_db.close();
    }

private:
    store::ContactDatabase m_db;
    QSettings m_settings{m_dir.filePath("settings.ini"), QSettings::IniFormat};
};

QTEST_MAIN(TestPhoneBookFile)
#include "tst_phonebookfile.moc"
