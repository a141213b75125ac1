#include "interchange/ImportWriter.h"

#include "i18n/StringTable.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

#include <QElapsedTimer>

#include <sqlite3.h>

#include <memory>
#include <vector>

namespace interchange {

namespace {

bool isConstraint(const store::StoreError& e) {
    return e.number() < store::StoreError::NotOpen && (e.number() & 0xff) == SQLITE_CONSTRAINT;
}

// The names a group holds, each trimmed of blanks as the duplicate check trims them, kept as
// bits of a table by a hash of their UTF-8 with ASCII letters in lower case (the check compares
// exactly, or at most without ASCII case): a name whose bit is clear is not taken, and only
// the others need the check's own look-up, one query each.
class NamesHeld {
public:
    NamesHeld(store::Connection& db, store::ContactGroup group) {
        store::Statement st = db.prepare(
            QStringLiteral("SELECT trim(\"Name\", ' ') FROM %1").arg(store::tableOf(group)));
        std::vector<quint64> hashes;
        while (st.step()) {
            const QByteArrayView name = st.utf8(0);
            if (!name.isNull())
                hashes.push_back(hashOf(name));
        }
        size_t bits = 64;
        while (bits < hashes.size() * 16)
            bits *= 2;
        m_bits.assign(bits / 64, 0);
        for (const quint64 hash : hashes)
            set(hash);
    }
    bool mayHold(const QString& trimmedName) const {
        const quint64 at = hashOf(trimmedName.toUtf8()) & (m_bits.size() * 64 - 1);
        return m_bits[size_t(at / 64)] & (quint64(1) << (at % 64));
    }

private:
    static quint64 hashOf(QByteArrayView utf8) {
        quint64 hash = 14695981039346656037u; // FNV-1a
        for (const char c : utf8) {
            hash ^= quint64(quint8(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
            hash *= 1099511628211u;
        }
        return hash;
    }
    void set(quint64 hash) {
        const quint64 at = hash & (m_bits.size() * 64 - 1);
        m_bits[size_t(at / 64)] |= quint64(1) << (at % 64);
    }
    std::vector<quint64> m_bits;
};
qint64 single(store::Connection& db, const QString& sql) {
    store::Statement st = db.prepare(sql);
    st.step();
    return st.integer(0);
}

} // namespace

std::function<bool(const QString&)> nameTakenIn(store::Connection& db, store::ContactGroup group) {
    auto held = std::make_shared<const NamesHeld>(db, group);
    return [&db, group, held](const QString& name) {
        return held->mayHold(name) && store::NameTaken(db, group, name);
    };
}

BookState bookState(store::Connection& db) {
    return {single(db, QStringLiteral("PRAGMA data_version")),
            single(db, QStringLiteral("SELECT total_changes()"))};
}

namespace {

// The write over plans of either keeping: `Plans` tells a card's outcome, gives its plan and
// takes it back changed.
template <class Plans>
std::optional<ImportTally> writePlans(store::Connection& db, Plans& plans,
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
        if (plans.outcome(size_t(i)) != Outcome::New)
            continue;
        PlannedCard& plan = plans.plan(size_t(i));
        if (checkNames && store::NameTaken(db, plan.card.group, plan.name)) {
            plan.outcome = Outcome::Duplicate;
            plans.changed(size_t(i));
            continue;
        }
        try {
            plan.card.rowid = store::InsertContact(db, plan.card);
        } catch (const store::StoreError& e) {
            if (!isConstraint(e))
                throw;
            plan.outcome = Outcome::Refused;
            plan.reason = Reason::words(e.description());
            plans.changed(size_t(i));
        }
    }
    if (!progress(total, total))
        return std::nullopt;
    transaction.commit();
    ImportTally tally;
    for (size_t i = 0; i < plans.size(); ++i) {
        const Outcome outcome = plans.outcome(i);
        int& count = outcome == Outcome::New         ? tally.imported
                     : outcome == Outcome::Duplicate ? tally.duplicates
                                                     : tally.refused;
        ++count;
    }
    return tally;
}

struct PlansInVector {
    std::vector<PlannedCard>& plans;
    size_t size() const { return plans.size(); }
    Outcome outcome(size_t i) const { return plans[i].outcome; }
    PlannedCard& plan(size_t i) { return plans[i]; }
    void changed(size_t) {}
};

// A packed plan made again for the card being written, and kept whole when it changes.
struct PackedPlans {
    PlannedCards& plans;
    PlannedCard current;
    size_t size() const { return plans.size(); }
    Outcome outcome(size_t i) const { return plans.outcome(i); }
    PlannedCard& plan(size_t i) { return current = plans.at(i); }
    void changed(size_t i) { plans.replace(i, current); }
};

} // namespace

std::optional<ImportTally> writeImport(store::Connection& db, std::vector<PlannedCard>& plans,
                                       const std::function<bool(int, int)>& progress,
                                       std::optional<BookState> planned) {
    PlansInVector in{plans};
    return writePlans(db, in, progress, planned);
}

std::optional<ImportTally> writeImport(store::Connection& db, PlannedCards& plans,
                                       const std::function<bool(int, int)>& progress,
                                       std::optional<BookState> planned) {
    PackedPlans in{plans, {}};
    return writePlans(db, in, progress, planned);
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
