// The string table and the letter index.
#include "i18n/Letters.h"
#include "i18n/StringTable.h"

#include <QtTest>

#include <algorithm>

using namespace i18n;

namespace {
bool hasHebrew(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c >= u'\u05d0' && c <= u'\u05ea'; });
}
} // namespace

class TestStrings : public QObject {
    Q_OBJECT
private slots:
    // Every offset in use has an English text and a Hebrew twin; the windows' tests show the
    // texts in place.
    void everyIdHasItsTwin() {
        QList<int> offsets;
        for (int k = 1; k <= 52; ++k)
            offsets << k;
        for (int k = 60; k <= 71; ++k)
            offsets << k;
        for (const int k : std::as_const(offsets)) {
            const QString english = text(LangEnglish, k), hebrew = text(LangHebrew, k);
            QVERIFY2(!english.isEmpty(), qPrintable(QString::number(k)));
            QVERIFY2(!hasHebrew(english), qPrintable(english));
            QVERIFY2(hasHebrew(hebrew), qPrintable(QString::number(k)));
        }
    }

    // The ends of each range, by named offset where the windows use one, and the ids around
    // them, which have no text.
    void idsAndTheirTexts_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first English") << LangEnglish + off::btnAdd << "Add";
        QTest::newRow("first tooltip") << LangEnglish + off::tipAdd << "Add new phone card to book";
        QTest::newRow("last English") << LangEnglish + off::groupWork << "Work";
        QTest::newRow("first Hebrew") << LangHebrew + off::btnAdd << "הוסף";
        QTest::newRow("last Hebrew") << LangHebrew + off::groupWork << "עבודה";
        QTest::newRow("first contacts English")
            << LangEnglish + off::mnuImportContacts << "Import Contacts...";
        QTest::newRow("last contacts English")
            << LangEnglish + off::reasonBookDamaged << "The phone book is damaged";
        QTest::newRow("first contacts Hebrew")
            << LangHebrew + off::mnuImportContacts << "ייבוא אנשי קשר...";
        QTest::newRow("region Hebrew") << LangHebrew + off::importRegion << "אזור הבית:";
        for (const int id : {-101, 0, 100, 153, 159, 196, 199, 200, 253, 259, 296, 301})
            QTest::addRow("%d", id) << id << QString();
    }
    void idsAndTheirTexts() {
        QFETCH(int, id);
        QFETCH(QString, expected);
        QCOMPARE(LoadResString(id), expected);
    }

    void tabLetters() {
        QString hebrew;
        for (int i = 0; i < HebrewTabCount; ++i)
            hebrew += hebrewTabLetter(i);
        QCOMPARE(hebrew, QString::fromUtf8("אבגדהוזחטיכלמנסעפצקרשת"));
        QCOMPARE(latinTabLetter(0) + latinTabLetter(25), QStringLiteral("AZ"));
        QVERIFY(hebrewTabLetter(22).isEmpty());
        QVERIFY(hebrewTabLetter(-1).isEmpty());
        QVERIFY(latinTabLetter(26).isEmpty());
        QCOMPARE(tabCaption(QString::fromUtf8("א")), QString::fromUtf8("א          א"));
    }
};

QTEST_GUILESS_MAIN(TestStrings)
#include "tst_strings.moc"
