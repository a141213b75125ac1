#pragma once

#include <QDir>
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
// after `dialDelay` ms (never when negative). It keeps the slave open too, so the master
// never sees the line hang up.
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

    QString device;
    QString log;
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
            if (!m_silent && command == "ATV1Q0")
                answer();
            else if (!m_silent && command.startsWith("ATDT") && command.endsWith(';') &&
                     m_dialDelay >= 0)
                QTimer::singleShot(m_dialDelay, this, &SimulatedModem::answer);
        }
    }
    void answer() { QVERIFY(::write(m_master, "OK\r\n", 4) == 4); }

    int m_dialDelay;
    bool m_silent;
    int m_master = -1;
    int m_slave = -1;
    QSocketNotifier m_notifier{QSocketNotifier::Read};
    QByteArray m_pending;
};

} // namespace testing
