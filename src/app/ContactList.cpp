#include "app/ContactList.h"

#include "store/ContactDatabase.h"
#include "store/Recordset.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"
#include "store/Text.h"

namespace app {

std::array<int, store::RoleCount> listFields(const store::Recordset& rs,
                                             store::ContactGroup group) {
    std::array<int, store::RoleCount> field{};
    for (size_t c = 0; c < field.size(); ++c)
        field[c] = rs.fieldIndex(store::columnOf(group, store::roleInGridColumn(int(c))));
    return field;
}

std::vector<ListedCard> Listing::cards() const {
    std::vector<ListedCard> out;
    out.reserve(order.size());
    for (int slot : order) {
        ListedCard& card = out.emplace_back();
        card.cardId = rows->rowid(slot);
        for (size_t c = 0; c < fieldOf.size(); ++c) {
            if (fieldOf[c] >= 0)
                card.cells[c] =
                    store::trimSpaces(rows->value(slot, fieldOf[c]).value_or(QString()));
        }
    }
    return out;
}

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
    rs->toEnd(); // where a reading that went through every row leaves the cursor
    // The cells stay in the cursor's store; the grid turns them into text as it shows them.
    listing.rows = rs->rows();
    listing.order = rs->order();
    listing.fieldOf = listFields(*rs, group);
    return listing;
}

std::optional<FileStamp> ContactList::stamp() const {
    try {
        store::Statement st = m_db.connection().prepare(
            QStringLiteral("SELECT (SELECT data_version FROM pragma_data_version), "
                           "(SELECT schema_version FROM pragma_schema_version), total_changes(), "
                           "(SELECT encoding FROM pragma_encoding)"));
        if (!st.step())
            return std::nullopt;
        return FileStamp{st.integer(0), st.integer(1), st.integer(2), st.text(3) == u"UTF-8"};
    } catch (const store::StoreError&) {
        return std::nullopt;
    }
}

std::optional<ContactList::Moved> ContactList::refreshCard(store::ContactGroup group,
                                                           const std::optional<QString>& prefix,
                                                           const QString& sortOrder,
                                                           qint64 cardId) {
    store::Recordset* rs = m_db.CurrentRecordset.get();
    if (!rs)
        return std::nullopt;
    try {
        const QString table = store::tableOf(group);
        // Only the cursor a reading of this very list opened.
        const store::Query listQuery = prefix ? store::Query::namePrefix(table, *prefix, sortOrder)
                                              : store::Query::allOrdered(table, sortOrder);
        if (rs->query().sql() != listQuery.sql() ||
            rs->query().parameters() != listQuery.parameters())
            return std::nullopt;
        const int nameField = rs->fieldIndex(store::columnOf(group, store::Role::Name));
        const auto moved = rs->refreshRow(cardId, store::Query::cardInList(table, prefix, cardId),
                                          nameField, sortOrder == u"DESC");
        if (!moved)
            return std::nullopt;
        return Moved{moved->from, moved->to};
    } catch (const store::StoreError&) {
        return std::nullopt;
    }
}

} // namespace app
