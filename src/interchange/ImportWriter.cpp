#include "interchange/ImportWriter.h"

#include "i18n/StringTable.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

#include <QElapsedTimer>

#include <sqlite3.h>

namespace interchange {

namespace {

bool isConstraint(const store::StoreError& e) {
    return e.number() < store::StoreError::NotOpen && (e.number() & 0xff) == SQLITE_CONSTRAINT;
}

qint64 single(store::Connection& db, const QString& sql) {
    store::Statement st = db.prepare(sql);
    st.step();
    return st.integer(0);
}

} // namespace

BookState bookState(store::Connection& db) {
    return {single(db, QStringLiteral("PRAGMA data_version")),
            single(db, QStringLiteral("SELECT total_changes()"))};
}

std::optional<ImportTally> writeImport(store::Connection& db, std::vector<PlannedCard>& plans,
                                       const std::function<bool(int, int)>& progress,
                                       std::optional<BookState> planned) {
    const int total = int(plans.size());
    store::Transaction transaction(db);
    // The write lock is held from here on: what the file holds now is what is written over.
    const bool checkNames = !planned || bookState(db) != *planned;
    // The progress is told by the clock, not for every card: its window redraws and lets
    // events through each time.
    QElapsedTimer sinceTold;
    sinceTold.start();
    if (!progress(0, total))
        return std::nullopt;
    for (int i = 0; i < total; ++i) {
        if (sinceTold.hasExpired(ProgressEveryMs)) {
            if (!progress(i, total))
                return std::nullopt;
            sinceTold.start();
        }
        PlannedCard& plan = plans[size_t(i)];
        if (plan.outcome != Outcome::New)
            continue;
        if (checkNames && store::NameTaken(db, plan.card.group, plan.name)) {
            plan.outcome = Outcome::Duplicate;
            continue;
        }
        try {
            plan.card.rowid = store::InsertContact(db, plan.card);
        } catch (const store::StoreError& e) {
            if (!isConstraint(e))
                throw;
            plan.outcome = Outcome::Refused;
            plan.reason = Reason::words(e.description());
        }
    }
    if (!progress(total, total))
        return std::nullopt;
    transaction.commit();
    ImportTally tally;
    for (const PlannedCard& plan : plans) {
        int& count = plan.outcome == Outcome::New         ? tally.imported
                     : plan.outcome == Outcome::Duplicate ? tally.duplicates
                                                          : tally.refused;
        ++count;
    }
    return tally;
}

QString importSummary(const ImportTally& tally) {
    return importSummary(tally, i18n::LangEnglish);
}

QString importSummary(const ImportTally& tally, int lang) {
    return i18n::text(lang == i18n::LangHebrew ? i18n::LangHebrew : i18n::LangEnglish,
                      i18n::off::importSummary)
        .arg(tally.imported)
        .arg(tally.duplicates)
        .arg(tally.refused);
}

} // namespace interchange
