// Adding a card to a book of 100,000: the duplicate-name check plus the insert, as the editor
// did it before (a second cursor over the whole table, every name trimmed and compared) and as
// it does it now (a lookup in the name index), and the refill of the list that follows.
// Peak memory is process-wide: run one benchmark per process (--benchmark_filter) to compare.
#include "BenchSupport.h"

#include "store/ContactRecord.h"
#include "store/Query.h"
#include "store/Sqlite.h"
#include "store/Text.h"

namespace {

constexpr int cards = 100000;
// Not among the generated names, so both checks look as far as they ever do.
const QString newName = QStringLiteral("Name 2000000");

// The main window over 100,000 Personal cards, listed with All, as the user sees it.
struct Directory : bench::ProgramFolder {
    Directory() {
        addCards(cards);
        shared->LetterFilter = QStringLiteral("ALL");
        window->refreshList();
    }
};

std::unique_ptr<Directory> made;

Directory& directory() {
    if (!made)
        made = std::make_unique<Directory>();
    return *made;
}

store::ContactRecord newCard() {
    store::ContactRecord card{store::ContactGroup::Personal, -1, {}};
    card[store::Role::Name] = newName;
    card[store::Role::Home] = QStringLiteral("03-1234567");
    card[store::Role::Address] = QStringLiteral(" ");
    card[store::Role::Email] = QStringLiteral(" ");
    return card;
}

void removeNewCard(benchmark::State& state, Directory& d) {
    state.PauseTiming();
    d.shared->db.execute(QStringLiteral("DELETE FROM Vesk WHERE Name = 'Name 2000000'"));
    state.ResumeTiming();
}

void report(benchmark::State& state, bool taken) {
    if (taken)
        state.SkipWithError("the new name was found");
    state.counters["peak_rss_MB"] = bench::peakRssMb();
}

// The check as the editor made it before: the whole table read into a second cursor and
// every name compared; then the same insert as now.
void BM_AddAfterFullScan(benchmark::State& state) {
    Directory& d = directory();
    bool taken = false;
    for (auto _ : state) {
        auto check = d.shared->db.openRecordset(store::Query::all(QStringLiteral("Vesk")));
        for (check->first(); !check->atEnd(); check->next())
            taken = taken ||
                    store::trimSpaces(check->value(QStringLiteral("Name")).value_or(QString())) ==
                        newName;
        check.reset();
        store::InsertContact(d.shared->db.connection(), newCard());
        removeNewCard(state, d);
    }
    report(state, taken);
}

// The check and insert as the editor makes them now.
void BM_AddAfterIndexedLookup(benchmark::State& state) {
    Directory& d = directory();
    bool taken = false;
    for (auto _ : state) {
        store::Connection& db = d.shared->db.connection();
        taken = taken || store::NameTaken(db, store::ContactGroup::Personal, newName);
        store::InsertContact(db, newCard());
        removeNewCard(state, d);
    }
    report(state, taken);
}

// The refill of the list after the card is stored (All: every card).
void BM_Refill(benchmark::State& state) {
    Directory& d = directory();
    for (auto _ : state) {
        d.window->refreshList();
        benchmark::DoNotOptimize(d.shared->ListCount);
    }
    if (d.shared->ListCount != cards)
        state.SkipWithError("wrong card count");
    state.counters["peak_rss_MB"] = bench::peakRssMb();
}

} // namespace

BENCHMARK(BM_Refill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAfterFullScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAfterIndexedLookup)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::run(argc, argv, [] { made.reset(); });
}
