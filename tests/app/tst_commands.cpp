// The main window's commands driven through its real widgets: clicks, double clicks, keys,
// the wheel, the context menu, deletion.
#include "common/Fixture.h"

#include "app/FlexGrid.h"
#include "search/SearchFrm.h"

#include <QAccessible>

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <optional>

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
    if (QAction* a = w.findChild<QAction*>(QString::fromLatin1(name)))
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
        clickCell(g, 3, 0); // the trailing empty row is no card
        QCOMPARE(f.window->listState().HighlightedRow, 0);
        QCOMPARE(w.indexBox()->text(), QString());
        QVERIFY(!enabled(w, "btnEdit"));
        f.window->listState().TypedPrefix = QStringLiteral("x");
        clickCell(g, 1, 1);
        QCOMPARE(g.Row(), 1);
        QCOMPARE(f.window->listState().HighlightedRow, 1);
        QCOMPARE(g.model().cellBackground(0, 1), app::GridModel::darkBlue());
        QCOMPARE(w.indexBox()->text(), u8("אבי 03-1  02 04"));
        QCOMPARE(f.window->listState().TypedPrefix, QString());
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
        QCOMPARE(g.model().cellBackground(0, 1), QColor(Qt::white)); // the first row is restored

        // The heading ignores a click; below the rows a double click neither sorts nor edits.
        QTest::mouseClick(g.horizontalHeader()->viewport(), Qt::LeftButton, {}, headingCentre(g, 0));
        QCOMPARE(g.MouseRow(), 0);
        QCOMPARE(f.window->listState().HighlightedRow, 2);
        QCOMPARE(w.indexBox()->text(), u8("אבנר 03-2 050  "));
        QVERIFY(enabled(w, "btnEdit"));
        const QPoint below(cellCentre(g, 3, 0).x(), g.visualRect(g.model().index(2, 0)).bottom() + 20);
        QVERIFY(g.viewport()->rect().contains(below));
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(g.TextMatrix(1, 0), u8("אבי"));
        QCOMPARE(w.editorWindow(), nullptr);
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
        // A double click asks first; cancelled, no editor opens.
        f.prompter.script({Answer::Cancel});
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, cellCentre(g, 1, 3));
        const Message ask{QStringLiteral("Do you want updating 7890123456789012345 record?"),
                          QStringLiteral("System Message"), Buttons::OkCancel, Icon::Question};
        QCOMPARE(f.prompter.messages(), QList<Message>{ask});
        QCOMPARE(f.window->editorWindow(), nullptr);
        f.prompter.clear();
        f.prompter.script({Answer::Cancel});
        clickCell(g, 1, 0);
        QTest::mouseClick(button(*f.window, "btnEdit"), Qt::LeftButton);
        QCOMPARE(f.prompter.messages(), QList<Message>{ask});
        // The deletion cuts the same way and then finds no card stored under that name.
        f.prompter.clear();
        f.window->btnDelete_Click();
        QCOMPARE(f.prompter.messages(), QList<Message>{notice(QStringLiteral("There is no record to delete"))});
    }

    // Typing jumps to the first name with that start; Enter and Delete then act on it as a
    // double click and the Delete button do, and on nothing before a card is chosen.
    void aCardIsFoundEditedAndDeletedWithTheKeyboardAlone() {
        Fixture f;
        frmVesk& w = start(f, {card(QStringLiteral("Adam")), card(QStringLiteral("avner")), card(QStringLiteral("avi")),
                               card(QStringLiteral("Avraham"))}, {}, 100);
        FlexGrid& g = *w.grid();
        g.setFocus();
        QTest::keyClick(&g, Qt::Key_Return);
        QTest::keyClick(&g, Qt::Key_Delete);
        QVERIFY(f.prompter.messages().isEmpty());
        QCOMPARE(g.TextMatrix(2, 0), QStringLiteral("avi"));
        QTest::keyClicks(&g, QStringLiteral("av"));
        QCOMPARE(f.window->listState().TypedPrefix, QStringLiteral("av"));
        QCOMPARE(g.Row(), 2);
        QCOMPARE(f.window->listState().HighlightedRow, 2);
        QCOMPARE(g.model().cellBackground(1, 0), app::GridModel::darkBlue());
        QCOMPARE(w.indexBox()->text(), QString()); // the jump leaves the index box alone
        QTest::keyClicks(&g, QStringLiteral("n"));
        QCOMPARE(g.Row(), 3);
        // A character that matches nothing stays in the typed text until Esc.
        QTest::keyClicks(&g, QStringLiteral("q"));
        QCOMPARE(g.Row(), 3);
        QTest::keyClicks(&g, QStringLiteral("A"));
        QCOMPARE(g.Row(), 3);
        QCOMPARE(f.window->listState().TypedPrefix, QStringLiteral("avnqA"));
        QTest::keyClick(&g, Qt::Key_Escape);
        QCOMPARE(f.window->listState().TypedPrefix, QString());
        QTest::keyClicks(&g, QStringLiteral("Av"));
        QCOMPARE(g.Row(), 4); // case-sensitive
        // Enter is the double click, not a character of the name.
        f.prompter.script({Answer::Cancel});
        QTest::keyClick(&g, Qt::Key_Enter);
        QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("Do you want updating Avraham record?")});
        QCOMPARE(f.window->listState().TypedPrefix, QStringLiteral("Av"));
        f.prompter.clear();
        QTest::keyClick(&g, Qt::Key_Delete);
        QCOMPARE(f.prompter.messages(), (QList<Message>{confirmDelete(QStringLiteral("Avraham")),
                                                        notice(QStringLiteral("The record has been deleted"))}));
        QCOMPARE(f.shared->ListCount, 3);
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
        QCOMPARE(f.window->listState().RememberedColumn, 3);
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

        // On the heading too; the current column is remembered, not the heading's.
        f.window->listState().RememberedColumn = 0;
        QTest::mousePress(g.horizontalHeader()->viewport(), Qt::RightButton, {}, headingCentre(g, 1));
        QCOMPARE(f.window->listState().RememberedColumn, g.Col());
        QVERIFY(g.Col() != 1);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
    }

    void deletionConfirmsDeletesAndRefills() {
        Fixture f;
        const QString twenty = u8("אבגדהוזחטיכלמנסעפצקר");
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
        QCOMPARE(f.window->listState().HighlightedRow, 1);
        QCOMPARE(raw.scalar(QStringLiteral("SELECT count(*) FROM Vesk")), QStringLiteral("3"));

        // A name of twenty characters is found and deleted.
        f.prompter.clear();
        w.findChild<QAction*>(QStringLiteral("popDel"))->trigger();
        QCOMPARE(f.prompter.messages(), (QList<Message>{confirmDelete(twenty), notice(QStringLiteral("The record has been deleted"))}));
        QCOMPARE(names(raw, "Vesk"), (QStringList{u8("אבי"), u8("אבן  ")}));
        QCOMPARE(w.indexBox()->text(), QString());
        QCOMPARE(f.shared->ListCount, 2);

        // A stored name with trailing blanks is never the name shown; the grid is refilled.
        clickCell(g, 2, 0);
        f.prompter.clear();
        w.findChild<QAction*>(QStringLiteral("mnuDel"))->trigger();
        QCOMPARE(f.prompter.messages(), QList<Message>{notice(QStringLiteral("There is no record to delete"))});
        QCOMPARE(w.indexBox()->text(), QString());
        QCOMPARE(f.window->listState().HighlightedRow, 0);

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

    void allDebugAndQuit() {
        Fixture f;
        frmVesk& w = start(f, {card(u8("אבי")), card(u8("בני"))}, {card(u8("גל"))});
        QTest::mouseClick(button(w, "btnAll"), Qt::LeftButton);
        QCOMPARE(f.shared->LetterFilter, QStringLiteral("ALL"));
        QCOMPARE(f.shared->ListCount, 2);
        QCOMPARE(w.panelText(1), QStringLiteral(" Total Records 2"));
        QCOMPARE(w.panelText(2), QString());
        w.findChild<QAction*>(QStringLiteral("mnuDbg"))->trigger();
        QCOMPARE(w.panelText(2), QStringLiteral("select * from Vesk order by Name ASC"));
        // Choosing the other group keeps the filter and shows its query.
        f.chooseGroup(1);
        QCOMPARE(f.shared->ListCount, 1);
        QCOMPARE(w.panelText(2), QStringLiteral("select * from Work order by Name ASC"));
        w.findChild<QAction*>(QStringLiteral("mnuDbg"))->trigger();
        QCOMPARE(w.panelText(2), QString());

        QSignalSpy unloaded(&w, &frmVesk::unloaded);
        QTest::mouseClick(button(w, "btnQuit"), Qt::LeftButton);
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!w.isVisible());
        f.settings.sync();
        QCOMPARE(f.settings.value(QStringLiteral("Settings/ActiveLang")).toString(), QStringLiteral("200"));
    }

    // The keyboard selects as a click does (highlight, index box, commands, dial and mail)
    // but keeps the typed prefix. Adam has every number and an e-mail address; Avi neither
    // a mobile number nor an e-mail address; Avner an e-mail address.
    void theKeyboardSelectsAsAClickDoes_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("dial");
        QTest::addColumn<bool>("mail");
        QTest::newRow("down from nothing") << QList<int>{Qt::Key_Down} << 1 << 0 << true << true;
        QTest::newRow("up from nothing") << QList<int>{Qt::Key_Up} << 1 << 0 << true << true;
        QTest::newRow("down twice") << QList<int>{Qt::Key_Down, Qt::Key_Down} << 2 << 0 << true << false;
        QTest::newRow("end") << QList<int>{Qt::Key_End} << 3 << 0 << true << true;
        QTest::newRow("end, up") << QList<int>{Qt::Key_End, Qt::Key_Up} << 2 << 0 << true << false;
        QTest::newRow("end, home") << QList<int>{Qt::Key_End, Qt::Key_Home} << 1 << 0 << true << true;
        QTest::newRow("page down stops at the last card") << QList<int>{Qt::Key_PageDown} << 3 << 0 << true << true;
        QTest::newRow("right onto an empty cell")
            << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Right} << 2 << 2 << false << false;
        QTest::newRow("left stops at the name") << QList<int>{Qt::Key_Down, Qt::Key_Left} << 1 << 0 << true << true;
    }
    void theKeyboardSelectsAsAClickDoes() {
        QFETCH(QList<int>, keys);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(bool, dial);
        QFETCH(bool, mail);
        Fixture f;
        frmVesk& w = start(f, {card(QStringLiteral("Adam"), QStringLiteral("'1','2','3','4',NULL,'a@x'")),
                               card(QStringLiteral("Avi"), QStringLiteral("'5',NULL,'6',NULL,NULL,NULL")),
                               card(QStringLiteral("Avner"), QStringLiteral("'7',NULL,NULL,NULL,NULL,'v@x'"))},
                           {}, 100);
        FlexGrid& g = *w.grid();
        f.window->listState().TypedPrefix = QStringLiteral("zz");
        for (int key : keys)
            QTest::keyClick(&g, Qt::Key(key));
        QCOMPARE(QPoint(g.Col(), g.Row()), QPoint(col, row));
        QCOMPARE(f.window->listState().HighlightedRow, row);
        QCOMPARE(g.model().cellBackground(row - 1, col), app::GridModel::darkBlue());
        QVERIFY(w.indexBox()->text().startsWith(g.TextMatrix(row, 0) + u' '));
        for (const char* n : {"btnEdit", "btnDelete", "mnuEdit", "popDel"})
            QVERIFY2(enabled(w, n), n);
        QCOMPARE(enabled(w, "btnDial"), dial);
        QCOMPARE(enabled(w, "btnMail"), mail);
        QCOMPARE(f.window->listState().TypedPrefix, QStringLiteral("zz"));
    }

    // Each shortcut reaches its menu item, whatever the item does today. Menus open with Alt
    // and their letter; in Hebrew the English letter serves too. Alt+G reaches the group box.
    void keysReachTheirTargets_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("target");
        const int ctrl = Qt::ControlModifier;
        const int alt = Qt::AltModifier;
        QTest::newRow("add") << 200 << ctrl << int(Qt::Key_N) << "mnuAdd";
        QTest::newRow("edit") << 200 << ctrl << int(Qt::Key_E) << "mnuEdit";
        QTest::newRow("search") << 200 << ctrl << int(Qt::Key_F) << "mnuSearch";
        QTest::newRow("print") << 200 << ctrl << int(Qt::Key_P) << "mnuPrint";
        QTest::newRow("quit") << 200 << ctrl << int(Qt::Key_Q) << "mnuExit";
        QTest::newRow("about") << 100 << 0 << int(Qt::Key_F1) << "mnuAbout";
        QTest::newRow("English Alt F") << 100 << alt << int(Qt::Key_F) << "mnuFile";
        QTest::newRow("Hebrew Alt F") << 200 << alt << int(Qt::Key_F) << "mnuFile";
        QTest::newRow("Hebrew Alt V") << 200 << alt << int(Qt::Key_V) << "mnuView";
        QTest::newRow("Hebrew Alt and a Hebrew letter") << 200 << alt << int(u'ק') << "mnuFile";
        QTest::newRow("English Alt G") << 100 << alt << int(Qt::Key_G) << "cmbGroup";
        QTest::newRow("Hebrew Alt G") << 200 << alt << int(Qt::Key_G) << "cmbGroup";
    }
    void keysReachTheirTargets() {
        QFETCH(int, lang);
        QFETCH(int, modifiers);
        QFETCH(int, key);
        QFETCH(QString, target);
        Fixture f;
        frmVesk& w = start(f, {card(u8("אבי")), card(QStringLiteral("Avi"))}, {}, lang);
        clickCell(*w.grid(), 1, 0);
        f.prompter.script({Answer::Cancel});
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QAction* item = w.findChild<QAction*>(target);
        std::optional<QSignalSpy> triggered;
        if (item)
            triggered.emplace(item, &QAction::triggered);
        // The key's own character, Hebrew letters included.
        const QString text = modifiers == Qt::AltModifier ? QString(QChar(char16_t(key)).toLower()) : QString();
        for (auto action : {QTest::Press, QTest::Release})
            QTest::sendKeyEvent(action, w.grid(), Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
        if (item) {
            QCOMPARE(triggered->count(), 1);
        } else if (auto* menu = w.findChild<QMenu*>(target)) {
            QTRY_VERIFY(menu->isVisible());
            menu->hide();
        } else {
            QCOMPARE(QApplication::focusWidget(), w.groupBox());
        }
    }

    // The editor and the search window are dialogs of their own, named by their captions,
    // centred over the main window, non-modal, one of each, gone when closed.
    void secondaryWindowsAreDialogsOverTheMainWindow_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("caption");
        QTest::newRow("editor") << "btnAdd" << "Add New Phone Number";
        QTest::newRow("search") << "btnSearch" << "Record Searching...";
    }
    void secondaryWindowsAreDialogsOverTheMainWindow() {
        QFETCH(QString, command);
        QFETCH(QString, caption);
        Fixture f;
        frmVesk& w = start(f, {});
        w.move(60, 40);
        const bool editor = command == u"btnAdd";
        auto opened = [&]() -> QWidget* { return editor ? w.editorWindow() : w.searchWindow(); };
        QTest::mouseClick(button(w, command.toLatin1().constData()), Qt::LeftButton);
        QPointer<QWidget> win = opened();
        QVERIFY(win && win->isVisible() && win->isWindow() && win->parentWidget() == &w && !win->isModal());
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(win);
        QCOMPARE(a11y->role(), QAccessible::Dialog);
        QCOMPARE(a11y->text(QAccessible::Name), caption);
        const QPoint offset = win->frameGeometry().center() - w.frameGeometry().center();
        QVERIFY(offset.manhattanLength() <= 2);
        QVERIFY(win->screen()->availableGeometry().contains(win->frameGeometry()));

        // Moved by the user, it stays where it was put when the command brings it forward.
        win->move(win->pos() + QPoint(30, 20));
        const QPoint moved = win->pos();
        QTest::mouseClick(button(w, command.toLatin1().constData()), Qt::LeftButton);
        QCOMPARE(opened(), win.data());
        QCOMPARE(win->pos(), moved);
        win->close();
        QTRY_VERIFY(!win);
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
