#include "sync/SyncState.h"

#include "store/Sqlite.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace carddav {

namespace {

int groupCode(store::ContactGroup group) {
    return group == store::ContactGroup::Work ? 2 : 1;
}

store::ContactGroup groupOfCode(qint64 code) {
    return code == 2 ? store::ContactGroup::Work : store::ContactGroup::Personal;
}

QString valuesText(const store::ContactRecord& card) {
    QJsonArray values;
    for (const store::Value& v : card.values)
        values.append(v ? QJsonValue(*v) : QJsonValue());
    return QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact));
}

store::ContactRecord valuesOf(const QString& text, store::ContactGroup group, qint64 row) {
    store::ContactRecord card;
    card.group = group;
    card.rowid = row;
    const QJsonArray values = QJsonDocument::fromJson(text.toUtf8()).array();
    for (int i = 0; i < store::RoleCount && i < values.size(); ++i)
        if (values[i].isString())
            card.values[size_t(i)] = values[i].toString();
    return card;
}

const QString Create = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS SyncState (Kind TEXT NOT NULL, Grp INTEGER NOT NULL, "
    "CardRow INTEGER, Name TEXT, Href TEXT, ETag TEXT, ServerCard TEXT, Synced TEXT, "
    "Token TEXT)");

} // namespace

SyncState::SyncState(store::Connection& db) : m_db(db) {
    m_db.execute(Create);
}

bool SyncState::exists(store::Connection& db) {
    store::Statement s =
        db.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'SyncState'"));
    return s.step();
}

void SyncState::drop(store::Connection& db) {
    db.execute(QStringLiteral("DROP TABLE IF EXISTS SyncState"));
}

std::optional<BookState> SyncState::book(store::ContactGroup group) {
    store::Statement s = m_db.prepare(QStringLiteral(
        "SELECT Name, Href, Token, ETag FROM SyncState WHERE Kind = 'book' AND Grp = ?"));
    s.bindInteger(1, groupCode(group));
    if (!s.step())
        return std::nullopt;
    return BookState{group, s.text(0), s.text(1), s.text(2), s.text(3)};
}

void SyncState::saveBook(const BookState& book) {
    store::Statement del =
        m_db.prepare(QStringLiteral("DELETE FROM SyncState WHERE Kind = 'book' AND Grp = ?"));
    del.bindInteger(1, groupCode(book.group));
    del.step();
    store::Statement s =
        m_db.prepare(QStringLiteral("INSERT INTO SyncState (Kind, Grp, Name, Href, Token, ETag) "
                                    "VALUES ('book', ?, ?, ?, ?, ?)"));
    s.bindInteger(1, groupCode(book.group));
    s.bindText(2, book.account);
    s.bindText(3, book.href);
    s.bindText(4, book.token);
    s.bindText(5, book.ctag);
    s.step();
}

void SyncState::forgetGroup(store::ContactGroup group) {
    store::Statement s = m_db.prepare(
        QStringLiteral("DELETE FROM SyncState WHERE Kind IN ('book', 'card') AND Grp = ?"));
    s.bindInteger(1, groupCode(group));
    s.step();
}

std::vector<CardState> SyncState::cards(store::ContactGroup group) {
    store::Statement s = m_db.prepare(
        QStringLiteral("SELECT rowid, CardRow, Href, ETag, ServerCard, Synced FROM SyncState "
                       "WHERE Kind = 'card' AND Grp = ?"));
    s.bindInteger(1, groupCode(group));
    std::vector<CardState> out;
    while (s.step()) {
        CardState c;
        c.id = s.integer(0);
        c.group = group;
        if (!s.isNull(1))
            c.row = s.integer(1);
        c.href = s.text(2);
        c.etag = s.text(3).toUtf8();
        c.serverCard = s.text(4).toUtf8();
        c.synced = valuesOf(s.text(5), group, c.row.value_or(-1));
        out.push_back(std::move(c));
    }
    return out;
}

QHash<QString, QByteArray> SyncState::etags(store::ContactGroup group) {
    store::Statement s = m_db.prepare(
        QStringLiteral("SELECT Href, ETag FROM SyncState WHERE Kind = 'card' AND Grp = ?"));
    s.bindInteger(1, groupCode(group));
    QHash<QString, QByteArray> out;
    while (s.step())
        out.insert(s.text(0), s.text(1).toUtf8());
    return out;
}

void SyncState::saveCard(CardState& card) {
    store::Statement s = m_db.prepareCached(
        card.id < 0 ? QStringLiteral("INSERT INTO SyncState (Kind, Grp, CardRow, Name, Href, "
                                     "ETag, ServerCard, Synced) VALUES ('card', ?, ?, ?, ?, ?, "
                                     "?, ?)")
                    : QStringLiteral("UPDATE SyncState SET Grp = ?, CardRow = ?, Name = ?, "
                                     "Href = ?, ETag = ?, ServerCard = ?, Synced = ? "
                                     "WHERE rowid = ?"));
    s.bindInteger(1, groupCode(card.group));
    if (card.row)
        s.bindInteger(2, *card.row);
    else
        s.bind(2, std::nullopt);
    s.bind(3, card.synced[store::Role::Name]);
    s.bindText(4, card.href);
    s.bindText(5, QString::fromUtf8(card.etag));
    s.bindText(6, QString::fromUtf8(card.serverCard));
    s.bindText(7, valuesText(card.synced));
    if (card.id >= 0)
        s.bindInteger(8, card.id);
    s.step();
    if (card.id < 0)
        card.id = m_db.lastInsertRowid();
}

void SyncState::removeCard(qint64 id) {
    store::Statement s = m_db.prepare(QStringLiteral("DELETE FROM SyncState WHERE rowid = ?"));
    s.bindInteger(1, id);
    s.step();
}

std::vector<Conflict> SyncState::conflicts() {
    store::Statement s =
        m_db.prepare(QStringLiteral("SELECT rowid, Grp, CardRow, Href, Synced FROM SyncState "
                                    "WHERE Kind = 'conflict' ORDER BY rowid"));
    std::vector<Conflict> out;
    while (s.step()) {
        const store::ContactGroup group = groupOfCode(s.integer(1));
        out.push_back(
            {s.integer(0), s.integer(2), s.text(3), valuesOf(s.text(4), group, s.integer(2))});
    }
    return out;
}

void SyncState::addConflict(const Conflict& conflict) {
    store::Statement s = m_db.prepare(
        QStringLiteral("INSERT INTO SyncState (Kind, Grp, CardRow, Name, Href, Synced) "
                       "VALUES ('conflict', ?, ?, ?, ?, ?)"));
    s.bindInteger(1, groupCode(conflict.local.group));
    s.bindInteger(2, conflict.row);
    s.bind(3, conflict.local[store::Role::Name]);
    s.bindText(4, conflict.href);
    s.bindText(5, valuesText(conflict.local));
    s.step();
}

void SyncState::removeConflict(qint64 id) {
    removeCard(id);
}

std::vector<store::ContactRecord> readGroup(store::Connection& db, store::ContactGroup group) {
    QStringList columns;
    for (const store::CardField& f : store::fieldsOf(group))
        columns << u'"' + QString::fromUtf16(f.column) + u'"';
    store::Statement s = db.prepare(QStringLiteral("SELECT rowid, %1 FROM \"%2\" ORDER BY rowid")
                                        .arg(columns.join(u", "), store::tableOf(group)));
    std::vector<store::ContactRecord> out;
    while (s.step()) {
        store::ContactRecord card;
        card.group = group;
        card.rowid = s.integer(0);
        for (int i = 0; i < store::RoleCount; ++i)
            card.values[size_t(store::fieldsOf(group)[size_t(i)].role)] =
                s.isNull(i + 1) ? store::Value() : store::Value(s.text(i + 1));
        out.push_back(std::move(card));
    }
    return out;
}

} // namespace carddav
