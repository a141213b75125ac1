// The main window's part in the sync with a CardDAV server: the Option menu's item opens the
// sync window; the controller syncs by itself (AutoSync) and the status bar's third panel says
// how the last sync went.
#include "app/ContactsTransfer.h"
#include "app/MainWindow.h"
#include "i18n/StringTable.h"
#include "shell/Shared.h"
#include "store/StoreError.h"
#include "sync/AutoSync.h"
#include "sync/PasswordStore.h"
#include "sync/SyncController.h"
#include "sync/SyncTexts.h"
#include "sync/SyncWindow.h"

#include <QLabel>

namespace app {

void MainWindow::startSync(bool upgraded) {
    if (m_sync)
        return;
    carddav::PasswordStore* passwords = m_services.syncPasswords;
    if (!passwords)
        passwords = new carddav::KeychainPasswordStore(this);
    // Each use takes the file open at that moment (Import DB opens another one), and watches
    // it for the user's changes.
    auto database = [this] {
        std::shared_ptr<store::Connection> db = m_shared.db.shared();
        if (m_autoSync)
            m_autoSync->watch(db);
        return db;
    };
    m_sync = new carddav::SyncController(database, m_services.settings, m_services.prompter,
                                         *passwords, m_services.connectivity, this);
    m_autoSync = new carddav::AutoSync(*m_sync, this);
    connect(m_sync, &carddav::SyncController::started, this, [this] {
        // Numbers are fitted as Import Contacts fits them, to the region of that moment.
        m_sync->setHomeRegion(ContactsImport(m_shared.db, m_services.settings)
                                  .homeRegion(m_shared.CurrentLang == i18n::LangHebrew));
        m_syncing = true;
        showSyncNote();
    });
    connect(m_sync, &carddav::SyncController::finished, this, &MainWindow::syncFinished);
    connect(m_sync, &carddav::SyncController::settingsChanged, this, &MainWindow::showSyncNote);
    connect(m_sync, &carddav::SyncController::cardsChanged, this, [this](store::ContactGroup g) {
        if (g == currentGroup())
            refreshList();
    });
    connect(this, &MainWindow::unloaded, m_autoSync, &carddav::AutoSync::stop);
    try {
        // An upgraded file is another file: the next sync matches its cards afresh.
        if (upgraded)
            m_sync->resetState();
        m_autoSync->watch(m_shared.db.shared());
    } catch (const store::StoreError&) {
        // Not open after all: the sync's own use opens it, or says why.
    }
    showSyncNote();
    m_autoSync->start();
}

void MainWindow::afterDatabaseReplaced() {
    if (!m_sync)
        return;
    // The cards came from another file, whatever it knew of a server: a first sync matches
    // them by name with the server's.
    try {
        m_sync->resetState();
    } catch (const store::StoreError&) {
    }
    m_autoSync->soon();
}

void MainWindow::syncFinished(const carddav::Outcome& outcome) {
    m_syncing = false;
    // Offline the sync was skipped quietly: the note still tells the last one that ran.
    if (outcome.problem != carddav::Problem::Offline)
        m_lastSync = std::make_shared<const carddav::Outcome>(outcome);
    showSyncNote();
}

void MainWindow::showSyncNote() {
    if (!m_syncPanel)
        return;
    const bool hebrew = m_shared.CurrentLang == i18n::LangHebrew;
    QString note;
    if (m_sync) {
        m_sync->setHebrew(hebrew);
        if (m_syncing)
            note = carddav::text(carddav::Text::Syncing, hebrew);
        else if (m_lastSync)
            note = carddav::describe(*m_lastSync, hebrew);
    }
    m_syncPanel->setText(note);
    m_syncPanel->setToolTip(note);
    // The panel is there once a server is set up.
    const bool shown = m_sync && m_sync->settings().configured();
    if (m_syncPanel->isHidden() == shown) {
        m_syncPanel->setHidden(!shown);
        applyLayout();
    }
}

void MainWindow::openSync() {
    if (!m_sync)
        return;
    // One sync window: while it is open the command brings it forward.
    if (!m_syncWindow) {
        m_syncWindow = new carddav::SyncWindow(
            *m_sync, m_services.prompter, m_shared.CurrentLang == i18n::LangHebrew,
            m_shared.GroupNamePersonal, m_shared.GroupNameWork, this);
        connect(this, &MainWindow::unloaded, m_syncWindow.data(), &QWidget::close);
    }
    m_syncWindow->show();
    m_syncWindow->raise();
    m_syncWindow->activateWindow();
}

carddav::SyncWindow* MainWindow::syncWindow() const {
    return m_syncWindow.data();
}

} // namespace app
