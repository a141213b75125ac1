#pragma once

#include "sync/SyncOutcome.h"
#include "sync/SyncState.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

namespace store {
class Connection;
}

namespace carddav {

class DavTransport;
struct DavRequest;

struct SyncConfig {
    QUrl server;
    QString user;
    QString region; // the home region numbers are fitted to
    // The address book of each group that syncs (path on the server); empty: the group does not.
    QString personalBook;
    QString workBook;
    int batch = 250; // cards per addressbook-multiget
};

// One sync of every group that has an address book: read what changed on the server
// (sync-collection, else the ETags of a PROPFIND after a getctag), fetch those cards
// (addressbook-multiget), apply the server's changes here and record the new state in one
// transaction, then send our changes one by one (PUT If-None-Match / If-Match, DELETE
// If-Match), recording each as the server takes it. A sync stopped anywhere (a fault, a kill)
// leaves the file consistent; the next one completes it.
class SyncEngine final : public QObject {
    Q_OBJECT
public:
    using Database = std::function<std::shared_ptr<store::Connection>()>;
    SyncEngine(DavTransport& transport, Database db, QObject* parent = nullptr);
    ~SyncEngine() override;

    void run(const SyncConfig& config);
    bool running() const { return m_running; }

    // One change of ours to send.
    struct Push {
        enum Kind { Create, Update, Delete };
        Kind kind = Create;
        CardState state; // Create: id -1 unless a card the server dropped is made again
        store::ContactRecord local;
        QByteArray text;
        bool retried = false;
    };

signals:
    void finished(const carddav::Outcome& outcome);
    // Cards of the group were written here: lists showing it need filling again.
    void cardsChanged(store::ContactGroup group);

private:
    struct Fetched {
        QByteArray etag;
        QByteArray text;
    };
    struct Listing {
        bool complete = false;
        QHash<QString, QByteArray> present; // href -> etag
        QSet<QString> removed;
        QString token;
        QString ctag;
    };
    void nextGroup();
    void list(const QString& token);
    void listUnlessUnchanged();
    void listByEtags();
    // The book's own properties, its getctag among them (Depth 0).
    DavRequest ctagRequest() const;
    void fetch();
    void fetchNext();
    void reconcile();
    void pushNext();
    void pushed(const Push& push, const DavResponse& answer);
    void retryAfterConflict(const Push& push);
    void fail(const Outcome& outcome);
    void done();
    // The contact file of this run: the one open when it first read, to its end. Another file
    // opened meanwhile (Import DB) never receives what this run listed against the first one.
    std::shared_ptr<store::Connection> file();

    DavTransport& m_transport;
    Database m_db;
    std::shared_ptr<store::Connection> m_file;
    SyncConfig m_config;
    bool m_running = false;
    Outcome m_outcome;
    std::vector<std::pair<store::ContactGroup, QString>> m_groups;
    // The group under way.
    store::ContactGroup m_group = store::ContactGroup::None;
    QString m_book;
    BookState m_bookState;
    Listing m_listing;
    QStringList m_toFetch;
    QHash<QString, Fetched> m_fetched;
    std::vector<Push> m_pushes;
    size_t m_nextPush = 0;
};

} // namespace carddav
