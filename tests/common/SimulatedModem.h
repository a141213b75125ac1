#pragma once

#include <QDir>
#include <QList>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <functional>

namespace testing {

// A small Hayes modem on the master side of a real pseudo-terminal, whose slave device stands
// for a serial port. It records every command in `log` ('|' between them); unless silent (a
// port with no modem behind it) it answers "ATV1Q0" with "OK\r\n" at once and "ATDT...;"
// with the pieces of `dialReply`, each `dialDelay` ms after the one before has gone out
// (never when the delay is negative). A piece goes out as fast as the line takes it, so a
// long one floods the line. It keeps the slave open too, so the master never sees the line
// hang up.
class SimulatedModem final : public QObject {
public:
    explicit SimulatedModem(int dialDelay, bool silent = false)
        : m_dialDelay(dialDelay), m_silent(silent) {
        termios raw{};
        cfmakeraw(&raw);
        char name[128] = {};
        QVERIFY(::openpty(&m_master, &m_slave, name, &raw, nullptr) == 0);
        device = QString::fromLocal8Bit(name);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_notifier.setSocket(m_master);
        m_notifier.setEnabled(true);
        connect(&m_notifier, &QSocketNotifier::activated, this, &SimulatedModem::read);
        m_writable.setSocket(m_master);
        m_writable.setEnabled(false);
        connect(&m_writable, &QSocketNotifier::activated, this, &SimulatedModem::pump);
    }
    ~SimulatedModem() override {
        ::close(m_slave);
        ::close(m_master);
    }
    // Descriptors of this process open on the device, besides the modem's own.
    int openedByOthers() const {
        int count = -1;
        const QDir fds(QStringLiteral("/proc/self/fd"));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::AllEntries | QDir::System))
            count += fd.symLinkTarget() == device;
        return count;
    }
    // Whether a dial command came and every piece of the reply to it has gone out.
    bool replied() const { return m_dialled && m_replyLeft.isEmpty() && m_out.isEmpty(); }

    QString device;
    QString log;
    QList<QByteArray> dialReply{QByteArrayLiteral("OK\r\n")};
    std::function<void(const QByteArray&)> onCommand = [](const QByteArray&) {};

private:
    void read() {
        char buffer[256];
        for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
            m_pending.append(buffer, n);
        for (qsizetype end; (end = m_pending.indexOf('\r')) >= 0; m_pending.remove(0, end + 1)) {
            const QByteArray command = m_pending.left(end);
            log += (log.isEmpty() ? "" : "|") + QString::fromLatin1(command);
            onCommand(command);
            if (m_silent)
                continue;
            if (command == "ATV1Q0") {
                m_out += "OK\r\n";
                pump();
            } else if (command.startsWith("ATDT") && command.endsWith(';') && m_dialDelay >= 0) {
                m_dialled = true;
                m_replyLeft = dialReply;
                QTimer::singleShot(m_dialDelay, this, &SimulatedModem::nextPiece);
            }
        }
    }
    void nextPiece() {
        if (m_replyLeft.isEmpty())
            return;
        m_out += m_replyLeft.takeFirst();
        pump();
    }
    // Writes what is waiting as far as the line takes it, the rest when it has room again.
    void pump() {
        for (ssize_t n; m_sent < m_out.size(); m_sent += n) {
            n = ::write(m_master, m_out.constData() + m_sent, size_t(m_out.size() - m_sent));
            if (n <= 0) {
                m_writable.setEnabled(true);
                return;
            }
        }
        m_out.clear();
        m_sent = 0;
        m_writable.setEnabled(false);
        if (!m_replyLeft.isEmpty())
            QTimer::singleShot(m_dialDelay, this, &SimulatedModem::nextPiece);
    }

    int m_dialDelay;
    bool m_silent;
    int m_master = -1;
    int m_slave = -1;
    QSocketNotifier m_notifier{QSocketNotifier::Read};
    QSocketNotifier m_writable{QSocketNotifier::Write};
    QByteArray m_pending;
    QByteArray m_out; // what goes out, from m_sent on
    qsizetype m_sent = 0;
    QList<QByteArray> m_replyLeft;
    bool m_dialled = false;
};

} // namespace testing
