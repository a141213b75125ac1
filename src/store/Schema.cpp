#include "store/Schema.h"

#include "store/ContactDatabase.h"
#include "store/ContactRecord.h"
#include "store/Steps.h"
#include "store/StoreError.h"

namespace store {

namespace {

// The contact tables as the card type lays them out: a Name that must hold text, the other
// fields free to be empty or Null.
std::vector<ColumnDef> contactColumns(ContactGroup group) {
    std::vector<ColumnDef> cols;
    for (const CardField& f : fieldsOf(group)) {
        const bool name = f.role == Role::Name;
        cols.push_back({f.column, f.width, name, !name});
    }
    return cols;
}
const std::vector<ColumnDef> vesk = contactColumns(ContactGroup::Personal);
const std::vector<ColumnDef> work = contactColumns(ContactGroup::Work);
const std::vector<ColumnDef> details = {
    {u"dbVerNum", 1, true, true, true},
    {u"dbVerDesc", 40, true, true},
};
const std::vector<ColumnDef> none;

QString columnSql(const ColumnDef& c) {
    const QString name = QString::fromUtf16(c.name);
    const QString q = u'"' + name + u'"';
    if (c.byte) {
        return q + QStringLiteral(
                       " BYTE NOT NULL CONSTRAINT \"Field '%1' takes a whole number "
                       "from 0 to 255\" CHECK (typeof(%2) = 'integer' AND %2 BETWEEN 0 AND 255)")
                       .arg(name, q);
    }
    QString sql = QStringLiteral("%1 TEXT(%2)").arg(q).arg(c.width);
    if (c.required)
        sql += QStringLiteral(" NOT NULL");
    if (!c.allowEmpty)
        sql += QStringLiteral(" CONSTRAINT \"Field '%1' cannot be empty\" CHECK (%2 <> '')")
                   .arg(name, q);
    sql += QStringLiteral(
               " CONSTRAINT \"Field '%1' takes at most %2 characters\" CHECK (length(%3) <= %2)")
               .arg(name)
               .arg(c.width)
               .arg(q);
    return sql;
}

} // namespace

const std::vector<ColumnDef>& columnsOf(const QString& table) {
    if (table == u"Vesk")
        return vesk;
    if (table == u"Work")
        return work;
    if (table == u"dbDetails")
        return details;
    return none;
}

QString createTableSql(const QString& table) {
    QStringList cols;
    for (const ColumnDef& c : columnsOf(table))
        cols << columnSql(c);
    return QStringLiteral("CREATE TABLE \"%1\" (\n  %2\n)")
        .arg(table, cols.join(QStringLiteral(",\n  ")));
}

QString createNameIndexSql(const QString& table) {
    return QStringLiteral(
               "CREATE INDEX IF NOT EXISTS \"%1_Name\" ON \"%1\" (\"Name\" COLLATE NOCASE)")
        .arg(table);
}

void EnsureNameIndexes(ContactDatabase& db) {
    for (const char* table : {"Vesk", "Work"}) {
        try {
            if (db.TableExists(QString::fromLatin1(table)))
                db.execute(createNameIndexSql(QString::fromLatin1(table)));
        } catch (const StoreError&) {
        }
    }
}

void CreateContactTable(ContactDatabase& db, const QString& name, SuppressedSteps& steps) {
    if (columnsOf(name).empty())
        return;
    steps.run([&] { db.execute(createTableSql(name)); });
    if (name == u"dbDetails")
        steps.run([&] { WriteInitialVersion(db); });
    else
        steps.run([&] { db.execute(createNameIndexSql(name)); });
}

void WriteInitialVersion(ContactDatabase& db) {
    db.execute(QStringLiteral("INSERT INTO  dbDetails ") +
               QStringLiteral("(dbVerNum, dbVerDesc) VALUES ") +
               QStringLiteral("(%1, 'Initial Version');").arg(SchemaVersion));
}

} // namespace store
