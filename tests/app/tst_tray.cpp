// The notification-area icon: added at load, removed at the end, the window hidden into it
// on minimise and brought back by a double click or its menu.
#include "common/Fixture.h"

#include "search/SearchWindow.h"

#include <QLineEdit>
#include <QMenu>

using app::MainWindow;

class TestTray : public QObject {
    Q_OBJECT

    // The main window loaded with a notification area to put its icon in.
    static MainWindow& start(Fixture& f, int lang = 200) {
        f.tray.available = true;
        return f.start({}, {}, lang);
    }

    static QStringList captions(QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + u'=' + a->text());
        return out;
    }

private slots:
    // Minimising hides the window into the icon; a double click or Restore brings it back
    // exactly where it was. Exit from the icon's menu ends the program; the icon outlives the
    // unload step until the final release.
    void theIconComesWithTheWindowAndGoesWithIt() {
        Fixture f;
        MainWindow& w = start(f);
        QCOMPARE(f.tray.tip, QStringLiteral("Orvenna"));
        QCOMPARE(f.tray.adds, 1);
        QVERIFY(f.tray.shown);
        QCOMPARE(f.tray.icon.cacheKey(), w.windowIcon().cacheKey());
        w.move(150, 120);
        const QRect before = w.geometry();
        for (int round = 0; round < 2; ++round) {
            w.showMinimized();
            QTRY_VERIFY(!w.isVisible());
            if (round == 0)
                f.tray.doubleClick();
            else
                w.findChild<QAction*>(QStringLiteral("mPopRestore"))->trigger();
            QTRY_VERIFY(w.isVisible());
            QVERIFY(!w.isMinimized());
            QCOMPARE(w.geometry(), before);
        }
        QSignalSpy unloaded(&w, &MainWindow::unloaded);
        w.showMinimized();
        QTRY_VERIFY(!w.isVisible());
        f.trigger("mnuExit");
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(f.tray.shown);
        w.shutDown();
        QCOMPARE(f.tray.removes, 1);
        QVERIFY(!f.tray.shown);
    }

    // (Without a notification area a minimised window stays a window: the main window's
    // placement test.)

    // Restore, Search and Exit in the window's language, shown by the icon's right button
    // and by one on the window's own background; its Search and the window's own bring up
    // one search window.
    void theMenuShowsOnTheIconAndTheWindowsBackgroundAndSearches() {
        Fixture f;
        MainWindow& w = start(f, 100);
        QMenu* menu = f.menu("mPopupSys");
        QCOMPARE(captions(menu), (QStringList{"mPopRestore=&Restore...", "mpopSearch=&Search...",
                                              "-", "mnuExit=E&xit"}));
        f.trigger("mnuLangHebrew");
        QCOMPARE(captions(menu), (QStringList{u8("mPopRestore=...&הצג"), u8("mpopSearch=...ח&פש"),
                                              QStringLiteral("-"), u8("mnuExit=&יציאה")}));
        f.tray.rightClick(w.geometry().center());
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
        // The window's own background, beside the title: the same menu.
        QWidget* client = w.centralWidget();
        QPoint background(2, client->height() - 2);
        QCOMPARE(client->childAt(background), nullptr);
        QTest::mouseClick(client, Qt::RightButton, {}, background);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
        // A control is not the background, nor is the left button. (The press itself shows the
        // menu, so there is nothing to wait for.)
        QTest::mouseClick(f.button("btnAdd"), Qt::RightButton);
        QTest::mouseClick(client, Qt::LeftButton, {}, background);
        QVERIFY(!menu->isVisible());

        // Search from the menu while the window is hidden shows the search window alone.
        w.showMinimized();
        QTRY_VERIFY(!w.isVisible());
        f.action("mpopSearch")->trigger();
        search::SearchWindow* s = w.searchWindow();
        QVERIFY(s);
        QVERIFY(QTest::qWaitForWindowActive(s));
        QVERIFY(!w.isVisible());

        // The main window's Search commands bring back the same window, as it was left.
        s->findChild<QLineEdit*>(QStringLiteral("TxtStr"))->setText(QStringLiteral("x"));
        s->showMinimized();
        QTRY_VERIFY(!s->isVisible());
        f.action("mPopRestore")->trigger();
        f.press("btnSearch");
        QCOMPARE(w.searchWindow(), s);
        QTRY_VERIFY(s->isVisible());
        QVERIFY(!s->isMinimized());
        QCOMPARE(s->searchText(), QStringLiteral("x"));
        f.trigger("mnuSearch");
        QCOMPARE(w.searchWindow(), s);

        // Unloading the main window closes it.
        w.close();
        QTRY_VERIFY(!w.searchWindow());
    }
};

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
