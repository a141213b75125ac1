#include "sync/DavTransport.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>

#include <memory>

namespace carddav {

struct DavTransport::Pending {
    DavRequest request;
    Callback done;
    int redirects = 0;
    QByteArray body;
    DavFailure failure = DavFailure::None;
    QTimer stall;
};

DavTransport::DavTransport(QObject* parent)
    : QObject(parent), m_nam(new QNetworkAccessManager(this)) {
    m_nam->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

DavTransport::~DavTransport() {
    abortAll();
}

void DavTransport::setCredentials(const QString& user, const QString& password) {
    m_authorization = "Basic " + (user + u':' + password).toUtf8().toBase64();
}

void DavTransport::send(const DavRequest& request, Callback done) {
    start(request, std::move(done), 0);
}

void DavTransport::abortAll() {
    for (QNetworkReply* reply : m_nam->findChildren<QNetworkReply*>()) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

namespace {

QByteArray fingerprintOf(const QSslCertificate& certificate) {
    return certificate.digest(QCryptographicHash::Sha256).toHex();
}

} // namespace

void DavTransport::start(const DavRequest& request, Callback done, int redirects) {
    QNetworkRequest nr(request.url);
    nr.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                    QNetworkRequest::ManualRedirectPolicy);
    nr.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    if (!m_authorization.isEmpty())
        nr.setRawHeader("Authorization", m_authorization);
    if (!request.body.isEmpty())
        nr.setHeader(QNetworkRequest::ContentTypeHeader, request.contentType);
    for (auto it = request.headers.begin(); it != request.headers.end(); ++it)
        nr.setRawHeader(it.key(), it.value());
    QNetworkReply* reply = m_nam->sendCustomRequest(nr, request.method, request.body);
    ++m_sent;

    auto pending = std::make_shared<Pending>();
    pending->request = request;
    pending->done = std::move(done);
    pending->redirects = redirects;
    pending->stall.setSingleShot(true);
    pending->stall.setInterval(m_limits.stall);
    const qint64 maxBytes = m_limits.maxBytes;
    auto fail = [reply, pending](DavFailure why) {
        pending->failure = why;
        reply->abort();
    };
    // The timer lives in `pending`: its handler holds it by address, not by a shared owner.
    Pending* raw = pending.get();
    connect(&pending->stall, &QTimer::timeout, reply, [reply, raw] {
        raw->failure = DavFailure::Stall;
        reply->abort();
    });
    auto progress = [pending] { pending->stall.start(); };
    connect(reply, &QNetworkReply::uploadProgress, reply, progress);
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, fail, maxBytes] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBytes)
            fail(DavFailure::TooLarge);
    });
    connect(reply, &QNetworkReply::readyRead, reply, [reply, pending, fail, maxBytes] {
        pending->stall.start();
        pending->body += reply->readAll();
        if (pending->body.size() > maxBytes) {
            pending->body.clear();
            fail(DavFailure::TooLarge);
        }
    });
    connect(reply, &QNetworkReply::sslErrors, this,
            [this, reply, pending](const QList<QSslError>&) { onTlsErrors(reply, *pending); });
    connect(reply, &QNetworkReply::encrypted, this,
            [this, reply, pending] { onEncrypted(reply, *pending); });
    connect(reply, &QNetworkReply::finished, this, [this, reply, pending] {
        reply->deleteLater();
        pending->stall.stop();
        DavResponse response;
        response.failure = pending->failure;
        response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (response.failure == DavFailure::None && response.status == 0) {
            response.failure = DavFailure::Network;
            response.error = reply->errorString();
        }
        const QUrl location = reply->header(QNetworkRequest::LocationHeader).toUrl();
        const bool redirect = response.failure == DavFailure::None &&
                              (response.status == 301 || response.status == 302 ||
                               response.status == 307 || response.status == 308) &&
                              location.isValid();
        if (redirect && pending->redirects < 5) {
            DavRequest next = pending->request;
            next.url = pending->request.url.resolved(location);
            start(next, std::move(pending->done), pending->redirects + 1);
            return;
        }
        if (response.failure == DavFailure::None) {
            response.body = pending->body + reply->readAll();
            response.etag = reply->rawHeader("ETag");
            if (response.body.size() > m_limits.maxBytes) {
                response.failure = DavFailure::TooLarge;
                response.body.clear();
            }
        }
        pending->done(response);
    });
    pending->stall.start();
}

void DavTransport::onTlsErrors(QNetworkReply* reply, Pending& pending) {
    const QByteArray fingerprint = fingerprintOf(reply->sslConfiguration().peerCertificate());
    if (!m_pin.sha256.isEmpty()) {
        if (fingerprint == m_pin.sha256) {
            reply->ignoreSslErrors();
            return;
        }
        pending.failure = DavFailure::CertificateChanged;
        return;
    }
    // The timer must not count the time the user takes to answer.
    pending.stall.stop();
    if (!m_declined && m_pin.askTrust && m_pin.askTrust(fingerprint)) {
        m_pin.sha256 = fingerprint;
        if (m_pin.remember)
            m_pin.remember(fingerprint);
        reply->ignoreSslErrors();
        pending.stall.start();
        return;
    }
    m_declined = true;
    pending.failure = DavFailure::CertificateRefused;
}

void DavTransport::onEncrypted(QNetworkReply* reply, Pending& pending) {
    // A pinned server must keep its certificate, even one the system would trust.
    if (m_pin.sha256.isEmpty())
        return;
    if (fingerprintOf(reply->sslConfiguration().peerCertificate()) != m_pin.sha256) {
        pending.failure = DavFailure::CertificateChanged;
        reply->abort();
    }
}

} // namespace carddav
