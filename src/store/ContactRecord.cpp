#include "store/ContactRecord.h"

#include "i18n/StringTable.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

#include <QStringList>

namespace store {

namespace {

// Each table's columns in table order, the two groups side by side. A Work card keeps its
// work phone (an extension of four) in Phone, its home phone in Home and its department
// where a Personal card keeps a fax number. Address has no width of its own; 255 leaves room
// beyond the editor's 50. The list shows the e-mail before the address.
struct Position {
    CardField personal;
    CardField work;
};
namespace h = i18n::off;
constexpr Position positions[RoleCount] = {
    {{Role::Name, u"Name", 20, 20, "Name", h::headName, 0, "Name", nullptr},
     {Role::Name, u"Name", 20, 20, "Name", h::headName, 0, "Name", nullptr}},
    {{Role::Home, u"Phone", 12, 10, "Phone", h::headHome, 1, "Home Phone", "HOME,VOICE"},
     {Role::Work, u"Phone", 4, 11, "Line", h::headWork, 3, "Business Phone", "WORK,VOICE"}},
    {{Role::Mobile, u"Mobil", 12, 11, "Mobile", h::headMobil, 2, "Mobile Phone", "CELL,VOICE"},
     {Role::Mobile, u"Mobil", 12, 11, "Mobile", h::headMobil, 2, "Mobile Phone", "CELL,VOICE"}},
    {{Role::Work, u"Line", 10, 11, "Line", h::headWork, 3, "Business Phone", "WORK,VOICE"},
     {Role::Home, u"Home", 12, 10, "Phone", h::headHome, 1, "Home Phone", "HOME,VOICE"}},
    // A Work card's department travels with its organization in a vCard, not as a number.
    {{Role::Fax, u"Fax", 12, 10, "Fax", h::headFax, 4, "Fax", "HOME,FAX"},
     {Role::Fax, u"Dept", 20, 10, "Fax", h::headDept, 4, "Department", nullptr}},
    {{Role::Address, u"Address", 255, 50, "Address", h::headAddress, 6, "Address", nullptr},
     {Role::Address, u"Address", 255, 50, "Address", h::headAddress, 6, "Address", nullptr}},
    {{Role::Email, u"Email", 40, 40, "Email", h::headEmail, 5, "E-mail Address", nullptr},
     {Role::Email, u"Email", 40, 40, "Email", h::headEmail, 5, "E-mail Address", nullptr}},
};

constexpr std::array<CardField, RoleCount> side(CardField Position::*group) {
    std::array<CardField, RoleCount> out{};
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = positions[i].*group;
    return out;
}

constexpr std::array<CardField, RoleCount> vesk = side(&Position::personal);
constexpr std::array<CardField, RoleCount> work = side(&Position::work);
constexpr std::array<CardField, RoleCount> none{};

QString quoted(const char16_t* column) {
    return u'"' + QString::fromUtf16(column) + u'"';
}

QString checkedTable(ContactGroup group) {
    const QString table = tableOf(group);
    if (table.isEmpty())
        throw StoreError(StoreError::BadQuery, QStringLiteral("No list chosen"));
    return u'"' + table + u'"';
}

// "rowid = ? AND "Name" IS ? AND ...": the row still holds what was read. IS matches Null
// to Null, so a card read with empty fields is found too.
QString sameRow(ContactGroup group) {
    QStringList tests{QStringLiteral("rowid = ?")};
    for (const CardField& f : fieldsOf(group))
        tests << quoted(f.column) + QStringLiteral(" IS ?");
    return tests.join(QStringLiteral(" AND "));
}

// Binds the card's values in table order from `at`; returns the next index.
int bindValues(Statement& st, const ContactRecord& card, int at) {
    for (const CardField& f : fieldsOf(card.group))
        st.bind(at++, card[f.role]);
    return at;
}

} // namespace

QString tableOf(ContactGroup group) {
    switch (group) {
    case ContactGroup::Work:
        return QStringLiteral("Work");
    case ContactGroup::Personal:
        return QStringLiteral("Vesk");
    case ContactGroup::None:
        break;
    }
    return {};
}

ContactGroup groupOfTable(const QString& table) {
    if (table == u"Vesk")
        return ContactGroup::Personal;
    if (table == u"Work")
        return ContactGroup::Work;
    return ContactGroup::None;
}

const std::array<CardField, RoleCount>& fieldsOf(ContactGroup group) {
    switch (group) {
    case ContactGroup::Work:
        return work;
    case ContactGroup::Personal:
        return vesk;
    case ContactGroup::None:
        break;
    }
    return none;
}

const CardField& fieldOf(ContactGroup group, Role role) {
    for (const CardField& f : fieldsOf(group)) {
        if (f.role == role)
            return f;
    }
    throw StoreError(StoreError::BadQuery, QStringLiteral("No list chosen"));
}

Role roleInGridColumn(int column) {
    for (const CardField& f : vesk) {
        if (f.gridColumn == column)
            return f.role;
    }
    return Role::Name;
}

QString columnOf(ContactGroup group, Role role) {
    return QString::fromUtf16(fieldOf(group, role).column);
}

int widthOf(ContactGroup group, Role role) {
    return fieldOf(group, role).width;
}

std::optional<ContactRecord> ReadContact(Connection& db, ContactGroup group, qint64 rowid) {
    QStringList columns;
    for (const CardField& f : fieldsOf(group))
        columns << quoted(f.column);
    Statement st = db.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                  .arg(columns.join(u','), checkedTable(group)));
    st.bindInteger(1, rowid);
    if (!st.step())
        return std::nullopt;
    ContactRecord card{group, rowid, {}};
    int c = 0;
    for (const CardField& f : fieldsOf(group)) {
        if (!st.isNull(c))
            card[f.role] = st.text(c);
        ++c;
    }
    return card;
}

qint64 InsertContact(Connection& db, const ContactRecord& card) {
    // The statement's text is made once per group: an import inserts many thousands.
    const auto insertInto = [](ContactGroup group) {
        QStringList columns, marks;
        for (const CardField& f : fieldsOf(group)) {
            columns << quoted(f.column);
            marks << QStringLiteral("?");
        }
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(checkedTable(group), columns.join(u','), marks.join(u','));
    };
    static const QString personal = insertInto(ContactGroup::Personal);
    static const QString work = insertInto(ContactGroup::Work);
    if (card.group != ContactGroup::Personal && card.group != ContactGroup::Work)
        checkedTable(card.group); // refuses a card of no list
    Statement st = db.prepareCached(card.group == ContactGroup::Personal ? personal : work);
    bindValues(st, card, 1);
    st.step();
    return db.lastInsertRowid();
}

bool UpdateContact(Connection& db, const ContactRecord& loaded, const ContactRecord& changed) {
    if (loaded.group != changed.group)
        throw StoreError(StoreError::BadQuery, QStringLiteral("A card cannot change its list"));
    QStringList sets;
    for (const CardField& f : fieldsOf(loaded.group))
        sets << quoted(f.column) + QStringLiteral(" = ?");
    Statement st =
        db.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                       .arg(checkedTable(loaded.group), sets.join(u','), sameRow(loaded.group)));
    int at = bindValues(st, changed, 1);
    st.bindInteger(at++, loaded.rowid);
    bindValues(st, loaded, at);
    st.step();
    return db.changes() == 1;
}

bool DeleteContact(Connection& db, ContactGroup group, qint64 rowid, const QString& name) {
    Statement st = db.prepare(
        QStringLiteral("DELETE FROM %1 WHERE rowid = ? AND \"Name\" = ?").arg(checkedTable(group)));
    st.bindInteger(1, rowid);
    st.bindText(2, name);
    st.step();
    return db.changes() == 1;
}

bool NameTaken(Connection& db, ContactGroup group, const QString& trimmedName) {
    // Two ranges of the name index hold every candidate: the names from the typed name up to
    // the typed name followed by "!", which takes it with any trailing blanks; and the rare
    // names that begin with a blank. The trimmed, case-sensitive comparison then decides, as
    // a scan of every card would. Bounds rather than a LIKE pattern, so the statement is not
    // compiled again for every name it is asked about.
    const QString table = checkedTable(group);
    Statement st = db.prepareCached(
        QStringLiteral(
            "SELECT 1 FROM %1 WHERE \"Name\" >= ?1 COLLATE NOCASE AND \"Name\" < ?3 COLLATE NOCASE "
            "AND trim(\"Name\", ' ') = ?2 "
            "UNION ALL "
            "SELECT 1 FROM %1 WHERE \"Name\" LIKE ' %' AND trim(\"Name\", ' ') = ?2 "
            "LIMIT 1")
            .arg(table));
    st.bindText(1, trimmedName);
    st.bindText(2, trimmedName);
    st.bindText(3, trimmedName + u'!');
    return st.step();
}

} // namespace store
