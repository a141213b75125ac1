#pragma once
// What the sync tests share: a real CardDAV server (Radicale) of their own on 127.0.0.1, a
// fault-injecting proxy in front of it, plain HTTP calls to play another device, and contact
// files.
#include "store/ContactRecord.h"

#include <QByteArray>
#include <QHash>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>
#include <memory>

namespace synctest {

inline const QString User = QStringLiteral("alice");
inline const QString Secret = QStringLiteral("secret");

// A Radicale started on a free port with its own storage folder and an htpasswd file; stopped
// when it goes out of scope. With TLS it serves the certificate and key given.
class Radicale {
public:
    explicit Radicale(const QString& certificate = {}, const QString& key = {});
    ~Radicale();
    Radicale(const Radicale&) = delete;
    Radicale& operator=(const Radicale&) = delete;

    // On a free port, or on `port` again after a stop (the storage stays).
    bool start(quint16 port = 0);
    void stop();
    QUrl url() const; // http(s)://127.0.0.1:port
    quint16 port() const { return m_port; }
    QString storage() const { return m_dir.filePath(QStringLiteral("storage")); }
    QString folder() const { return m_dir.path(); }
    // The files of a book as the server keeps them, by href ("/alice/book/x.vcf").
    QHash<QString, QByteArray> cards(const QString& book) const;

private:
    QTemporaryDir m_dir;
    QString m_certificate;
    QString m_key;
    quint16 m_port = 0;
    QProcess m_process;
};

// A free TCP port of 127.0.0.1 at this moment.
quint16 freePort();

// One HTTP exchange, waited for on its signal: the status and the body.
struct Answer {
    int status = 0;
    QByteArray body;
    QByteArray etag;
};
Answer http(const QByteArray& method, const QUrl& url, const QByteArray& body = {},
            const QHash<QByteArray, QByteArray>& headers = {});

// The test's own hand on the server, as another device: make a book, put and delete cards.
QString makeBook(const QUrl& server, const QString& name);
Answer putCard(const QUrl& server, const QString& href, const QByteArray& vcard);
Answer deleteCard(const QUrl& server, const QString& href);
// A vCard 3.0 with these lines between VERSION and END.
QByteArray vcard(const QString& uid, const QStringList& lines);

// What the proxy does with one request.
struct Fault {
    enum Kind { Forward, Respond, Close, Stall, Huge, Garbage };
    Kind kind = Forward;
    int status = 0;
};

// A proxy on 127.0.0.1 that reads each request whole, asks `rule` what to do (given the method
// and the whole request), and forwards it
// to the server (one request per connection, the answer ending with the connection) or
// answers in the server's place.
class FaultProxy : public QObject {
    Q_OBJECT
public:
    using Rule = std::function<Fault(const QByteArray& method, const QByteArray& request)>;
    FaultProxy(quint16 upstream, Rule rule);
    QUrl url() const;
    QList<QByteArray> methods; // every request's method in order

private:
    void serve(QTcpSocket* client);
    void handle(QTcpSocket* client, const QByteArray& request);
    QTcpServer m_server;
    quint16 m_upstream;
    Rule m_rule;
};

// A new contact file with empty lists, as the program makes it.
void makeContactFile(const QString& path);
store::ContactRecord person(const QString& name, const QString& home, const QString& mobile = {});

} // namespace synctest
