// The program as the desktop meets it: started as a process the way `make run` starts it,
// one program per folder, brought forward by a second start, ended by the session.
#include "common/Fixture.h"

#include "app/HostRequests.h"
#include "app/SingleInstance.h"
#include "platform/QtPrompter.h"

#include <QDialog>
#include <QEventLoop>
#include <QProcess>

using app::SingleInstance;

namespace {

constexpr int StartTimeout = 120000;

// A program folder; a fixed ending, as a name ending in "vb" is a development folder.
struct Folder : QTemporaryDir {
    Folder() : QTemporaryDir(QDir::tempPath() + QStringLiteral("/orvenna-XXXXXX-folder")) {}
};

// A user's home and private runtime folder of their own, so that nothing of the person
// running the tests is read or written.
struct Desktop {
    QTemporaryDir home;
    QTemporaryDir runtime;

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] : {std::pair{"HOME", home.path()},
                                          {"XDG_CONFIG_HOME", home.filePath(".config")},
                                          {"XDG_DATA_HOME", home.filePath(".local/share")},
                                          {"XDG_CACHE_HOME", home.filePath(".cache")},
                                          {"XDG_RUNTIME_DIR", runtime.path()},
                                          {"QT_QPA_PLATFORM", QString("offscreen")}})
            env.insert(name, value);
        return env;
    }
    QString settings() const {
        return home.filePath(QStringLiteral(".config/Orvenna/Orvenna.ini"));
    }
};

// One start of the built program in a folder.
struct Run {
    QProcess process;

    Run(const Desktop& desktop, const QString& folder) {
        process.setProcessEnvironment(desktop.environment());
        process.setWorkingDirectory(folder);
        process.start(QStringLiteral(ORVENNA_PROGRAM), {});
    }
    ~Run() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    bool running() const { return process.state() == QProcess::Running; }

    // The program has come as far as its database file in the folder.
    bool cameUp(const QString& folder) {
        const QString mdb = QDir(folder).filePath(QStringLiteral("VESK.MDB"));
        if (QTest::qWaitFor(
                [&] { return QFile::exists(mdb) || process.state() == QProcess::NotRunning; },
                StartTimeout) &&
            QFile::exists(mdb))
            return true;
        qWarning("no VESK.MDB; state %d, exit %d, stderr:\n%s", int(process.state()),
                 process.exitCode(), process.readAllStandardError().constData());
        return false;
    }

    // Ends as a program ends: exit code 0 and nothing from the sanitizers.
    bool endedCleanly() {
        if (!process.waitForFinished(StartTimeout))
            return false;
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        const bool clean = process.exitStatus() == QProcess::NormalExit &&
                           process.exitCode() == 0 &&
                           !err.contains(QLatin1String("runtime error:")) &&
                           !err.contains(QLatin1String("Sanitizer"));
        if (!clean)
            qWarning("exit %d, stderr:\n%s", process.exitCode(), qPrintable(err));
        return clean;
    }
    // The session ends: SIGTERM.
    bool endOnRequest() {
        process.terminate();
        return endedCleanly();
    }
};

// The process that holds the folder's lock: the first line of the lock file.
qint64 lockOwner(const Folder& folder) {
    QFile lock(folder.filePath(SingleInstance::lockFileName()));
    return lock.open(QIODevice::ReadOnly) ? lock.readLine().trimmed().toLongLong() : 0;
}

} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    // The first start in an empty folder creates the file and waits on its message box; a
    // second start in the same folder, even through a link, hands over to it and ends. The
    // session's request to end answers the box, closes the window and writes the settings
    // as a close by hand does.
    void aSecondStartMeetsTheFirstOnlyInItsFolder_data() {
        QTest::addColumn<QString>("where");
        QTest::newRow("the same folder") << QStringLiteral("same");
        QTest::newRow("the same folder through a link") << QStringLiteral("link");
        QTest::newRow("another folder") << QStringLiteral("other");
    }
    void aSecondStartMeetsTheFirstOnlyInItsFolder() {
        QFETCH(QString, where);
        Desktop desktop;
        Folder folder, other;
        QString second = where == u"other" ? other.path() : folder.path();
        if (where == u"link") {
            second = other.filePath(QStringLiteral("link"));
            QVERIFY(QFile::link(folder.path(), second));
        }
        Run first(desktop, folder.path());
        QVERIFY(first.cameUp(folder.path()));
        Run again(desktop, second);
        if (where == u"other") {
            QVERIFY(again.cameUp(other.path()));
            QVERIFY(again.running());
            QVERIFY(again.endOnRequest());
        } else {
            QVERIFY(again.endedCleanly());
            QVERIFY(!QFile::exists(other.filePath(QStringLiteral("VESK.MDB"))));
        }
        QVERIFY(first.running());
        QVERIFY(first.endOnRequest());
        QSettings written(desktop.settings(), QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("Settings/ActiveLang")).toString(),
                 QStringLiteral("200"));
        QCOMPARE(written.value(QStringLiteral("Settings/Window")).toString(), QStringLiteral("0"));
        QVERIFY(!QFile::exists(folder.filePath(SingleInstance::lockFileName())));
    }

    void theLockOfAProgramThatDiedIsTakenOver() {
        Desktop desktop;
        Folder folder;
        {
            Run crashed(desktop, folder.path());
            QVERIFY(crashed.cameUp(folder.path()));
            crashed.process.kill();
            QVERIFY(crashed.process.waitForFinished());
        }
        QVERIFY(QFile::exists(folder.filePath(SingleInstance::lockFileName())));
        Run next(desktop, folder.path());
        QTRY_COMPARE_WITH_TIMEOUT(lockOwner(folder), next.process.processId(), StartTimeout);
        // A further start reaches it and ends.
        Run probe(desktop, folder.path());
        QVERIFY(probe.endedCleanly());
        QVERIFY(next.running());
        QVERIFY(next.endOnRequest());
    }

    // In process: the first start's window comes forward from wherever it was.
    void aSecondStartBringsTheWindowForward_data() {
        QTest::addColumn<bool>("minimised");
        QTest::newRow("hidden in the notification area") << false;
        QTest::newRow("minimised") << true;
    }
    void aSecondStartBringsTheWindowForward() {
        QFETCH(bool, minimised);
        Fixture f;
        app::MainWindow& w = f.start({});
        SingleInstance first(f.dir.path());
        QCOMPARE(first.claim(), SingleInstance::Role::First);
        app::HostRequests requests(w);
        requests.windowLoaded();
        connect(&first, &SingleInstance::activationRequested, &requests,
                &app::HostRequests::bringForward);
        minimised ? w.showMinimized() : w.hide();
        QTRY_VERIFY(minimised ? w.isMinimized() : !w.isVisible());

        SingleInstance second(f.dir.path());
        QCOMPARE(second.claim(), SingleInstance::Role::Second);
        QVERIFY(second.activateFirst());
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());
        QTRY_VERIFY(w.isActiveWindow());
    }

    // A question open when the session ends is answered No; the window closes once the
    // command that asked has run to its end.
    void endingWhileAQuestionIsOpenAnswersNoThenCloses() {
        Fixture f;
        app::MainWindow& w = f.start({});
        app::HostRequests requests(w);
        requests.windowLoaded();
        platform::QtPrompter prompter(&w);
        bool answered = false, closedBeforeAnswer = false;
        connect(&w, &app::MainWindow::unloaded, this, [&] { closedBeforeAnswer = !answered; });
        QSignalSpy unloaded(&w, &app::MainWindow::unloaded);
        platform::Answer answer = platform::Answer::Yes;
        QEventLoop commandLoop; // the main event loop the command runs in
        QTimer::singleShot(0, &commandLoop, [&] {
            // The request arrives while the box is up.
            QTimer::singleShot(0, &requests, &app::HostRequests::end);
            answer = prompter.ask({QStringLiteral("Delete?"), QStringLiteral("System Message"),
                                   platform::Buttons::YesNo, platform::Icon::Question});
            answered = true;
            commandLoop.quit();
        });
        // Should the request fail to close the box, the test ends it rather than hang.
        bool leftOpen = false;
        QTimer::singleShot(30000, &commandLoop, [&] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                leftOpen = true;
                box->reject();
            }
        });
        commandLoop.exec();
        QVERIFY(!leftOpen);
        QCOMPARE(answer, platform::Answer::No);
        QVERIFY(unloaded.count() == 1 || unloaded.wait());
        QVERIFY(!closedBeforeAnswer);
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
