#include "store/Query.h"

#include "store/StoreError.h"

namespace store {

namespace {

// Table names cannot be bound, so only the program's own tables are accepted.
QString checkedTable(const QString& table) {
    if (table == u"Vesk" || table == u"Work" || table == u"dbDetails")
        return table;
    throw StoreError(StoreError::BadQuery, QStringLiteral("Unknown table '%1'").arg(table));
}

QString checkedOrder(const QString& order) {
    if (order == u"ASC" || order == u"DESC")
        return order;
    throw StoreError(StoreError::BadQuery, QStringLiteral("Unknown sort order '%1'").arg(order));
}

QString selectFrom(const QString& table) {
    return QStringLiteral("SELECT rowid, * FROM \"%1\"").arg(table);
}

// Latin names sort without regard to case; rowid keeps equal names in a stable order.
QString orderBy(const QString& order) {
    return QStringLiteral(" ORDER BY \"Name\" COLLATE NOCASE %1, rowid").arg(order);
}

} // namespace

Query::Query(QString table, QString text, QString sql, QStringList params)
    : m_table(std::move(table)), m_text(std::move(text)), m_sql(std::move(sql)),
      m_params(std::move(params)) {}

Query Query::all(const QString& table) {
    const QString t = checkedTable(table);
    return Query(t, QStringLiteral("select * from ") + t, selectFrom(t));
}

Query Query::allOrdered(const QString& table, const QString& sortOrder) {
    const QString t = checkedTable(table);
    const QString o = checkedOrder(sortOrder);
    return Query(t, QStringLiteral("select * from %1 order by Name %2").arg(t, o),
                 selectFrom(t) + orderBy(o));
}

Query Query::namePrefix(const QString& table, const QString& prefix, const QString& sortOrder) {
    const QString t = checkedTable(table);
    const QString o = checkedOrder(sortOrder);
    return Query(t,
                 QStringLiteral("select * from ") + t + QStringLiteral(" where Name like '") +
                     prefix + QStringLiteral("*' order by Name ") + o,
                 selectFrom(t) + QStringLiteral(" WHERE \"Name\" LIKE ?1 ESCAPE '\\'") + orderBy(o),
                 {prefixPattern(prefix)});
}

Query Query::nameEquals(const QString& table, const QString& name) {
    const QString t = checkedTable(table);
    return Query(
        t, QStringLiteral("select * from ") + t + QStringLiteral(" where Name = '") + name + u'\'',
        selectFrom(t) + QStringLiteral(" WHERE \"Name\" = ?1"), {name});
}

Query Query::card(const QString& table, qint64 rowid) {
    const QString t = checkedTable(table);
    const QString id = QString::number(rowid);
    return Query(t, QStringLiteral("select * from %1 where rowid = %2").arg(t, id),
                 selectFrom(t) + QStringLiteral(" WHERE rowid = CAST(?1 AS INTEGER)"), {id});
}

Query Query::cardInList(const QString& table, const std::optional<QString>& prefix, qint64 rowid) {
    if (!prefix)
        return card(table, rowid);
    const QString t = checkedTable(table);
    const QString id = QString::number(rowid);
    return Query(
        t,
        QStringLiteral("select * from %1 where rowid = %2 and Name like '").arg(t, id) + *prefix +
            QStringLiteral("*'"),
        selectFrom(t) +
            QStringLiteral(" WHERE rowid = CAST(?1 AS INTEGER) AND \"Name\" LIKE ?2 ESCAPE '\\'"),
        {id, prefixPattern(*prefix)});
}

Query Query::version() {
    return all(QStringLiteral("dbDetails"));
}

QString Query::prefixPattern(const QString& prefix) {
    QString out;
    out.reserve(prefix.size() + 1);
    for (QChar c : prefix) {
        if (c == u'%' || c == u'_' || c == u'\\')
            out += u'\\';
        out += c;
    }
    out += u'%';
    return out;
}

} // namespace store
