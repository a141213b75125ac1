// Switching the main window between English and Hebrew from its menu.
#include "common/Fixture.h"

#include "app/FlexGrid.h"
#include "app/LetterTabs.h"

#include <QAction>
#include <QComboBox>
#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

using app::frmVesk;

class TestLanguage : public QObject {
    Q_OBJECT

    static void choose(frmVesk& w, const char* item) { w.findChild<QAction*>(QString::fromLatin1(item))->trigger(); }
    static QToolButton* button(frmVesk& w, const char* name) {
        return w.findChild<QToolButton*>(QString::fromLatin1(name));
    }

private slots:
    void englishThenHebrewThenEnglishAgainPutsEverythingBack() {
        Fixture f;
        frmVesk& w = f.start({});
        QCOMPARE(w.layoutTwips(), app::DesignLayout::designed());
        choose(w, "mnuLangEnglish");
        const app::DesignLayout english = w.layoutTwips();
        QVERIFY(english != app::DesignLayout::designed());
        QCOMPARE(f.shared->CurrentLang, 100);
        QCOMPARE(button(w, "btnAdd")->text(), QStringLiteral("Add"));
        QCOMPARE(button(w, "btnQuit")->toolTip(), QStringLiteral("Quit program"));
        QCOMPARE(w.findChild<QMenu*>(QStringLiteral("mnuFile"))->title(), QStringLiteral("&File"));
        QCOMPARE(w.findChild<QAction*>(QStringLiteral("popSendMail"))->text(), QStringLiteral("Send Email..."));
        QCOMPARE(w.grid()->TextMatrix(0, 0), QStringLiteral("Name\\Comapny"));
        QCOMPARE(w.tabs()->count(), 26);
        QCOMPARE(w.tabs()->edge(), app::LetterTabs::Edge::Left);
        QCOMPARE(w.layoutDirection(), Qt::LeftToRight);
        // Texts that are the same in both languages stay.
        QCOMPARE(w.findChild<QAction*>(QStringLiteral("mnuImportVcard"))->text(), QStringLiteral("Import vCard..."));

        choose(w, "mnuLangHebrew");
        QCOMPARE(w.layoutTwips(), app::DesignLayout::designed());
        QCOMPARE(button(w, "btnAdd")->text(), u8("הוסף"));
        QCOMPARE(w.findChild<QAction*>(QStringLiteral("popSendMail"))->text(), u8("שלח דואר אלקטרוני...."));
        QCOMPARE(w.tabs()->count(), 22);
        QCOMPARE(w.tabs()->edge(), app::LetterTabs::Edge::Right);
        QCOMPARE(w.layoutDirection(), Qt::RightToLeft);

        choose(w, "mnuLangEnglish");
        QCOMPARE(w.layoutTwips(), english);
    }

    void choosingTheActiveLanguageChangesNothing() {
        Fixture f;
        frmVesk& w = f.start({});
        button(w, "btnAdd")->setText(QStringLiteral("marker"));
        choose(w, "mnuLangHebrew");
        QCOMPARE(button(w, "btnAdd")->text(), QStringLiteral("marker")); // nothing re-captioned
        QCOMPARE(w.layoutTwips(), app::DesignLayout::designed());
        QVERIFY(w.findChild<QAction*>(QStringLiteral("mnuLangHebrew"))->isChecked()); // the mark stays on
        choose(w, "mnuLangEnglish");
        const app::DesignLayout english = w.layoutTwips();
        choose(w, "mnuLangEnglish");
        QCOMPARE(w.layoutTwips(), english);
        QVERIFY(w.findChild<QAction*>(QStringLiteral("mnuLangEnglish"))->isChecked());
        QVERIFY(!w.findChild<QAction*>(QStringLiteral("mnuLangHebrew"))->isChecked());
    }

    void theGroupAndItsColumnFollowTheLanguage() {
        Fixture f;
        frmVesk& w = f.start({});
        f.chooseGroup(1);
        QCOMPARE(w.grid()->TextMatrix(0, 4), u8("מחלקה"));
        choose(w, "mnuLangEnglish");
        QCOMPARE(w.groupBox()->currentIndex(), 1);
        QCOMPARE(w.groupBox()->currentText(), QStringLiteral("Work"));
        QCOMPARE(w.groupText(), f.shared->GroupNameWork);
        QCOMPARE(w.grid()->TextMatrix(0, 4), QStringLiteral("Department"));
        f.chooseGroup(0);
        QCOMPARE(w.grid()->TextMatrix(0, 4), QStringLiteral("Fax"));
        choose(w, "mnuLangHebrew");
        QCOMPARE(w.groupBox()->currentText(), u8("אישי"));
        QCOMPARE(w.grid()->TextMatrix(0, 4), u8("פקס"));
    }

    void aSwitchKeepsTheListAndRecountsInTheNewLanguage() {
        Fixture f;
        QStringList cards;
        for (int i = 0; i < 12; ++i)
            cards << QStringLiteral("'%1%2','1',NULL,NULL,NULL,NULL,NULL").arg(u8("א")).arg(i);
        frmVesk& w = f.start(cards);
        QCOMPARE(f.shared->ListCount, 12);
        choose(w, "mnuLangEnglish");
        QCOMPARE(w.panelText(1), QStringLiteral(" Total Records 12"));
        // Not reloaded: the Hebrew cards stay listed under the Latin tabs until a tab is chosen.
        QCOMPARE(f.shared->LetterFilter, u8("א"));
        QCOMPARE(w.grid()->TextMatrix(1, 0), u8("א0"));
        QCOMPARE(w.tabs()->currentIndex(), 0);
    }

    void aLatinTabPastTheHebrewAlphabetStartsHebrewFromItsFirstLetter() {
        Fixture f;
        frmVesk& w = f.start({QStringLiteral("'Yael','1',NULL,NULL,NULL,NULL,NULL")}, {}, 100);
        w.tabs()->setCurrentIndex(24);
        QCOMPARE(f.shared->ListCount, 1);
        choose(w, "mnuLangHebrew");
        QCOMPARE(w.tabs()->currentIndex(), 0);
        QCOMPARE(f.shared->LetterFilter, u8("א"));
        QCOMPARE(f.shared->ListCount, 0);
    }
    // Qt's standard buttons read in the interface language: the texts of Qt's own Hebrew
    // catalogue while the window is Hebrew, Qt's English texts after a switch to English.
    void standardButtonsFollowTheLanguage() {
        QTranslator hebrew;
        QVERIFY(hebrew.load(QStringLiteral("qtbase_he"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        const auto texts = [] {
            QMessageBox box;
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
            QStringList out;
            for (auto b : {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No})
                out << box.button(b)->text();
            return out;
        };
        const QStringList qtEnglish = texts();
        QStringList expected;
        for (const QString& text : qtEnglish)
            expected << hebrew.translate("QPlatformTheme", text.toUtf8().constData());
        QVERIFY(!expected.contains(QString())); // the catalogue knows every button
        QVERIFY(expected != qtEnglish);

        Fixture f;
        frmVesk& w = f.start({}, {}, 200);
        QCOMPARE(texts(), expected);
        choose(w, "mnuLangEnglish");
        QCOMPARE(texts(), qtEnglish);
        choose(w, "mnuLangHebrew");
        QCOMPARE(texts(), expected);
        // The catalogue leaves the direction of the other windows alone.
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
