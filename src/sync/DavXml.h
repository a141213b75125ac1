#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The XML of WebDAV (RFC 4918), CardDAV (RFC 6352) and collection sync (RFC 6578): the
// bodies we send and what we read from a 207 Multi-Status answer.
namespace carddav::xml {

// One <response> of a multi-status answer: its resource and the properties found (those of
// a propstat whose status is 2xx).
struct Entry {
    QString href;    // the path, percent-decoded
    int status = 0;  // the response's own status (a removed member of a sync report: 404)
    QByteArray etag; // quotes kept, as If-Match wants it
    QString displayName;
    QString ctag;
    QByteArray addressData;
    bool collection = false;
    bool addressBook = false;
    QStringList principal; // current-user-principal
    QStringList homeSet;   // addressbook-home-set
};

struct MultiStatus {
    std::vector<Entry> entries;
    QString syncToken;
    QString error; // empty when the answer was read whole
};

MultiStatus parseMultiStatus(const QByteArray& body);
// Whether an error answer names this precondition (say "valid-sync-token").
bool namesCondition(const QByteArray& body, const QString& name);

// Request bodies.
QByteArray propfindPrincipal();
QByteArray propfindHomeSet();
QByteArray propfindBooks();
QByteArray propfindCtag();
QByteArray propfindEtags();
QByteArray syncCollection(const QString& token);
QByteArray multiget(const QStringList& hrefs);
QByteArray mkcolAddressBook(const QString& displayName);

// A path as sent in a request: percent-encoded, slashes kept.
QByteArray encodedPath(const QString& path);

} // namespace carddav::xml
