// The main window's commands driven through its real widgets: clicks, double clicks, keys,
// the wheel, the context menu, deletion.
#include "common/Fixture.h"

#include "search/SearchWindow.h"

#include <QAccessible>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>

#include <optional>

using app::FlexGrid;
using app::MainWindow;
using platform::Answer;
using platform::Message;

namespace {
QPoint headingCentre(FlexGrid& g, int col) {
    QHeaderView* h = g.horizontalHeader();
    return QPoint(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
}

Message question(const QString& text) {
    return {text, QStringLiteral("System Message"), platform::Buttons::OkCancel,
            platform::Icon::Question};
}
Message confirmDelete(const QString& name) {
    return question(QStringLiteral("Do you want delete '") + name +
                    QStringLiteral("' from record?"));
}
const Message deleted = notice(QStringLiteral("The record has been deleted"));
const Message nothingToDelete = notice(QStringLiteral("There is no record to delete"));

QStringList names(testing::RawDb& raw, const char* table) {
    return raw.rows(
        QStringLiteral("SELECT Name FROM %1 ORDER BY rowid").arg(QString::fromLatin1(table)));
}
} // namespace

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    void aDoubleClickOnAHeadingSortsTheRowsAndCommandsFollowTheCards() {
        Fixture f;
        const QString rest = ",NULL,NULL,NULL,NULL,NULL";
        MainWindow& w = f.open({card(u8("אבי"), "'30'" + rest), card(u8("אבנר"), "'4'" + rest),
                                card(u8("אגם"), "'100'" + rest)});
        FlexGrid& g = *w.grid();
        // The heading ignores a click; below the rows a double click neither sorts nor edits.
        QTest::mouseClick(g.horizontalHeader()->viewport(), Qt::LeftButton, {},
                          headingCentre(g, 0));
        const QPoint below(f.cellCentre(4, 0).x(),
                           g.visualRect(g.model().index(3, 0)).bottom() + 20);
        QVERIFY(g.viewport()->rect().contains(below));
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(f.prompter.messages(), QList<Message>{});
        QCOMPARE(w.editorWindow(), nullptr);
        QCOMPARE(w.listState().highlightedRow, 0);
        QCOMPARE(g.cellText(1, 1), QStringLiteral("30"));
        QTest::mouseDClick(g.horizontalHeader()->viewport(), Qt::LeftButton, {},
                           headingCentre(g, 1));
        QCOMPARE(f.prompter.messages(), QList<Message>{notice(QStringLiteral("sorting #1..."))});
        // Numbers sort by value; the empty row takes part and comes first, and is no card there.
        QCOMPARE(
            (QStringList{g.cellText(1, 1), g.cellText(2, 1), g.cellText(3, 1), g.cellText(4, 1)}),
            (QStringList{"", "4", "30", "100"}));
        f.clickCell(1, 0);
        QVERIFY(!f.enabled("btnEdit"));

        // The commands act on the card the user sees, not on the cursor's row of that number.
        f.prompter.clear();
        f.clickCell(2, 0); // the first card row now: אבנר, the cursor's second card
        f.press("btnDelete");
        QCOMPARE(f.prompter.messages(), (QList<Message>{confirmDelete(u8("אבנר")), deleted}));
        testing::RawDb raw(f.mdb());
        QCOMPARE(names(raw, "Vesk"), (QStringList{u8("אבי"), u8("אגם")}));
        // The refill lists the remaining cards in name order again.
        QCOMPARE(g.cellText(1, 0) + g.cellText(2, 0), u8("אביאגם"));
    }

    void editingAsksFirstAndOffersTheLastTwentyCharacters() {
        Fixture f;
        f.seed({});
        // Written without our width rule, as an older program could have left it.
        testing::RawDb(f.mdb()).exec("PRAGMA ignore_check_constraints = ON; INSERT INTO Vesk "
                                     "(Name) VALUES ('Abcde 7890123456789012345')");
        MainWindow& w = f.open({}, {}, 100);
        // A double click asks first; cancelled, no editor opens. The Edit button asks the same.
        const Message ask =
            question(QStringLiteral("Do you want updating 7890123456789012345 record?"));
        f.prompter.script({Answer::Cancel, Answer::Cancel});
        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, f.cellCentre(1, 3));
        QCOMPARE(w.editorWindow(), nullptr);
        f.clickCell(1, 0);
        f.press("btnEdit");
        QCOMPARE(f.prompter.messages(), (QList<Message>{ask, ask}));
        // The deletion cuts the same way and then finds no card stored under that name.
        f.prompter.clear();
        f.press("btnDelete");
        QCOMPARE(f.prompter.messages(), QList<Message>{nothingToDelete});
        // A click on the empty last row after a card leaves the card commands enabled. There
        // the Edit menu item does nothing, while the button asks about the row as it finds
        // it, and the deletion finds no card.
        f.clickCell(1, 0);
        f.clickCell(2, 0);
        f.prompter.clear();
        f.trigger("mnuEdit");
        QCOMPARE(f.prompter.messages(), QList<Message>{});
        f.prompter.script({Answer::Cancel});
        f.press("btnEdit");
        f.press("btnDelete");
        QCOMPARE(f.prompter.messages(),
                 (QList<Message>{
                     question(QStringLiteral("Do you want updating  record?")),
                     notice(QStringLiteral("No current record"), platform::Icon::Exclamation)}));
    }

    // Typing jumps to the first name with that start; Enter and Delete then act on it as a
    // double click and the Delete button do, and on nothing before a card is chosen.
    void aCardIsFoundEditedAndDeletedWithTheKeyboardAlone() {
        Fixture f;
        MainWindow& w = f.open(
            {card("Adam"), card("avner"), card("avi"), card("Avraham"), card("Avéline")}, {}, 100);
        FlexGrid& g = *w.grid();
        g.setFocus();
        QTest::keyClick(&g, Qt::Key_Return);
        QTest::keyClick(&g, Qt::Key_Delete);
        QVERIFY(f.prompter.messages().isEmpty());
        // Each step: the keys, the row then current and highlighted, the typed text kept. A
        // character that matches nothing stays in the typed text until Esc; case counts.
        const std::tuple<QString, int, QString> steps[] = {
            {"av", 2, "av"},   {"n", 3, "avn"}, {"qA", 3, "avnqA"}, {"\x1b", 3, ""},
            {"Avé", 5, "Avé"}, {"\x1b", 5, ""}, {"Av", 4, "Av"}};
        for (const auto& [keys, row, prefix] : steps) {
            for (const QChar key : keys) {
                if (key.unicode() < 0x80)
                    QTest::keyClick(&g, key.toLatin1());
                else // a key known by its text alone
                    QTest::sendKeyEvent(QTest::Click, &g, Qt::Key_unknown, QString(key), {});
            }
            QCOMPARE(QStringList({QString::number(g.currentRow()),
                                  QString::number(w.listState().highlightedRow),
                                  w.listState().typedPrefix}),
                     QStringList({QString::number(row), QString::number(row), prefix}));
        }
        QCOMPARE(w.indexBox()->text(), QString()); // the jump leaves the index box alone
        // Enter is the double click, not a character of the name.
        f.prompter.script({Answer::Cancel});
        QTest::keyClick(&g, Qt::Key_Enter);
        QCOMPARE(f.prompter.texts(),
                 QStringList{QStringLiteral("Do you want updating Avraham record?")});
        QCOMPARE(w.listState().typedPrefix, QStringLiteral("Av"));
        f.prompter.clear();
        QTest::keyClick(&g, Qt::Key_Delete);
        QCOMPARE(f.prompter.messages(),
                 (QList<Message>{confirmDelete(QStringLiteral("Avraham")), deleted}));
        QCOMPARE(f.shared->ListCount, 4);
    }

    void theWheelMovesOneRowPerNotchMessage() {
        Fixture f;
        QStringList cards;
        for (int i = 0; i < 60; ++i)
            cards << card(u8("א") + QString::number(100 + i));
        MainWindow& w = f.open(cards);
        FlexGrid& g = *w.grid();
        const QPoint at = g.viewport()->rect().center();
        auto wheel = [&](int delta) {
            QWheelEvent e(at, g.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(g.viewport(), &e);
        };
        for (const auto& [delta, top] : {std::pair{-120, 1}, {240, 2}, {0, 2}, {-360, 1}}) {
            wheel(delta);
            QCOMPARE(g.topRow(), top);
        }
    }

    void theRightButtonShowsTheContextMenuBesideThePointer() {
        Fixture f;
        MainWindow& w = f.open({card(u8("אבי"), QStringLiteral("'1','2','3','4',NULL,NULL")),
                                card(u8("אבנר"), QStringLiteral("'5',NULL,NULL,NULL,NULL,NULL"))});
        FlexGrid& g = *w.grid();
        QMenu* menu = f.menu("popFile");
        // A right press on a card selects it as a click does, so the menu's card commands act
        // on that card.
        QVERIFY(!f.enabled("mnuDel"));
        f.clickCell(1, 0, Qt::RightButton);
        QCOMPARE(g.currentRow(), 1);
        QCOMPARE(w.listState().highlightedRow, 1);
        QVERIFY(f.enabled("mnuDel"));
        QVERIFY(f.enabled("mnuEdit"));
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
        // Right to left the menu ends at the pointer, left to right it begins there.
        for (const int lang : {200, 100}) {
            if (lang == 100)
                f.trigger("mnuLangEnglish");
            f.clickCell(2, 3);
            f.clickCell(1, 1, Qt::RightButton);
            QCOMPARE(g.currentRow(), 1);
            QCOMPARE(QPoint(g.currentColumn(), w.listState().rememberedColumn), QPoint(1, 1));
            QTRY_VERIFY(menu->isVisible());
            const int pointer = g.viewport()->mapToGlobal(f.cellCentre(1, 1)).x();
            QVERIFY(qAbs((lang == 200 ? menu->geometry().right() + 1 : menu->geometry().left()) -
                         pointer) <= 2);
            menu->hide();
        }
        // On the heading the current cell stays; its column is remembered, not the heading's.
        w.listState().rememberedColumn = 0;
        QTest::mousePress(g.horizontalHeader()->viewport(), Qt::RightButton, {},
                          headingCentre(g, 3));
        QCOMPARE(w.listState().rememberedColumn, 1);
        QCOMPARE(w.listState().highlightedRow, 1);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
    }

    // Cancel leaves everything as it was; a name of twenty characters is found and deleted,
    // from the context menu too; the Work list deletes from Work only.
    void deletionConfirmsDeletesAndRefills() {
        Fixture f;
        const QString twenty = u8("אבגדהוזחטיכלמנסעפצקר");
        MainWindow& w = f.open({card(twenty), card(u8("אבי"))},
                               {card(u8("אבי"), "'12',NULL,NULL,NULL,NULL,NULL")});
        testing::RawDb raw(f.mdb());
        f.clickCell(1, 0);
        const QString index = w.indexBox()->text();
        f.prompter.script({Answer::Cancel});
        f.press("btnDelete");
        QCOMPARE(f.prompter.messages(), QList<Message>{confirmDelete(twenty)});
        QCOMPARE(w.indexBox()->text(), index);
        QCOMPARE(w.listState().highlightedRow, 1);
        f.prompter.clear();
        f.trigger("mnuDel");
        QCOMPARE(f.prompter.messages(), (QList<Message>{confirmDelete(twenty), deleted}));
        QCOMPARE(w.indexBox()->text(), QString());
        QCOMPARE(f.shared->ListCount, 1);

        f.chooseGroup(1);
        f.clickCell(1, 0);
        f.prompter.clear();
        f.press("btnDelete");
        QCOMPARE(f.prompter.messages(), (QList<Message>{confirmDelete(u8("אבי")), deleted}));
        QCOMPARE(names(raw, "Work") + names(raw, "Vesk"), QStringList{u8("אבי")});
    }

    void allDebugAndQuit() {
        Fixture f;
        MainWindow& w = f.open({card(u8("אבי")), card(u8("בני"))}, {card(u8("גל"))});
        f.press("btnAll");
        QCOMPARE(f.shared->LetterFilter, QStringLiteral("ALL"));
        QCOMPARE(w.panelText(2), QString());
        f.action("mnuDbg")->trigger();
        QCOMPARE(w.panelText(2), QStringLiteral("select * from Vesk order by Name ASC"));
        // Choosing the other group keeps the filter and shows its query.
        f.chooseGroup(1);
        QCOMPARE(f.shared->ListCount, 1);
        QCOMPARE(w.panelText(2), QStringLiteral("select * from Work order by Name ASC"));
        f.action("mnuDbg")->trigger();
        QCOMPARE(w.panelText(2), QString());

        QSignalSpy unloaded(&w, &MainWindow::unloaded);
        f.press("btnQuit");
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!w.isVisible());
        QCOMPARE(f.setting("Settings/ActiveLang"), QStringLiteral("200"));
    }

    // A click or the keyboard selects a card: highlight, index box, commands, dial and mail;
    // the keyboard keeps the typed prefix, a click clears it. Adam has every number and an
    // e-mail address; Avi neither a mobile number nor an e-mail address; Avner an e-mail address.
    void aCardIsSelectedByAClickOrTheKeyboard_data() {
        QTest::addColumn<QList<int>>("keys"); // none: a click on the cell
        QTest::addColumn<QPoint>("cell");     // column, row
        QTest::addColumn<QString>("index");
        QTest::addColumn<bool>("dial");
        QTest::addColumn<bool>("mail");
        const QString adam = "Adam 1 2 3 4", avi = "Avi 5  6 ";
        QTest::newRow("click") << QList<int>{} << QPoint(1, 2) << avi << true << false;
        QTest::newRow("down from nothing")
            << QList<int>{Qt::Key_Down} << QPoint(0, 1) << adam << true << true;
        QTest::newRow("up from nothing")
            << QList<int>{Qt::Key_Up} << QPoint(0, 1) << adam << true << true;
        QTest::newRow("down twice")
            << QList<int>{Qt::Key_Down, Qt::Key_Down} << QPoint(0, 2) << avi << true << false;
        QTest::newRow("end, up") << QList<int>{Qt::Key_End, Qt::Key_Up} << QPoint(0, 2) << avi
                                 << true << false;
        QTest::newRow("end, home")
            << QList<int>{Qt::Key_End, Qt::Key_Home} << QPoint(0, 1) << adam << true << true;
        QTest::newRow("page down stops at the last card")
            << QList<int>{Qt::Key_PageDown} << QPoint(0, 3) << "Avner 7   " << true << true;
        QTest::newRow("right onto an empty cell")
            << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Right} << QPoint(2, 2)
            << avi << false << false;
        QTest::newRow("left stops at the name")
            << QList<int>{Qt::Key_Down, Qt::Key_Left} << QPoint(0, 1) << adam << true << true;
    }
    void aCardIsSelectedByAClickOrTheKeyboard() {
        QFETCH(QList<int>, keys);
        QFETCH(QPoint, cell);
        QFETCH(QString, index);
        QFETCH(bool, dial);
        QFETCH(bool, mail);
        Fixture f;
        MainWindow& w = f.open({card("Adam", "'1','2','3','4',NULL,'a@x'"),
                                card("Avi", "'5',NULL,'6',NULL,NULL,NULL"),
                                card("Avner", "'7',NULL,NULL,NULL,NULL,'v@x'")},
                               {}, 100);
        FlexGrid& g = *w.grid();
        w.listState().typedPrefix = QStringLiteral("zz");
        for (int key : keys)
            QTest::keyClick(&g, Qt::Key(key));
        if (keys.isEmpty())
            f.clickCell(cell.y(), cell.x());
        QCOMPARE(QPoint(g.currentColumn(), g.currentRow()), cell);
        QCOMPARE(w.listState().highlightedRow, cell.y());
        QCOMPARE(g.model().cellBackground(cell.y() - 1, cell.x()), app::GridModel::darkBlue());
        // The fields as typed; each is isolated in its own direction, which is not compared here.
        QCOMPARE(w.indexBox()->text().remove(QChar(0x2068)).remove(QChar(0x2069)), index);
        for (const char* n : {"btnEdit", "btnDelete", "mnuEdit", "mnuDel", "mnuDialingNum"})
            QVERIFY2(f.enabled(n), n);
        QCOMPARE(QList<bool>({f.enabled("btnDial"), f.enabled("popDialing"), f.enabled("btnMail"),
                              f.enabled("mnuSendMail")}),
                 QList<bool>({dial, dial, mail, mail}));
        QCOMPARE(w.listState().typedPrefix, keys.isEmpty() ? QString() : QStringLiteral("zz"));
    }

    // A shortcut reaches its menu item, whatever the item does today (one table of keys: a
    // Ctrl key in Hebrew and F1 in English stand for it). Menus open with Alt
    // and their letter; in Hebrew the English letter serves too. Alt+G reaches the group box.
    void keysReachTheirTargets_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("target");
        const int ctrl = Qt::ControlModifier;
        const int alt = Qt::AltModifier;
        QTest::newRow("add") << 200 << ctrl << int(Qt::Key_N) << "mnuAdd";
        QTest::newRow("quit") << 200 << ctrl << int(Qt::Key_Q) << "mnuExit";
        QTest::newRow("about") << 100 << 0 << int(Qt::Key_F1) << "mnuAbout";
        QTest::newRow("English Alt F") << 100 << alt << int(Qt::Key_F) << "mnuFile";
        QTest::newRow("Hebrew Alt F") << 200 << alt << int(Qt::Key_F) << "mnuFile";
        QTest::newRow("Hebrew Alt and a Hebrew letter") << 200 << alt << int(u'ק') << "mnuFile";
        QTest::newRow("Hebrew Alt G") << 200 << alt << int(Qt::Key_G) << "cmbGroup";
    }
    void keysReachTheirTargets() {
        QFETCH(int, lang);
        QFETCH(int, modifiers);
        QFETCH(int, key);
        QFETCH(QString, target);
        Fixture f;
        MainWindow& w = f.open({card(u8("אבי")), card(QStringLiteral("Avi"))}, {}, lang);
        f.clickCell(1, 0);
        f.prompter.script({Answer::Cancel});
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QAction* item = w.findChild<QAction*>(target);
        std::optional<QSignalSpy> triggered;
        if (item)
            triggered.emplace(item, &QAction::triggered);
        // The key's own character, Hebrew letters included.
        const QString text =
            modifiers == Qt::AltModifier ? QString(QChar(char16_t(key)).toLower()) : QString();
        for (auto action : {QTest::Press, QTest::Release})
            QTest::sendKeyEvent(action, w.grid(), Qt::Key(key), text,
                                Qt::KeyboardModifiers(modifiers));
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
        QTest::newRow("editor") << "btnAdd"
                                << "Add New Phone Number";
        QTest::newRow("search") << "btnSearch"
                                << "Record Searching...";
    }
    void secondaryWindowsAreDialogsOverTheMainWindow() {
        QFETCH(QString, command);
        QFETCH(QString, caption);
        Fixture f;
        MainWindow& w = f.open({});
        w.move(60, 40);
        auto opened = [&]() -> QWidget* {
            return command == u"btnAdd" ? w.editorWindow() : w.searchWindow();
        };
        f.press(command.toLatin1().constData());
        QPointer<QWidget> win = opened();
        QVERIFY(win);
        QVERIFY(win->isVisible());
        QVERIFY(win->isWindow());
        QCOMPARE(win->parentWidget(), &w);
        QVERIFY(!win->isModal());
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(win);
        QCOMPARE(a11y->role(), QAccessible::Dialog);
        QCOMPARE(a11y->text(QAccessible::Name), caption);
        QVERIFY((win->frameGeometry().center() - w.frameGeometry().center()).manhattanLength() <=
                2);
        QVERIFY(win->screen()->availableGeometry().contains(win->frameGeometry()));

        // Moved by the user, it stays where it was put when the command brings it forward.
        win->move(win->pos() + QPoint(30, 20));
        const QPoint moved = win->pos();
        f.press(command.toLatin1().constData());
        QCOMPARE(opened(), win.data());
        QCOMPARE(win->pos(), moved);
        win->close();
        QTRY_VERIFY(!win);
    }

    // One action per command, shared by the menu bar, the pop-up menus and the buttons. Two
    // stand apart: the menu bar's Dial item (always enabled, unlike the context menu's item
    // and the button) and the notification-area menu's Search (a caption of its own); the
    // Edit button asks about any row, the Edit item only about a card.
    void theMenusAndButtonsShareTheCommands_data() {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QStringList>("commands"); // "-" a separator, "" no action
        QTest::newRow("context menu")
            << "popFile" << QStringList{"mnuAdd",      "mnuEdit", "mnuDel",    "-", "popDialing",
                                        "mnuSendMail", "-",       "mnuSearch", "-", "mnuPrint"};
        QTest::newRow("notification-area menu")
            << "mPopupSys" << QStringList{"mPopRestore", "mpopSearch", "-", "mnuExit"};
        QTest::newRow("buttons") << QString()
                                 << QStringList{"mnuAdd",      "",       "mnuSearch", "popDialing",
                                                "mnuSendMail", "mnuAll", "mnuDel",    "mnuExit"};
    }
    void theMenusAndButtonsShareTheCommands() {
        QFETCH(QString, holder);
        QFETCH(QStringList, commands);
        Fixture f;
        f.start({});
        QStringList shared;
        if (!holder.isEmpty()) {
            for (QAction* a : f.menu(holder.toLatin1().constData())->actions()) {
                shared << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
                QVERIFY2(a->isSeparator() || f.action(a->objectName().toLatin1()) == a,
                         qPrintable(a->objectName()));
            }
        } else {
            for (const char* name : {"btnAdd", "btnEdit", "btnSearch", "btnDial", "btnMail",
                                     "btnAll", "btnDelete", "btnQuit"}) {
                QAction* a = f.button(name)->defaultAction();
                shared << (a ? a->objectName() : QString());
            }
        }
        QCOMPARE(shared, commands);
    }

    // A command in two menus is, for a screen reader, an item of the menu that shows it:
    // there, visible, at its place in that menu, whichever menu was asked about first.
    void aSharedItemBelongsToTheMenuShowingIt_data() {
        QTest::addColumn<QString>("askedFirst");
        QTest::addColumn<QString>("shown");
        QTest::newRow("File menu, then the context menu") << "mnuFile"
                                                          << "popFile";
        QTest::newRow("context menu, then the File menu") << "popFile"
                                                          << "mnuFile";
        QTest::newRow("File menu, then the notification-area menu") << "mnuFile"
                                                                    << "mPopupSys";
    }
    void aSharedItemBelongsToTheMenuShowingIt() {
        QFETCH(QString, askedFirst);
        QFETCH(QString, shown);
        Fixture f;
        MainWindow& w = f.open({card(u8("אבי"), "'1',NULL,NULL,NULL,NULL,'a@b'")});
        f.clickCell(1, 1);
        auto items = [&f](const QString& name) {
            QMenu* menu = f.menu(name.toLatin1().constData());
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(menu);
            QList<QAccessibleInterface*> out;
            for (int i = 0; i < face->childCount(); ++i)
                if (face->child(i)->role() == QAccessible::MenuItem)
                    out << face->child(i);
            return out;
        };
        QVERIFY(!items(askedFirst).isEmpty());
        QMenu* menu = f.menu(shown.toLatin1().constData());
        if (shown == u"popFile")
            f.clickCell(1, 1, Qt::RightButton);
        else if (shown == u"mPopupSys")
            QTest::mouseClick(w.centralWidget(), Qt::RightButton, {},
                              QPoint(2, w.centralWidget()->height() - 2));
        else
            w.menuBar()->setActiveAction(menu->menuAction());
        QTRY_VERIFY(menu->isVisible());
        for (QAccessibleInterface* item : items(shown)) {
            const QString name = item->text(QAccessible::Name);
            QCOMPARE(item->parent()->object(), menu);
            QVERIFY2(!item->state().invisible, qPrintable(name));
            QVERIFY2(menu->geometry().contains(item->rect()), qPrintable(name));
        }
        menu->hide();
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
