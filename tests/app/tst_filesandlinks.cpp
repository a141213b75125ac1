// The commands that reach outside the program: Export DB and Import DB, the about box, its
// links and system information tool, and the mail command.
#include "common/Fixture.h"

#include "about/AboutBox.h"
#include "about/MWebLink.h"
#include "about/SysInfo.h"
#include "app/FlexGrid.h"
#include "orvenna/Config.h"
#include "platform/testing/RecordingShell.h"
#include "platform/testing/ScriptedFileDialogs.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>

#include <sys/stat.h>

using platform::Answer;
using platform::FileChoice;
using platform::Message;
using B = platform::Buttons;
using I = platform::Icon;
using Call = platform::testing::ScriptedFileDialogs::Call;
using Kind = platform::testing::ScriptedFileDialogs::Kind;

namespace {
// The English main window over these cards with every host double, all cards listed.
struct Desktop : Fixture {
    platform::testing::ScriptedFileDialogs dialogs;
    platform::testing::RecordingShell shell;
    app::MainWindow& w;
    explicit Desktop(const QStringList& vesk) : w(startWith(vesk)) {
        trigger("mnuAll");
        prompter.clear();
    }
    app::MainWindow& startWith(const QStringList& vesk) {
        fileDialogs = &dialogs;
        desktopShell = &shell;
        return start(vesk, {}, 100);
    }
    void run(const char* command, FileChoice choice, QList<Answer> answers = {}) {
        dialogs.script({choice});
        for (Answer a : answers)
            prompter.script({a});
        w.findChild<QAction*>(command)->trigger();
    }
};
const auto file = testing::readFile;
} // namespace

class TestFilesAndLinks : public QObject {
    Q_OBJECT
private slots:
    void exportThenImport() {
        // The export proposes VESK.MDB in the user's documents folder, where that name is not
        // the open file.
        const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
        QTemporaryDir user;
        QVERIFY(QDir(user.path()).mkdir("Documents"));
        qputenv("HOME", QFile::encodeName(user.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(user.filePath(".config")));
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", home);
            if (config.isEmpty())
                qunsetenv("XDG_CONFIG_HOME");
            else
                qputenv("XDG_CONFIG_HOME", config);
        });
        Desktop f({card("Avi"), card("Ben")});
        const QString copy = f.dir.filePath("copy.mdb"), old = f.dir.filePath("Vesk.old");
        f.run("mnuExportDB", FileChoice::chosen(copy));
        const QByteArray exportedFile = file(copy);
        const mode_t mask = ::umask(0);
        ::umask(mask); // the copy is readable like any new file of the user's
        QCOMPARE(bool(QFile::permissions(copy) & QFileDevice::ReadOther), !(mask & S_IROTH));
        f.run("mnuExportDB", FileChoice::chosen(copy), {Answer::No});
        QCOMPARE(file(copy), exportedFile);
        f.run("mnuExportDB", FileChoice::chosen(copy), {Answer::Yes});
        f.run("mnuExportDB", FileChoice::chosen(f.mdb()), {Answer::Yes}); // never over itself
        f.run("mnuExportDB", FileChoice::cancelled());
        auto ask = [](const QString& path) {
            return Message{"Do you want to overwrite " + path + "?", "Orvenna", B::YesNo,
                           I::Question};
        };
        auto failed = [](const QString& why) {
            return notice("Failed to export database! " + why, I::Exclamation);
        };
        const Message exported = notice("Export DB to " + copy + " has succeeded!");
        QCOMPARE(
            f.prompter.messages(),
            (QList<Message>{
                exported, ask(copy), failed("File already exists"), ask(copy), exported,
                ask(f.mdb()),
                failed("The program's own database cannot be overwritten by a copy of itself")}));
        const Call save{
            Kind::Save,
            {"Microsoft Database (*.mdb)|*.mdb", 1, user.filePath("Documents/VESK.MDB")},
            platform::Overwrite::DontConfirm};
        QCOMPARE(f.dialogs.calls(), QList<Call>(5, save));

        testing::RawDb(f.mdb()).exec("INSERT INTO Vesk (Name) VALUES ('Added')");
        f.w.refreshList();
        f.prompter.clear();
        f.dialogs.clear();
        f.run("mnuImportDB", FileChoice::cancelled(), {Answer::No});
        QCOMPARE(f.dialogs.calls(), QList<Call>{}); // no dialog after No
        f.dialogs.clear();                          // nor the answer it was given
        const QByteArray before = file(f.mdb());
        const QString empty = f.dir.filePath("empty.mdb");
        testing::writeFile(empty); // an empty file: no phone book
        f.run("mnuImportDB", FileChoice::chosen(empty));
        QCOMPARE(file(f.mdb()), before);
        QCOMPARE(f.listed(), (QStringList{"Added", "Avi", "Ben"}));
        f.run("mnuImportDB",
              FileChoice::chosen(copy)); // the card added since goes, the file stays aside
        QCOMPARE(f.listed(), (QStringList{"Avi", "Ben"}));
        const QByteArray kept = file(old);
        f.run("mnuImportDB", FileChoice::chosen(old)); // restoring it keeps it
        QCOMPARE(f.listed(), (QStringList{"Added", "Avi", "Ben"}));
        QCOMPARE(file(old), kept);
        const Message warn{"This will import an external database\r\ninto Orvenna, continue?",
                           "System Warning", B::YesNo, I::Question};
        auto done = [](const QString& path) {
            return notice("Import DB from " + path + " has succeeded!");
        };
        QCOMPARE(f.prompter.messages(),
                 (QList<Message>{warn, warn,
                                 notice("Failed to import database! The file is not an Orvenna "
                                        "phone book: it has no table 'Vesk'",
                                        I::Exclamation),
                                 warn, done(copy), warn, done(old)}));
        const Call open{
            Kind::Open,
            {"Microsoft Database (*.mdb)|*.mdb|Backup Database (*.old)|*.old", 1, "VESK.MDB"},
            platform::Overwrite::Confirm};
        QCOMPARE(f.dialogs.calls(), QList<Call>(3, open));
    }

    void openLinkKeepsItsPrefixRules_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("address");
        QTest::newRow("http kept") << "http://x.example/a" << 0 << "http://x.example/a";
        QTest::newRow("HTTP") << "HTTP://x.example" << 0 << "http://HTTP://x.example";
        QTest::newRow("mailto twice") << "mailto:a@b.example" << 1 << "mailto:mailto:a@b.example";
        QTest::newRow("other kind") << "www.x.example" << 2 << "www.x.example";
        // A card's address is only ever the recipient: nothing of it becomes an attachment.
        QTest::newRow("query") << "a@b.example?attach=/etc/passwd" << 1
                               << "mailto:a@b.example%3Fattach=/etc/passwd";
    }
    void openLinkKeepsItsPrefixRules() {
        QFETCH(QString, target);
        QFETCH(int, kind);
        QFETCH(QString, address);
        platform::testing::RecordingShell shell;
        MWebLink::openLink(shell, target, quint8(kind));
        QCOMPARE(shell.urls.value(0), QUrl(address));
    }

    void sysInfoStartsTheFirstToolFound() {
        QTemporaryDir bin;
        Fixture f;
        platform::testing::RecordingShell shell;
        about::startSysInfo(shell, f.prompter, "Orvenna", {bin.path()}); // none there
        for (const QString name : {"gnome-system-monitor", "kinfocenter"}) {
            QVERIFY(QFile(bin.filePath(name)).open(QIODevice::WriteOnly));
            QVERIFY(QFile::setPermissions(bin.filePath(name), QFile::ExeOwner));
        }
        about::startSysInfo(shell, f.prompter, "Orvenna", {bin.path()});
        QCOMPARE(f.prompter.messages(), {notice("System Information Is Unavailable At This Time")});
        QCOMPARE(shell.programs.value(0).path, bin.filePath("kinfocenter"));
    }

    void theAboutBoxAndTheMailCommand() {
        QCOMPARE(about::AboutBox::versionText("1.08.0005"), QString("1.8.5"));
        Desktop f({card("Avi", "NULL,NULL,NULL,NULL,NULL,'avi@x.example'"), card("Ben")});
        f.w.findChild<QAction*>("mnuAbout")->trigger();
        QPointer<about::AboutBox> box = f.w.aboutWindow();
        f.w.findChild<QAction*>("mnuAbout")->trigger(); // one box at a time
        QCOMPARE(f.w.aboutWindow(), box.data());
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(box);
        QCOMPARE(face->role(), QAccessible::Dialog);
        QCOMPARE(face->text(QAccessible::Name), QString("About Orvenna"));
        auto text = [&](const char* name) { return box->findChild<QLabel*>(name)->text(); };
        QCOMPARE(text("lblTitle"),
                 "Orvenna " + about::AboutBox::versionText(orvenna::config::version));
        QCOMPARE(text("lblDescription"),
                 QString("The Orvenna is a smalle program to create and handle personal\\work "
                         "phone cards.\r\n[dbVer: 1]"));
        for (const char* link : {"lblWeb", "lblMail", "cmdOK"})
            box->findChild<QPushButton*>(link)->click();
        QTRY_VERIFY(box.isNull());

        // Mail: not offered for a card without an address. Offered for one with an address,
        // it does nothing on the empty last row clicked next, nor on a card without one that
        // a sort brings under the selection; then the button and the menu item on that card.
        app::FlexGrid& g = *f.w.grid();
        f.clickCell(2, 1);
        QVERIFY(!f.enabled("mnuSendMail"));
        f.clickCell(1, 1);
        f.clickCell(3, 1);
        f.trigger("mnuSendMail");
        f.clickCell(1, 1);
        g.sortRows(5);
        QCOMPARE(g.cellText(1, 0), QString("Ben"));
        f.trigger("mnuSendMail");
        f.clickCell(3, 1);
        f.press("btnMail");
        f.trigger("mnuSendMail");
        QCOMPARE(
            f.shell.urls,
            (QList<QUrl>{QUrl("http://www.orvenna.example"), QUrl("mailto:support@orvenna.example"),
                         QUrl("mailto:avi@x.example"), QUrl("mailto:avi@x.example")}));
        QCOMPARE(g.currentColumn(), 5);
    }

    // A link that nothing on the desktop opens is said so: the about box's in its English, the
    // mail command's in the interface's language.
    void linksNobodyOpens_data() {
        QTest::addColumn<QString>("link"); // the about box's button, or the mail command's
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("message");
        const char* mailer = " could not be started. Set up a mail program, then try again.";
        QTest::newRow("web site") << "lblWeb" << 200
                                  << "The web page http://www.orvenna.example could not be "
                                     "opened. Set up a web browser, then try again.";
        QTest::newRow("support") << "lblMail" << 200
                                 << QString("A message to support@orvenna.example") + mailer;
        QTest::newRow("mail, English")
            << "btnMail" << 100 << QString("A message to avi@x.example") + mailer;
        QTest::newRow("mail, Hebrew")
            << "btnMail" << 200
            << u8("לא ניתן לפתוח הודעה אל avi@x.example. יש להגדיר תוכנת דואר ולנסות שוב.");
    }
    void linksNobodyOpens() {
        QFETCH(QString, link);
        QFETCH(int, lang);
        QFETCH(QString, message);
        Fixture f;
        platform::testing::RecordingShell shell;
        shell.succeeds = false;
        f.desktopShell = &shell;
        app::MainWindow& w =
            f.start({card("Avi", "NULL,NULL,NULL,NULL,NULL,'avi@x.example'")}, {}, lang);
        f.press("btnAll");
        f.prompter.clear();
        if (link == "btnMail") {
            f.clickCell(1, 1);
            w.findChild<QToolButton*>(link)->click();
        } else {
            w.findChild<QAction*>("mnuAbout")->trigger();
            w.aboutWindow()->findChild<QPushButton*>(link)->click();
        }
        QCOMPARE(shell.urls.size(), 1);
        QCOMPARE(f.prompter.messages(), QList{notice(message, I::Exclamation)});
    }
};

QTEST_MAIN(TestFilesAndLinks)
#include "tst_filesandlinks.moc"
