// The main window's start and end: settings, placement, the database, the delayed check.
#include "common/Fixture.h"

#include "app/LetterTabs.h"

#include <QLabel>
#include <QScreen>

using app::MainWindow;
using platform::Message;

namespace {
const QString created = QStringLiteral("תהליך יצירת מבנה הנתונים הסתיים בהצלחה.");
const QString failedToOpen = QStringLiteral("Failed to open connection to database...");

struct CountingCheck final : shell::VersionCheckHook {
    int calls = 0;
    void VersionCheck() override { ++calls; }
};
// The remembered state and rectangle, where the window comes up, its size, the state closed in.
struct PlacementCase {
    QString state;
    QRect remembered;
    QPoint pos;
    QSize sizeTwips;
    Qt::WindowState closedAs;
};
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    // A first run in an empty folder, in the language the settings ask for (Hebrew when
    // they say nothing).
    void firstRunInAnEmptyFolder_data() {
        QTest::addColumn<QString>("setting");
        QTest::newRow("Hebrew") << QString();
        QTest::newRow("English") << "100";
        // Every setting unreadable: each falls back to its default.
        QTest::newRow("unreadable") << "rubbish";
    }
    void firstRunInAnEmptyFolder() {
        QFETCH(QString, setting);
        const bool hebrew = setting != u"100";
        Fixture f;
        if (!setting.isNull())
            f.set({{"Settings/ActiveLang", setting}});
        if (setting == u"rubbish")
            for (const char* key : {"Settings/Window", "Settings/MainLeft", "Settings/MainWidth",
                                    "LiveUpdate/Enable"})
                f.set({{key, setting}});
        MainWindow& w = f.make();
        const QSize designed = w.size();
        QCOMPARE(w.load(), MainWindow::LoadResult::Running);
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMaximized());
        QCOMPARE(w.size(), designed);
        QCOMPARE(f.prompter.messages(), QList<Message>{notice(created)});
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvenna"));
        // The language, the keyboard switched to Hebrew, and the letter tabs.
        QCOMPARE(QList<int>({f.shared->CurrentLang, f.keyboard.hebrewActivations,
                             w.letterTabs()->count()}),
                 hebrew ? QList<int>({200, 1, 22}) : QList<int>({100, 0, 26}));
        QCOMPARE(w.layoutDirection(), hebrew ? Qt::RightToLeft : Qt::LeftToRight);
        QCOMPARE(w.groupBox()->currentText() + f.shared->LetterFilter + w.panelText(1),
                 hebrew ? u8("אישיא ס\"כ רשומות 0") : QStringLiteral("PersonalA Total Records 0"));
        // The Hebrew arrangement is the design itself.
        QCOMPARE(w.layoutTwips() == app::DesignLayout::designed(), hebrew);
        QCOMPARE(f.tray.adds, 1); // offered to the notification area, though there is none
    }

    // Armed only when due (today is in December unless a row says otherwise), the timer
    // ticks once and starts the check.
    void theDelayedCheckRunsOnceWhenDue_data() {
        QTest::addColumn<QString>("enable");
        QTest::addColumn<QString>("lastCheck");
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("armed");
        QTest::newRow("first run") << QString() << QString() << 6 << true;
        const QString yes = QStringLiteral("True"), no = QStringLiteral("False");
        QTest::newRow("disabled") << no << "0" << 6 << false;
        QTest::newRow("checked this month") << yes << "12" << 6 << false;
        QTest::newRow("checked this month, on its last day") << QString() << "12" << 31 << false;
        QTest::newRow("checked last month") << yes << "11" << 6 << true;
        QTest::newRow("unreadable") << QStringLiteral("rubbish") << "rubbish" << 6 << true;
    }
    void theDelayedCheckRunsOnceWhenDue() {
        QFETCH(QString, enable);
        QFETCH(QString, lastCheck);
        QFETCH(int, day);
        QFETCH(bool, armed);
        Fixture f;
        f.today = QDate(2026, 12, day);
        f.checkDelay = std::chrono::milliseconds(100);
        for (const auto& [key, value] :
             {std::pair{"LiveUpdate/Enable", enable}, {"LiveUpdate/LastCheck", lastCheck}})
            if (!value.isNull())
                f.set({{key, value}});
        CountingCheck check;
        f.load(&check);
        QCOMPARE(f.window->delayTimer().isActive(), armed);
        QTRY_COMPARE(check.calls, armed ? 1 : 0);
        // And never again: the timer has stopped for good.
        QTRY_VERIFY(!f.window->delayTimer().isActive());
        QCOMPARE(check.calls, armed ? 1 : 0);
    }

    // The remembered placement (twips, at the screen's 96 dpi: 15 twips a pixel) on the one
    // 800 x 800 offscreen screen. What no longer fits is brought wholly onto it, frame and
    // all: -1 stands for "against the right edge" and "as wide as the screen". Closing writes
    // the settings as text; a maximised or minimised window keeps the placement it was given
    // (minimised, not even its state is written), and the final release closes the file.
    void thePlacementIsRestoredAndWrittenBack_data() {
        QTest::addColumn<PlacementCase>("c");
        QTest::newRow("normal") << PlacementCase{
            "0", {1200, 900, 9000, 6000}, {80, 60}, {9000, 6000}, Qt::WindowNoState};
        QTest::newRow("maximised keeps the normal one, closed minimised") << PlacementCase{
            "2", {1200, 900, 9000, 6000}, {80, 60}, {9000, 6000}, Qt::WindowMinimized};
        QTest::newRow("a monitor that is gone") << PlacementCase{
            "0", {30000, 900, 9000, 6000}, {-1, 60}, {9000, 6000}, Qt::WindowNoState};
        QTest::newRow("wider than the screen, closed maximised")
            << PlacementCase{"0", {1500, 0, 15000, 6000}, {0, 0}, {-1, 6000}, Qt::WindowMaximized};
    }
    void thePlacementIsRestoredAndWrittenBack() {
        QFETCH(PlacementCase, c);
        auto [state, remembered, pos, sizeTwips, closedAs] = c;
        Fixture f;
        f.set({{"Settings/Window", state},
               {"Settings/MainLeft", QString::number(remembered.left())},
               {"Settings/MainTop", QString::number(remembered.top())},
               {"Settings/MainWidth", QString::number(remembered.width())},
               {"Settings/MainHeight", QString::number(remembered.height())}});
        MainWindow& w = f.make();
        auto twips = [&w](int px) { return app::Twips(w.logicalDpiX()).fromPx(px); };
        const int designW = twips(w.width());
        const int designH = twips(w.height());
        w.load();
        if (state == u"2") {
            QTRY_VERIFY(w.isMaximized());
            w.showNormal();
            QTRY_VERIFY(!w.isMaximized());
        }
        const QRect screen = w.screen()->availableGeometry();
        const int frameWidth = w.frameGeometry().width() - w.width();
        if (sizeTwips.width() < 0)
            sizeTwips.setWidth(twips(screen.width() - frameWidth));
        if (pos.x() < 0)
            pos.setX(screen.right() + 1 - w.frameGeometry().width());
        QCOMPARE(w.pos(), pos);
        QCOMPARE(QSize(twips(w.width()), twips(w.height())), sizeTwips);
        QVERIFY(screen.contains(w.frameGeometry()));
        // The controls follow the difference from the designed size.
        const app::TwipsRect grid =
            app::DesignLayout::designed().at(QStringLiteral("MSHFlexGrid1"));
        QCOMPARE(w.layoutTwips().at(QStringLiteral("MSHFlexGrid1")),
                 (app::TwipsRect{grid.left, grid.top, grid.width + sizeTwips.width() - designW,
                                 grid.height + sizeTwips.height() - designH}));

        if (closedAs != Qt::WindowNoState) {
            w.setWindowState(closedAs);
            QTRY_VERIFY(w.windowState() & closedAs);
            // There is no notification area: a minimised window stays a window.
            QCoreApplication::processEvents();
            QVERIFY(w.isVisible());
        }
        f.shared->LastCheckMonth = 7;
        f.shared->LiveUpdateEnabled = false;
        QSignalSpy unloaded(&w, &MainWindow::unloaded);
        w.close();
        QCOMPARE(unloaded.count(), 1);
        QStringList written;
        for (const char* key : {"Window", "MainLeft", "MainTop", "MainWidth", "MainHeight"})
            written << f.setting(QByteArray("Settings/").append(key).constData());
        const QRect kept = closedAs == Qt::WindowNoState ? QRect(pos * 15, sizeTwips) : remembered;
        QCOMPARE(written,
                 (QStringList{closedAs == Qt::WindowNoState     ? QStringLiteral("0")
                              : closedAs == Qt::WindowMaximized ? QStringLiteral("2")
                                                                : state,
                              QString::number(kept.left()), QString::number(kept.top()),
                              QString::number(kept.width()), QString::number(kept.height())}));
        QCOMPARE(f.setting("Settings/ActiveLang") + f.setting("LiveUpdate/Enable") +
                     f.setting("LiveUpdate/LastCheck"),
                 QStringLiteral("200False7"));
        w.shutDown();
        QVERIFY(!f.shared->db.isOpen());
        QVERIFY(!f.shared->db.CurrentRecordset);
    }

    void aDamagedFileStillBringsUpAnEmptyWindow() {
        Fixture f;
        testing::writeFile(f.mdb(), QByteArray(5000, 'j'));
        QCOMPARE(f.load(), MainWindow::LoadResult::Running);
        QCOMPARE(f.prompter.messages(), QList<Message>{notice(failedToOpen)});
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->grid()->rowCount(), 2);
        QCOMPARE(f.window->panelText(1),
                 QString::fromUtf8(" ס\"כ רשומות 0")); // set by the language switch
    }

    void aNewerFileEndsTheProgramBeforeTheWindowShows() {
        Fixture f;
        f.seed({});
        testing::RawDb(f.mdb()).exec(QStringLiteral("UPDATE dbDetails SET dbVerNum = 2"));
        QCOMPARE(f.load(), MainWindow::LoadResult::EndProgram);
        QCOMPARE(f.prompter.texts(),
                 QStringList{QStringLiteral("גרסת התוכנה שברשותך אינה תואמת לגרסת מבנה הנתונים.")});
        QVERIFY(!f.window->isVisible());
        QVERIFY(!f.window->delayTimer().isActive());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
