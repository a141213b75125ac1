#include "common/TestFiles.h"

#include <QtTest>

#include <sqlite3.h>

#include <csignal>

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

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList tsvCards(const QString& tsvPath, char group, bool asRows) {
    QStringList cards;
    const QString prefix = QString(QLatin1Char(group)) + u'\t';
    for (const QString& line : QString::fromUtf8(readFile(tsvPath)).split(u'\n')) {
        if (!line.startsWith(prefix))
            continue;
        QString card = line.mid(2);
        if (asRows)
            card.replace(QStringLiteral("\\N"), QStringLiteral("<null>")).replace(u'\t', u'|');
        cards << card;
    }
    return cards;
}

FullDisk::FullDisk(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &m_saved);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FullDisk::~FullDisk() {
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_handler);
}

} // namespace testing
