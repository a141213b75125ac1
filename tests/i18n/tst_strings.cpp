// The string table and the letter index.
#include "i18n/Letters.h"
#include "i18n/StringTable.h"

#include <QtTest>

using namespace i18n;

class TestStrings : public QObject {
    Q_OBJECT
private slots:
    void everyIdHasItsTwin() {
        for (int k = 1; k <= 52; ++k) {
            QVERIFY2(!LoadResString(100 + k).isEmpty(), qPrintable(QString::number(100 + k)));
            QVERIFY2(!LoadResString(200 + k).isEmpty(), qPrintable(QString::number(200 + k)));
        }
        for (int id : {0, 100, 153, 199, 200, 253, 301, -101})
            QVERIFY(LoadResString(id).isEmpty());
    }

    // An id reads the same through both lookups; the windows' tests show the texts in place.
    void textsAreThePrograms() {
        QCOMPARE(LoadResString(143), QStringLiteral("Add new phone card to book"));
        QCOMPARE(i18n::text(100, 43), LoadResString(143));
        QCOMPARE(i18n::text(200, 9), LoadResString(209));
    }

    void tabLetters() {
        QString hebrew;
        for (int i = 0; i < HebrewTabCount; ++i)
            hebrew += hebrewTabLetter(i);
        QCOMPARE(hebrew, QString::fromUtf8("אבגדהוזחטיכלמנסעפצקרשת"));
        QCOMPARE(latinTabLetter(0) + latinTabLetter(25), QStringLiteral("AZ"));
        QVERIFY(hebrewTabLetter(22).isEmpty() && hebrewTabLetter(-1).isEmpty() && latinTabLetter(26).isEmpty());
        QCOMPARE(tabCaption(QString::fromUtf8("א")), QString::fromUtf8("א          א"));
    }
};

QTEST_GUILESS_MAIN(TestStrings)
#include "tst_strings.moc"
