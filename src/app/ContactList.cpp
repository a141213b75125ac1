#include "app/ContactList.h"

#include "store/ContactDatabase.h"
#include "store/StoreError.h"
#include "store/Text.h"

namespace app {

Listing ContactList::read(store::ContactGroup group, const std::optional<QString>& prefix,
                          const QString& sortOrder) {
    const QString table = store::tableOf(group);
    const store::Query query = prefix ? store::Query::namePrefix(table, *prefix, sortOrder)
                                      : store::Query::allOrdered(table, sortOrder);
    Listing listing;
    listing.queryText = query.text();
    store::Recordset* rs = nullptr;
    try {
        rs = &m_db.openCurrent(query);
    } catch (const store::StoreError&) {
        return listing;
    }
    listing.opened = true;

    // Each column's field is looked up once per reading, then read straight from the cursor.
    std::array<int, store::RoleCount> field{};
    for (size_t c = 0; c < field.size(); ++c)
        field[c] = rs->fieldIndex(store::columnOf(group, store::roleInGridColumn(int(c))));
    listing.cards.reserve(size_t(rs->size()));
    for (; !rs->atEnd(); rs->next()) {
        ListedCard& card = listing.cards.emplace_back();
        card.cardId = rs->rowid();
        for (size_t c = 0; c < field.size(); ++c) {
            if (field[c] < 0)
                continue; // a field the table lacks leaves its cell empty
            if (const store::Value v = rs->value(field[c]))
                card.cells[c] = store::trimSpaces(*v);
        }
    }
    return listing;
}

} // namespace app
