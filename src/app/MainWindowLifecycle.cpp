// Startup, the remembered settings, shutdown and the final release of the main window.
#include "app/FlexGrid.h"
#include "app/LetterTabs.h"
#include "app/MainWindow.h"
#include "editor/RecordEditor.h"
#include "i18n/Messages.h"
#include "i18n/StringTable.h"
#include "platform/KeyboardLayout.h"
#include "platform/TrayIcon.h"
#include "search/SearchWindow.h"
#include "shell/Placement.h"
#include "shell/Settings.h"
#include "shell/Shared.h"
#include "shell/StoreMessages.h"
#include "store/Startup.h"
#include "store/StoreError.h"
#include "update/VersionCheckWindow.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QSettings>

#include <algorithm>

namespace app {

namespace {
const QString sSettings = QStringLiteral("Settings");
const QString sLiveUpdate = QStringLiteral("LiveUpdate");
} // namespace

MainWindow::LoadResult MainWindow::load() {
    m_shared.CrLf = QStringLiteral("\r\n");
    installWheelHook();
    m_shared.programFolder = m_services.programFolder;
    m_lastWidth = widthTwips();
    m_lastHeight = heightTwips();
    m_shared.CurrentLang = i18n::LangNone;
    loadPlacement();

    shell::SettingsStore settings(m_services.settings);
    m_shared.LiveUpdateEnabled =
        settings.boolean(sLiveUpdate, QStringLiteral("Enable")).value_or(true);
    m_actions.liveUpdate->setChecked(m_shared.LiveUpdateEnabled);
    const int lastCheck = settings.integer(sLiveUpdate, QStringLiteral("LastCheck")).value_or(0);
    m_shared.LastCheckMonth = lastCheck >= 0 && lastCheck <= 255 ? lastCheck : 0;
    int lang = settings.integer(sSettings, QStringLiteral("ActiveLang")).value_or(i18n::LangHebrew);
    if (lang != i18n::LangEnglish && lang != i18n::LangHebrew)
        lang = i18n::LangHebrew;
    // The database's messages may come before the language is applied: their buttons are
    // already in the language the window is about to take.
    m_qtTranslation.apply(lang);

    m_shared.GroupNamePersonal = QStringLiteral("Personal");
    m_shared.GroupNameWork = QStringLiteral("Work");
    m_groupBox->clear();
    m_groupBox->addItems({m_shared.GroupNamePersonal, m_shared.GroupNameWork});
    m_groupBox->setCurrentIndex(0);

    store::StartupContext cx{m_shared.db, m_shared.programFolder};
    cx.onNotice = [this](const store::StartupNotice& notice) {
        m_services.prompter.ask(shell::startupMessage(notice, m_shared.AppTitle, m_shared.CrLf));
    };
    const store::StartupOutcome opened = store::OpenContactDatabase(cx);
    if (opened.result == store::StartupResult::EndProgram)
        return LoadResult::EndProgram;

    m_shared.DialerIdle = true;
    m_shared.AppTitle = i18n::messages::appTitle();
    setWindowTitle(m_shared.AppTitle);
    for (QLabel* l : m_titles)
        l->setText(m_shared.AppTitle);
    m_shared.SortOrder = QStringLiteral("ASC");

    {
        const QSignalBlocker block(m_letterTabs);
        m_letterTabs->setCurrentIndex(0);
    }
    setLanguage(lang);
    listChosenLetter();
    if (m_shared.CurrentLang == i18n::LangHebrew)
        m_services.keyboard.activateHebrew();

    const int month = m_services.today().month();
    if (m_shared.LiveUpdateEnabled && month > m_shared.LastCheckMonth) {
        m_checkTimer.setInterval(m_services.versionCheckDelay);
        m_checkTimer.start();
    }

    if (m_showMaximized) {
        showMaximized();
    } else {
        show();
        // The frame is known once the window is shown: it too must be on the screen.
        shell::keepOnScreen(*this);
    }
    addTrayIcon();
    startSync(std::any_of(opened.notices.begin(), opened.notices.end(), [](const auto& n) {
        return n.kind == store::StartupNotice::Kind::Upgraded;
    }));
    return LoadResult::Running;
}

void MainWindow::loadPlacement() {
    shell::SettingsStore settings(m_services.settings);
    const Twips tw(dpi());
    // The normal placement first, then the state, so that a window restored maximised
    // still returns to its remembered normal placement.
    const auto left = settings.single(sSettings, QStringLiteral("MainLeft"));
    const auto top = settings.single(sSettings, QStringLiteral("MainTop"));
    const auto width = settings.single(sSettings, QStringLiteral("MainWidth"));
    const auto height = settings.single(sSettings, QStringLiteral("MainHeight"));
    if (left || top)
        move(left ? tw.px(int(*left)) : x(), top ? tw.px(int(*top)) : y());
    if (width) {
        resize(tw.px(int(*width)), this->height());
        followResize();
    }
    if (height) {
        resize(this->width(), tw.px(int(*height)));
        followResize();
    }
    // A placement remembered on a larger screen, at another DPI or on a monitor that is gone
    // is brought wholly onto a screen, keeping its size where it fits.
    shell::keepOnScreen(*this);
    followResize();
    const auto state = settings.integer(sSettings, QStringLiteral("Window"));
    m_showMaximized = state.value_or(0) == 2;
}

void MainWindow::savePlacement() {
    shell::SettingsStore settings(m_services.settings);
    if (isMinimized())
        return;
    if (isMaximized()) {
        settings.setInteger(sSettings, QStringLiteral("Window"), 2);
        return;
    }
    const Twips tw(dpi());
    settings.setInteger(sSettings, QStringLiteral("Window"), 0);
    settings.setSingle(sSettings, QStringLiteral("MainLeft"), float(tw.fromPx(x())));
    settings.setSingle(sSettings, QStringLiteral("MainTop"), float(tw.fromPx(y())));
    settings.setSingle(sSettings, QStringLiteral("MainWidth"), float(widthTwips()));
    settings.setSingle(sSettings, QStringLiteral("MainHeight"), float(heightTwips()));
}

void MainWindow::unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    savePlacement();
    shell::SettingsStore settings(m_services.settings);
    settings.setInteger(sSettings, QStringLiteral("ActiveLang"), m_shared.CurrentLang);
    settings.setBoolean(sLiveUpdate, QStringLiteral("Enable"), m_shared.LiveUpdateEnabled);
    settings.setInteger(sLiveUpdate, QStringLiteral("LastCheck"), m_shared.LastCheckMonth);
    settings.sync();
    m_checkTimer.stop();
    removeWheelHook();
    // The other windows go with the main one.
    if (QWidget* searchWindow = m_search.data())
        searchWindow->close();
    if (QWidget* editorWindow = m_editor.data())
        editorWindow->close();
    if (QWidget* versionWindow = m_versionWindow.data())
        versionWindow->close();
    closeDialer();
    emit unloaded();
}

void MainWindow::shutDown() {
    if (m_shutDown)
        return;
    m_shutDown = true;
    // From here on nothing may stop the program from ending.
    try {
        m_shared.db.close();
    } catch (const store::StoreError&) {
    }
    if (m_services.tray)
        m_services.tray->remove();
}

} // namespace app
