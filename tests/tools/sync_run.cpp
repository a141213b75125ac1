// Runs one sync of a program folder (its VESK.MDB and settings.ini) in a process of its own,
// so that a test can kill it at any moment and check that the next sync completes the work.
#include "platform/Prompter.h"
#include "store/Sqlite.h"
#include "sync/PasswordStore.h"
#include "sync/SyncController.h"
#include "sync/SyncTexts.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PROGRAM-FOLDER PASSWORD\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QSettings settings(folder + QStringLiteral("/settings.ini"), QSettings::IniFormat);
    std::shared_ptr<store::Connection> db =
        store::Connection::open(folder + QStringLiteral("/VESK.MDB"));
    carddav::MemoryPasswordStore passwords;
    class Silent final : public platform::Prompter {
        platform::Answer ask(const platform::Message&) override { return platform::Answer::No; }
    } prompter;
    carddav::SyncController controller([db] { return db; }, settings, prompter, passwords, nullptr);
    controller.setHomeRegion(QStringLiteral("IL"));
    controller.setPassword(QString::fromLocal8Bit(argv[2]));
    int code = 1;
    QObject::connect(&controller, &carddav::SyncController::finished,
                     [&](const carddav::Outcome& o) {
                         std::printf("%s\n", qPrintable(carddav::describe(o, false)));
                         code = o.ok() ? 0 : 1;
                         app.quit();
                     });
    QTimer::singleShot(0, &controller, &carddav::SyncController::syncNow);
    app.exec();
    return code;
}
