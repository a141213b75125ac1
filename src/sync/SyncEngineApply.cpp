// The second half of a sync: the server's changes applied here in one transaction, then ours
// sent one by one.
#include "store/Sqlite.h"
#include "store/StoreError.h"
#include "store/Text.h"
#include "sync/CardText.h"
#include "sync/DavTransport.h"
#include "sync/Discovery.h"
#include "sync/SyncEngine.h"

#include <QUuid>

#include <map>

namespace carddav {

namespace {

using store::ContactGroup;
using store::ContactRecord;

// A refusal of one card by the contact file's constraints (a value too long for its field).
bool refusedByConstraint(const store::StoreError& e) {
    return (e.number() & 0xff) == 19;
}

bool anotherCard(const ContactRecord& synced, const ContactRecord& now) {
    auto trimmed = [](const store::Value& v) { return store::trimSpaces(v.value_or(QString())); };
    if (trimmed(synced.values[0]) == trimmed(now.values[0]))
        return false;
    for (size_t i = 1; i < synced.values.size(); ++i)
        if (!trimmed(synced.values[i]).isEmpty() &&
            trimmed(synced.values[i]) == trimmed(now.values[i]))
            return false;
    return true;
}

// Decides and applies, inside the caller's transaction, what each card needs.
class Reconciler {
public:
    using Push = SyncEngine::Push;

    Reconciler(store::Connection& db, SyncState& state, ContactGroup group, QString region,
               Outcome& outcome)
        : m_db(db), m_state(state), m_group(group), m_region(std::move(region)),
          m_outcome(outcome) {
        for (ContactRecord& card : readGroup(db, group))
            m_local.emplace(card.rowid, std::move(card));
    }

    bool wroteHere() const { return m_wrote; }
    std::vector<Push> pushes;

    void known(CardState& s, bool removed, const QByteArray* etag, const QByteArray* text);
    void fresh(const QString& href, const QByteArray& etag, const QByteArray& text);
    void localOnly(const QString& book);
    void forgetLinked(qint64 row) { m_linked.insert(row); }

private:
    const ContactRecord* localOf(const CardState& s) const {
        if (!s.row)
            return nullptr;
        const auto it = m_local.find(*s.row);
        return it == m_local.end() ? nullptr : &it->second;
    }
    interchange::PlannedCard fit(const QByteArray& text) const {
        return fitServerCard(text, m_group, m_region);
    }
    std::optional<qint64> insert(ContactRecord card);
    bool update(const ContactRecord& loaded, ContactRecord changed);
    void conflict(CardState& s, const ContactRecord& local, const ContactRecord& remote);
    void serverChanged(CardState& s, const ContactRecord* local, bool localChanged,
                       const QByteArray& etag, const QByteArray& text);

    store::Connection& m_db;
    SyncState& m_state;
    ContactGroup m_group;
    QString m_region;
    Outcome& m_outcome;
    std::map<qint64, ContactRecord> m_local;
    QSet<qint64> m_linked;
    std::optional<QHash<QString, QList<qint64>>> m_byName;
    bool m_wrote = false;
};

std::optional<qint64> Reconciler::insert(ContactRecord card) {
    card.group = m_group;
    try {
        const qint64 row = store::InsertContact(m_db, card);
        m_wrote = true;
        return row;
    } catch (const store::StoreError& e) {
        if (!refusedByConstraint(e))
            throw;
        ++m_outcome.refused;
        return std::nullopt;
    }
}

bool Reconciler::update(const ContactRecord& loaded, ContactRecord changed) {
    changed.group = m_group;
    changed.rowid = loaded.rowid;
    try {
        if (!store::UpdateContact(m_db, loaded, changed))
            return false;
    } catch (const store::StoreError& e) {
        if (!refusedByConstraint(e))
            throw;
        ++m_outcome.refused;
        return false;
    }
    m_wrote = true;
    return true;
}

// Both sides changed the card, differently: the server's version goes into the list, ours
// into the conflicts, where the user keeps it or lets it go.
void Reconciler::conflict(CardState& s, const ContactRecord& local, const ContactRecord& remote) {
    if (!update(local, remote))
        return;
    m_state.addConflict({-1, local.rowid, s.href, local});
    ++m_outcome.conflicts;
    s.synced = remote;
    s.synced.rowid = local.rowid;
}

void Reconciler::serverChanged(CardState& s, const ContactRecord* local, bool localChanged,
                               const QByteArray& etag, const QByteArray& text) {
    const interchange::PlannedCard plan = fit(text);
    if (plan.outcome != interchange::Outcome::New) {
        // Not for this list (a name too long, no number): it stays on the server untouched,
        // and our card, if any, stays as it is.
        s.etag = etag;
        s.serverCard = text;
        m_state.saveCard(s);
        ++m_outcome.refused;
        return;
    }
    const ContactRecord& remote = plan.card;
    const bool serverValuesChanged =
        s.serverCard.isEmpty() || fit(s.serverCard).card.values != remote.values;
    s.etag = etag;
    if (!s.row || (!local && serverValuesChanged)) {
        // New here, or deleted here but changed there: kept with the change.
        s.row = insert(remote);
        s.synced = remote;
        if (s.row)
            ++m_outcome.received;
    } else if (!local) {
        pushes.push_back({Push::Delete, s, {}, {}, false});
    } else if (localChanged && serverValuesChanged) {
        if (normalised(*local, m_region).values == remote.values)
            s.synced = *local;
        else
            conflict(s, *local, remote);
    } else if (serverValuesChanged) {
        if (update(*local, remote)) {
            s.synced = remote;
            ++m_outcome.received;
        }
    } else if (localChanged) {
        Push p{Push::Update, s, *local, {}, false};
        p.state.serverCard = text;
        pushes.push_back(p);
    }
    s.serverCard = text;
    if (s.row)
        s.synced.rowid = *s.row;
    m_state.saveCard(s);
}

void Reconciler::known(CardState& s, bool removed, const QByteArray* etag, const QByteArray* text) {
    const ContactRecord* local = localOf(s);
    // The list gives a deleted card's rowid to the next card added: another name and none of
    // the old values is another card, not an edit of the old one.
    if (local && anotherCard(s.synced, *local))
        local = nullptr;
    else if (s.row)
        m_linked.insert(*s.row);
    const bool localChanged = local && local->values != s.synced.values;
    if (removed) {
        if (local && localChanged) {
            // Deleted there, changed here: made again on the server with the change.
            Push p{Push::Create, s, *local, {}, false};
            pushes.push_back(p);
            return;
        }
        if (local && store::DeleteContact(m_db, m_group, local->rowid,
                                          local->values[0].value_or(QString()))) {
            m_wrote = true;
            ++m_outcome.deletedHere;
        }
        m_state.removeCard(s.id);
        return;
    }
    if (etag)
        return serverChanged(s, local, localChanged, *etag, *text);
    if (s.row && !local)
        pushes.push_back({Push::Delete, s, {}, {}, false});
    else if (localChanged)
        pushes.push_back({Push::Update, s, *local, {}, false});
}

// A card the server has and we have not linked: the same trimmed name in an unlinked card
// of ours makes them one, otherwise it is new here.
void Reconciler::fresh(const QString& href, const QByteArray& etag, const QByteArray& text) {
    CardState s;
    s.group = m_group;
    s.href = href;
    s.etag = etag;
    s.serverCard = text;
    const interchange::PlannedCard plan = fit(text);
    if (plan.outcome != interchange::Outcome::New) {
        ++m_outcome.refused;
        s.synced.group = m_group;
        m_state.saveCard(s);
        return;
    }
    const ContactRecord& remote = plan.card;
    if (!m_byName) {
        // Our cards no state names, by trimmed name, built once the known ones are linked.
        m_byName.emplace();
        for (const auto& [row, local] : m_local)
            if (!m_linked.contains(row))
                (*m_byName)[store::trimSpaces(local.values[0].value_or(QString()))] << row;
    }
    QList<qint64>& sameName = (*m_byName)[remote.values[0].value_or(QString())];
    if (!sameName.isEmpty()) {
        const ContactRecord& local = m_local.at(sameName.takeFirst());
        m_linked.insert(local.rowid);
        s.row = local.rowid;
        s.synced = local;
        if (normalised(local, m_region).values != remote.values)
            conflict(s, local, remote);
        m_state.saveCard(s);
        return;
    }
    s.row = insert(remote);
    s.synced = remote;
    if (s.row) {
        s.synced.rowid = *s.row;
        m_linked.insert(*s.row);
        ++m_outcome.received;
    }
    m_state.saveCard(s);
}

// Our cards the server has never had.
void Reconciler::localOnly(const QString& book) {
    for (const auto& [row, local] : m_local) {
        if (m_linked.contains(row))
            continue;
        Push p{Push::Create, {}, local, {}, false};
        p.state.group = m_group;
        p.state.href = book + QUuid::createUuid().toString(QUuid::WithoutBraces) + ".vcf";
        pushes.push_back(p);
    }
}

} // namespace

void SyncEngine::reconcile() {
    bool wrote = false;
    try {
        std::shared_ptr<store::Connection> db = file();
        store::Transaction t(*db);
        SyncState state(*db);
        Reconciler r(*db, state, m_group, m_config.region, m_outcome);
        std::vector<CardState> cards = state.cards(m_group);
        QSet<QString> knownHrefs;
        for (CardState& s : cards) {
            knownHrefs.insert(s.href);
            const auto fetched = m_fetched.constFind(s.href);
            const bool got = fetched != m_fetched.constEnd();
            r.known(s, m_listing.removed.contains(s.href) && !got, got ? &fetched->etag : nullptr,
                    got ? &fetched->text : nullptr);
        }
        for (auto it = m_fetched.constBegin(); it != m_fetched.constEnd(); ++it)
            if (!knownHrefs.contains(it.key()))
                r.fresh(it.key(), it->etag, it->text);
        QString book = m_book;
        if (!book.endsWith(u'/'))
            book += u'/';
        r.localOnly(book);
        m_bookState.token = m_listing.token;
        if (!m_listing.ctag.isEmpty())
            m_bookState.ctag = m_listing.ctag;
        state.saveBook(m_bookState);
        t.commit();
        m_pushes = std::move(r.pushes);
        wrote = r.wroteHere();
    } catch (const store::StoreError& e) {
        return fail({Problem::LocalError, 0, e.description()});
    }
    if (wrote)
        emit cardsChanged(m_group);
    pushNext();
}

void SyncEngine::pushNext() {
    if (m_nextPush >= m_pushes.size())
        return nextGroup();
    Push& p = m_pushes[m_nextPush];
    DavRequest r;
    r.url = urlOf(m_config.server, p.state.href);
    if (p.kind == Push::Delete) {
        r.method = "DELETE";
        r.headers.insert("If-Match", p.state.etag);
    } else {
        r.method = "PUT";
        r.contentType = "text/vcard; charset=utf-8";
        if (p.kind == Push::Create && p.state.serverCard.isEmpty())
            p.text = newCardText(p.local, QUuid::createUuid().toString(QUuid::WithoutBraces));
        else
            p.text = mergedCardText(p.state.serverCard, p.state.synced, p.local, m_config.region);
        r.body = p.text;
        if (p.kind == Push::Create || p.state.etag.isEmpty())
            r.headers.insert("If-None-Match", "*");
        else
            r.headers.insert("If-Match", p.state.etag);
    }
    m_transport.send(r, [this](const DavResponse& answer) {
        const Push push = m_pushes[m_nextPush];
        pushed(push, answer);
    });
}

void SyncEngine::pushed(const Push& push, const DavResponse& answer) {
    if (answer.status == 412 && push.kind == Push::Update && !push.retried)
        return retryAfterConflict(push);
    const bool gone = push.kind == Push::Delete && answer.status == 404;
    if (answer.status == 412 || (!answer.ok() && !gone)) {
        const Outcome o = outcomeOf(answer);
        // A card changed on the server meanwhile waits for the next sync; anything else stops.
        if (answer.status != 412)
            return fail(o);
    } else {
        try {
            std::shared_ptr<store::Connection> db = file();
            store::Transaction t(*db);
            SyncState state(*db);
            if (push.kind == Push::Delete) {
                state.removeCard(push.state.id);
                ++m_outcome.deletedThere;
            } else {
                CardState s = push.state;
                s.row = push.local.rowid;
                s.etag = answer.etag;
                s.serverCard = push.text;
                s.synced = push.local;
                state.saveCard(s);
                ++m_outcome.sent;
            }
            t.commit();
        } catch (const store::StoreError& e) {
            return fail({Problem::LocalError, 0, e.description()});
        }
    }
    ++m_nextPush;
    pushNext();
}

// The server's card changed since we read it: read it again, make the same change to it and
// send it once more. The values that result are this side's too.
void SyncEngine::retryAfterConflict(const Push& push) {
    DavRequest get;
    get.method = "GET";
    get.url = urlOf(m_config.server, push.state.href);
    m_transport.send(get, [this, push, url = get.url](const DavResponse& answer) {
        if (!answer.ok())
            return fail(outcomeOf(answer));
        Push again = push;
        again.retried = true;
        again.state.etag = answer.etag;
        again.text = mergedCardText(answer.body, push.state.synced, push.local, m_config.region);
        const interchange::PlannedCard plan = fitServerCard(again.text, m_group, m_config.region);
        DavRequest put;
        put.method = "PUT";
        put.url = url;
        put.contentType = "text/vcard; charset=utf-8";
        put.body = again.text;
        put.headers.insert("If-Match", answer.etag);
        m_transport.send(put, [this, again, plan](const DavResponse& stored) {
            Push result = again;
            if (stored.ok() && plan.outcome == interchange::Outcome::New &&
                plan.card.values != again.local.values) {
                // The server's other changes come here at once.
                try {
                    std::shared_ptr<store::Connection> db = file();
                    store::Transaction t(*db);
                    ContactRecord merged = plan.card;
                    merged.group = m_group;
                    merged.rowid = again.local.rowid;
                    if (store::UpdateContact(*db, again.local, merged))
                        result.local = merged;
                    t.commit();
                    emit cardsChanged(m_group);
                } catch (const store::StoreError&) {
                    // The card stays as it is here; the next sync brings the server's values.
                }
            }
            pushed(result, stored);
        });
    });
}

} // namespace carddav
