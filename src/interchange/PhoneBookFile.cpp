#include "interchange/PhoneBookFile.h"

#include "i18n/StringTable.h"
#include "jet/JetReader.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

#include <QIODevice>

#include <algorithm>
#include <optional>

namespace interchange {

namespace {

using store::Role;

// The role of each of the file's fields in the group's list, by name in any case; none for a
// field the list does not have.
std::vector<std::optional<Role>> rolesOf(const QStringList& columns, store::ContactGroup group) {
    std::vector<std::optional<Role>> roles;
    for (const QString& column : columns) {
        std::optional<Role> role;
        for (const store::CardField& field : store::fieldsOf(group)) {
            if (column.compare(QString::fromUtf16(field.column), Qt::CaseInsensitive) == 0) {
                role = field.role;
                break;
            }
        }
        roles.push_back(role);
    }
    return roles;
}

bool hasName(const std::vector<std::optional<Role>>& roles) {
    return std::find(roles.begin(), roles.end(), std::optional<Role>(Role::Name)) != roles.end();
}

// A row of the group's table as a card of another address book: each number of the kind its
// field holds, a Work card's department as its department.
class CardBuilder {
public:
    CardBuilder(store::ContactGroup group, const QStringList& columns)
        : m_group(group), m_roles(rolesOf(columns, group)) {}

    bool hasName() const { return interchange::hasName(m_roles); }

    template <class ValueOf> SourceCard card(int line, ValueOf&& valueOf) const {
        SourceCard card;
        card.line = line;
        for (size_t c = 0; c < m_roles.size(); ++c) {
            if (!m_roles[c])
                continue;
            const QString value = valueOf(int(c)).value_or(QString());
            switch (*m_roles[c]) {
            case Role::Name:
                card.name = value;
                break;
            case Role::Address:
                card.address = value;
                break;
            case Role::Email:
                card.email = value;
                break;
            case Role::Fax:
                // A Work card's fourth field is its department.
                if (m_group == store::ContactGroup::Work)
                    card.department = value;
                else
                    addNumber(card, value, PhoneKind::Fax);
                break;
            case Role::Home:
                addNumber(card, value, PhoneKind::Home);
                break;
            case Role::Mobile:
                addNumber(card, value, PhoneKind::Cell);
                break;
            case Role::Work:
                addNumber(card, value, PhoneKind::Work);
                break;
            }
        }
        return card;
    }

private:
    static void addNumber(SourceCard& card, const QString& number, PhoneKind kind) {
        if (!number.trimmed().isEmpty())
            card.phones.push_back({number, kind});
    }

    store::ContactGroup m_group;
    std::vector<std::optional<Role>> m_roles;
};

SourceFile refused(int reason) {
    SourceFile file;
    file.problems.push_back({1, Reason::of(reason)});
    return file;
}

QString quoted(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

SourceFile readSqlite(const QString& path, store::ContactGroup group) {
    const QString table = store::tableOf(group);
    SourceFile file;
    try {
        const std::shared_ptr<store::Connection> conn = store::Connection::openReadOnly(path);
        // A table of that very name, never a view: nothing of the file's own is run.
        store::Statement is = conn->prepare(
            QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1"));
        is.bindText(1, table);
        if (!is.step())
            return refused(i18n::off::reasonNotPhoneBook);
        store::Statement rows = conn->prepare(QStringLiteral("SELECT * FROM ") + quoted(table));
        QStringList columns;
        for (int c = 0; c < rows.columnCount(); ++c)
            columns << rows.columnName(c);
        const CardBuilder builder(group, columns);
        if (!builder.hasName())
            return refused(i18n::off::reasonNotPhoneBook);
        int line = 0;
        while (rows.step()) {
            file.cards.push_back(builder.card(++line, [&rows](int c) {
                return rows.isNull(c) ? std::optional<QString>() : rows.text(c);
            }));
        }
    } catch (const store::StoreError&) {
        return refused(i18n::off::reasonBookDamaged);
    }
    return file;
}

SourceFile readJet(const QString& path, store::ContactGroup group, const QString& jetReader) {
    const jet::Reader reader(jetReader);
    QString table = store::tableOf(group);
    SourceFile file;
    std::optional<CardBuilder> builder;
    int line = 0;
    auto onRow = [&](const jet::Row& row) {
        if (!builder) {
            QStringList columns;
            for (const jet::Column& column : row.table->columns)
                columns << column.name;
            builder.emplace(group, columns);
        }
        file.cards.push_back(builder->card(++line, [&row](int c) { return row.fields[c]; }));
        return true;
    };
    jet::ReadResult read = reader.read(path, {table}, onRow);
    // Access knows a table by its name in any case, as the old program's queries did; the
    // reader asks by the exact name.
    if (read.ok() && !read.table(table)) {
        for (const QString& name : std::as_const(read.catalog)) {
            if (name.compare(table, Qt::CaseInsensitive) == 0) {
                table = name;
                read = reader.read(path, {table}, onRow);
                break;
            }
        }
    }
    if (!read.ok())
        return refused(i18n::off::reasonBookDamaged);
    const jet::TableInfo* info = read.table(table);
    if (!info)
        return refused(i18n::off::reasonNotPhoneBook);
    QStringList columns;
    for (const jet::Column& column : info->columns)
        columns << column.name;
    if (!interchange::hasName(rolesOf(columns, group)))
        return refused(i18n::off::reasonNotPhoneBook);
    return file;
}

} // namespace

bool isPhoneBookFile(const QString& path, QIODevice& device) {
    static const QByteArray sqliteHeader("SQLite format 3\0", 16);
    return jet::looksLikeJet(path) || device.peek(sqliteHeader.size()) == sqliteHeader;
}

SourceFile readPhoneBook(const QString& path, store::ContactGroup group, const QString& jetReader) {
    return jet::looksLikeJet(path) ? readJet(path, group, jetReader) : readSqlite(path, group);
}

} // namespace interchange
