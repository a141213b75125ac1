#include "common/TestFiles.h"

#include <QtTest>

#include <sqlite3.h>

namespace testing {

RawDb::RawDb(const QString& path) {
    if (sqlite3_open(path.toUtf8().constData(), &m_db) != SQLITE_OK)
        qFatal("cannot open %s", qPrintable(path));
}

RawDb::~RawDb() {
    sqlite3_close(m_db);
}

void RawDb::exec(const QString& sql) {
    char* err = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err);
        sqlite3_free(err);
        qFatal("%s: %s", qPrintable(sql), qPrintable(msg));
    }
}

QStringList RawDb::rows(const QString& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        qFatal("%s: %s", qPrintable(sql), sqlite3_errmsg(m_db));
    QStringList out;
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList cols;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            cols << (sqlite3_column_type(st, i) == SQLITE_NULL
                         ? QStringLiteral("<null>")
                         : QString::fromUtf8(
                               reinterpret_cast<const char*>(sqlite3_column_text(st, i))));
        }
        out << cols.join(u'|');
    }
    sqlite3_finalize(st);
    return out;
}

QString RawDb::scalar(const QString& sql) {
    const QStringList r = rows(sql);
    return r.isEmpty() ? QString() : r.first();
}

void writeOldFile(const QString& path, const QString& detailsSql) {
    RawDb db(path);
    db.exec(
        QStringLiteral("CREATE TABLE Vesk (Name TEXT, Phone TEXT, Mobil TEXT, Line TEXT, Fax TEXT, "
                       "Address TEXT, Email TEXT)"));
    db.exec(QStringLiteral(
        "CREATE TABLE Work (Name TEXT, Phone TEXT, Mobil TEXT, Home TEXT, Dept TEXT, "
        "Address TEXT, Email TEXT)"));
    if (!detailsSql.isEmpty())
        db.exec(detailsSql);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace testing
