#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

class QEventLoop;
class QIODevice;

namespace platform {
class SerialPorts;
}

namespace dialer {

// The number as it is dialled: spaces trimmed at both ends, then only the decimal digits,
// in their order ("+", "-", spaces, brackets, letters, "*" and "#" are dropped).
QString digitsOf(const QString& number);

// The Hayes commands, each ended by a carriage return: the probe (verbose result codes, not
// suppressed), the tone dial (the ";" returns the modem to command mode once it has dialled,
// so the call is a voice call) and the hang-up.
QByteArray probeCommand();
QByteArray dialCommand(const QString& digits);
QByteArray hangUpCommand();

// What the modem says while a dial waits for its "OK": whether the "OK" has come, wherever
// the reads cut the text, and the modem's last answer line ("BUSY", "NO DIALTONE"). Each byte
// is looked at once and little is kept, however long the modem goes on.
class DialReply {
public:
    // The longest answer kept; the rest of a longer line is dropped.
    static constexpr qsizetype answerLimit = 80;

    // Takes the bytes that arrived; true once "OK" has come.
    bool take(QByteArrayView bytes);
    // The last line the modem ended, blanks trimmed and only its printable characters;
    // empty before the first.
    QString lastAnswer() const { return QString::fromLatin1(m_answer); }

private:
    bool m_answered = false;
    char m_previous = 0; // the last byte taken: an "O" the next read's "K" completes
    QByteArray m_line;   // the line still being received
    QByteArray m_answer;
};

// Talks to a modem on any open device: a serial port, a pseudo-terminal, a buffer. Every
// wait serves the event loop, so the windows stay alive and Cancel works, but sleeps until
// the port, the cancel or a timer wakes it: no core spins while the modem is silent.
class Modem final : public QObject {
    Q_OBJECT
public:
    // Each port that opens is given this long to answer the probe, whatever it answers.
    static constexpr std::chrono::milliseconds probeWait{1000};

    // Sends the probe, waits the probe's second and appends what arrived to `reply`.
    void probe(QIODevice& port, QByteArray& reply);
    // Whether the probe's replies show a modem.
    static bool found(const QByteArray& reply) { return reply.contains("OK\r\n"); }

    enum class DialResult { Answered, Cancelled };
    // Empties what is waiting, sends the dial command and waits, with no time limit, until
    // "OK" has arrived (other replies, "BUSY" say, do not end it) or the dial is cancelled;
    // `answerChanged`, when given, hears each new last answer of the modem meanwhile. Ended
    // from outside (the program is ending) it counts as cancelled.
    DialResult dial(QIODevice& port, const QByteArray& command,
                    const std::function<void(const QString&)>& answerChanged = {});
    // The caller closes the port after it.
    static void hangUp(QIODevice& port);

    // Ends the wait that is running, or else the next one (the flag a wait clears).
    void cancel();
    bool cancelled() const { return m_cancel; }
    void clearCancel() { m_cancel = false; }

private:
    // Serves the event loop until `done` holds after input arrived, a cancel, or the
    // timeout (none when zero).
    void wait(QIODevice& port, const std::function<bool()>& done,
              std::chrono::milliseconds timeout);

    bool m_cancel = false;
    QEventLoop* m_loop = nullptr;
};

// The first port, 1 to 4, whose modem answers the probe; 0 when none does. A port that does
// not open is skipped; each port that opens costs the probe's second and is closed again. The
// reply text is kept from port to port. A cancel ends the search with 0.
int findModem(platform::SerialPorts& ports, Modem& modem);

} // namespace dialer
