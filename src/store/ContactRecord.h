#pragma once

#include "store/Recordset.h"

#include <QString>

#include <array>
#include <optional>

namespace store {

class Connection;

// The two lists of cards; None where a group box names neither.
enum class ContactGroup { None, Personal, Work };

// The table that holds a group's cards ("Vesk" or "Work"); empty for None.
QString tableOf(ContactGroup group);
// The group whose cards a table holds; None for any other table.
ContactGroup groupOfTable(const QString& table);

// What a field of a card means, in the order of the card in the editor. Each group keeps the
// meaning in a column of its own (a Work card's home phone is `Home`, a Personal one's `Phone`).
enum class Role { Name, Home, Mobile, Work, Fax, Address, Email };
inline constexpr int RoleCount = 7;

// One column of a contact table and everything the program says or checks about it.
struct CardField {
    Role role;
    const char16_t* column;
    int width;        // declared width in characters
    int longest;      // the longest text the editor and the card imports accept, trimmed
    const char* word; // the field's name in "The length of the '...' field is too long"
    int heading;      // the string table offset of its heading in the list
    int gridColumn;   // its column in the list, the printed list and the exported files
    const char* csv;  // its header in an exported CSV file
    const char* tel;  // its vCard TEL types ("HOME,VOICE"); null when it is no number there
};

// The columns of a group's table in table order; empty for None. This is the one place that
// says which column means what in each group, and what the program says of each.
const std::array<CardField, RoleCount>& fieldsOf(ContactGroup group);
const CardField& fieldOf(ContactGroup group, Role role);
QString columnOf(ContactGroup group, Role role);
int widthOf(ContactGroup group, Role role);
// The role shown in a column of the list (0..RoleCount-1).
Role roleInGridColumn(int column);

// One card of one list, as stored. `rowid` is its identity in the file (-1 when not stored).
struct ContactRecord {
    ContactGroup group = ContactGroup::None;
    qint64 rowid = -1;
    std::array<Value, RoleCount> values{};

    Value& operator[](Role r) { return values[size_t(r)]; }
    const Value& operator[](Role r) const { return values[size_t(r)]; }
    bool operator==(const ContactRecord&) const = default;
};

// Reads the card with this identity; none when the table holds no such row.
std::optional<ContactRecord> ReadContact(Connection& db, ContactGroup group, qint64 rowid);
// Appends a card; returns its identity. The store's refusals come as StoreError.
qint64 InsertContact(Connection& db, const ContactRecord& card);
// Rewrites the card `loaded` with the values of `changed`, in one statement that also checks
// that the row still holds every value of `loaded`. False when no row does: the card was
// deleted or changed meanwhile, or its identity now belongs to another card.
bool UpdateContact(Connection& db, const ContactRecord& loaded, const ContactRecord& changed);
// Deletes the row with this identity when its stored name is `name` exactly; false otherwise.
bool DeleteContact(Connection& db, ContactGroup group, qint64 rowid, const QString& name);
// True when a card of the group has this name once blanks around the stored name are trimmed
// (case counts). Found through the name index, without reading every card.
bool NameTaken(Connection& db, ContactGroup group, const QString& trimmedName);

} // namespace store
