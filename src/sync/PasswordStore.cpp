#include "sync/PasswordStore.h"

#include <qt6keychain/keychain.h>

namespace carddav {

namespace {

const QString Service = QStringLiteral("Orvenna");

bool noService(QKeychain::Error error) {
    return error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented ||
           error == QKeychain::OtherError;
}

} // namespace

void KeychainPasswordStore::read(const QString& key, ReadDone done) {
    if (m_noKeychain) {
        m_thisRun.read(key, [done](std::optional<QString> p, bool) { done(p, true); });
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(Service, this);
    job->setInsecureFallback(false);
    job->setKey(key);
    connect(job, &QKeychain::Job::finished, this, [this, job, key, done] {
        if (job->error() == QKeychain::NoError)
            return done(job->textData(), false);
        if (job->error() == QKeychain::EntryNotFound)
            return done(std::nullopt, false);
        m_noKeychain = m_noKeychain || noService(job->error());
        m_thisRun.read(key,
                       [this, done](std::optional<QString> p, bool) { done(p, m_noKeychain); });
    });
    job->start();
}

void KeychainPasswordStore::write(const QString& key, const QString& password, WriteDone done) {
    m_thisRun.write(key, password, [](bool) {});
    if (m_noKeychain)
        return done(true);
    auto* job = new QKeychain::WritePasswordJob(Service, this);
    job->setInsecureFallback(false);
    job->setKey(key);
    job->setTextData(password);
    connect(job, &QKeychain::Job::finished, this, [this, job, done] {
        m_noKeychain = m_noKeychain || (job->error() != QKeychain::NoError);
        done(m_noKeychain);
    });
    job->start();
}

} // namespace carddav
