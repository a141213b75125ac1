#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace carddav {

// Where the server's password is kept between runs: never in the settings file.
class PasswordStore {
public:
    virtual ~PasswordStore() = default;
    // `password` is none when nothing is kept under the key; `noKeychain` says that no
    // keychain service answered, so a password is kept for this run only.
    using ReadDone = std::function<void(std::optional<QString> password, bool noKeychain)>;
    virtual void read(const QString& key, ReadDone done) = 0;
    using WriteDone = std::function<void(bool noKeychain)>;
    virtual void write(const QString& key, const QString& password, WriteDone done) = 0;
};

// Kept in memory for this run: the stand-in where no keychain service runs, and in tests.
class MemoryPasswordStore final : public PasswordStore {
public:
    void read(const QString& key, ReadDone done) override {
        done(m_passwords.contains(key) ? std::optional(m_passwords.value(key)) : std::nullopt,
             false);
    }
    void write(const QString& key, const QString& password, WriteDone done) override {
        m_passwords.insert(key, password);
        done(false);
    }

private:
    QHash<QString, QString> m_passwords;
};

// The system keychain through QtKeychain (the Secret Service or KWallet here, the Keychain on
// macOS, the Credential Manager on Windows), never its plain-text fallback. Where no service
// answers, the password stays in memory for this run and the caller is told.
class KeychainPasswordStore final : public QObject, public PasswordStore {
    Q_OBJECT
public:
    explicit KeychainPasswordStore(QObject* parent = nullptr) : QObject(parent) {}
    void read(const QString& key, ReadDone done) override;
    void write(const QString& key, const QString& password, WriteDone done) override;

private:
    MemoryPasswordStore m_thisRun;
    bool m_noKeychain = false;
};

} // namespace carddav
