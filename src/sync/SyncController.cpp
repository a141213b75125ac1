#include "sync/SyncController.h"

#include "platform/Connectivity.h"
#include "platform/Prompter.h"
#include "store/Sqlite.h"
#include "sync/PasswordStore.h"
#include "sync/SyncTexts.h"

#include <QSettings>
#include <QTimer>

namespace carddav {

SyncController::SyncController(SyncEngine::Database db, QSettings& settings,
                               platform::Prompter& prompter, PasswordStore& passwords,
                               platform::Connectivity* connectivity, QObject* parent)
    : QObject(parent), m_db(std::move(db)), m_qsettings(settings), m_prompter(prompter),
      m_passwords(passwords), m_connectivity(connectivity), m_transport(new DavTransport(this)),
      m_engine(new SyncEngine(*m_transport, m_db, this)), m_settings(SyncSettings::read(settings)) {
    connect(m_engine, &SyncEngine::finished, this, &SyncController::onFinished);
    connect(m_engine, &SyncEngine::cardsChanged, this, &SyncController::cardsChanged);
    configureTransport();
}

SyncController::~SyncController() = default;

QString SyncController::passwordKey() const {
    return m_settings.user + u'@' + m_settings.server;
}

void SyncController::configureTransport() {
    CertificatePin pin;
    pin.sha256 = m_settings.certificatePin;
    pin.askTrust = [this](const QByteArray& fingerprint) {
        return m_prompter.ask(
                   {text(Text::TrustQuestion, m_hebrew).arg(QString::fromLatin1(fingerprint)),
                    text(Text::Caption, m_hebrew), platform::Buttons::YesNo,
                    platform::Icon::Question}) == platform::Answer::Yes;
    };
    pin.remember = [this](const QByteArray& fingerprint) {
        m_settings.certificatePin = fingerprint;
        m_settings.write(m_qsettings);
    };
    m_transport->setPin(pin);
    m_transport->setCredentials(m_settings.user, m_password.value_or(QString()));
}

void SyncController::saveSettings(const SyncSettings& settings) {
    // A pin belongs to one server, a password to one server and user.
    const bool otherServer = settings.server != m_settings.server;
    const bool otherAccount = otherServer || settings.user != m_settings.user;
    m_settings = settings;
    if (otherServer)
        m_settings.certificatePin.clear();
    if (otherAccount)
        m_password.reset();
    m_settings.write(m_qsettings);
    configureTransport();
    emit settingsChanged();
}

void SyncController::setPassword(const QString& password) {
    m_password = password;
    configureTransport();
    m_passwords.write(passwordKey(), password, [this](bool noKeychain) {
        if (noKeychain && !m_toldNoKeychain) {
            m_toldNoKeychain = true;
            emit keychainMissing(text(Text::NoKeychain, m_hebrew));
        }
    });
}

void SyncController::withPassword(std::function<void()> next) {
    if (m_password)
        return next();
    m_passwords.read(passwordKey(), [this, next](std::optional<QString> password, bool noKeychain) {
        if (noKeychain && !m_toldNoKeychain) {
            m_toldNoKeychain = true;
            emit keychainMissing(text(Text::NoKeychain, m_hebrew));
        }
        m_password = password.value_or(QString());
        configureTransport();
        next();
    });
}

SyncConfig SyncController::engineConfig() const {
    SyncConfig config;
    config.server = QUrl(m_settings.server);
    config.user = m_settings.user;
    config.region = m_region;
    config.personalBook = m_settings.personalBook;
    config.workBook = m_settings.workBook;
    return config;
}

void SyncController::syncNow() {
    if (running())
        return;
    if (m_connectivity && !m_connectivity->connected()) {
        emit finished(Outcome{Problem::Offline, 0, {}});
        return;
    }
    if (!m_settings.configured()) {
        Outcome o{Problem::NotConfigured, 0, {}};
        m_lastResult = describe(o, m_hebrew);
        emit resultChanged(m_lastResult);
        emit finished(o);
        return;
    }
    m_starting = true;
    emit started();
    withPassword([this] {
        m_starting = false;
        m_engine->run(engineConfig());
    });
}

void SyncController::onFinished(const Outcome& outcome) {
    if (outcome.problem == Problem::Password && m_prompt && !m_askedAgain) {
        // Asked once, from the event loop rather than inside the network's callback.
        m_askedAgain = true;
        QTimer::singleShot(0, this, [this, outcome] {
            const std::optional<QString> again =
                m_prompt ? m_prompt->askAgain(m_settings.user, m_settings.server) : std::nullopt;
            if (!again)
                return finish(outcome);
            setPassword(*again);
            m_engine->run(engineConfig());
        });
        return;
    }
    finish(outcome);
}

void SyncController::finish(const Outcome& outcome) {
    m_askedAgain = false;
    m_lastResult = describe(outcome, m_hebrew);
    emit resultChanged(m_lastResult);
    if (outcome.conflicts > 0)
        emit conflictsChanged();
    emit finished(outcome);
}

void SyncController::discover(std::function<void(const Discovered&)> done) {
    withPassword([this, done] { carddav::discover(*m_transport, QUrl(m_settings.server), done); });
}

void SyncController::createBook(const QString& displayName,
                                std::function<void(const Outcome&, const AddressBook&)> done) {
    discover([this, displayName, done](const Discovered& found) {
        if (!found.outcome.ok())
            return done(found.outcome, {});
        createAddressBook(*m_transport, QUrl(m_settings.server), found.homeSet, displayName, done);
    });
}

std::vector<Conflict> SyncController::conflicts() {
    std::shared_ptr<store::Connection> db = m_db();
    if (!SyncState::exists(*db))
        return {};
    return SyncState(*db).conflicts();
}

bool SyncController::keepLocal(qint64 id) {
    std::shared_ptr<store::Connection> db = m_db();
    bool kept = false;
    store::ContactGroup group = store::ContactGroup::None;
    {
        store::Transaction t(*db);
        SyncState state(*db);
        for (const Conflict& c : state.conflicts()) {
            if (c.id != id)
                continue;
            group = c.local.group;
            const std::optional<store::ContactRecord> now = ReadContact(*db, group, c.row);
            kept = now ? store::UpdateContact(*db, *now, c.local)
                       : store::InsertContact(*db, c.local) > 0;
            state.removeConflict(id);
        }
        t.commit();
    }
    emit conflictsChanged();
    if (kept) {
        emit cardsChanged(group);
        syncNow();
    }
    return kept;
}

void SyncController::discard(qint64 id) {
    std::shared_ptr<store::Connection> db = m_db();
    SyncState(*db).removeConflict(id);
    emit conflictsChanged();
}

void SyncController::resetState() {
    std::shared_ptr<store::Connection> db = m_db();
    SyncState::drop(*db);
    emit conflictsChanged();
}

} // namespace carddav
