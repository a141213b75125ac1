#pragma once

#include "common/Fixture.h"
#include "platform/testing/RecordingShell.h"
#include "platform/testing/ScriptedFileDialogs.h"

// The fixture's English main window over these cards, also with file dialogs and the
// desktop's links and programs as doubles; shown, all cards listed, no message pending.
struct DesktopFixture : Fixture {
    platform::testing::ScriptedFileDialogs dialogs;
    platform::testing::RecordingShell desktop;

    app::frmVesk& startDesktop(const QStringList& vesk) {
        seed(vesk);
        settings.setValue("Settings/ActiveLang", "100");
        shared = std::make_unique<mdlVesk::Shared>();
        shell::Services s{prompter,
                          keyboard,
                          settings,
                          nullptr,
                          [this] { return today; },
                          &tray,
                          QDir::toNativeSeparators(dir.path()) + QDir::separator(),
                          checkDelay,
                          &dialogs,
                          &desktop};
        window = std::make_unique<app::frmVesk>(*shared, s);
        window->Form_Load();
        window->btnAll_Click();
        prompter.clear();
        return *window;
    }
};
