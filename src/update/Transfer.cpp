#include "update/Transfer.h"

#include "i18n/Messages.h"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace update {

Transfer::Transfer(std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent), m_timeout(timeout), m_manager(new QNetworkAccessManager(this)) {}

Transfer::~Transfer() {
    abandon();
}

void Transfer::abandon() {
    ++m_fetchNumber;
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void Transfer::fetch(const QUrl& url, qint64 limit) {
    m_sink = nullptr;
    m_limit = limit;
    start(url);
}

void Transfer::fetch(const QUrl& url, QIODevice& sink) {
    m_sink = &sink;
    start(url);
}

void Transfer::start(const QUrl& url) {
    abandon();
    m_body.clear();
    m_bytes = 0;
    m_succeeded = m_sinkFailed = m_tooLarge = m_cancelled = m_answered = false;
    m_response.clear();
    emit stateChanged(State::ResolvingHost);
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) {
        // Only web addresses: a page naming a local file gets no copy of it.
        m_response = QStringLiteral("Protocol \"%1\" is unknown").arg(url.scheme());
        emit stateChanged(State::Failed);
        QMetaObject::invokeMethod(
            this,
            [this, fetchNumber = m_fetchNumber] {
                if (fetchNumber == m_fetchNumber)
                    emit finished();
            },
            Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(int(m_timeout.count()));
    QNetworkReply* reply = m_manager->get(request);
    m_reply = reply;
    // The network is read only as fast as the bytes are taken, so an installer of any size
    // streams through a buffer of this size.
    reply->setReadBufferSize(1 << 20);
    connect(reply, &QNetworkReply::socketStartedConnecting, this, [this] {
        emit stateChanged(State::HostResolved);
        emit stateChanged(State::Connecting);
    });
    connect(reply, &QNetworkReply::requestSent, this, [this] {
        for (State state : {State::Connected, State::SendingRequest, State::RequestSent})
            emit stateChanged(state);
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this] {
        if (!m_answered) {
            m_answered = true;
            emit stateChanged(State::ReceivingResponse);
        }
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            overLimit(length.toLongLong());
    });
    connect(reply, &QNetworkReply::readyRead, this, &Transfer::take);
    // Queued: the handler of `finished` may run an event loop of its own (a message box),
    // which must not happen inside the reply's own signal.
    connect(
        reply, &QNetworkReply::finished, this,
        [this, reply] {
            if (reply == m_reply)
                done();
        },
        Qt::QueuedConnection);
}

bool Transfer::overLimit(qint64 more) {
    if (m_sink || m_tooLarge || m_body.size() + more <= m_limit)
        return m_tooLarge;
    m_tooLarge = true;
    m_reply->abort();
    return true;
}

void Transfer::take() {
    if (m_tooLarge || overLimit(m_reply->bytesAvailable()))
        return;
    const QByteArray chunk = m_reply->readAll();
    m_bytes += chunk.size();
    if (!m_sink) {
        m_body += chunk;
    } else if (m_sink->write(chunk) != chunk.size()) {
        m_sinkFailed = true;
        m_reply->abort();
    }
}

void Transfer::done() {
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    if (!m_sinkFailed && !m_tooLarge && reply->isOpen())
        take();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (m_tooLarge) {
        m_response = i18n::messages::answerTooLarge(m_limit);
    } else if (reply->error() == QNetworkReply::OperationCanceledError && !m_cancelled &&
               !m_sinkFailed) {
        m_response = i18n::messages::noAnswerInTime(); // the transfer timeout
    } else if (status.isValid()) {
        m_response = QString::number(status.toInt()) + u' ' +
                     reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    } else {
        m_response = reply->errorString();
    }
    m_succeeded = reply->error() == QNetworkReply::NoError && !m_sinkFailed && !m_tooLarge;
    m_reply = nullptr;
    reply->deleteLater();
    if (m_succeeded) {
        emit stateChanged(State::ResponseReceived);
        emit stateChanged(State::Completed);
    } else {
        emit stateChanged(State::Failed);
    }
    emit finished();
}

void Transfer::cancel() {
    if (!m_reply)
        return;
    m_cancelled = true;
    m_reply->abort();
}

} // namespace update
