#include "store/OldData.h"

#include "store/Recordset.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/Startup.h"
#include "store/StoreError.h"

#include <exception>
#include <optional>

namespace store {

jet::Reader JetReaderOf(const StartupContext& cx) {
    return jet::Reader(cx.jetReader);
}

void ReachedStep(StartupContext& cx, UpgradeStep step) {
    if (cx.afterStep)
        cx.afterStep(step);
}

namespace {

QString quoted(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// The new table's spelling of an old column, matched without regard to case; empty when the
// new table has no such field.
QString newColumn(const QString& table, const QString& old) {
    for (const ColumnDef& c : columnsOf(table)) {
        const QString name = QString::fromUtf16(c.name);
        if (name.compare(old, Qt::CaseInsensitive) == 0)
            return name;
    }
    return {};
}

// The insert of one table's cards: the old table's fields that the new table has, matched by
// name; a field the new table lacks stays in the backup.
class CardInsert {
public:
    CardInsert(Connection& to, const QString& table, const QStringList& oldColumns) {
        QStringList columns, marks;
        for (int c = 0; c < oldColumns.size(); ++c) {
            const QString name = newColumn(table, oldColumns[c]);
            if (name.isEmpty())
                continue;
            m_from << c;
            columns << quoted(name);
            marks << QStringLiteral("?");
        }
        // Without a field in common a card has no name, and none can be copied.
        m_utf8.resize(m_from.size());
        if (!m_from.isEmpty())
            m_insert.emplace(
                to.prepare(QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (%3)")
                               .arg(quoted(table), columns.join(u','), marks.join(u','))));
    }

    // Inserts one card, `valueOf(c)` being its value of the old table's column c. A card the
    // new table refuses (a constraint) is skipped; any other error is thrown.
    template <class ValueOf> void insert(ValueOf&& valueOf) {
        if (!m_insert)
            return;
        for (qsizetype i = 0; i < m_from.size(); ++i) {
            const Value value = valueOf(m_from[i]);
            // A null array binds Null; an empty text stays an empty text.
            m_utf8[i] =
                value ? (value->isEmpty() ? QByteArray("") : value->toUtf8()) : QByteArray();
            m_insert->bindUtf8(int(i) + 1, m_utf8[i]);
        }
        // OR IGNORE: a card that breaks a rule of the new table (too long, no name) is left
        // out before anything of it is written. Any other error (disk full, I/O, memory, a
        // lock) may have ended the whole transaction, so it ends the copy.
        m_insert->step();
        m_insert->reset();
    }

private:
    QList<int> m_from;        // the old column of each parameter
    QList<QByteArray> m_utf8; // each parameter's bytes, bound without a copy: they outlive it
    std::optional<Statement> m_insert;
};

// Copies one table; false when the old table exists but cannot be read.
bool copyTable(StartupContext& cx, Connection& old, Connection& to, const QString& table,
               CopyResult& result) {
    std::optional<Statement> from;
    try {
        from.emplace(old.prepare(QStringLiteral("SELECT * FROM ") + quoted(table)));
    } catch (const StoreError&) {
        // A table the old file never had holds no cards to lose.
        Statement st = old.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = "
                                                  "'table' AND name = ?1 COLLATE NOCASE"));
        st.bindText(1, table);
        return !st.step();
    }
    QStringList columns;
    for (int c = 0; c < from->columnCount(); ++c)
        columns << from->columnName(c);
    CardInsert insert(to, table, columns);
    while (from->step()) {
        if (++result.read % 100 == 0)
            ReachedStep(cx, UpgradeStep::HundredCopied);
        insert.insert([&](int c) { return from->isNull(c) ? Value() : Value(from->text(c)); });
    }
    return true;
}

// The new table an old Access table fills: Access matches table names without regard to case,
// as the old program's queries did.
QString newTableOf(const QString& old) {
    for (const char* table : {"Vesk", "Work"}) {
        if (old.compare(QLatin1String(table), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(table);
    }
    return {};
}

// Reads `tables` of an Access (Jet) file in one pass of the reader process, each card inserted
// as it arrives. A file the reader cannot read to the end throws OldFileUnreadable: nothing
// it delivered may be kept.
jet::ReadResult copyJetTables(StartupContext& cx, Connection& to, const QString& oldPath,
                              const QStringList& tables, CopyResult& result) {
    QString current;
    std::optional<CardInsert> insert;
    std::exception_ptr error;
    const jet::ReadResult read = JetReaderOf(cx).read(oldPath, tables, [&](const jet::Row& row) {
        // An error here stops the reader before it goes on to the caller.
        try {
            if (!insert || row.table->name != current) {
                current = row.table->name;
                QStringList columns;
                for (const jet::Column& column : row.table->columns)
                    columns << column.name;
                insert.reset();
                insert.emplace(to, newTableOf(current), columns);
            }
            if (++result.read % 100 == 0)
                ReachedStep(cx, UpgradeStep::HundredCopied);
            insert->insert([&](int c) { return row.fields[c]; });
            return true;
        } catch (...) {
            error = std::current_exception();
            return false;
        }
    });
    if (error)
        std::rethrow_exception(error);
    if (!read.ok())
        throw StoreError(StoreError::OldFileUnreadable, read.description);
    return read;
}

// The cards of the old program's Access (Jet) file.
CopyResult copyJetFile(StartupContext& cx, Connection& to, const QString& oldPath) {
    CopyResult result;
    const QStringList tables{QStringLiteral("Vesk"), QStringLiteral("Work")};
    const jet::ReadResult read = copyJetTables(cx, to, oldPath, tables, result);
    // A table named in another case is the same table to Access; the reader asks by exact name.
    QStringList otherCase;
    for (const QString& table : tables) {
        if (read.catalog.contains(table))
            continue;
        for (const QString& name : read.catalog) {
            if (name.compare(table, Qt::CaseInsensitive) == 0) {
                otherCase << name;
                break;
            }
        }
    }
    if (!otherCase.isEmpty())
        copyJetTables(cx, to, oldPath, otherCase, result);
    return result;
}

CopyResult copyCards(StartupContext& cx, Connection& to, const QString& oldPath) {
    if (jet::looksLikeJet(oldPath))
        return copyJetFile(cx, to, oldPath);
    CopyResult result;
    const std::shared_ptr<Connection> old = Connection::openReadOnly(oldPath);
    for (const char* table : {"Vesk", "Work"}) {
        if (!copyTable(cx, *old, to, QString::fromLatin1(table), result)) {
            result.unreadable = true;
            break;
        }
    }
    return result;
}

} // namespace

CopyResult CopyOldData(StartupContext& cx, Connection& to, const QString& oldPath) {
    // The name indexes are built once the cards are in: sorting the names once is cheaper than
    // placing each card's name in the index as it comes.
    const QStringList tables{QStringLiteral("Vesk"), QStringLiteral("Work")};
    for (const QString& table : tables)
        to.execute(QStringLiteral("DROP INDEX IF EXISTS \"%1_Name\"").arg(table));
    const CopyResult result = copyCards(cx, to, oldPath);
    for (const QString& table : tables)
        to.execute(createNameIndexSql(table));
    return result;
}

} // namespace store
