#pragma once

#include "store/ContactRecord.h"

#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace store {
class ContactDatabase;
class Recordset;
class RowStore;
} // namespace store

namespace app {

// One card as the list shows it: its identity (rowid) and the text of each list column.
struct ListedCard {
    qint64 cardId = -1;
    std::array<QString, store::RoleCount> cells;
};

// What one reading of the list found.
struct Listing {
    // The query in its historic form, as the debug display shows it; set even when the query
    // could not be run.
    QString queryText;
    bool opened = false; // false: the query could not be run, and there are no cards
    // The cursor's rows as it stores them and their slots in name order; the field of each
    // list column (-1 where the table lacks it).
    std::shared_ptr<const store::RowStore> rows;
    std::vector<int> order;
    std::array<int, store::RoleCount> fieldOf{};

    int size() const { return int(order.size()); }
    // Each card with its cells as texts, trimmed of blanks; a Null field is empty.
    std::vector<ListedCard> cards() const;
};

// The field of each list column in a cursor over the group's table (-1 where it lacks it).
std::array<int, store::RoleCount> listFields(const store::Recordset& rs, store::ContactGroup group);

// What the file looked like at one moment, as far as the list cares: changes by other
// programs (the engine's data version), changes of the tables' shape, the rows this
// connection has changed so far, and the text encoding.
struct FileStamp {
    qint64 dataVersion = -1;
    qint64 schemaVersion = -1;
    qint64 changes = -1;
    bool utf8 = false;
    bool operator==(const FileStamp&) const = default;
};

// The cards of one group that the contact list shows, in name order, read through the file's
// shared cursor (which the deletion then looks the shown card up in). No widgets: the window
// turns the cards into grid rows.
class ContactList {
public:
    explicit ContactList(store::ContactDatabase& db) : m_db(db) {}

    // The group's cards whose stored name begins with `prefix` (an empty prefix takes every
    // card), or every card when there is no prefix; `sortOrder` is "ASC" or "DESC". Each cell
    // holds its field trimmed of blanks; a Null field, or one the table lacks, is empty.
    Listing read(store::ContactGroup group, const std::optional<QString>& prefix,
                 const QString& sortOrder);

    // The file's stamp now; nothing when it cannot be read.
    std::optional<FileStamp> stamp() const;

    // After this program itself wrote one card (added, changed or deleted it): the shared
    // cursor, which a reading with the same group, prefix and order opened, takes the card out
    // and back in at its place in name order, as a new reading would list it. The old and
    // the new position (-1 for none); nothing when only a new reading can tell.
    struct Moved {
        int from = -1;
        int to = -1;
    };
    std::optional<Moved> refreshCard(store::ContactGroup group,
                                     const std::optional<QString>& prefix, const QString& sortOrder,
                                     qint64 cardId);

private:
    store::ContactDatabase& m_db;
};

} // namespace app
