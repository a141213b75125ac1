#include "sync/Radicale.h"

#include "common/TestFiles.h"

#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QDir>
#include <QDirIterator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTimer>

namespace synctest {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

Radicale::Radicale(const QString& certificate, const QString& key)
    : m_certificate(certificate), m_key(key) {}

Radicale::~Radicale() {
    stop();
}

bool Radicale::start(quint16 port) {
    m_port = port ? port : freePort();
    const QString users = m_dir.filePath(QStringLiteral("users"));
    testing::writeFile(users, (User + u':' + Secret + u'\n').toUtf8());
    QString config = QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n").arg(m_port);
    if (!m_certificate.isEmpty())
        config +=
            QStringLiteral("ssl = True\ncertificate = %1\nkey = %2\n").arg(m_certificate, m_key);
    config += QStringLiteral("[auth]\ntype = htpasswd\nhtpasswd_filename = %1\n"
                             "htpasswd_encryption = plain\ndelay = 0\n"
                             "[storage]\nfilesystem_folder = %2\n"
                             "[logging]\nlevel = info\n")
                  .arg(users, storage());
    const QString file = m_dir.filePath(QStringLiteral("config"));
    testing::writeFile(file, config.toUtf8());
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral("radicale"), {QStringLiteral("--config"), file});
    if (!m_process.waitForStarted(10000))
        return false;
    // Ready once it says it listens; its log goes on into the pipe unread.
    QByteArray log;
    while (!log.contains("Listening on") && m_process.state() == QProcess::Running &&
           m_process.waitForReadyRead(10000))
        log += m_process.readAll();
    if (!log.contains("Listening on"))
        qWarning("radicale did not start: %s", log.constData());
    return log.contains("Listening on");
}

void Radicale::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QUrl Radicale::url() const {
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/")
                    .arg(m_certificate.isEmpty() ? QStringLiteral("http") : QStringLiteral("https"))
                    .arg(m_port));
}

QHash<QString, QByteArray> Radicale::cards(const QString& book) const {
    QHash<QString, QByteArray> out;
    const QString folder = storage() + QStringLiteral("/collection-root") + book;
    QDirIterator it(folder, {QStringLiteral("*.vcf")}, QDir::Files);
    while (it.hasNext()) {
        const QByteArray text = testing::readFile(it.next());
        out.insert(book + it.fileName(), text);
    }
    return out;
}

Answer http(const QByteArray& method, const QUrl& url, const QByteArray& body,
            const QHash<QByteArray, QByteArray>& headers) {
    QNetworkAccessManager nam;
    QNetworkRequest request(url);
    request.setRawHeader("Authorization", "Basic " + (User + u':' + Secret).toUtf8().toBase64());
    for (auto it = headers.begin(); it != headers.end(); ++it)
        request.setRawHeader(it.key(), it.value());
    QNetworkReply* reply = nam.sendCustomRequest(request, method, body);
    // The test's own calls trust the test's own certificates.
    QObject::connect(reply, &QNetworkReply::sslErrors, reply,
                     [reply] { reply->ignoreSslErrors(); });
    QSignalSpy done(reply, &QNetworkReply::finished);
    done.wait(20000);
    Answer a{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
             reply->rawHeader("ETag")};
    delete reply;
    return a;
}

// The server's address of a book or a card.
static QUrl at(QUrl server, const QString& href) {
    server.setPath(href);
    return server;
}

QString makeBook(const QUrl& server, const QString& name) {
    const QString href = u'/' + User + u'/' + name + u'/';
    http("MKCOL", at(server, href),
         "<?xml version=\"1.0\"?><d:mkcol xmlns:d=\"DAV:\" "
         "xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:set><d:prop><d:resourcetype>"
         "<d:collection/><c:addressbook/></d:resourcetype><d:displayname>" +
             name.toUtf8() + "</d:displayname></d:prop></d:set></d:mkcol>");
    return href;
}

Answer putCard(const QUrl& server, const QString& href, const QByteArray& card) {
    return http("PUT", at(server, href), card, {{"Content-Type", "text/vcard"}});
}

Answer deleteCard(const QUrl& server, const QString& href) {
    return http("DELETE", at(server, href));
}

QByteArray vcard(const QString& uid, const QStringList& lines) {
    QStringList all{QStringLiteral("BEGIN:VCARD"), QStringLiteral("VERSION:3.0"),
                    QStringLiteral("UID:") + uid};
    all << lines << QStringLiteral("END:VCARD");
    return (all.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

FaultProxy::FaultProxy(quint16 upstream, Rule rule)
    : m_upstream(upstream), m_rule(std::move(rule)) {
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* client = m_server.nextPendingConnection())
            serve(client);
    });
}

QUrl FaultProxy::url() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()));
}

void FaultProxy::serve(QTcpSocket* client) {
    auto buffer = std::make_shared<QByteArray>();
    connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    connect(client, &QTcpSocket::readyRead, this, [this, client, buffer] {
        *buffer += client->readAll();
        const qsizetype end = buffer->indexOf("\r\n\r\n");
        if (end < 0)
            return;
        qsizetype length = 0;
        for (const QByteArray& line : buffer->left(end).split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        if (buffer->size() < end + 4 + length)
            return;
        const QByteArray request = *buffer;
        buffer->clear();
        handle(client, request);
    });
}

void FaultProxy::handle(QTcpSocket* client, const QByteArray& request) {
    const QByteArray method = request.left(request.indexOf(' '));
    methods << method;
    const Fault fault = m_rule(method, request);
    auto reply = [client](const QByteArray& head, const QByteArray& body) {
        client->write(head + "\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nConnection: close\r\n\r\n" + body);
        client->disconnectFromHost();
    };
    switch (fault.kind) {
    case Fault::Respond:
        return reply("HTTP/1.1 " + QByteArray::number(fault.status) + " Fault", {});
    case Fault::Close:
        client->abort();
        return;
    case Fault::Stall:
        return; // never answered
    case Fault::Huge:
        return reply("HTTP/1.1 207 Multi-Status\r\nContent-Type: text/xml",
                     QByteArray(3 * 1024 * 1024, ' '));
    case Fault::Garbage:
        return reply("HTTP/1.1 207 Multi-Status\r\nContent-Type: text/xml",
                     "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\"><response><href>");
    case Fault::Forward:
        break;
    }
    auto* upstream = new QTcpSocket(client);
    auto answer = std::make_shared<QByteArray>();
    connect(upstream, &QTcpSocket::readyRead, upstream,
            [upstream, answer] { *answer += upstream->readAll(); });
    connect(upstream, &QTcpSocket::disconnected, client, [client, upstream, answer] {
        *answer += upstream->readAll();
        client->write(*answer);
        client->disconnectFromHost();
    });
    connect(upstream, &QTcpSocket::errorOccurred, client, [client](QAbstractSocket::SocketError e) {
        if (e != QAbstractSocket::RemoteHostClosedError)
            client->abort();
    });
    // The server speaks HTTP/1.0 and closes after each answer; so does the proxy.
    connect(upstream, &QTcpSocket::connected, upstream,
            [upstream, request] { upstream->write(request); });
    upstream->connectToHost(QHostAddress::LocalHost, m_upstream);
}

void makeContactFile(const QString& path) {
    std::shared_ptr<store::Connection> db = store::Connection::create(path);
    for (const QString& table : {QStringLiteral("Vesk"), QStringLiteral("Work")}) {
        db->execute(store::createTableSql(table));
        db->execute(store::createNameIndexSql(table));
    }
    db->execute(store::createTableSql(QStringLiteral("dbDetails")));
    db->execute(QStringLiteral("INSERT INTO dbDetails (dbVerNum, dbVerDesc) VALUES (%1, 'Initial "
                               "Version')")
                    .arg(store::SchemaVersion));
}

store::ContactRecord person(const QString& name, const QString& home, const QString& mobile) {
    store::ContactRecord c;
    c.group = store::ContactGroup::Personal;
    c[store::Role::Name] = name;
    if (!home.isEmpty())
        c[store::Role::Home] = home;
    if (!mobile.isEmpty())
        c[store::Role::Mobile] = mobile;
    return c;
}

} // namespace synctest
