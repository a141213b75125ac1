#include "dialer/Modem.h"

#include "platform/SerialPorts.h"

#include <QEventLoop>
#include <QIODevice>
#include <QTimer>

namespace dialer {

namespace {

void send(QIODevice& port, const QByteArray& bytes) {
    if (!port.isOpen())
        return;
    port.write(bytes);
    // A serial port writes from its own buffer when the event loop runs: the hang-up must be
    // out before the port closes. A device with nothing to wait for returns at once.
    while (port.bytesToWrite() > 0 && port.waitForBytesWritten(1000)) {
    }
}

} // namespace

QString digitsOf(const QString& number) {
    QString digits;
    for (const QChar c : number)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits;
}

QByteArray probeCommand() {
    return QByteArrayLiteral("ATV1Q0\r");
}
QByteArray dialCommand(const QString& digits) {
    return "ATDT" + digits.toLatin1() + ";\r";
}
QByteArray hangUpCommand() {
    return QByteArrayLiteral("ATH\r");
}

void Modem::wait(QIODevice& port, const std::function<bool()>& done,
                 std::chrono::milliseconds timeout) {
    if (m_cancel || done())
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&port, &QIODevice::readyRead, &loop, [&] {
        if (done())
            loop.quit();
    });
    if (timeout.count() > 0)
        timer.start(timeout);
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
}

void Modem::cancel() {
    m_cancel = true;
    if (m_loop)
        m_loop->quit();
}

void Modem::probe(QIODevice& port, QByteArray& reply) {
    send(port, probeCommand());
    wait(
        port, [] { return false; }, probeWait);
    reply += port.readAll();
}

bool DialReply::take(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return m_answered;
    m_answered = m_answered || (m_previous == 'O' && bytes.front() == 'K') || bytes.contains("OK");
    m_previous = bytes.back();
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            const QByteArray line = m_line.trimmed();
            if (!line.isEmpty())
                m_answer = line;
            m_line.clear();
        } else if (c >= ' ' && c <= '~' && m_line.size() < answerLimit) {
            m_line += c;
        }
    }
    return m_answered;
}

Modem::DialResult Modem::dial(QIODevice& port, const QByteArray& command,
                              const std::function<void(const QString&)>& answerChanged) {
    port.readAll();
    send(port, command);
    DialReply reply;
    auto answered = [&] {
        if (m_cancel)
            return false;
        const QString before = reply.lastAnswer();
        const bool ok = reply.take(port.readAll());
        if (answerChanged && reply.lastAnswer() != before)
            answerChanged(reply.lastAnswer());
        return ok;
    };
    wait(port, answered, std::chrono::milliseconds::zero());
    if (m_cancel) {
        m_cancel = false;
        return DialResult::Cancelled;
    }
    return answered() ? DialResult::Answered : DialResult::Cancelled;
}

void Modem::hangUp(QIODevice& port) {
    send(port, hangUpCommand());
}

int findModem(platform::SerialPorts& ports, Modem& modem) {
    QByteArray reply;
    for (int port = 1; port <= 4 && !modem.cancelled(); ++port) {
        const std::unique_ptr<QIODevice> device = ports.open(port);
        if (!device)
            continue;
        modem.probe(*device, reply);
        device->close();
        if (Modem::found(reply))
            return port;
    }
    return 0;
}

} // namespace dialer
