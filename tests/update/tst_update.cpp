// The live update against a web server on 127.0.0.1: the page, the messages of the check and
// of the download, the file saved, the check a while after start and the menu items.
#include "common/Fixture.h"

#include "platform/Connectivity.h"
#include "update/VersionCheckWindow.h"
#include "update/VersionPage.h"

#include <QAccessible>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::Message;
using update::VersionCheckWindow;

namespace {
// Answers each path with a status and a body, sent in 64 KB pieces `pace` ms apart, with its
// length in the header unless unsized; an unknown path gets 404, a status of 0 is a server
// that accepts and never answers.
struct WebServer : QTcpServer {
    struct Page {
        int status = 200;
        QByteArray body;
        int pace = 0;
        bool sized = true;
    };
    QHash<QByteArray, Page> pages;
    WebServer() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
        });
    }
    QString base() const { return QString("http://127.0.0.1:%1").arg(serverPort()); }
    void answer(QTcpSocket* s) {
        if (!s->peek(1 << 16).contains("\r\n\r\n") || s->property("asked").toBool())
            return;
        s->setProperty("asked", true);
        const Page page = pages.value(s->readLine().split(' ').value(1), {404, "gone", 0});
        if (page.status == 0)
            return;
        const QString length = QString("Content-Length: %1\r\n").arg(page.body.size());
        s->write(QString("HTTP/1.1 %1 %2\r\n%3Connection: close\r\n\r\n")
                     .arg(page.status)
                     .arg(page.status == 200 ? "OK" : "Not Found")
                     .arg(page.sized ? length : QString())
                     .toLatin1());
        auto* timer = new QTimer(s);
        connect(timer, &QTimer::timeout, s, [s, timer, page, sent = qsizetype(0)]() mutable {
            s->write(page.body.mid(sent, page.pace ? 1 << 16 : -1));
            if ((sent += 1 << 16) >= page.body.size() || !page.pace) {
                timer->stop();
                s->disconnectFromHost();
            }
        });
        timer->start(page.pace);
    }
};

struct Network final : platform::Connectivity {
    bool up = true;
    bool connected() override { return up; }
};

// A version page whose installer is at `path` on the server ("%base%" until the test knows it).
QByteArray versionPage(const char* version, const char* path = "/f/setup.exe") {
    return QString("<html><p>Application Name: Orvenna</p><p>Application Version: %1 "
                   "</p><p>Version Date:  1 Dec 2026"
                   "</p><p>Version Size: 1 MB</p><p>Download: <a "
                   "href=\"%base%%2\">setup</a></p></html>")
        .arg(version, path)
        .toUtf8();
}
Message info(const QString& text, const char* caption, Buttons buttons = Buttons::Ok) {
    return {text, caption, buttons, Icon::Information};
}
const Message offer =
    info("A new version is available for download. Press Ok to continue downloading?",
         "Download Confirmation", Buttons::OkCancel);
const Message askCancel{"This action will cancel the downloading process.", "Cancel Confirmation",
                        Buttons::YesNo, Icon::Critical};
const QString connectFirst = "First connect to the internet and than run 'Check Version' again";
const Message failed = info("Possible reasons for failuer:\r\n - The 127.0.0.1 server is not "
                            "available.\r\n - You are not connected "
                            "to the internet or your connection is not working properly.\r\n - You "
                            "are using Proxy server setting "
                            "which is not supported.\r\n\r\n" +
                                connectFirst,
                            "Internet connection failuer.");
const Message finished = info("Download has finished succesfully! \r\n%1/Update/setup.exe\r\nExit "
                              "the software and run setup.exe "
                              "file to install the new version",
                              "Download Finish");
Message canceled(const char* why) {
    return info(QString("Download has been canceled.\r\n") + why, "Download Error ");
}

// The main window over a program folder whose settings name the local server.
struct Live : Fixture {
    WebServer web;
    Network network;
    const QByteArray installer = QByteArray("MZ0123456789abcd").repeated(1 << 16); // 1 MB
    Live() {
        start({}, {}, 100);
        settings.setValue("LiveUpdate/Server", web.base() + u'/');
    }
    void serve(QByteArray page, int status = 200, bool sized = true) {
        web.pages["/version/ov_version.htm"] = {
            status, page.replace("%base%", web.base().toLatin1()), 0, sized};
        web.pages["/f/setup.exe"] = web.pages["/f/..%2Fsetup.exe"] = {200, installer, 0};
        web.pages["/slow/setup.exe"] = {200, installer, 40};
        web.pages["/f/tiny.exe"] = {200, "MZ", 0};
    }
    QString update(const QString& name = {}) const { return dir.filePath("Update/" + name); }
    QAction* menuItem() const { return action("mnuCheckVersionUpdate"); }
    // A version window shown as the menu shows it, with a time limit tests can bear.
    VersionCheckWindow* open() {
        shell::Services services{prompter, keyboard, settings, nullptr, [this] { return today; }};
        services.programFolder = shared->programFolder;
        services.connectivity = &network;
        services.transferTimeout = std::chrono::milliseconds(400);
        auto* w = new VersionCheckWindow(*shared, services, menuItem(), window.get());
        w->load();
        w->show();
        return w;
    }
    QPushButton* button(QWidget* w, const char* name) { return w->findChild<QPushButton*>(name); }
};
} // namespace

class TestUpdate : public QObject {
    Q_OBJECT

private slots:
    void readsThePageAndDecides() {
        using update::pageValue;
        const QString v = "Application Version:";
        QCOMPARE(pageValue("<p>Application Version:  1.2 </p>", v), "1.2");
        QCOMPARE(pageValue("Application Version: 1.2\t</p>", v), "1.2\t");
        QCOMPARE(pageValue("Application Version: 1.2 <p>", v), std::nullopt);
        QCOMPARE(pageValue("Download: <a href=\"http://h/a\" b\">x</a>", "Download: <a href=\""),
                 "http://h/a\" b");
        // Versions compare as text.
        QVERIFY(!update::isNewer("1.10.0", "1.8.5"));
        QVERIFY(update::isNewer("1.9", "1.8.5"));
        QVERIFY(!update::isNewer("1.8.5", "1.8.5"));
        // The installer's name: decoded, trimmed, never a way out of its folder.
        QCOMPARE(update::downloadFileName(" http://h/d/my%20setup.exe?x=/y "), "my setup.exe");
        for (const char* url :
             {"http://h/d/..%2Fsetup.exe", "http://h/d/%2Fsetup.exe", "http://h/%2E%2E",
              "http://h/d/..", "http://h/d/", "http://h/a%5Cb", "http://h", "http://h/a%0Ab"})
            QCOMPARE(update::downloadFileName(url), std::nullopt);
    }

    // The check and the download from the window the menu shows: what is said, the month
    // kept, whether the window stays, and what the Update folder holds afterwards (nothing
    // half written, nothing elsewhere).
    void check_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("action"); // what the server, the host or the user does
        QTest::addColumn<QList<Message>>("messages");
        QTest::addColumn<QString>("before"); // Update/setup.exe: none, an older one, a link
        auto row = [](const char* name, const QByteArray& page, const char* action,
                      const QList<Message>& messages, const char* before = "") {
            QTest::newRow(name) << page << QString(action) << messages << QString(before);
        };
        const QByteArray newer = versionPage("1.0.1"),
                         slow = versionPage("1.0.1", "/slow/setup.exe");
        auto megabyte = [](const char* version) { // its address needs no server's
            return versionPage(version).replace("%base%", "http://h").leftJustified(1 << 20, ' ');
        };
        const Message none = notice("No new software was found.");
        row("same version", versionPage("1.0.0"), "", {none});
        row("a label missing", newer.sliced(0).replace("Version Size:", "Size:"), "", {failed});
        row("an end marker missing", newer.sliced(0).replace("\">setup", "'>setup"), "", {failed});
        row("page 404", newer, "page 404", {failed});
        row("no answer", newer, "no answer", {failed});
        row("offline", newer, "offline", {info(connectFirst, "Inetrnet is not connected.")});
        // A page is read up to 1 MB; a longer one is refused however it comes.
        row("a page of 1 MB", megabyte("1.0.0"), "", {none});
        row("a page over 1 MB", megabyte("1.0.1") + ' ', "", {failed});
        row("a page over 1 MB, its length untold", megabyte("1.0.1") + ' ', "unsized", {failed});
        row("1 MB", newer, "", {offer, finished});
        row("cancel, No", slow, "no", {offer, askCancel, finished});
        row("cancel, Yes", slow, "yes", {offer, askCancel});
        row("window closed", slow, "close", {offer});
        row("installer 404", versionPage("1.0.1", "/f/gone.exe"), "",
            {offer, canceled("code  : 404 Not Found\r\ninfo  : 404 Not Found\r\nstate : 11].")});
        row("a local file", newer.sliced(0).replace("%base%/f/setup.exe", "file:///etc/hostname"),
            "",
            {offer, canceled("code  : Protocol \"file\" is unknown\r\ninfo  : Protocol "
                             "\"file\" is unknown\r\nstate : 11].")});
        row("two bytes", versionPage("1.0.1", "/f/tiny.exe"), "",
            {offer, notice("Wrong buffer size.")});
        row("a name leaving the folder", versionPage("1.0.1", "/f/..%2Fsetup.exe"), "",
            {offer, canceled("The download %base%/f/..%2Fsetup.exe has no acceptable file name.")});
        row("no folder", newer, "folder is a file",
            {offer, canceled("The folder %1/Update/ cannot be created.")});
        row("file not writable", newer, "file is a folder",
            {offer, canceled("The file %1/Update/setup.exe cannot be written.")});
        // The installer's name is replaced, by a complete download only; a link standing there
        // is replaced too, never followed out of the folder.
        row("an older installer", newer, "", {offer, finished}, "older");
        row("an older installer, cancel", slow, "yes", {offer, askCancel}, "older");
        row("a link to a file elsewhere", newer, "", {offer, finished}, "link");
    }
    void check() {
        QFETCH(QByteArray, page);
        QFETCH(QString, action);
        QFETCH(QList<Message>, messages);
        QFETCH(QString, before);
        const bool saved = messages.contains(finished);
        Live f;
        for (Message& m : messages)
            m.text.replace("%1", f.dir.path()).replace("%base%", f.web.base());
        f.serve(page,
                action == "page 404"    ? 404
                : action == "no answer" ? 0
                                        : 200,
                action != "unsized");
        const QString outside = f.dir.filePath("outside.txt"), installer = f.update("setup.exe");
        testing::writeFile(outside, "keep");
        if (!before.isEmpty())
            QDir().mkpath(f.update());
        if (before == "older")
            testing::writeFile(installer, "old");
        if (before == "link")
            QVERIFY(QFile::link(outside, installer));
        f.network.up = action != "offline";
        if (action == "folder is a file")
            QFile(f.dir.filePath("Update")).open(QIODevice::WriteOnly);
        if (action == "file is a folder")
            QDir().mkpath(f.update("setup.exe"));
        f.prompter.script({Answer::Ok, action == "no" ? Answer::No : Answer::Yes});
        QPointer<VersionCheckWindow> w = f.open();
        QVERIFY(!f.menuItem()->isEnabled());
        if (page.contains("/slow/")) { // the download is under way when the user acts
            QTRY_VERIFY(f.button(w, "cmdCancel")->isVisible());
            QTRY_COMPARE(w->lastTransferState(), update::Transfer::State::ReceivingResponse);
            action == "close" ? void(w->close()) : f.button(w, "cmdCancel")->click();
        }
        QTRY_COMPARE_WITH_TIMEOUT(f.prompter.messages(), messages, 10000);
        QCOMPARE(f.shared->LastCheckMonth,
                 messages.first() == failed || action == "offline" ? 0 : 12);
        // Only a page with nothing newer closes the window by itself. One left open comes back
        // to where a check starts, its download ended.
        QTRY_COMPARE(w.isNull(), action == "close" || !page.contains("1.0.1"));
        if (w) {
            QTRY_VERIFY(f.button(w, "cmdDownload")->isVisible());
            QVERIFY(!f.button(w, "cmdCancel")->isVisible());
            QVERIFY(f.button(w, "cmdVerCheck")->isEnabled());
        }
        // Nothing half written or left aside, nothing elsewhere: the installer's name holds the
        // download, or else what it held before.
        QCOMPARE(QDir(f.update()).entryList(QDir::Files | QDir::Hidden | QDir::System) +
                     QDir(f.dir.path()).entryList({"*.exe"}),
                 saved || !before.isEmpty() ? QStringList{"setup.exe"} : QStringList());
        QCOMPARE(QFileInfo(installer).isSymLink(), before == "link" && !saved);
        const QByteArray kept = before == "older" ? "old" : before == "link" ? "keep" : "";
        QCOMPARE(testing::readFile(installer), saved ? f.installer : kept);
        QCOMPARE(testing::readFile(outside), "keep");
        if (w) {
            // A screen reader hears the status itself.
            auto* status = w->findChild<QFrame*>("StatusBar1")->findChild<QLabel*>();
            QCOMPARE(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name),
                     status->text());
            w->close();
        }
        QVERIFY(f.menuItem()->isEnabled());
    }

    // A while after start the check runs on a window nobody sees; only a newer version
    // speaks, and accepting it shows the window and downloads.
    void hiddenCheckAtStartup_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("declined") << "1.0.1" << Answer::Cancel;
        QTest::newRow("accepted") << "1.0.1" << Answer::Ok;
        QTest::newRow("nothing newer") << "1.0.0" << Answer::Ok;
    }
    void hiddenCheckAtStartup() {
        QFETCH(QString, version);
        QFETCH(Answer, answer);
        const bool newer = version == "1.0.1", shown = newer && answer == Answer::Ok;
        Live f;
        f.serve(versionPage(qPrintable(version)));
        f.checkDelay = std::chrono::milliseconds(50);
        update::HiddenVersionCheck check;
        f.make(&check);
        check.setLoader([&f] { return f.window->loadVersionWindow(); });
        f.prompter.script({answer});
        f.window->load();
        QTRY_COMPARE(f.shared->LastCheckMonth, 12);
        QTRY_COMPARE(f.prompter.messages().size(), int(newer) + int(shown));
        if (newer)
            QCOMPARE(f.prompter.messages().first(), offer);
        QTRY_COMPARE(f.window->versionWindow() && f.window->versionWindow()->isVisible(), shown);
        QTRY_COMPARE(QFile::exists(f.update("setup.exe")), shown);
    }

    // Unchecking "Enable Auto Live Update" stops the pending check and is remembered; the
    // other item opens the window, and stays disabled while it is loaded.
    void menuItemsAndTheWindow() {
        Live f;
        auto* enable = f.action("mnuEnableLiveUpdate");
        for (bool on : {false, true, false}) {
            enable->trigger();
            QCOMPARE(f.shared->LiveUpdateEnabled, on);
            QCOMPARE(enable->isChecked(), on);
            QVERIFY(!f.window->delayTimer().isActive());
        }
        f.menuItem()->trigger();
        QPointer<VersionCheckWindow> w = f.window->versionWindow();
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QVERIFY(!f.menuItem()->isEnabled());
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        QCOMPARE(face->role(), QAccessible::Dialog);
        QCOMPARE(face->text(QAccessible::Name), "Version Check");
        // The details button shows and hides the details, and says which it will do.
        QPushButton* more = f.button(w, "cmdShow");
        const int height = w->height();
        more->click();
        QCOMPARE(more->text(), "<< Hide");
        QVERIFY(w->height() > height);
        more->click();
        QCOMPARE(more->text(), "Show >>");
        QCOMPARE(w->height(), height);
        f.window->close();
        QTRY_VERIFY(!w);
        QCOMPARE(f.setting("LiveUpdate/Enable"), "False");
    }
};

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"
