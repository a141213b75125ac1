#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace store {

// The queries the program sends. Each one knows the text shown to the user (the debug
// display, the printed list's title query) and the SQL actually run, where every text the
// user typed is a bound parameter, so an apostrophe in a name is just a character.
class Query {
public:
    // `table` is "Vesk", "Work" or "dbDetails"; `sortOrder` "ASC" or "DESC".
    static Query all(const QString& table);
    static Query allOrdered(const QString& table, const QString& sortOrder);
    static Query namePrefix(const QString& table, const QString& prefix, const QString& sortOrder);
    static Query nameEquals(const QString& table, const QString& name);
    // The one card with this identity (none when it is gone).
    static Query card(const QString& table, qint64 rowid);
    // The same card as a list query would find it: by its identity, and only when its name
    // begins with `prefix` (any name when there is none).
    static Query cardInList(const QString& table, const std::optional<QString>& prefix,
                            qint64 rowid);
    static Query version();

    const QString& table() const { return m_table; }
    const QString& text() const { return m_text; }
    const QString& sql() const { return m_sql; }
    const QStringList& parameters() const { return m_params; }

    // The pattern for a LIKE ... ESCAPE '\' match of names that begin with `prefix`.
    static QString prefixPattern(const QString& prefix);

private:
    Query(QString table, QString text, QString sql, QStringList params = {});
    QString m_table;
    QString m_text;
    QString m_sql;
    QStringList m_params;
};

} // namespace store
