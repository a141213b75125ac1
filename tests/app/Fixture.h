#pragma once

#include "app/FrmVesk.h"
#include "shell/Shared.h"
#include "common/TestFiles.h"
#include "platform/testing/FakeTrayIcon.h"
#include "platform/testing/RecordingKeyboard.h"
#include "platform/testing/ScriptedPrompter.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

// A program folder in a temporary directory, settings in a file there, and the main window
// built on them with the message and keyboard doubles.
struct Fixture {
    QTemporaryDir dir;
    QString previousCwd = QDir::currentPath();
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    platform::testing::ScriptedPrompter prompter;
    platform::testing::RecordingKeyboard keyboard;
    // No notification area unless a test gives one.
    platform::testing::FakeTrayIcon tray;
    std::unique_ptr<mdlVesk::Shared> shared;
    std::unique_ptr<app::frmVesk> window;
    QDate today{2026, 12, 6};

    Fixture() {
        QDir::setCurrent(dir.path());
        tray.available = false;
    }
    ~Fixture() {
        window.reset();
        shared.reset();
        QDir::setCurrent(previousCwd);
    }

    QString mdb() const { return dir.filePath(QStringLiteral("VESK.MDB")); }

    app::frmVesk& make(app::VersionCheckHook* hook = nullptr) {
        window.reset();
        shared = std::make_unique<mdlVesk::Shared>();
        app::Services services{prompter, keyboard, settings, hook, [this] { return today; }, &tray};
        window = std::make_unique<app::frmVesk>(*shared, services);
        return *window;
    }

    app::frmVesk::LoadResult load(app::VersionCheckHook* hook = nullptr) { return make(hook).Form_Load(); }

    // A first start, so that VESK.MDB exists, then the given cards written straight to it.
    void seed(const QStringList& vesk, const QStringList& work = {}) {
        if (!QFile::exists(mdb())) {
            load();
            window->Form_Unload();
            window.reset();
            shared.reset();
            settings.clear();
            prompter.clear();
            tray.adds = tray.removes = 0;
            tray.shown = false;
        }
        testing::RawDb raw(mdb());
        for (const QString& values : vesk)
            raw.exec(QStringLiteral("INSERT INTO Vesk VALUES (%1)").arg(values));
        for (const QString& values : work)
            raw.exec(QStringLiteral("INSERT INTO Work VALUES (%1)").arg(values));
    }
};
