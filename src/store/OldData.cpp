#include "store/OldData.h"

#include "store/Recordset.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/Startup.h"
#include "store/StoreError.h"

#include <sqlite3.h>

#include <exception>
#include <optional>

namespace store {

jet::Reader JetReaderOf(const StartupContext& cx) {
    return jet::Reader(cx.jetReader.isEmpty() ? jet::defaultReaderProgram() : cx.jetReader);
}

void ReachedStep(StartupContext& cx, UpgradeStep step) {
    if (cx.afterStep)
        cx.afterStep(step);
}

namespace {

bool isConstraint(const StoreError& e) {
    return e.number() == StoreError::NoSuchField ||
           (e.number() < StoreError::NotOpen && (e.number() & 0xff) == SQLITE_CONSTRAINT);
}

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
        if (!m_from.isEmpty())
            m_insert.emplace(
                to.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(quoted(table), columns.join(u','), marks.join(u','))));
    }

    // Inserts one card, `valueOf(c)` being its value of the old table's column c. A card the
    // new table refuses (a constraint) is skipped; any other error is thrown.
    template <class ValueOf> void insert(ValueOf&& valueOf) {
        if (!m_insert)
            return;
        for (qsizetype i = 0; i < m_from.size(); ++i)
            m_insert->bind(int(i) + 1, valueOf(m_from[i]));
        try {
            // One statement per card: a refused card undoes only its own insert. Any other
            // error (disk full, I/O, memory, a lock) may have ended the whole transaction,
            // so it ends the copy.
            m_insert->step();
        } catch (const StoreError& e) {
            if (!isConstraint(e))
                throw;
        }
        m_insert->reset();
    }

private:
    std::optional<Statement> m_insert;
    QList<int> m_from; // the old column of each parameter
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

} // namespace

CopyResult CopyOldData(StartupContext& cx, Connection& to, const QString& oldPath) {
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

} // namespace store
