// Two-way sync against a real CardDAV server (Radicale, started by each case).
#include "sync/Device.h"
#include "sync/SyncTexts.h"

#include <QtTest>

using namespace synctest;
using carddav::Problem;
using store::ContactGroup;
using store::Role;

namespace {

// Every card the server holds in a book, unfolded, by FN.
QHash<QString, QString> serverCards(const Radicale& server, const QString& book) {
    QHash<QString, QString> out;
    for (const QByteArray& text : server.cards(book)) {
        QString t = QString::fromUtf8(text);
        t.replace(QStringLiteral("\r\n "), QString())
            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QString fn;
        for (const QString& line : t.split(u'\n'))
            if (line.startsWith(QStringLiteral("FN:")))
                fn = line.mid(3);
        out.insert(fn, t);
    }
    return out;
}

QStringList sortedKeys(const QHash<QString, QString>& h) {
    QStringList keys = h.keys();
    keys.sort();
    return keys;
}

// A fault row that stops the server itself when its request comes.
constexpr int StopServer = -1;

QString hrefOf(const QString& book, const QString& name) {
    return book + name + QStringLiteral(".vcf");
}

// A card put into the book as another device does, its UID its name unless given; the
// server's status.
int put(const Radicale& server, const QString& book, const QString& name, const QStringList& lines,
        const QString& uid = {}) {
    return putCard(server.url(), hrefOf(book, name), vcard(uid.isEmpty() ? name : uid, lines))
        .status;
}

class ScriptedPassword final : public carddav::PasswordPrompt {
public:
    std::optional<QString> answer;
    int asked = 0;
    std::optional<QString> askAgain(const QString&, const QString&) override {
        ++asked;
        return answer;
    }
};

} // namespace

class TestSync : public QObject {
    Q_OBJECT
private slots:
    void discoveryFindsAndCreatesBooks_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("host alone: well-known") << QString();
        QTest::newRow("the principal's own address") << QStringLiteral("/alice/");
    }

    void discoveryFindsAndCreatesBooks() {
        QFETCH(QString, path);
        Radicale server;
        QVERIFY(server.start());
        QUrl address = server.url();
        address.setPath(path);
        Device device(address);
        carddav::Discovered found;
        auto discover = [&] {
            bool done = false;
            device.controller->discover([&](const carddav::Discovered& d) {
                found = d;
                done = true;
            });
            QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
        };
        discover();
        QVERIFY(found.outcome.ok());
        QCOMPARE(found.homeSet, QStringLiteral("/alice/"));

        bool created = false;
        carddav::AddressBook book;
        device.controller->createBook(
            QStringLiteral("Work list"),
            [&](const carddav::Outcome& o, const carddav::AddressBook& b) {
                QVERIFY(o.ok());
                book = b;
                created = true;
            });
        QTRY_VERIFY_WITH_TIMEOUT(created, 20000);
        QVERIFY(book.href.startsWith(QStringLiteral("/alice/")));
        discover();
        QVERIFY(found.outcome.ok());
        QCOMPARE(found.books, (std::vector<carddav::AddressBook>{book}));
    }

    void firstSyncMatchesByName_data() {
        QTest::addColumn<QString>("serverMobile");
        QTest::addColumn<int>("conflicts");
        QTest::newRow("the same card on both sides") << QStringLiteral("050-555-1212") << 0;
        QTest::newRow("the same name, other values") << QStringLiteral("052-999-0000") << 1;
    }

    // Cards of the same name are one card; the rest go both ways.
    void firstSyncMatchesByName() {
        QFETCH(QString, serverMobile);
        QFETCH(int, conflicts);
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        QCOMPARE(
            put(server, book, "both", {"FN:Dana Levi", "TEL;TYPE=CELL:" + serverMobile}, "u-both"),
            201);
        QCOMPARE(
            put(server, book, "there", {"FN:Only There", "TEL;TYPE=HOME:03-555-0001"}, "u-there"),
            201);
        Device device(server.url(), book);
        device.add(person(QStringLiteral("Dana Levi  "), {}, QStringLiteral("050-555-1212")));
        device.add(person(QStringLiteral("Only Here"), QStringLiteral("03-555-0002")));

        const carddav::Outcome o = device.sync();
        QVERIFY2(o.ok(), qPrintable(carddav::describe(o, false)));
        QCOMPARE(o.conflicts, conflicts);
        QCOMPARE(device.lines(),
                 (QStringList{"Dana Levi" + QString(conflicts ? "" : "  ") + "||" + serverMobile +
                                  "||||",
                              "Only Here|03-555-0002|||||", "Only There|03-555-0001|||||"}));
        QCOMPARE(sortedKeys(serverCards(server, book)),
                 (QStringList{"Dana Levi", "Only Here", "Only There"}));
        QCOMPARE(int(device.controller->conflicts().size()), conflicts);
        QCOMPARE(
            device.controller->lastResult(),
            QStringLiteral("Synchronised: 1 received, 1 sent, 0 deleted here, 0 deleted on the "
                           "server, %1 conflicts.")
                .arg(conflicts));
        // Nothing left to do.
        const carddav::Outcome again = device.sync();
        QCOMPARE(again.received + again.sent + again.conflicts, 0);
    }

    void incrementalBothWays_data() {
        QTest::addColumn<bool>("syncCollection");
        QTest::newRow("sync-collection") << true;
        QTest::newRow("ETags and getctag (no sync-collection)") << false;
    }

    void incrementalBothWays() {
        QFETCH(bool, syncCollection);
        Radicale server;
        QVERIFY(server.start());
        // Without sync-collection the proxy refuses the REPORT as a server without it would.
        FaultProxy proxy(server.port(), [&](const QByteArray& method, const QByteArray& request) {
            return !syncCollection && method == "REPORT" && request.contains("sync-collection")
                       ? Fault{Fault::Respond, 501}
                       : Fault{};
        });
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        for (const char* name : {"Keep", "EditThere", "DropThere"})
            put(server, book, name,
                {QStringLiteral("FN:%1").arg(name), "TEL;TYPE=HOME:03-555-0001"});
        Device device(proxy.url(), book);
        device.add(person(QStringLiteral("EditHere"), QStringLiteral("03-555-0002")));
        device.add(person(QStringLiteral("DropHere"), QStringLiteral("03-555-0003")));
        QVERIFY(device.sync().ok());

        // Changes on both sides.
        put(server, book, "EditThere", {"FN:EditThere", "TEL;TYPE=HOME:03-555-0999"});
        deleteCard(server.url(), hrefOf(book, "DropThere"));
        put(server, book, "NewThere", {"FN:NewThere", "TEL;TYPE=CELL:050-555-0004"});
        QVERIFY(
            device.edit(QStringLiteral("EditHere"), Role::Email, QStringLiteral("e@example.org")));
        QVERIFY(device.remove(QStringLiteral("DropHere")));
        device.add(person(QStringLiteral("NewHere"), QStringLiteral("03-555-0005")));

        const carddav::Outcome o = device.sync();
        QVERIFY2(o.ok(), qPrintable(carddav::describe(o, false)));
        QCOMPARE(device.lines(),
                 (QStringList{"EditHere|03-555-0002|||||e@example.org",
                              "EditThere|03-555-0999|||||", "Keep|03-555-0001|||||",
                              "NewHere|03-555-0005|||||", "NewThere||050-555-0004||||"}));
        const QHash<QString, QString> cards = serverCards(server, book);
        QCOMPARE(sortedKeys(cards),
                 (QStringList{"EditHere", "EditThere", "Keep", "NewHere", "NewThere"}));
        QVERIFY(cards["EditHere"].contains(QStringLiteral("EMAIL;TYPE=INTERNET:e@example.org")));
        QCOMPARE(o.received, 2);
        QCOMPARE(o.sent, 2);
        QCOMPARE(o.deletedHere, 1);
        QCOMPARE(o.deletedThere, 1);
        // Once our own changes are listed, nothing changed costs one request, a getctag PROPFIND,
        // with sync-collection or without.
        QVERIFY(device.sync().ok());
        proxy.methods.clear();
        QVERIFY(device.sync().ok());
        QCOMPARE(proxy.methods, (QList<QByteArray>{"PROPFIND"}));
        // A change there is listed again.
        put(server, book, "Keep", {"FN:Keep", "TEL;TYPE=HOME:03-555-0888"});
        proxy.methods.clear();
        const carddav::Outcome changedThere = device.sync();
        QCOMPARE(changedThere.received, 1);
        QCOMPARE(proxy.methods.first(), QByteArray("PROPFIND"));
    }

    void propertiesWeDoNotShowStay() {
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        const QStringList kept{"N:Cohen;Ruth;;;",
                               "PHOTO;ENCODING=b;TYPE=PNG:iVBORw0KGgo=",
                               "BDAY:1980-02-03",
                               "NOTE:Met at the conference\\, 2019",
                               "TEL;TYPE=CELL:050-555-7777",
                               "TEL;TYPE=PAGER:+44 20 7946 0958 1234 5678 99",
                               "item1.TEL:+1 555 0100",
                               "item1.X-ABLABEL:Boat"};
        QCOMPARE(put(server, book, "ruth",
                     QStringList{"FN:Ruth Cohen", "TEL;TYPE=HOME:03-555-1000"} + kept, "ruth-uid"),
                 201);
        Device device(server.url(), book);
        QVERIFY(device.sync().ok());
        QCOMPARE(device.named(QStringLiteral("Ruth Cohen"))[Role::Mobile],
                 QStringLiteral("050-555-7777"));
        QVERIFY(
            device.edit(QStringLiteral("Ruth Cohen"), Role::Home, QStringLiteral("03-555-2000")));
        const carddav::Outcome o = device.sync();
        QCOMPARE(o.sent, 1);

        const QString card = serverCards(server, book).value(QStringLiteral("Ruth Cohen"));
        for (const QString& line : kept)
            QVERIFY2(card.contains(line), qPrintable(line + QStringLiteral(" lost from\n") + card));
        QVERIFY(card.contains(QStringLiteral("UID:ruth-uid")));
        QVERIFY(card.contains(QStringLiteral("TEL;TYPE=HOME:03-555-2000")));
        QVERIFY(!card.contains(QStringLiteral("03-555-1000")));
    }

    void conflicts_data() {
        QTest::addColumn<QString>("here");      // what this side does: edit, delete
        QTest::addColumn<QString>("there");     // what the server's side does
        QTest::addColumn<QStringList>("cards"); // here; Gil stays on the server in every case
        QTest::addColumn<int>("conflicts");
        const QString edit = QStringLiteral("edit");
        QTest::newRow("changed on both sides")
            << edit << edit << QStringList{"Gil|03-555-0200|||||"} << 1;
        QTest::newRow("deleted here, changed there: kept with the change")
            << QStringLiteral("delete") << edit << QStringList{"Gil|03-555-0200|||||"} << 0;
        QTest::newRow("changed here, deleted there: kept with the change")
            << edit << QStringLiteral("delete") << QStringList{"Gil|03-555-0100|||||g@example.org"}
            << 0;
    }

    void conflicts() {
        QFETCH(QString, here);
        QFETCH(QString, there);
        QFETCH(QStringList, cards);
        QFETCH(int, conflicts);
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        put(server, book, "gil", {"FN:Gil", "TEL;TYPE=HOME:03-555-0100"});
        Device device(server.url(), book);
        QVERIFY(device.sync().ok());

        QVERIFY(here == u"edit" ? device.edit(QStringLiteral("Gil"), Role::Email,
                                              QStringLiteral("g@example.org"))
                                : device.remove(QStringLiteral("Gil")));
        if (there == u"edit")
            put(server, book, "gil", {"FN:Gil", "TEL;TYPE=HOME:03-555-0200"});
        else
            deleteCard(server.url(), hrefOf(book, "gil"));

        const carddav::Outcome o = device.sync();
        QVERIFY2(o.ok(), qPrintable(carddav::describe(o, false)));
        QCOMPARE(device.lines(), cards);
        QVERIFY(serverCards(server, book).contains(QStringLiteral("Gil")));
        const std::vector<carddav::Conflict> list = device.controller->conflicts();
        QCOMPARE(int(list.size()), conflicts);
        if (!conflicts)
            return;
        // Our version is kept aside; "Keep this one" sends it, and the server's goes.
        QCOMPARE(list[0].local[Role::Email], QStringLiteral("g@example.org"));
        QSignalSpy done(device.controller.get(), &carddav::SyncController::finished);
        QVERIFY(device.controller->keepLocal(list[0].id));
        QVERIFY(done.wait(20000));
        QCOMPARE(device.lines(), QStringList{"Gil|03-555-0100|||||g@example.org"});
        QVERIFY(serverCards(server, book)
                    .value(QStringLiteral("Gil"))
                    .contains(QStringLiteral("EMAIL;TYPE=INTERNET:g@example.org")));
        QVERIFY(device.controller->conflicts().empty());
    }

    // Two program folders on one Work book end with the same cards.
    void twoFoldersConverge() {
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("work"));
        Device a(server.url(), {}, book);
        Device b(server.url(), {}, book);
        auto workCard = [](const QString& name, const QString& line) {
            store::ContactRecord c;
            c.group = ContactGroup::Work;
            c[Role::Name] = name;
            c[Role::Work] = line;
            c[Role::Fax] = QStringLiteral("Sales");
            return c;
        };
        a.add(workCard(QStringLiteral("Acme"), QStringLiteral("1234")));
        b.add(workCard(QStringLiteral("Globex"), QStringLiteral("5678")));
        b.add(workCard(QStringLiteral("Acme"), QStringLiteral("1234")));
        for (Device* d : {&a, &b, &a})
            QVERIFY(d->sync().ok());
        QCOMPARE(a.lines(ContactGroup::Work), b.lines(ContactGroup::Work));
        QCOMPARE(a.lines(ContactGroup::Work).size(), 2);

        // A change on each side, then each syncs twice.
        QVERIFY(a.edit(QStringLiteral("Acme"), Role::Fax, QStringLiteral("Support"),
                       ContactGroup::Work));
        QVERIFY(b.remove(QStringLiteral("Globex"), ContactGroup::Work));
        for (Device* d : {&a, &b, &a})
            QVERIFY(d->sync().ok());
        QCOMPARE(a.lines(ContactGroup::Work), QStringList{"Acme|||1234|Support||"});
        QCOMPARE(b.lines(ContactGroup::Work), a.lines(ContactGroup::Work));
        QCOMPARE(sortedKeys(serverCards(server, book)), QStringList{"Acme"});
    }

    // A card deleted and another added before a sync may take its rowid: the server's card of the
    // first is deleted, the second is a card of its own, without the first one's notes.
    void reusedRowidIsAnotherCard() {
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        put(server, book, "old", {"FN:Old Friend", "TEL;TYPE=HOME:03-555-0001", "NOTE:private"});
        Device device(server.url(), book);
        QVERIFY(device.sync().ok());
        const store::ContactRecord old = device.named(QStringLiteral("Old Friend"));
        QVERIFY(store::DeleteContact(*device.db, ContactGroup::Personal, old.rowid, "Old Friend"));
        QCOMPARE(device.add(person(QStringLiteral("New Friend"), QStringLiteral("03-555-0002"))),
                 old.rowid);
        const carddav::Outcome o = device.sync();
        QVERIFY2(o.ok(), qPrintable(carddav::describe(o, false)));
        const QHash<QString, QString> cards = serverCards(server, book);
        QCOMPARE(sortedKeys(cards), QStringList{"New Friend"});
        QVERIFY(!cards.value(QStringLiteral("New Friend")).contains(QStringLiteral("private")));
        QCOMPARE(device.lines(), QStringList{"New Friend|03-555-0002|||||"});
    }

    void faults_data() {
        QTest::addColumn<QByteArray>("method"); // the request that meets the fault
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line");
        const QString again = QStringLiteral(": the sync will be tried again.");
        const auto row = [](const char* name, const char* method, int fault, int status,
                            const QString& line) {
            QTest::newRow(name) << QByteArray(method) << fault << status << line;
        };
        row("507 on PUT", "PUT", Fault::Respond, 507,
            "The server has no room left (507): the cards not sent yet will be sent next time.");
        row("500 on the listing", "REPORT", Fault::Respond, 500,
            "The server answered with an error (500)" + again);
        row("malformed XML", "REPORT", Fault::Garbage, 0,
            "The server's answer could not be read" + again);
        row("a stall", "REPORT", Fault::Stall, 0, "The server stopped answering" + again);
        row("an oversized answer", "REPORT", Fault::Huge, 0,
            "The server's answer was too large and was refused" + again);
        row("the server stopped mid-sync", "PUT", StopServer, 0,
            "The server could not be reached: ");
        row("412 on PUT: read again, changed again", "PUT", Fault::Respond, 412, {});
    }

    // Whatever breaks, nothing here is lost or half-applied, and the next sync completes.
    void faults() {
        QFETCH(QByteArray, method);
        QFETCH(int, fault);
        QFETCH(int, status);
        QFETCH(QString, line);
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        put(server, book, "there", {"FN:There", "TEL;TYPE=HOME:03-555-0001", "NOTE:kept"});
        bool armed = false;
        bool fired = false;
        FaultProxy proxy(server.port(), [&](const QByteArray& m, const QByteArray&) {
            if (!armed || fired || m != method)
                return Fault{};
            fired = true;
            if (fault == StopServer) {
                server.stop();
                return Fault{};
            }
            return Fault{Fault::Kind(fault), status};
        });
        Device device(proxy.url(), book);
        device.controller->setLimits({1024 * 1024, std::chrono::milliseconds(2000)});
        device.add(person(QStringLiteral("Here"), QStringLiteral("03-555-0002")));
        QVERIFY(device.sync().ok());
        // A change on each side meets the fault.
        QVERIFY(device.edit(QStringLiteral("Here"), Role::Mobile, QStringLiteral("050-555-0003")));
        put(server, book, "there", {"FN:There", "TEL;TYPE=HOME:03-555-0009", "NOTE:kept"});
        const QStringList before = device.lines();
        armed = true;
        const carddav::Outcome o = device.sync();
        QVERIFY(fired);
        if (line.isEmpty()) {
            QVERIFY2(o.ok(), qPrintable(carddav::describe(o, false)));
        } else {
            QVERIFY(device.controller->lastResult().startsWith(line));
            if (method == "REPORT")
                QCOMPARE(device.lines(), before); // nothing applied from a listing that failed
        }
        if (fault == StopServer)
            QVERIFY(server.start(server.port()));
        const carddav::Outcome next = device.sync();
        QVERIFY2(next.ok(), qPrintable(carddav::describe(next, false)));
        QCOMPARE(device.lines(),
                 (QStringList{"Here|03-555-0002|050-555-0003||||", "There|03-555-0009|||||"}));
        const QHash<QString, QString> cards = serverCards(server, book);
        QVERIFY(cards.value(QStringLiteral("Here")).contains(QStringLiteral("050-555-0003")));
        QVERIFY(cards.value(QStringLiteral("There")).contains(QStringLiteral("NOTE:kept")));
        QCOMPARE(cards.size(), 2);
    }

    void passwordAskedAgain() {
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        Device device(server.url(), book);
        device.controller->setPassword(QStringLiteral("wrong"));
        ScriptedPassword prompt;
        device.controller->setPasswordPrompt(&prompt);
        const carddav::Outcome refused = device.sync();
        QCOMPARE(refused.problem, Problem::Password);
        QCOMPARE(prompt.asked, 1);
        QCOMPARE(device.controller->lastResult(),
                 QStringLiteral("The server refused the user name or password."));
        prompt.answer = Secret;
        QVERIFY(device.sync().ok());
        QCOMPARE(prompt.asked, 2);
        // The password is never in the settings file.
        QFile ini(device.settings.fileName());
        device.settings.sync();
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(!ini.readAll().contains(Secret.toUtf8()));
    }

    void offlineSkipsQuietly() {
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        Device device(server.url(), book);
        device.connectivity.online = false;
        QCOMPARE(device.sync().problem, Problem::Offline);
        QCOMPARE(device.controller->requestsSent(), 0);
        QVERIFY(device.controller->lastResult().isEmpty());
        QVERIFY(device.prompter.messages().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSync)
#include "tst_sync.moc"
