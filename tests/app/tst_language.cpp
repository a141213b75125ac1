// Switching the main window between English and Hebrew from its menu.
#include "common/Fixture.h"

#include "app/LetterTabs.h"

#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

using app::frmVesk;

namespace {
// The texts of Qt's standard buttons as a message box shows them now.
QStringList standardButtons() {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    QStringList out;
    for (auto b : {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No})
        out << box.button(b)->text();
    return out;
}
} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

    static void choose(frmVesk& w, const char* item) { w.findChild<QAction*>(QString::fromLatin1(item))->trigger(); }
    static QToolButton* button(frmVesk& w, const char* name) { return w.findChild<QToolButton*>(QString::fromLatin1(name)); }

private slots:
    // Choosing the active language changes nothing. A switch recaptions and rearranges the
    // window, the group and its column included, keeps the list as it is and recounts it in
    // the new language; switching back puts everything back. Qt's standard buttons read in
    // the texts of Qt's own Hebrew catalogue while the window is Hebrew.
    void englishThenHebrewThenEnglishAgainPutsEverythingBack() {
        const QStringList qtEnglish = standardButtons();
        QTranslator catalogue;
        QVERIFY(catalogue.load(QStringLiteral("qtbase_he"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QStringList hebrew;
        for (const QString& text : qtEnglish)
            hebrew << catalogue.translate("QPlatformTheme", text.toUtf8().constData());
        QVERIFY(!hebrew.contains(QString()) && hebrew != qtEnglish); // the catalogue knows every button
        Fixture f;
        QStringList cards;
        for (int i = 0; i < 12; ++i)
            cards << QStringLiteral("'%1%2','1',NULL,NULL,NULL,NULL,NULL").arg(u8("א")).arg(i);
        frmVesk& w = f.start(cards);
        button(w, "btnAdd")->setText(QStringLiteral("marker"));
        choose(w, "mnuLangHebrew");
        QCOMPARE(button(w, "btnAdd")->text(), QStringLiteral("marker")); // nothing re-captioned
        QCOMPARE(w.layoutTwips(), app::DesignLayout::designed());
        QVERIFY(f.action("mnuLangHebrew")->isChecked()); // the mark stays on
        QCOMPARE(standardButtons(), hebrew);

        choose(w, "mnuLangEnglish");
        const app::DesignLayout english = w.layoutTwips();
        QVERIFY(english != app::DesignLayout::designed());
        QCOMPARE(f.shared->CurrentLang, 100);
        QCOMPARE(button(w, "btnAdd")->text(), QStringLiteral("Add"));
        QCOMPARE(button(w, "btnQuit")->toolTip(), QStringLiteral("Quit program"));
        QCOMPARE(w.findChild<QMenu*>(QStringLiteral("mnuFile"))->title(), QStringLiteral("&File"));
        QCOMPARE(f.action("popSendMail")->text(), QStringLiteral("Send Email..."));
        QCOMPARE(w.grid()->TextMatrix(0, 0), QStringLiteral("Name\\Comapny"));
        QCOMPARE(w.tabs()->edge(), app::LetterTabs::Edge::Left); // count and direction as at a start in English
        // Texts that are the same in both languages stay.
        QCOMPARE(f.action("mnuImportVcard")->text(), QStringLiteral("Import vCard..."));
        QCOMPARE(standardButtons(), qtEnglish);
        // Not reloaded: the Hebrew cards stay listed under the Latin tabs until a tab is chosen.
        QCOMPARE(w.panelText(1), QStringLiteral(" Total Records 12"));
        QCOMPARE(f.shared->LetterFilter, u8("א"));
        QCOMPARE(w.grid()->TextMatrix(1, 0), u8("א0"));
        QCOMPARE(w.tabs()->currentIndex(), 0);
        choose(w, "mnuLangEnglish");
        QCOMPARE(w.layoutTwips(), english);
        QVERIFY(f.action("mnuLangEnglish")->isChecked() && !f.action("mnuLangHebrew")->isChecked());
        f.chooseGroup(0);
        QCOMPARE(w.grid()->TextMatrix(0, 4), QStringLiteral("Fax"));
        f.chooseGroup(1);
        QCOMPARE(w.groupBox()->currentText() + w.grid()->TextMatrix(0, 4), QStringLiteral("WorkDepartment"));
        QCOMPARE(w.groupText(), f.shared->GroupNameWork);

        choose(w, "mnuLangHebrew");
        QCOMPARE(w.layoutTwips(), app::DesignLayout::designed());
        QCOMPARE(f.action("popSendMail")->text(), u8("שלח דואר אלקטרוני...."));
        QCOMPARE(w.tabs()->edge(), app::LetterTabs::Edge::Right);
        QCOMPARE(standardButtons(), hebrew);
        // The catalogue leaves the direction of the other windows alone.
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
        QCOMPARE(w.groupBox()->currentText(), u8("עבודה")); // the group stays
        QCOMPARE(w.grid()->TextMatrix(0, 4), u8("מחלקה"));
        choose(w, "mnuLangEnglish");
        QCOMPARE(w.layoutTwips(), english);
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
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
