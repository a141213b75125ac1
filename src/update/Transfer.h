#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <chrono>

class QIODevice;
class QNetworkAccessManager;

namespace update {

// One HTTP fetch at a time over http or https, redirects followed. The body is kept in
// memory up to a limit (the version page) or streamed into a device (the installer);
// `finished` comes from the event loop once the fetch has ended, so its handler may show
// message boxes.
// Progress is reported as the states the window shows: ResolvingHost to ReceivingResponse
// as the request goes on, ResponseReceived and then Completed on success, Failed on a
// failure. A fetch fails after `timeout` without progress.
class Transfer final : public QObject {
    Q_OBJECT
public:
    // How far a fetch has gone. The numbers are the window's state codes: each has its status
    // text, and a failed download names its state by number.
    enum class State {
        None = 0, // nothing fetched yet
        ResolvingHost = 1,
        HostResolved = 2,
        Connecting = 3,
        Connected = 4,
        SendingRequest = 5,
        RequestSent = 6,
        ReceivingResponse = 7,
        ResponseReceived = 8,
        // 9 and 10, the disconnection, are never reported.
        Failed = 11,
        Completed = 12,
    };
    Q_ENUM(State)

    Transfer(std::chrono::milliseconds timeout, QObject* parent = nullptr);
    ~Transfer() override;

    // Starts a fetch whose body is kept for body(); a body longer than `limit` bytes ends it
    // as a failure as soon as its length is told or reached, so no page takes more memory.
    void fetch(const QUrl& url, qint64 limit);
    // Starts a fetch whose body streams into `sink`.
    void fetch(const QUrl& url, QIODevice& sink);
    // Stops the fetch; `finished` follows, as a failure.
    void cancel();
    // Stops the fetch without a word: no `finished` follows.
    void abandon();
    bool busy() const { return m_reply != nullptr; }

    bool succeeded() const { return m_succeeded; }
    // The body of a fetch without a sink.
    const QByteArray& body() const { return m_body; }
    qint64 bytesReceived() const { return m_bytes; }
    // The sink refused bytes: the fetch was stopped.
    bool sinkFailed() const { return m_sinkFailed; }
    // The server's status line ("404 Not Found"), or what went wrong without one.
    QString responseValue() const { return m_response; }

signals:
    void stateChanged(update::Transfer::State state);
    void finished();

private:
    void start(const QUrl& url);
    // Whether the body would grow past the limit with `more` bytes: the fetch is stopped.
    bool overLimit(qint64 more);
    void take();
    void done();

    std::chrono::milliseconds m_timeout;
    QNetworkAccessManager* m_manager;
    QPointer<QNetworkReply> m_reply;
    QIODevice* m_sink = nullptr;
    qint64 m_limit = 0; // of a body kept in memory
    QByteArray m_body;
    qint64 m_bytes = 0;
    bool m_succeeded = false;
    bool m_sinkFailed = false;
    bool m_tooLarge = false;
    bool m_cancelled = false;
    bool m_answered = false;
    int m_fetchNumber = 0;
    QString m_response;
};

} // namespace update
