// The string table and the letter index.
#include "i18n/Letters.h"
#include "i18n/StringTable.h"

#include <QtTest>

using namespace i18n;

class TestStrings : public QObject {
    Q_OBJECT
private slots:
    // Every id has its twin, read the same through both lookups; the windows' tests show the
    // texts in place.
    void everyIdHasItsTwin() {
        for (int k = 1; k <= 52; ++k)
            for (const int lang : {100, 200})
                QVERIFY2(!text(lang, k).isEmpty() && text(lang, k) == LoadResString(lang + k),
                         qPrintable(QString::number(lang + k)));
        for (int id : {0, 100, 153, 199, 200, 253, 301, -101})
            QVERIFY(LoadResString(id).isEmpty());
        QCOMPARE(LoadResString(143), QStringLiteral("Add new phone card to book"));
    }

    void tabLetters() {
        QString hebrew;
        for (int i = 0; i < HebrewTabCount; ++i)
            hebrew += hebrewTabLetter(i);
        QCOMPARE(hebrew, QString::fromUtf8("אבגדהוזחטיכלמנסעפצקרשת"));
        QCOMPARE(latinTabLetter(0) + latinTabLetter(25), QStringLiteral("AZ"));
        QVERIFY(hebrewTabLetter(22).isEmpty() && hebrewTabLetter(-1).isEmpty() &&
                latinTabLetter(26).isEmpty());
        QCOMPARE(tabCaption(QString::fromUtf8("א")), QString::fromUtf8("א          א"));
    }
};

QTEST_GUILESS_MAIN(TestStrings)
#include "tst_strings.moc"
