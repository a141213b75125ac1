#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

class QLocalServer;
class QLockFile;

namespace app {

// One running program per program folder. The first start in a folder holds a lock file
// there and listens on a local socket named after the folder; a later start in the same
// folder finds the lock held, asks the first to come forward through the socket, and ends.
// Starts in other folders do not meet. A lock left by a program that died is taken over.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Role {
        First,     // this start holds the folder and listens
        Second,    // another start holds the folder
        Unguarded, // no lock can be kept here (a read-only or missing folder): run alone
    };
    Role claim();

    // For a second start: asks the first one to come forward; true once it has answered.
    bool activateFirst(std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // The lock file and the socket, for the folder given.
    static QString lockFileName();
    QString serverName() const { return m_serverName; }

signals:
    // A later start in this folder asks this one to come forward.
    void activationRequested();

private:
    void listen();
    bool tryActivate(std::chrono::milliseconds timeout);

    QString m_folder;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace app
