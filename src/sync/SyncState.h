#pragma once

#include "store/ContactRecord.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace store {
class Connection;
}

namespace carddav {

// What the last sync left, per card: where the card lives on the server, its ETag, the
// server's copy as it was, and the values the two sides agreed on. Local changes are found
// by comparing the lists with these values, so nothing else has to report its writes.
struct CardState {
    qint64 id = -1; // the state row
    store::ContactGroup group = store::ContactGroup::None;
    std::optional<qint64> row; // the card's rowid; none when the server's card is not kept here
    QString href;
    QByteArray etag; // empty: unknown, the server's card is read again at the next sync
    QByteArray serverCard;
    store::ContactRecord synced; // group, rowid and values
};

// The address book a group syncs with, and how far its changes have been read.
struct BookState {
    store::ContactGroup group = store::ContactGroup::None;
    QString account; // server and user: another account starts afresh
    QString href;
    QString token; // the sync-collection token; empty where the server offers none
    QString ctag;
};

// A card changed on both sides: the server's version went into the list, this is ours.
struct Conflict {
    qint64 id = -1;
    qint64 row = -1; // the card that holds the server's version
    QString href;
    store::ContactRecord local;
};

// The state table `SyncState` in the contact file, beside Vesk, Work and dbDetails, which it
// never touches. One row per card, per book and per conflict (Kind "card", "book",
// "conflict"). Created on first use; dropped to start afresh.
class SyncState {
public:
    explicit SyncState(store::Connection& db);

    static bool exists(store::Connection& db);
    static void drop(store::Connection& db);

    std::optional<BookState> book(store::ContactGroup group);
    void saveBook(const BookState& book);
    // The group's cards and book (its conflicts stay).
    void forgetGroup(store::ContactGroup group);

    std::vector<CardState> cards(store::ContactGroup group);
    // The ETag of each card by href, without the rest.
    QHash<QString, QByteArray> etags(store::ContactGroup group);
    // Inserts (id -1, which it then sets) or rewrites a card's state.
    void saveCard(CardState& card);
    void removeCard(qint64 id);

    std::vector<Conflict> conflicts();
    void addConflict(const Conflict& conflict);
    void removeConflict(qint64 id);

private:
    store::Connection& m_db;
};

// Every card of a group as stored, in rowid order.
std::vector<store::ContactRecord> readGroup(store::Connection& db, store::ContactGroup group);

} // namespace carddav
