#include "sync/Discovery.h"

#include "sync/DavTransport.h"
#include "sync/DavXml.h"

#include <QUuid>

#include <memory>

namespace carddav {

namespace {

DavRequest propfind(const QUrl& url, int depth, QByteArray body) {
    DavRequest r;
    r.method = "PROPFIND";
    r.url = url;
    r.body = std::move(body);
    r.headers.insert("Depth", QByteArray::number(depth));
    return r;
}

// A 207 answer read; otherwise the outcome that says why not.
std::optional<xml::MultiStatus> multiStatus(const DavResponse& r, Outcome& outcome) {
    outcome = outcomeOf(r);
    if (!outcome.ok())
        return std::nullopt;
    xml::MultiStatus ms = xml::parseMultiStatus(r.body);
    if (r.status != 207 || !ms.error.isEmpty()) {
        outcome.problem = Problem::Unreadable;
        outcome.detail = ms.error;
        return std::nullopt;
    }
    return ms;
}

QString firstOf(const xml::MultiStatus& ms, QStringList xml::Entry::*list) {
    for (const xml::Entry& e : ms.entries)
        if (!(e.*list).isEmpty())
            return (e.*list).first();
    return {};
}

void listBooks(DavTransport& t, const QUrl& server, const QString& homeSet,
               const std::function<void(const Discovered&)>& done) {
    t.send(propfind(urlOf(server, homeSet), 1, xml::propfindBooks()),
           [done, homeSet](const DavResponse& r) {
               Discovered d;
               d.homeSet = homeSet;
               const auto ms = multiStatus(r, d.outcome);
               if (ms) {
                   for (const xml::Entry& e : ms->entries)
                       if (e.addressBook)
                           d.books.push_back({e.href, e.displayName});
               }
               done(d);
           });
}

void findHomeSet(DavTransport& t, const QUrl& server, const QString& principal,
                 const std::function<void(const Discovered&)>& done) {
    t.send(propfind(urlOf(server, principal), 0, xml::propfindHomeSet()),
           [&t, server, done](const DavResponse& r) {
               Discovered d;
               const auto ms = multiStatus(r, d.outcome);
               const QString home = ms ? firstOf(*ms, &xml::Entry::homeSet) : QString();
               if (ms && home.isEmpty())
                   d.outcome.problem = Problem::NoAddressBook;
               if (!d.outcome.ok())
                   return done(d);
               listBooks(t, server, home, done);
           });
}

// Asks `urls` in turn for the current user's principal.
void findPrincipal(DavTransport& t, const QUrl& server, std::vector<QUrl> urls,
                   const std::function<void(const Discovered&)>& done) {
    const QUrl url = urls.front();
    urls.erase(urls.begin());
    t.send(propfind(url, 0, xml::propfindPrincipal()),
           [&t, server, urls, done](const DavResponse& r) {
               Discovered d;
               const auto ms = multiStatus(r, d.outcome);
               const QString principal = ms ? firstOf(*ms, &xml::Entry::principal) : QString();
               // A server that answers but knows nothing of CardDAV here: try the next place.
               const bool tryNext = d.outcome.problem == Problem::ServerError ||
                                    d.outcome.problem == Problem::Unreadable ||
                                    (ms && principal.isEmpty());
               if (tryNext && !urls.empty())
                   return findPrincipal(t, server, urls, done);
               if (tryNext) {
                   d.outcome = Outcome{};
                   d.outcome.problem = Problem::NoAddressBook;
               }
               if (!d.outcome.ok())
                   return done(d);
               findHomeSet(t, server, principal, done);
           });
}

} // namespace

QUrl urlOf(const QUrl& server, const QString& path) {
    QUrl url = server;
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

void discover(DavTransport& transport, const QUrl& server,
              std::function<void(const Discovered&)> done) {
    const QUrl wellKnown = urlOf(server, QStringLiteral("/.well-known/carddav"));
    std::vector<QUrl> urls;
    if (server.path().isEmpty() || server.path() == u"/")
        urls = {wellKnown, urlOf(server, QStringLiteral("/"))};
    else
        urls = {server, wellKnown};
    findPrincipal(transport, server, urls, done);
}

void createAddressBook(DavTransport& transport, const QUrl& server, const QString& homeSet,
                       const QString& displayName,
                       std::function<void(const Outcome&, const AddressBook&)> done) {
    QString home = homeSet;
    if (!home.endsWith(u'/'))
        home += u'/';
    const AddressBook book{home + QUuid::createUuid().toString(QUuid::WithoutBraces) + u'/',
                           displayName};
    DavRequest r;
    r.method = "MKCOL";
    r.url = urlOf(server, book.href);
    r.body = xml::mkcolAddressBook(displayName);
    transport.send(r, [done, book](const DavResponse& answer) { done(outcomeOf(answer), book); });
}

} // namespace carddav
