#pragma once

#include "app/FlexGrid.h"
#include "app/MainWindow.h"
#include "common/TestFiles.h"
#include "platform/testing/FakeTrayIcon.h"
#include "platform/testing/RecordingKeyboard.h"
#include "platform/testing/ScriptedPrompter.h"
#include "shell/Shared.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

// A row of a contact table for an INSERT: the name quoted, then the other six values as SQL.
inline QString card(const QString& name,
                    const QString& rest = QStringLiteral("NULL,NULL,NULL,NULL,NULL,NULL")) {
    QString quoted = name;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + QStringLiteral("',") + rest;
}
// The main window's buttons and the editor's boxes, in their order.
inline const char* const buttonNames[] = {"btnAdd",  "btnEdit", "btnSearch", "btnDial",
                                          "btnMail", "btnAll",  "btnDelete", "btnQuit"};
inline const char* const boxNames[] = {"TxtName", "TxtHome", "TxtPlp",  "TxtWork",
                                       "TxtFax",  "txtAddr", "txtEmail"};

// A notice under the program's title, and a refusal under "Error Message".
inline platform::Message notice(const QString& text, platform::Icon icon = platform::Icon::None) {
    return {text, QStringLiteral("Orvenna"), platform::Buttons::Ok, icon};
}
inline platform::Message failure(const QString& text) {
    return {text, QStringLiteral("Error Message"), platform::Buttons::Ok, platform::Icon::Critical};
}

// A program folder in a temporary directory, settings in a file there, and the main window
// built on them with the message and keyboard doubles.
struct Fixture {
    // A fixed ending: a random name ending in "vb" would send the program to its "My app"
    // subfolder, as it does for a development folder.
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/orvenna-XXXXXX-folder")};
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    platform::testing::ScriptedPrompter prompter;
    platform::testing::RecordingKeyboard keyboard;
    // No notification area unless a test gives one.
    platform::testing::FakeTrayIcon tray;
    std::unique_ptr<mdlVesk::Shared> shared;
    std::unique_ptr<app::MainWindow> window; // declared after `shared`: destroyed before it
    QDate today{2026, 12, 6};

    // Long enough that no test meets the version check unless it shortens the wait.
    std::chrono::milliseconds checkDelay{6000};
    platform::SerialPorts* serialPorts = nullptr; // the dialer's, when a test gives them
    platform::FileDialogs* fileDialogs = nullptr; // the file dialogs' double, when a test gives one
    platform::Shell* desktopShell = nullptr;      // the links' and programs' double, likewise
    std::chrono::milliseconds progressDelay{500};
    platform::Connectivity* connectivity = nullptr;  // the network's state, when a test gives it
    carddav::PasswordStore* syncPasswords = nullptr; // the sync's password store, likewise

    Fixture() { tray.available = false; }

    QString mdb() const { return dir.filePath(QStringLiteral("VESK.MDB")); }

    app::MainWindow& make(shell::VersionCheckHook* hook = nullptr) {
        window.reset();
        shared = std::make_unique<mdlVesk::Shared>();
        shell::Services services{prompter,
                                 keyboard,
                                 settings,
                                 hook,
                                 [this] { return today; },
                                 &tray,
                                 QDir::toNativeSeparators(dir.path()) + QDir::separator(),
                                 checkDelay,
                                 fileDialogs,
                                 desktopShell};
        services.serialPorts = serialPorts;
        services.progressDelay = progressDelay;
        services.connectivity = connectivity;
        services.syncPasswords = syncPasswords;
        window = std::make_unique<app::MainWindow>(*shared, services);
        return *window;
    }

    app::MainWindow::LoadResult load(shell::VersionCheckHook* hook = nullptr) {
        return make(hook).load();
    }

    // The main window loaded over these cards in this language, with no message pending.
    app::MainWindow& start(const QStringList& vesk, const QStringList& work = {}, int lang = 200) {
        seed(vesk, work);
        settings.setValue(QStringLiteral("Settings/ActiveLang"), QString::number(lang));
        load();
        prompter.clear();
        return *window;
    }

    // The loaded window, shown.
    app::MainWindow& open(const QStringList& vesk, const QStringList& work = {}, int lang = 200) {
        start(vesk, work, lang).show();
        return *window;
    }

    // The main window's commands (by the name of their menu item), menus and buttons by
    // name, and whether a command or button is enabled.
    QAction* action(const char* name) const {
        return window->findChild<QAction*>(QString::fromLatin1(name));
    }
    void trigger(const char* name) const { action(name)->trigger(); }
    QMenu* menu(const char* name) const {
        return window->findChild<QMenu*>(QString::fromLatin1(name));
    }
    QToolButton* button(const char* name) const {
        return window->findChild<QToolButton*>(QString::fromLatin1(name));
    }
    bool enabled(const char* name) const {
        const QAction* a = action(name);
        return a ? a->isEnabled() : button(name)->isEnabled();
    }
    void press(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }

    // The centre of a grid cell (row 1 is the first card) and a click on it.
    QPoint cellCentre(int row, int col) const {
        const app::FlexGrid& g = *window->grid();
        return g.visualRect(g.model().index(row - 1, col)).center();
    }
    void clickCell(int row, int col, Qt::MouseButton mouse = Qt::LeftButton) const {
        QTest::mouseClick(window->grid()->viewport(), mouse, {}, cellCentre(row, col));
    }

    // The names of the grid's cards, trimmed, in the order shown.
    QStringList listed() const {
        QStringList names;
        for (int row = 1; window->grid()->isCardRow(row); ++row)
            names << window->grid()->cellText(row, 0).trimmed();
        return names;
    }

    // Settings as the program wrote them, and several written at once.
    QString setting(const char* key) {
        settings.sync();
        return settings.value(QString::fromLatin1(key)).toString();
    }
    void set(std::initializer_list<std::pair<const char*, QString>> values) {
        for (const auto& [key, value] : values)
            settings.setValue(QString::fromLatin1(key), value);
    }

    // Chooses an entry of the group box as a user would.
    void chooseGroup(int index) {
        window->groupBox()->setCurrentIndex(index);
        emit window->groupBox()->activated(index);
    }

    // A first start, so that VESK.MDB exists, then the given cards written straight to it.
    void seed(const QStringList& vesk, const QStringList& work = {}) {
        if (!QFile::exists(mdb())) {
            load();
            window->close();
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
