#pragma once

#include "sync/DavTransport.h"
#include "sync/Discovery.h"
#include "sync/SyncEngine.h"
#include "sync/SyncSettings.h"

#include <QObject>

#include <functional>

class QSettings;

namespace platform {
class Connectivity;
class Prompter;
} // namespace platform

namespace carddav {

class PasswordStore;

// Asked when the server refuses the password; the window implements it.
class PasswordPrompt {
public:
    virtual ~PasswordPrompt() = default;
    // A new password to try at once, or none to stop here.
    virtual std::optional<QString> askAgain(const QString& user, const QString& server) = 0;
};

// What the program knows of sync: the settings, the password, the certificate pin, one sync
// at a time and its last result, the conflicts. The window and the automatic triggers call it.
class SyncController final : public QObject {
    Q_OBJECT
public:
    SyncController(SyncEngine::Database db, QSettings& settings, platform::Prompter& prompter,
                   PasswordStore& passwords, platform::Connectivity* connectivity,
                   QObject* parent = nullptr);
    ~SyncController() override;

    void setHebrew(bool hebrew) { m_hebrew = hebrew; }
    bool hebrew() const { return m_hebrew; }
    void setHomeRegion(const QString& region) { m_region = region; }
    void setPasswordPrompt(PasswordPrompt* prompt) { m_prompt = prompt; }
    void setLimits(const DavLimits& limits) { m_transport->setLimits(limits); }

    SyncSettings settings() const { return m_settings; }
    void saveSettings(const SyncSettings& settings);
    // Keeps the password in the keychain (or for this run); the next request uses it.
    void setPassword(const QString& password);

    // Starts a sync unless one runs; offline it does nothing, quietly.
    void syncNow();
    bool running() const { return m_engine->running() || m_starting; }
    QString lastResult() const { return m_lastResult; }
    int requestsSent() const { return m_transport->requestsSent(); }

    void discover(std::function<void(const Discovered&)> done);
    void createBook(const QString& displayName,
                    std::function<void(const Outcome&, const AddressBook&)> done);

    std::vector<Conflict> conflicts();
    // Puts our version back into the list, to be sent at the next sync (started at once).
    bool keepLocal(qint64 conflict);
    void discard(qint64 conflict);

    // Forgets every sync of this file: after Import DB or an upgrade, the next is a first sync.
    void resetState();

signals:
    void started();
    void finished(const carddav::Outcome& outcome);
    void resultChanged(const QString& line);
    void cardsChanged(store::ContactGroup group);
    void conflictsChanged();
    // The server, the account, the books or the interval were saved.
    void settingsChanged();
    // No keychain service: the password is kept for this run only.
    void keychainMissing(const QString& line);

private:
    void withPassword(std::function<void()> next);
    void configureTransport();
    void onFinished(const Outcome& outcome);
    void finish(const Outcome& outcome);
    SyncConfig engineConfig() const;
    QString passwordKey() const;

    SyncEngine::Database m_db;
    QSettings& m_qsettings;
    platform::Prompter& m_prompter;
    PasswordStore& m_passwords;
    platform::Connectivity* m_connectivity;
    PasswordPrompt* m_prompt = nullptr;
    DavTransport* m_transport;
    SyncEngine* m_engine;
    SyncSettings m_settings;
    std::optional<QString> m_password;
    QString m_region;
    QString m_lastResult;
    bool m_hebrew = false;
    bool m_starting = false;
    bool m_askedAgain = false;
    bool m_toldNoKeychain = false;
};

} // namespace carddav
