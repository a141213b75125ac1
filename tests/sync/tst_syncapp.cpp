// The sync in the program: the Option menu's item, the automatic syncs and their status note,
// and Import DB of a file that was synced; against a real server where they need one.
#include "common/Fixture.h"
#include "i18n/Messages.h"
#include "platform/testing/ScriptedFileDialogs.h"
#include "sync/AutoSync.h"
#include "sync/Device.h"
#include "sync/SyncTexts.h"
#include "sync/SyncWindow.h"

#include <QLabel>

using namespace synctest;
using platform::FileChoice;
using store::ContactGroup;

namespace {

constexpr int English = 100;
constexpr int Hebrew = 200;

QString noteOf(const app::MainWindow& w) {
    const auto* panel = w.findChild<QLabel*>(QStringLiteral("Panel3"));
    return panel && !panel->isHidden() ? panel->text() : QStringLiteral("<hidden>");
}

QString synced(int received, int sent) {
    return QStringLiteral("Synchronised: %1 received, %2 sent, 0 deleted here, 0 deleted on the "
                          "server, 0 conflicts.")
        .arg(received)
        .arg(sent);
}

// A program folder whose Personal list syncs with `book`: the window loaded with the server
// set up, its password kept for this run, the automatic syncs on short timers. With an
// `oldFile`, VESK.MDB is a copy of it with an older version number, upgraded at start.
struct SyncedProgram {
    SyncedProgram(const QUrl& server, const QString& book, int interval = 0, int lang = English,
                  const QString& oldFile = {}) {
        f.connectivity = &network;
        f.syncPasswords = &passwords;
        f.fileDialogs = &dialogs;
        f.seed({});
        if (!oldFile.isEmpty()) {
            QFile::remove(f.mdb());
            QFile::copy(oldFile, f.mdb());
            testing::RawDb(f.mdb()).exec(QStringLiteral("UPDATE dbDetails SET dbVerNum = 0"));
        }
        f.set({{"Settings/ActiveLang", QString::number(lang)},
               {"Settings/HomeRegion", QStringLiteral("IL")},
               {"Sync/Server", server.toString()},
               {"Sync/User", User},
               {"Sync/Interval", QString::number(interval)},
               {"Sync/PersonalBook", book}});
        passwords.write(User + u'@' + server.toString(), Secret, [](bool) {});
        // The start's sync is queued: this applies to it and to everything after. A minute
        // stays a minute until a test shortens it.
        f.load();
        autoSync().setChangeDelay(std::chrono::milliseconds(300));
        f.trigger("mnuAll");
        finished = std::make_unique<QSignalSpy>(f.window->syncController(),
                                                &carddav::SyncController::finished);
    }
    carddav::AutoSync& autoSync() { return *f.window->autoSync(); }
    // Waits for the next sync to end; its outcome.
    carddav::Outcome next(int syncs = 1) {
        const qsizetype want = finished->count() + syncs;
        if (!QTest::qWaitFor([&] { return finished->count() >= want; }, 30000))
            return carddav::Outcome{carddav::Problem::Stalled, 0, QStringLiteral("test timeout")};
        return finished->at(want - 1).first().value<carddav::Outcome>();
    }
    // A card written as the editor writes it: through the window's own connection.
    void write(const QString& name, const QString& home) {
        store::InsertContact(f.shared->db.connection(), person(name, home));
    }
    QStringList names() {
        QStringList out = f.listed();
        out.sort();
        return out;
    }

    carddav::MemoryPasswordStore passwords;
    SwitchableConnectivity network;
    platform::testing::ScriptedFileDialogs dialogs;
    Fixture f;
    std::unique_ptr<QSignalSpy> finished;
};

} // namespace

class TestSyncApp : public QObject {
    Q_OBJECT
private slots:
    void menuItemOpensWindow_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("switchTo"); // the language menu's item chosen after the start
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        const QString en = QStringLiteral("Synchronise"), he = u8("סנכרון"), dots = "...";
        QTest::newRow("English") << English << QString() << en + dots << en;
        QTest::newRow("Hebrew") << Hebrew << QString() << he + dots << he;
        QTest::newRow("English, then Hebrew") << English << u8("mnuLangHebrew") << he + dots << he;
        QTest::newRow("Hebrew, then English") << Hebrew << u8("mnuLangEnglish") << en + dots << en;
    }

    void menuItemOpensWindow() {
        QFETCH(int, lang);
        QFETCH(QString, switchTo);
        QFETCH(QString, item);
        QFETCH(QString, caption);
        Fixture f;
        app::MainWindow& w = f.open({}, {}, lang);
        if (!switchTo.isEmpty())
            f.trigger(qPrintable(switchTo));
        QAction* sync = f.action("mnuSynchronise");
        QVERIFY(sync);
        QVERIFY(f.menu("mnuOption")->actions().contains(sync));
        QCOMPARE(sync->text(), item);
        // No server set up: no note in the status bar.
        QCOMPARE(noteOf(w), QStringLiteral("<hidden>"));

        f.trigger("mnuSynchronise");
        carddav::SyncWindow* window = w.syncWindow();
        QVERIFY(window);
        QCOMPARE(window->objectName(), QStringLiteral("frmSync"));
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(window->parentWidget(), &w);
        QVERIFY(window->isVisible());
        // One window: the item brings it forward.
        f.trigger("mnuSynchronise");
        QCOMPARE(w.findChildren<carddav::SyncWindow*>().size(), 1);
        w.close();
        QTRY_VERIFY(!w.syncWindow());
        QVERIFY(f.prompter.messages().isEmpty());
    }

    void syncsByItself_data() {
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("here"); // the change is made here, else on the server
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("hebrewNote");
        // Two changes in a row make one sync, a few seconds after the last.
        QTest::newRow("after a change") << 0 << true << synced(0, 2)
                                        << u8("סונכרן: 0 התקבלו, 2 נשלחו, 0 נמחקו כאן, 0 נמחקו "
                                              "בשרת, 0 התנגשויות.");
        QTest::newRow("at the interval") << 1 << false << synced(2, 0)
                                         << u8("סונכרן: 2 התקבלו, 0 נשלחו, 0 נמחקו כאן, 0 נמחקו "
                                               "בשרת, 0 התנגשויות.");
    }

    void syncsByItself() {
        QFETCH(int, interval);
        QFETCH(bool, here);
        QFETCH(QString, note);
        QFETCH(QString, hebrewNote);
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        SyncedProgram p(server.url(), book, interval);
        // At start.
        QCOMPARE(p.next().problem, carddav::Problem::None);
        QCOMPARE(noteOf(*p.f.window), synced(0, 0));

        if (here) {
            p.write(QStringLiteral("Noa"), QStringLiteral("03-555-0001"));
            p.write(QStringLiteral("Dan"), QStringLiteral("03-555-0002"));
        } else {
            putCard(server.url(), book + QStringLiteral("noa.vcf"),
                    vcard(QStringLiteral("u-noa"), {"FN:Noa", "TEL;TYPE=HOME:03-555-0001"}));
            putCard(server.url(), book + QStringLiteral("dan.vcf"),
                    vcard(QStringLiteral("u-dan"), {"FN:Dan", "TEL;TYPE=HOME:03-555-0002"}));
        }
        if (interval > 0)
            p.autoSync().setMinute(std::chrono::milliseconds(400));
        const carddav::Outcome o = p.next();
        QCOMPARE(carddav::describe(o, false), note);
        // The sync's own writes here are no change to sync again.
        QCoreApplication::processEvents();
        QVERIFY(!p.autoSync().afterChange().isActive());
        QCOMPARE(noteOf(*p.f.window), note);
        QCOMPARE(server.cards(book).size(), 2);
        // Cards that came from the server are listed at once.
        if (!here)
            QCOMPARE(p.names(), QStringList({"Dan", "Noa"}));
        if (interval > 0)
            QCOMPARE(p.autoSync().clock().intervalAsDuration(), std::chrono::milliseconds(400));
        else
            QVERIFY(!p.autoSync().clock().isActive());
        // The note follows the interface's language.
        p.f.trigger("mnuLangHebrew");
        QCOMPARE(noteOf(*p.f.window), hebrewNote);
        QVERIFY(p.f.prompter.messages().isEmpty());
    }

    void offlineSkipsQuietly() {
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        SyncedProgram p(server.url(), book, 0);
        p.network.online = false;
        // The start's sync and the one after a change find no network: nothing is sent, nothing
        // said.
        QCOMPARE(p.next().problem, carddav::Problem::Offline);
        p.write(QStringLiteral("Noa"), QStringLiteral("03-555-0001"));
        QCOMPARE(p.next().problem, carddav::Problem::Offline);
        QCOMPARE(p.f.window->syncController()->requestsSent(), 0);
        QCOMPARE(noteOf(*p.f.window), QString());
        QVERIFY(p.f.prompter.messages().isEmpty());
        // Back online, the next change sends both.
        p.network.online = true;
        p.write(QStringLiteral("Dan"), QStringLiteral("03-555-0002"));
        QCOMPARE(p.next().problem, carddav::Problem::None);
        QCOMPARE(noteOf(*p.f.window), synced(0, 2));
        QCOMPARE(server.cards(book).size(), 2);
    }

    void syncedFileTakesOurPlace_data() {
        QTest::addColumn<bool>("upgrade"); // the file comes by an upgrade at start, else Import DB
        QTest::addColumn<bool>("midSync"); // Import DB while a sync waits for the server
        QTest::newRow("Import DB") << false << false;
        QTest::newRow("Import DB during a sync") << false << true;
        QTest::newRow("upgrade at start") << true << false;
    }

    void syncedFileTakesOurPlace() {
        QFETCH(bool, upgrade);
        QFETCH(bool, midSync);
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        // Another computer synced Noa and Dan, then added Eli without syncing; its file keeps the
        // state of that sync.
        Device other(server.url(), book);
        other.add(person(QStringLiteral("Noa"), QStringLiteral("03-555-0001")));
        other.add(person(QStringLiteral("Dan"), QStringLiteral("03-555-0002")));
        QCOMPARE(other.sync().problem, carddav::Problem::None);
        other.add(person(QStringLiteral("Eli"), QStringLiteral("03-555-0003")));
        QVERIFY(carddav::SyncState::exists(*other.db));

        SyncedProgram p(server.url(), book, 0, English, upgrade ? other.path() : QString());
        if (!upgrade) {
            // This computer has synced them too, under rowids of its own.
            QCOMPARE(p.next().problem, carddav::Problem::None);
            QCOMPARE(noteOf(*p.f.window), synced(2, 0));
            p.f.prompter.clear();
            p.f.prompter.script({platform::Answer::Yes});
            p.dialogs.script({FileChoice::chosen(other.path())});
            if (midSync) {
                p.f.window->syncController()->syncNow();
                QVERIFY(p.f.window->syncController()->running());
            }
            p.f.trigger("mnuImportDB");
            QCOMPARE(p.f.prompter.messages().last().text,
                     i18n::messages::importSucceeded(QDir::toNativeSeparators(other.path())));
            // The sync under way ends with the file it started on; it writes nothing into the new
            // one, where the cards of what it listed would count as new and go to the server twice.
            if (midSync)
                QCOMPARE(p.next().problem, carddav::Problem::LocalError);
        }
        // The next sync is a first one: the cards are matched by name, none doubled, none lost.
        QCOMPARE(p.next().problem, carddav::Problem::None);
        QCOMPARE(noteOf(*p.f.window), synced(0, 1));
        QCOMPARE(server.cards(book).size(), 3);
        QCOMPARE(p.names(), QStringList({"Dan", "Eli", "Noa"}));
    }
};

QTEST_MAIN(TestSyncApp)
#include "tst_syncapp.moc"
