// Switching the main window between English and Hebrew from its menu.
#include "common/Fixture.h"

#include "app/LetterTabs.h"

#include <QAccessible>
#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

using app::MainWindow;

namespace {
// The texts of Qt's standard buttons as a message box shows them now.
QStringList standardButtons() {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes |
                           QMessageBox::No);
    QStringList out;
    for (auto b : {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No})
        out << box.button(b)->text();
    return out;
}
} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private slots:
    // Choosing the active language changes nothing. A switch recaptions and rearranges the
    // window, the group and its column included, keeps the list as it is and recounts it in
    // the new language; switching back puts everything back. Qt's standard buttons read in
    // the texts of Qt's own Hebrew catalogue while the window is Hebrew.
    void englishThenHebrewThenEnglishAgainPutsEverythingBack() {
        const QStringList qtEnglish = standardButtons();
        QTranslator catalogue;
        QVERIFY(catalogue.load(QStringLiteral("qtbase_he"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QStringList hebrew;
        for (const QString& text : qtEnglish)
            hebrew << catalogue.translate("QPlatformTheme", text.toUtf8().constData());
        // The catalogue knows every button.
        QVERIFY(!hebrew.contains(QString()));
        QVERIFY(hebrew != qtEnglish);
        Fixture f;
        QStringList cards;
        for (int i = 0; i < 12; ++i)
            cards << QStringLiteral("'%1%2','1',NULL,NULL,NULL,NULL,NULL").arg(u8("א")).arg(i);
        MainWindow& w = f.start(cards);
        f.button("btnAdd")->setText(QStringLiteral("marker"));
        f.action("mnuLangHebrew")->trigger();
        QCOMPARE(f.button("btnAdd")->text(), QStringLiteral("marker")); // nothing re-captioned
        QCOMPARE(w.layoutTwips(), app::DesignLayout::designed());
        QVERIFY(f.action("mnuLangHebrew")->isChecked()); // the mark stays on
        QCOMPARE(standardButtons(), hebrew);

        f.action("mnuLangEnglish")->trigger();
        const app::DesignLayout english = w.layoutTwips();
        QVERIFY(english != app::DesignLayout::designed());
        QCOMPARE(f.shared->CurrentLang, 100);
        // Recaptioned; a text that is the same in both languages (the last) stays.
        QCOMPARE((QStringList{f.button("btnAdd")->text(), f.button("btnQuit")->toolTip(),
                              w.findChild<QMenu*>(QStringLiteral("mnuFile"))->title(),
                              f.action("mnuSendMail")->text(), w.grid()->cellText(0, 0),
                              f.action("mnuImportVcard")->text()}),
                 (QStringList{"Add", "Quit program", "&File", "Send Email...", "Name\\Comapny",
                              "Import vCard..."}));
        QCOMPARE(w.letterTabs()->edge(),
                 app::LetterTabs::Edge::Left); // count and direction as at a start in English
        QCOMPARE(standardButtons(), qtEnglish);
        // Not reloaded: the Hebrew cards stay listed under the Latin tabs until a tab is chosen.
        QCOMPARE(QStringList({w.panelText(1), f.shared->LetterFilter, w.grid()->cellText(1, 0),
                              QString::number(w.letterTabs()->currentIndex())}),
                 QStringList({" Total Records 12", u8("א"), u8("א0"), "0"}));
        f.action("mnuLangEnglish")->trigger();
        QCOMPARE(w.layoutTwips(), english);
        QVERIFY(f.action("mnuLangEnglish")->isChecked());
        QVERIFY(!f.action("mnuLangHebrew")->isChecked());
        f.chooseGroup(0);
        QCOMPARE(w.grid()->cellText(0, 4), QStringLiteral("Fax"));
        f.chooseGroup(1);
        QCOMPARE(w.groupBox()->currentText() + w.grid()->cellText(0, 4),
                 QStringLiteral("WorkDepartment"));
        QCOMPARE(w.groupText(), f.shared->GroupNameWork);

        f.action("mnuLangHebrew")->trigger();
        QCOMPARE(w.layoutTwips(), app::DesignLayout::designed());
        QCOMPARE(w.letterTabs()->edge(), app::LetterTabs::Edge::Right);
        QCOMPARE(standardButtons(), hebrew);
        // The catalogue leaves the direction of the other windows alone.
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
        // Recaptioned; the group stays.
        QCOMPARE(f.action("mnuSendMail")->text() + u'|' + w.groupBox()->currentText() + u'|' +
                     w.grid()->cellText(0, 4),
                 u8("שלח דואר אלקטרוני....|עבודה|מחלקה"));
        f.action("mnuLangEnglish")->trigger();
        QCOMPARE(w.layoutTwips(), english);
    }

    // The buttons show their own captions and tips, not their menu items' texts, and screen
    // readers read them as the buttons' names and descriptions.
    void theButtonsKeepTheirOwnCaptionsAndTips_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("tips"); // the first and the last
        QTest::newRow("English") << 100 << QStringList{"Add",  "Edit", "Search", "Dial",
                                                       "Mail", "All",  "Delete", "Quit"}
                                 << "Add new phone card to book|Quit program";
        QTest::newRow("Hebrew") << 200
                                << QStringList{u8("הוסף"), u8("עדכן"), u8("חפש"), u8("חייג"),
                                               u8("דואר"), u8("הכול"), u8("מחק"), u8("יציאה")}
                                << u8("הוסף כרטיסיה חדשה לספר הטלפונים|יציאה מהתוכנית");
    }
    void theButtonsKeepTheirOwnCaptionsAndTips() {
        QFETCH(int, lang);
        QFETCH(QStringList, captions);
        QFETCH(QString, tips);
        Fixture f;
        f.start({}, {}, lang == 100 ? 200 : 100);
        f.trigger(lang == 100 ? "mnuLangEnglish" : "mnuLangHebrew");
        QStringList shown, read;
        for (const char* name : buttonNames) {
            QToolButton* b = f.button(name);
            shown << b->text();
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(b);
            QCOMPARE(face->text(QAccessible::Description), b->toolTip());
            read << face->text(QAccessible::Name);
        }
        QCOMPARE(shown, captions);
        QCOMPARE(read, captions);
        QCOMPARE(f.button("btnAdd")->toolTip() + u'|' + f.button("btnQuit")->toolTip(), tips);
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
