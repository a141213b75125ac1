#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace platform {
class Prompter;
}

namespace carddav {

// One WebDAV request: a method, an address, a few headers and a body.
struct DavRequest {
    QByteArray method;
    QUrl url;
    QByteArray body;
    QHash<QByteArray, QByteArray> headers; // besides Authorization and Content-Type
    QByteArray contentType = "application/xml; charset=utf-8";
};

// How a request ended. Http covers every answer the server gave, whatever its status.
enum class DavFailure { None, Network, Stall, TooLarge, CertificateRefused, CertificateChanged };

struct DavResponse {
    DavFailure failure = DavFailure::None;
    int status = 0;
    QByteArray body;
    QByteArray etag;
    QString error; // the network layer's own words, for Network
    bool ok() const { return failure == DavFailure::None && status >= 200 && status < 300; }
};

// What bounds an answer: a body larger than maxBytes is refused, and so is a request that
// makes no progress for `stall`.
struct DavLimits {
    qint64 maxBytes = 50 * 1024 * 1024;
    std::chrono::milliseconds stall{30000};
};

// The certificate a server may present when the system does not trust it: its SHA-256
// fingerprint in hexadecimal, pinned once the user trusts it.
struct CertificatePin {
    QByteArray sha256; // empty: none trusted yet
    // Asked once when an untrusted certificate comes and none is pinned; true to trust it.
    std::function<bool(const QByteArray& fingerprint)> askTrust;
    std::function<void(const QByteArray& fingerprint)> remember;
};

// Sends WebDAV requests on Qt Network, each answered asynchronously by its callback, from the
// event loop. Authorization is Basic, sent with every request; redirects are followed by hand
// (at most five) so that a PROPFIND stays a PROPFIND.
class DavTransport final : public QObject {
    Q_OBJECT
public:
    explicit DavTransport(QObject* parent = nullptr);
    ~DavTransport() override;

    void setCredentials(const QString& user, const QString& password);
    void setLimits(const DavLimits& limits) { m_limits = limits; }
    void setPin(CertificatePin pin) { m_pin = std::move(pin); }
    const QByteArray& pinned() const { return m_pin.sha256; }

    using Callback = std::function<void(const DavResponse&)>;
    void send(const DavRequest& request, Callback done);
    // Ends every request under way; their callbacks are not called.
    void abortAll();
    int requestsSent() const { return m_sent; }

private:
    struct Pending;
    void start(const DavRequest& request, Callback done, int redirects);
    void onTlsErrors(QNetworkReply* reply, Pending& pending);
    void onEncrypted(QNetworkReply* reply, Pending& pending);

    QNetworkAccessManager* m_nam;
    QByteArray m_authorization;
    DavLimits m_limits;
    CertificatePin m_pin;
    bool m_declined = false; // the user refused the certificate once in this run
    int m_sent = 0;
};

} // namespace carddav
