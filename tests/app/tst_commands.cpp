// The main window's commands driven through its real widgets: clicks, double clicks, keys,
// the wheel, the context menu, deletion.
#include "Fixture.h"

#include "app/FlexGrid.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using app::FlexGrid;
using app::frmVesk;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::Message;

namespace {
QPoint cellCentre(FlexGrid& g, int row, int col) {
    return g.visualRect(g.model().index(row - 1, col)).center();
}

void clickCell(FlexGrid& g, int row, int col, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(g.viewport(), button, {}, cellCentre(g, row, col));
}

QPoint headingCentre(FlexGrid& g, int col) {
    QHeaderView* h = g.horizontalHeader();
    return QPoint(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
}

QToolButton* button(frmVesk& w, const char* name) { return w.findChild<QToolButton*>(QString::fromLatin1(name)); }

bool enabled(frmVesk& w, const char* name) {
    if (QAction* a = w.action(QString::fromLatin1(name)))
        return a->isEnabled();
    return button(w, name)->isEnabled();
}

Message confirmDelete(const QString& name) {
    return {QStringLiteral("Do you want delete '") + name + QStringLiteral("' from record?"),
            QStringLiteral("System Message"), Buttons::OkCancel, Icon::Question};
}

QStringList names(testing::RawDb& raw, const char* table) {
    return raw.rows(QStringLiteral("SELECT Name FROM %1 ORDER BY rowid").arg(QString::fromLatin1(table)));
}
} // namespace

class TestCommands : public QObject {
    Q_OBJECT

    // A loaded window over the given Personal and Work cards, shown, with no message pending.
    frmVesk& start(Fixture& f, const QStringList& vesk, const QStringList& work = {}, int lang = 200) {
        f.start(vesk, work, lang).show();
        return *f.window;
    }

private slots:
    void aCardClickSelectsTheRowAndEnablesItsCommands() {
        Fixture f;
        frmVesk& w = start(f, {card(u8("אבי"), QStringLiteral("'03-1',NULL,'02','04',NULL,'a@b.c'")),
                               card(u8("אבנר"), QStringLiteral("'03-2','050',NULL,NULL,NULL,NULL"))});
        FlexGrid& g = *w.grid();
        f.shared->TypedPrefix = QStringLiteral("x");
        clickCell(g, 1, 1);
        QCOMPARE(g.Row(), 1);
        QCOMPARE(f.shared->HighlightedRow, 1);
        QCOMPARE(g.model().cellBackground(0, 1), app::GridModel::darkBlue());
        QCOMPARE(w.indexBox()->text(), u8("אבי 03-1  02 04"));
        QCOMPARE(f.shared->TypedPrefix, QString());
        for (const char* n : {"popEdit", "popDel", "mnuEdit", "mnuDel", "btnDelete", "btnEdit", "popDialing", "btnDial",
                              "popSendMail", "mnuSendMail", "btnMail"})
            QVERIFY2(enabled(w, n), n);
        QCOMPARE(g.Col(), 1);

        // An empty Mobil cell: nothing to dial. The name cell of the same row: something to dial.
        clickCell(g, 1, 2);
        QVERIFY(!enabled(w, "btnDial"));
        QVERIFY(!enabled(w, "popDialing"));
        clickCell(g, 1, 0);
        QVERIFY(enabled(w, "btnDial"));

        // A card without e-mail cannot be mailed.
        clickCell(g, 2, 0);
        for (const char* n : {"popSendMail", "mnuSendMail", "btnMail"})
            QVERIFY2(!enabled(w, n), n);
        QCOMPARE(g.model().cellBackground(0, 1), w.grid()->model().row(0).back); // the first row is restored
        QCOMPARE(g.model().row(0).back, QColor(Qt::white));
    }

    void theHeadingAndTheEmptyRowIgnoreClicks() {
        Fixture f;
        frmVesk& w = start(f, {card(u8("אבי")), card(u8("אבנר"))});
        FlexGrid& g = *w.grid();
        clickCell(g, 3, 0); // the trailing empty row
        QCOMPARE(f.shared->HighlightedRow, 0);
        QCOMPARE(w.indexBox()->text(), QString());
        QVERIFY(!enabled(w, "btnEdit"));
        clickCell(g, 2, 0);
        QTest::mouseClick(g.horizontalHeader()->viewport(), Qt::LeftButton, {}, headingCentre(g, 0));
        QCOMPARE(g.MouseRow(), 0);
        QCOMPARE(f.shared->HighlightedRow, 2);
        QCOMPARE(w.indexBox()->text(), u8("אבנר    "));
        QVERIFY(enabled(w, "btnEdit"));
        QVERIFY(f.prompter.messages().isEmpty());
    }

    void aDoubleClickOnAHeadingSortsTheRowsAndCommandsFollowTheCards() {
        Fixture f;
        frmVesk& w = start(f, {card(u8("אבי"), QStringLiteral("'30',NULL,NULL,NULL,NULL,NULL")),
                               card(u8("אבנר"), QStringLiteral("'4',NULL,NULL,NULL,NULL,NULL")),
                               card(u8("אגם"), QStringLiteral("'100',NULL,NULL,NULL,NULL,NULL"))});
        FlexGrid& g = *w.grid();
        QTest::mouseDClick(g.horizontalHeader()->viewport(), Qt::LeftButton, {}, headingCentre(g, 1));
        QCOMPARE(f.prompter.messages(), QList<Message>{notice(QStringLiteral("sorting #1..."))});
        // Numbers sort by value; the empty row takes part and comes first.
        QCOMPARE(g.TextMatrix(1, 1), QString());
        QCOMPARE(g.TextMatrix(2, 1), QStringLiteral("4"));
        QCOMPARE(g.TextMatrix(3, 1), QStringLiteral("30"));
        QCOMPARE(g.TextMatrix(4, 1), QStringLiteral("100"));
        QCOMPARE(g.TextMatrix(0, 1), u8("טל' בבית"));
        // The empty row is no card even at the top; the last row is one.
        clickCell(g, 1, 0);
        QVERIFY(!enabled(w, "btnEdit"));
        clickCell(g, 4, 0);
        QCOMPARE(w.indexBox()->text(), u8("אגם 100   "));

        // The commands act on the card the user sees, not on the cursor's row of that number.
        f.prompter.clear();
        clickCell(g, 2, 0); // the first card row now: אבנר, the cursor's second card
        QTest::mouseClick(button(w, "btnDelete"), Qt::LeftButton);
        QCOMPARE(f.prompter.messages(), (QList<Message>{confirmDelete(u8("אבנר")), notice(QStringLiteral("The record has been deleted"))}));
        testing::RawDb raw(f.mdb());
        QCOMPARE(names(raw, "Vesk"), (QStringList{u8("אבי"), u8("אגם")}));
        // The refill lists the remaining cards in name order again.
        QCOMPARE(g.TextMatrix(1, 0), u8("אבי"));
        QCOMPARE(g.TextMatrix(2, 0), u8("אגם"));
        QCOMPARE(w.indexBox()->text(), QString());
    }

    void editingAsksFirstAndOffersTheLastTwentyCharacters() {
        Fixture f;
        frmVesk& w = start(f, {card(QStringLiteral("Anna")), card(QStringLiteral("Avi"))}, {}, 100);
        FlexGrid& g = *w.grid();
        f.prompter.script({Answer::Cancel});
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, cellCentre(g, 2, 3));
        const Message ask{QStringLiteral("Do you want updating Avi record?"), QStringLiteral("System Message"),
                          Buttons::OkCancel, Icon::Question};
        QCOMPARE(f.prompter.messages(), QList<Message>{ask});
        QCOMPARE(w.editorWindow(), nullptr);
        QCOMPARE(f.shared->SelectedName, QStringLiteral("Avi"));
        QVERIFY(!f.shared->UpdateMode);
    }

    void aLongNameIsOfferedByItsLastTwentyCharacters() {
        Fixture f;
        f.seed({});
        {
            // Written without our width rule, as an older program could have left it.
            testing::RawDb raw(f.mdb());
            raw.exec(QStringLiteral("PRAGMA ignore_check_constraints = ON"));
            raw.exec(QStringLiteral("INSERT INTO Vesk (Name) VALUES ('Abcde 7890123456789012345')"));
        }
        f.settings.setValue(QStringLiteral("Settings/ActiveLang"), QStringLiteral("100"));
        f.load();
        f.window->show();
        f.prompter.clear();
        FlexGrid& g = *f.window->grid();
        f.prompter.script({Answer::Cancel});
        clickCell(g, 1, 0);
        QTest::mouseClick(button(*f.window, "btnEdit"), Qt::LeftButton);
        QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("Do you want updating 7890123456789012345 record?")});
        // The deletion cuts the same way and then finds no card stored under that name.
        f.prompter.clear();
        f.window->btnDelete_Click();
        QCOMPARE(f.prompter.messages(), QList<Message>{notice(QStringLiteral("There is no record to delete"))});
    }

    void typingJumpsToTheFirstNameWithThatStart() {
        Fixture f;
        frmVesk& w = start(f, {card(QStringLiteral("Adam")), card(QStringLiteral("avner")), card(QStringLiteral("avi")),
                               card(QStringLiteral("Avraham"))}, {}, 100);
        FlexGrid& g = *w.grid();
        QCOMPARE(g.TextMatrix(2, 0), QStringLiteral("avi"));
        g.setFocus();
        QTest::keyClicks(&g, QStringLiteral("av"));
        QCOMPARE(f.shared->TypedPrefix, QStringLiteral("av"));
        QCOMPARE(g.Row(), 2);
        QCOMPARE(f.shared->HighlightedRow, 2);
        QCOMPARE(g.model().cellBackground(1, 0), app::GridModel::darkBlue());
        QCOMPARE(w.indexBox()->text(), QString()); // the jump leaves the index box alone
        QTest::keyClicks(&g, QStringLiteral("n"));
        QCOMPARE(g.Row(), 3);
        // A character that matches nothing stays in the typed text until Esc.
        QTest::keyClicks(&g, QStringLiteral("q"));
        QCOMPARE(g.Row(), 3);
        QTest::keyClicks(&g, QStringLiteral("A"));
        QCOMPARE(g.Row(), 3);
        QCOMPARE(f.shared->TypedPrefix, QStringLiteral("avnqA"));
        QTest::keyClick(&g, Qt::Key_Escape);
        QCOMPARE(f.shared->TypedPrefix, QString());
        QTest::keyClicks(&g, QStringLiteral("Av"));
        QCOMPARE(g.Row(), 4); // case-sensitive
    }

    void theWheelMovesOneRowPerNotchMessage() {
        Fixture f;
        QStringList cards;
        for (int i = 0; i < 60; ++i)
            cards << card(u8("א") + QString::number(100 + i));
        frmVesk& w = start(f, cards);
        FlexGrid& g = *w.grid();
        QCOMPARE(g.TopRow(), 1);
        const QPoint at = g.viewport()->rect().center();
        auto wheel = [&](int delta) {
            QWheelEvent e(at, g.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
            QApplication::sendEvent(g.viewport(), &e);
        };
        wheel(-120);
        QCOMPARE(g.TopRow(), 1);
        wheel(240);
        QCOMPARE(g.TopRow(), 2);
        wheel(0);
        QCOMPARE(g.TopRow(), 2);
        wheel(-360);
        QCOMPARE(g.TopRow(), 1);
        // After unloading the hook is gone and the grid scrolls on its own again.
        w.RemoveWheelHook();
        wheel(-120);
        wheel(240);
        QVERIFY(g.TopRow() != 2 || g.verticalScrollBar()->singleStep() != 1);
    }

    void theRightButtonShowsTheContextMenuBesideThePointer() {
        Fixture f;
        frmVesk& w = start(f, {card(u8("אבי"), QStringLiteral("'1','2','3','4',NULL,NULL"))});
        FlexGrid& g = *w.grid();
        clickCell(g, 1, 3);
        clickCell(g, 1, 1, Qt::RightButton);
        QCOMPARE(g.Col(), 3); // the right button does not move the current cell
        QCOMPARE(f.shared->RememberedColumn, 3);
        QMenu* menu = w.popupMenu();
        QTRY_VERIFY(menu->isVisible());
        const QPoint pointer = g.viewport()->mapToGlobal(cellCentre(g, 1, 1));
        QVERIFY(qAbs(menu->geometry().right() + 1 - pointer.x()) <= 2);
        menu->hide();

        w.SetLanguage(100);
        clickCell(g, 1, 1, Qt::RightButton);
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(qAbs(menu->geometry().left() - g.viewport()->mapToGlobal(cellCentre(g, 1, 1)).x()) <= 2);
        menu->hide();
    }

    void deletionConfirmsDeletesAndRefills() {
        Fixture f;
        const QString twenty = u8("אבגדהוזחטיכלמנסעפצקר");
        QCOMPARE(twenty.size(), 20);
        frmVesk& w = start(f, {card(twenty), card(u8("אבי")), card(u8("אבן  "))},
                           {card(u8("אבי"), QStringLiteral("'12',NULL,NULL,NULL,NULL,NULL"))});
        FlexGrid& g = *w.grid();
        testing::RawDb raw(f.mdb());

        // Cancel: nothing happens at all.
        clickCell(g, 1, 0);
        const QString index = w.indexBox()->text();
        f.prompter.script({Answer::Cancel});
        QTest::mouseClick(button(w, "btnDelete"), Qt::LeftButton);
        QCOMPARE(f.prompter.messages(), QList<Message>{confirmDelete(twenty)});
        QCOMPARE(w.indexBox()->text(), index);
        QCOMPARE(f.shared->HighlightedRow, 1);
        QCOMPARE(raw.scalar(QStringLiteral("SELECT count(*) FROM Vesk")), QStringLiteral("3"));

        // A name of twenty characters is found and deleted.
        f.prompter.clear();
        w.action(QStringLiteral("popDel"))->trigger();
        QCOMPARE(f.prompter.messages(), (QList<Message>{confirmDelete(twenty), notice(QStringLiteral("The record has been deleted"))}));
        QCOMPARE(names(raw, "Vesk"), (QStringList{u8("אבי"), u8("אבן  ")}));
        QCOMPARE(w.indexBox()->text(), QString());
        QCOMPARE(f.shared->ListCount, 2);

        // A stored name with trailing blanks is never the name shown; the grid is refilled.
        clickCell(g, 2, 0);
        f.prompter.clear();
        w.action(QStringLiteral("mnuDel"))->trigger();
        QCOMPARE(f.prompter.messages(), QList<Message>{notice(QStringLiteral("There is no record to delete"))});
        QCOMPARE(w.indexBox()->text(), QString());
        QCOMPARE(f.shared->HighlightedRow, 0);

        // The Work list deletes from Work only.
        f.chooseGroup(1);
        QCOMPARE(g.TextMatrix(1, 3), QStringLiteral("12"));
        clickCell(g, 1, 0);
        f.prompter.clear();
        w.btnDelete_Click();
        QCOMPARE(f.prompter.texts().value(1), QStringLiteral("The record has been deleted"));
        QCOMPARE(raw.scalar(QStringLiteral("SELECT count(*) FROM Work")), QStringLiteral("0"));
        QCOMPARE(names(raw, "Vesk"), (QStringList{u8("אבי"), u8("אבן  ")}));

        // Another program deletes a card the grid shows, and a new card takes its identity:
        // the file no longer holds the name at that row, so nothing is deleted.
        f.chooseGroup(0);
        clickCell(g, 1, 0);
        const QString rowid = raw.scalar(u8("SELECT rowid FROM Vesk WHERE Name = 'אבי'"));
        raw.exec(u8("DELETE FROM Vesk WHERE Name = 'אבי'"));
        raw.exec(QStringLiteral("INSERT INTO Vesk (rowid, Name, Phone) VALUES (%1, 'Zed', '1')").arg(rowid));
        f.prompter.clear();
        w.btnDelete_Click();
        QCOMPARE(f.prompter.messages(),
                 (QList<Message>{confirmDelete(u8("אבי")), notice(QStringLiteral("There is no record to delete"))}));
        QCOMPARE(names(raw, "Vesk"), (QStringList{QStringLiteral("Zed"), u8("אבן  ")}));
        QCOMPARE(f.shared->ListCount, 1); // refilled
        QCOMPARE(g.TextMatrix(1, 0), u8("אבן"));
    }

    void deletingWithNoCardListedReportsTheError() {
        Fixture f;
        frmVesk& w = start(f, {});
        w.btnDelete_Click();
        QCOMPARE(f.prompter.messages(), QList<Message>{notice(QStringLiteral("No current record"), Icon::Exclamation)});
    }

    void allDebugAndQuit() {
        Fixture f;
        frmVesk& w = start(f, {card(u8("אבי")), card(u8("בני"))}, {card(u8("גל"))});
        QTest::mouseClick(button(w, "btnAll"), Qt::LeftButton);
        QCOMPARE(f.shared->LetterFilter, QStringLiteral("ALL"));
        QCOMPARE(f.shared->ListCount, 2);
        QCOMPARE(w.panelText(1), QStringLiteral(" Total Records 2"));
        QCOMPARE(w.panelText(2), QString());
        w.action(QStringLiteral("mnuDbg"))->trigger();
        QCOMPARE(w.panelText(2), QStringLiteral("select * from Vesk order by Name ASC"));
        // Choosing the other group keeps the filter and shows its query.
        f.chooseGroup(1);
        QCOMPARE(f.shared->ListCount, 1);
        QCOMPARE(w.panelText(2), QStringLiteral("select * from Work order by Name ASC"));
        w.action(QStringLiteral("mnuDbg"))->trigger();
        QCOMPARE(w.panelText(2), QString());

        QSignalSpy unloaded(&w, &frmVesk::unloaded);
        QTest::mouseClick(button(w, "btnQuit"), Qt::LeftButton);
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!w.isVisible());
        f.settings.sync();
        QCOMPARE(f.settings.value(QStringLiteral("Settings/ActiveLang")).toString(), QStringLiteral("200"));
    }

    void resizingTheWindowMovesTheControlsByTheDifference() {
        Fixture f;
        frmVesk& w = start(f, {});
        const auto before = w.layoutTwips();
        const int lastWidth = w.LastWidth();
        const int lastHeight = w.LastHeight();
        w.resize(w.width() + 66, w.height() + 33);
        const int dW = w.LastWidth() - lastWidth;
        const int dH = w.LastHeight() - lastHeight;
        QVERIFY(dW > 900 && dH > 400);
        const auto& now = w.layoutTwips();
        QCOMPARE(now.at(QStringLiteral("MSHFlexGrid1")).width - before.at(QStringLiteral("MSHFlexGrid1")).width, dW);
        QCOMPARE(now.at(QStringLiteral("cmbGroup")).left - before.at(QStringLiteral("cmbGroup")).left, dW);
        QCOMPARE(now.at(QStringLiteral("StatusBar1")).top - before.at(QStringLiteral("StatusBar1")).top, dH);
        QCOMPARE(now.at(QStringLiteral("TabVesk")).height - before.at(QStringLiteral("TabVesk")).height, dH);
        QCOMPARE(now.at(QStringLiteral("btnAdd")), before.at(QStringLiteral("btnAdd")));
        QCOMPARE(w.grid()->width(), app::Twips(w.logicalDpiX()).px(now.at(QStringLiteral("MSHFlexGrid1")).width));
    }

    void minimisingWithoutANotificationIconKeepsTheWindowReachable() {
        Fixture f;
        frmVesk& w = start(f, {});
        w.showMinimized();
        QTRY_VERIFY(w.isMinimized());
        QVERIFY(w.isVisible());
        w.showNormal();
        QTRY_VERIFY(!w.isMinimized());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
