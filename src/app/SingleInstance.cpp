#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace app {

namespace {

const QByteArray request = QByteArrayLiteral("show\n");
const QByteArray reply = QByteArrayLiteral("shown\n");

// The socket lives in the user's private runtime folder, named after the folder's real path,
// so that every way of writing one folder meets the same program and nobody else can
// listen in its place.
QString serverNameFor(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    const QString name = QStringLiteral("orvenna-") + QString::fromLatin1(hash);
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

// Waits on the socket's signals, never longer than the deadline.
bool waitFor(QLocalSocket& socket, const QDeadlineTimer& deadline, void (QLocalSocket::*signal)()) {
    if (deadline.hasExpired())
        return false;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, signal, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    timer.start(int(deadline.remainingTime()));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return timer.isActive();
}

} // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent), m_folder(programFolder), m_serverName(serverNameFor(programFolder)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockFileName() {
    return QStringLiteral("Orvenna.lock");
}

SingleInstance::Role SingleInstance::claim() {
    if (m_lock)
        return Role::First;
    auto lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(lockFileName()));
    // Only a dead owner makes a lock stale, however long the first program has been running.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return Role::Second;
        return Role::Unguarded;
    }
    m_lock = std::move(lock);
    listen();
    return Role::First;
}

void SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock: a socket still there was left by a program that died.
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName))
        qWarning("Orvenna: a later start in this folder cannot reach this one: %s",
                 qPrintable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == request) {
                    emit activationRequested();
                    socket->write(reply);
                }
                socket->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::activateFirst(std::chrono::milliseconds timeout) {
    // The first start may be between taking the lock and listening: try again for a while.
    const QDeadlineTimer deadline(timeout);
    while (!deadline.hasExpired()) {
        if (tryActivate(std::chrono::milliseconds(deadline.remainingTime())))
            return true;
        QEventLoop pause;
        QTimer::singleShot(int(std::min<qint64>(100, deadline.remainingTime())), &pause,
                           &QEventLoop::quit);
        pause.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return false;
}

bool SingleInstance::tryActivate(std::chrono::milliseconds timeout) {
    const QDeadlineTimer deadline(timeout);
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (socket.state() == QLocalSocket::ConnectingState)
        waitFor(socket, deadline, &QLocalSocket::connected);
    if (socket.state() != QLocalSocket::ConnectedState)
        return false;
    socket.write(request);
    while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState)
        if (!waitFor(socket, deadline, &QLocalSocket::readyRead))
            break;
    return socket.canReadLine() && socket.readLine() == reply;
}

} // namespace app
