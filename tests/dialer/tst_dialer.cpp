// The dial commands and the dialer through the main window, on real pseudo-terminals with a
// simulated modem behind them, named as serial ports in the settings.
#include "common/Fixture.h"
#include "common/SimulatedModem.h"

#include "app/FlexGrid.h"
#include "app/HostRequests.h"
#include "dialer/DialerWindow.h"
#include "platform/QtSerialPorts.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

using namespace std::chrono_literals;

// What happens once the modem has the dial command (the modem answers it only for Nothing);
// ModemGone: COM3 is renamed once it has been probed.
enum During { Nothing, Cancel, DialAgain, ModemGone, CloseDialer, CloseMain, EndRequested };

QString statusOf(dialer::DialerWindow* d) {
    return d->findChild<QLabel*>(QStringLiteral("txtStatus"))->text();
}

class TestDialer : public QObject {
    Q_OBJECT
private slots:
    void dial_data() {
        QTest::addColumn<QString>("ports"); // COM1..4: M the modem, S no modem, - no device
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("during");
        QTest::addColumn<QString>("logs");     // the modem's / the port without one's
        QTest::addColumn<QString>("messages"); // caption|text, one a line
        const QString n = u8("+972 (3) 555-12-34"), dialled = u8("ATV1Q0|ATDT97235551234;|ATH / ");
        QTest::newRow("COM3 after COM1, COM2")
            << "-SMM" << 4 << n << 0 << dialled + "ATV1Q0"
            << "Orvenna|Please pick up the phone and either press Enter or click OK";
        QTest::newRow("cancel") << "M---" << 4 << n << 1 << dialled << "";
        QTest::newRow("main window closed") << "M---" << 4 << n << 5 << dialled << "";
        QTest::newRow("end requested") << "M---" << 4 << n << 6 << dialled << "";
        QTest::newRow("second request") << "M---" << 4 << n << 2 << dialled
                                        << "Warning...|Port is all-ready in use [" + n + "]";
        QTest::newRow("dialer closed") << "M---" << 4 << n << 4 << dialled
                                       << "Warning...|Quiting dialer will terminat the call!";
        QTest::newRow("no modem") << "-S--" << 4 << n << 0 << " / ATV1Q0"
                                  << "Orvenna|No modem detected";
        QTest::newRow("not reopenable")
            << "--M-" << 4 << n << 3 << "ATV1Q0 / "
            << "Orvenna|COM3 is not available.\rChange the CommPort property to another port.";
        QTest::newRow("no digit") << "M---" << 4 << "+() -#*" << 0 << " / "
                                  << "Orvenna|The phone number is not valid.";
        QTest::newRow("name column") << "M---" << 0 << n << 0 << " / " << QString();
        QTest::newRow("e-mail column") << "M---" << 5 << n << 0 << " / " << QString();
    }

    void dial() {
        QFETCH(QString, ports);
        QFETCH(int, column);
        QFETCH(QString, number);
        QFETCH(int, during);
        QFETCH(QString, logs);
        Fixture f;
        testing::SimulatedModem modem{during == Nothing ? 300 : -1}, silent{0, true};
        platform::QtSerialPorts serialPorts(f.settings);
        f.serialPorts = &serialPorts;
        // A Work card: the department, the widest number column, holds the number.
        const QString values = u8("NULL,NULL,NULL,'%1',NULL,'a@b.c'").arg(number);
        app::MainWindow& w = f.start({}, {card(u8("Avi"), values)}, 100);
        f.chooseGroup(1);
        for (int i = 0; i < 4; ++i)
            f.settings.setValue(u8("Dialer/COM%1").arg(i + 1), ports[i] == u'M'   ? modem.device
                                                               : ports[i] == u'S' ? silent.device
                                                                                  : "/none");
        modem.onCommand = [&](const QByteArray& command) {
            if (during == ModemGone)
                f.settings.setValue(u8("Dialer/COM3"), u8("/gone"));
            if (command.startsWith("ATDT"))
                QTimer::singleShot(100ms, &modem, [&] {
                    QCOMPARE(
                        statusOf(w.dialerWindow()),
                        u8("Dialing... ATDT97235551234;\r [COM%1]").arg(ports.indexOf(u'M') + 1));
                    if (during == DialAgain)
                        f.button("btnDial")->click();
                    if (during == Cancel || during == DialAgain)
                        w.dialerWindow()->findChild<QPushButton*>(u8("cmdCancel"))->click();
                    if (during == CloseDialer)
                        w.dialerWindow()->close();
                    if (during == CloseMain)
                        w.close();
                    if (during == EndRequested)
                        app::HostRequests(w).end();
                    // The dialer's port; the program's end hangs up and closes it at once.
                    QCOMPARE(modem.openedByOthers(), int(during < CloseMain));
                });
        };

        w.show();
        w.grid()->scrollTo(w.grid()->model().index(0, column));
        f.clickCell(1, column);
        f.press("btnDial");
        QPointer<dialer::DialerWindow> d = w.dialerWindow();
        QCOMPARE(!d, column == 0 || column == 5);
        if (d) {
            QSignalSpy ended(d, &dialer::DialerWindow::dialEnded);
            // A dial left running fails the test instead of hanging it.
            QTimer::singleShot(10s, d->findChild<QPushButton*>(u8("cmdCancel")),
                               &QPushButton::click);
            QVERIFY(ended.wait(20000));
            QCOMPARE(statusOf(d), u8("To dial a number, click the Dial button"));
        }
        // Once the modems have read what was still on its way to them.
        QTRY_COMPARE(modem.log + u8(" / ") + silent.log, logs);
        QStringList shown;
        for (const platform::Message& m : f.prompter.messages()) {
            shown << m.caption + u'|' + m.text;
            QCOMPARE(m.icon, m.buttons == platform::Buttons::Ok ? platform::Icon::None
                                                                : platform::Icon::Critical);
        }
        QTEST(shown.join(u'\n'), "messages");
        QCOMPARE(modem.openedByOthers() + silent.openedByOthers(), 0);
        QVERIFY(f.shared->DialerIdle);
        // Closed during the dial, the dialer went once the dial had ended; idle, it goes unasked.
        if (d) {
            QCOMPARE(d->isVisible(), during < CloseDialer);
            d->close();
            QTRY_VERIFY(!d);
        }
        QCOMPARE(f.prompter.messages().size(), qsizetype(shown.size()));
    }

    // What the modem says to the dial command, piece by piece: the wait ends at "OK" however
    // it was cut and however much came before it; until then the status shows the modem's
    // last answer, and a screen reader hears the status itself.
    void modemAnswers_data() {
        QTest::addColumn<QList<QByteArray>>("reply");
        QTest::addColumn<QString>("answer"); // the last answer shown; "OK": the wait ended
        QTest::newRow("busy") << QList<QByteArray>{"\r\nBUSY\r\n"} << "BUSY";
        QTest::newRow("the last answer")
            << QList<QByteArray>{"BUSY\r\n", "\r\nNO DIALTONE\r\n", "NO CARR"} << "NO DIALTONE";
        QTest::newRow("a long line without end")
            << QList<QByteArray>{QByteArray(1 << 20, 'x'), "\r\nBUSY\r\n"} << "BUSY";
        QTest::newRow("OK in two reads") << QList<QByteArray>{"O", "K"} << "OK";
        // 16 MB of answers that are not "OK": rescanning all that came (or keeping it) would
        // take minutes.
        QTest::newRow("a flood, then OK")
            << QList<QByteArray>{QByteArray("NO DIALTONE\r\n").repeated((16 << 20) / 13), "OK\r\n"}
            << "OK";
    }
    void modemAnswers() {
        QFETCH(QList<QByteArray>, reply);
        QFETCH(QString, answer);
        Fixture f;
        testing::SimulatedModem modem{50};
        modem.dialReply = reply;
        platform::QtSerialPorts serialPorts(f.settings);
        f.serialPorts = &serialPorts;
        app::MainWindow& w =
            f.start({}, {card(u8("Avi"), u8("NULL,NULL,NULL,'035551234',NULL,NULL"))}, 100);
        f.chooseGroup(1);
        for (int i = 0; i < 4; ++i)
            f.settings.setValue(u8("Dialer/COM%1").arg(i + 1), i == 0 ? modem.device : u8("/none"));
        w.show();
        f.clickCell(1, 4);
        f.press("btnDial");
        QPointer<dialer::DialerWindow> d = w.dialerWindow();
        QVERIFY(d);
        QSignalSpy ended(d, &dialer::DialerWindow::dialEnded);
        auto* cancel = d->findChild<QPushButton*>(u8("cmdCancel"));
        QTimer::singleShot(10s, cancel, &QPushButton::click);
        // The dial waits on the stack of the event loop: the status is read from a timer there.
        const QString status =
            u8("Dialing... ATDT035551234;\r [COM1] The modem answered: ") + answer;
        QString seen, heard;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* label = d->findChild<QLabel*>(u8("txtStatus"));
            seen = label->text();
            heard = QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
            if (modem.replied() && seen == status) {
                poll.stop();
                cancel->click();
            }
        });
        if (answer != u8("OK"))
            poll.start(20);
        QVERIFY(ended.wait(20000));
        QCOMPARE(
            f.prompter.messages(),
            answer == u8("OK")
                ? QList{notice(u8("Please pick up the phone and either press Enter or click OK"))}
                : QList<platform::Message>{});
        QTRY_COMPARE(modem.log, u8("ATV1Q0|ATDT035551234;|ATH"));
        if (answer != u8("OK")) {
            QCOMPARE(seen, status);
            QCOMPARE(heard, status);
        }
    }
};

QTEST_MAIN(TestDialer)
#include "tst_dialer.moc"
