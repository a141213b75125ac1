// The about box, the web and mail links, the system information tool and the mail command.
#include "common/DesktopFixture.h"

#include "about/FrmAbout.h"
#include "about/MWebLink.h"
#include "about/SysInfo.h"
#include "app/FlexGrid.h"
#include "orvenna/Config.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void openLinkKeepsItsPrefixRules_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("address");
        QTest::newRow("bare") << "www.orvenna.example" << 0 << "http://www.orvenna.example";
        QTest::newRow("http kept") << "http://x.example/a" << 0 << "http://x.example/a";
        QTest::newRow("HTTP") << "HTTP://x.example" << 0 << "http://HTTP://x.example";
        QTest::newRow("mail") << "a@b.example" << 1 << "mailto:a@b.example";
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
        MWebLink::OpenLink(shell, target, quint8(kind));
        QCOMPARE(shell.urls.value(0), QUrl(address));
    }

    void sysInfoStartsTheFirstToolFound() {
        QTemporaryDir bin;
        DesktopFixture f;
        about::StartSysInfo(f.desktop, f.prompter, "Orvenna", {bin.path()}); // none there
        for (const QString name : {"gnome-system-monitor", "kinfocenter"})
            QVERIFY(QFile(bin.filePath(name)).open(QIODevice::WriteOnly) &&
                    QFile::setPermissions(bin.filePath(name), QFile::ExeOwner));
        about::StartSysInfo(f.desktop, f.prompter, "Orvenna", {bin.path()});
        QCOMPARE(f.prompter.messages(), {notice("System Information Is Unavailable At This Time")});
        QCOMPARE(f.desktop.programs.value(0).path, bin.filePath("kinfocenter"));
    }

    void theAboutBoxAndTheMailCommand() {
        QCOMPARE(about::frmAbout::versionText("1.08.0005"), QString("1.8.5"));
        DesktopFixture f;
        app::frmVesk& w =
            f.startDesktop({card("Avi", "NULL,NULL,NULL,NULL,NULL,'avi@x.example'"), card("Ben")});
        w.findChild<QAction*>("mnuAbout")->trigger();
        QPointer<about::frmAbout> box = w.aboutWindow();
        w.findChild<QAction*>("mnuAbout")->trigger(); // one box at a time
        QCOMPARE(w.aboutWindow(), box.data());
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(box);
        QCOMPARE(face->role(), QAccessible::Dialog);
        QCOMPARE(face->text(QAccessible::Name), QString("About Orvenna"));
        auto text = [&](const char* name) { return box->findChild<QLabel*>(name)->text(); };
        QCOMPARE(text("lblTitle"),
                 "Orvenna " + about::frmAbout::versionText(orvenna::config::version));
        QCOMPARE(text("lblDescription"),
                 QString("The Orvenna is a smalle program to create and handle personal\\work "
                         "phone cards.\r\n[dbVer: 1]"));
        for (const char* link : {"lblWeb", "lblMail", "cmdOK"})
            box->findChild<QPushButton*>(link)->click();
        QCOMPARE(f.desktop.urls, (QList<QUrl>{QUrl("http://www.orvenna.example"),
                                              QUrl("mailto:support@orvenna.example")}));
        QTRY_VERIFY(box.isNull());

        // Mail: nothing for the empty last row or a card without an address, then the same
        // command from the button and both menu items once a card with one is chosen.
        app::FlexGrid& g = *w.grid();
        for (int row : {3, 2}) {
            g.moveTo(row, 1);
            w.popSendMail_Click();
        }
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {},
                          g.visualRect(g.model().index(0, 1)).center());
        w.findChild<QToolButton*>("btnMail")->click();
        w.findChild<QAction*>("mnuSendMail")->trigger();
        w.findChild<QAction*>("popSendMail")->trigger();
        QCOMPARE(f.desktop.urls.mid(2), QList<QUrl>(3, QUrl("mailto:avi@x.example")));
        QCOMPARE(g.Col(), 5);
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
