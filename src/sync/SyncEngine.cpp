#include "sync/SyncEngine.h"

#include "store/Sqlite.h"
#include "store/StoreError.h"
#include "sync/DavTransport.h"
#include "sync/DavXml.h"
#include "sync/Discovery.h"

namespace carddav {

namespace {

using store::ContactGroup;

QString account(const SyncConfig& c) {
    return c.server.toString(QUrl::RemoveUserInfo | QUrl::StripTrailingSlash) + u'|' + c.user;
}

} // namespace

SyncEngine::SyncEngine(DavTransport& transport, Database db, QObject* parent)
    : QObject(parent), m_transport(transport), m_db(std::move(db)) {}

SyncEngine::~SyncEngine() = default;

void SyncEngine::run(const SyncConfig& config) {
    if (m_running)
        return;
    m_running = true;
    m_file.reset();
    m_config = config;
    m_outcome = Outcome{};
    m_groups.clear();
    if (!config.personalBook.isEmpty())
        m_groups.emplace_back(ContactGroup::Personal, config.personalBook);
    if (!config.workBook.isEmpty())
        m_groups.emplace_back(ContactGroup::Work, config.workBook);
    nextGroup();
}

void SyncEngine::nextGroup() {
    if (m_groups.empty())
        return done();
    std::tie(m_group, m_book) = m_groups.front();
    m_groups.erase(m_groups.begin());
    m_listing = Listing{};
    m_fetched.clear();
    m_pushes.clear();
    m_nextPush = 0;
    try {
        std::shared_ptr<store::Connection> db = file();
        store::Transaction t(*db);
        SyncState state(*db);
        const std::optional<BookState> book = state.book(m_group);
        // Another server, account or address book: the next sync is a first one.
        if (!book || book->account != account(m_config) || book->href != m_book) {
            state.forgetGroup(m_group);
            m_bookState = BookState{m_group, account(m_config), m_book, {}, {}};
        } else {
            m_bookState = *book;
        }
        t.commit();
    } catch (const store::StoreError& e) {
        return fail({Problem::LocalError, 0, e.description()});
    }
    // A server that never gave a token but a ctag offers no sync-collection.
    if (m_bookState.token.isEmpty() && !m_bookState.ctag.isEmpty())
        listByEtags();
    else if (m_bookState.token.isEmpty())
        list(QString());
    else
        listUnlessUnchanged();
}

DavRequest SyncEngine::ctagRequest() const {
    DavRequest r;
    r.method = "PROPFIND";
    r.url = urlOf(m_config.server, m_book);
    r.headers.insert("Depth", "0");
    r.body = xml::propfindCtag();
    return r;
}

void SyncEngine::listUnlessUnchanged() {
    // A book's getctag costs the server less than a sync-collection REPORT, even one that
    // lists nothing: the same ctag as after the last sync, and the server has nothing new.
    // A server without getctag, or another ctag, is asked for the changes since the token.
    m_transport.send(ctagRequest(), [this](const DavResponse& answer) {
        const Outcome o = outcomeOf(answer);
        if (!o.ok() && o.problem != Problem::ServerError)
            return fail(o);
        const xml::MultiStatus ms =
            o.ok() ? xml::parseMultiStatus(answer.body) : xml::MultiStatus{};
        const QString ctag =
            ms.error.isEmpty() && !ms.entries.empty() ? ms.entries.front().ctag : QString();
        m_listing.ctag = ctag;
        if (ctag.isEmpty() || ctag != m_bookState.ctag)
            return list(m_bookState.token);
        m_listing.token = m_bookState.token;
        fetch(); // nothing changed on the server; ours still go
    });
}

void SyncEngine::list(const QString& token) {
    DavRequest r;
    r.method = "REPORT";
    r.url = urlOf(m_config.server, m_book);
    r.body = xml::syncCollection(token);
    m_transport.send(r, [this, token](const DavResponse& answer) {
        const bool invalidToken =
            (answer.status == 403 || answer.status == 409) && !token.isEmpty() &&
            xml::namesCondition(answer.body, QStringLiteral("valid-sync-token"));
        if (invalidToken)
            return list(QString());
        const Outcome o = outcomeOf(answer);
        // A server without sync-collection refuses the report (403, 405, 501 ...).
        const bool unsupported =
            o.problem == Problem::ServerError &&
            ((answer.status >= 400 && answer.status < 500 && answer.status != 404) ||
             answer.status == 501);
        if (unsupported)
            return listByEtags();
        if (!o.ok())
            return fail(o);
        const xml::MultiStatus ms = xml::parseMultiStatus(answer.body);
        if (!ms.error.isEmpty() || answer.status != 207 || ms.syncToken.isEmpty())
            return fail({Problem::Unreadable, 0, ms.error});
        m_listing.complete = token.isEmpty();
        m_listing.token = ms.syncToken;
        for (const xml::Entry& e : ms.entries) {
            if (e.href == m_book || e.collection)
                continue;
            if (e.status == 404)
                m_listing.removed.insert(e.href);
            else
                m_listing.present.insert(e.href, e.etag);
        }
        fetch();
    });
}

void SyncEngine::listByEtags() {
    m_transport.send(ctagRequest(), [this](const DavResponse& answer) {
        const Outcome o = outcomeOf(answer);
        if (!o.ok())
            return fail(o);
        const xml::MultiStatus ms = xml::parseMultiStatus(answer.body);
        if (!ms.error.isEmpty())
            return fail({Problem::Unreadable, 0, ms.error});
        const QString ctag = ms.entries.empty() ? QString() : ms.entries.front().ctag;
        m_listing.ctag = ctag;
        if (!ctag.isEmpty() && ctag == m_bookState.ctag)
            return fetch(); // nothing changed on the server
        DavRequest all;
        all.method = "PROPFIND";
        all.url = urlOf(m_config.server, m_book);
        all.headers.insert("Depth", "1");
        all.body = xml::propfindEtags();
        m_transport.send(all, [this](const DavResponse& list) {
            const Outcome o = outcomeOf(list);
            if (!o.ok())
                return fail(o);
            const xml::MultiStatus ms = xml::parseMultiStatus(list.body);
            if (!ms.error.isEmpty() || list.status != 207)
                return fail({Problem::Unreadable, 0, ms.error});
            m_listing.complete = true;
            for (const xml::Entry& e : ms.entries)
                if (e.href != m_book && !e.collection && !e.etag.isEmpty())
                    m_listing.present.insert(e.href, e.etag);
            fetch();
        });
    });
}

void SyncEngine::fetch() {
    // The cards whose ETag differs from the one recorded; with a whole listing, the recorded
    // cards it does not name are gone.
    QHash<QString, QByteArray> known;
    try {
        std::shared_ptr<store::Connection> db = file();
        known = SyncState(*db).etags(m_group);
    } catch (const store::StoreError& e) {
        return fail({Problem::LocalError, 0, e.description()});
    }
    m_toFetch.clear();
    for (auto it = m_listing.present.begin(); it != m_listing.present.end(); ++it)
        if (!known.contains(it.key()) || known.value(it.key()) != it.value())
            m_toFetch << it.key();
    if (m_listing.complete)
        for (auto it = known.begin(); it != known.end(); ++it)
            if (!m_listing.present.contains(it.key()))
                m_listing.removed.insert(it.key());
    fetchNext();
}

void SyncEngine::fetchNext() {
    if (m_toFetch.isEmpty())
        return reconcile();
    const QStringList batch = m_toFetch.mid(0, m_config.batch);
    m_toFetch = m_toFetch.mid(batch.size());
    DavRequest r;
    r.method = "REPORT";
    r.url = urlOf(m_config.server, m_book);
    r.headers.insert("Depth", "1");
    r.body = xml::multiget(batch);
    m_transport.send(r, [this, batch](const DavResponse& answer) {
        const Outcome o = outcomeOf(answer);
        if (!o.ok())
            return fail(o);
        const xml::MultiStatus ms = xml::parseMultiStatus(answer.body);
        if (!ms.error.isEmpty() || answer.status != 207)
            return fail({Problem::Unreadable, 0, ms.error});
        QSet<QString> answered;
        for (const xml::Entry& e : ms.entries) {
            if (e.status >= 200 && e.status < 300 && !e.addressData.isEmpty()) {
                m_fetched.insert(e.href, {e.etag, e.addressData});
                answered.insert(e.href);
            }
        }
        // A card gone between the listing and the fetch was removed.
        for (const QString& href : batch)
            if (!answered.contains(href))
                m_listing.removed.insert(href);
        fetchNext();
    });
}

void SyncEngine::fail(const Outcome& outcome) {
    const Outcome counts = m_outcome;
    m_outcome = outcome;
    m_outcome.received = counts.received;
    m_outcome.sent = counts.sent;
    m_outcome.deletedHere = counts.deletedHere;
    m_outcome.deletedThere = counts.deletedThere;
    m_outcome.conflicts = counts.conflicts;
    m_outcome.refused = counts.refused;
    m_groups.clear();
    done();
}

std::shared_ptr<store::Connection> SyncEngine::file() {
    if (!m_file)
        m_file = m_db();
    return m_file;
}

void SyncEngine::done() {
    m_running = false;
    m_file.reset();
    emit finished(m_outcome);
}

} // namespace carddav
