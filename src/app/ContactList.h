#pragma once

#include "store/ContactRecord.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace store {
class ContactDatabase;
}

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
    std::vector<ListedCard> cards;
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

private:
    store::ContactDatabase& m_db;
};

} // namespace app
