// The full list fill (query, cursor, grid model) against a raw read of the same ordered rows.
#include "BenchSupport.h"

namespace {

// A program folder holding a VESK.MDB with `cards` Personal cards, and the main window on it.
struct Directory : bench::ProgramFolder {
    explicit Directory(int cards) {
        addCards(cards);
        shared->LetterFilter = QStringLiteral("ALL");
    }
};

bench::PerSize<Directory> directory;

void BM_ShowAll(benchmark::State& state) {
    Directory& d = directory(int(state.range(0)));
    for (auto _ : state) {
        d.trigger("mnuAll");
        benchmark::DoNotOptimize(d.shared->ListCount);
    }
    if (d.shared->ListCount != state.range(0))
        state.SkipWithError("wrong card count");
    state.counters["peak_rss_MB"] = bench::peakRssMb();
    state.counters["rss_MB"] = double(bench::statusKb("VmRSS:")) / 1024.0; // after the last fill
}

// The same rows, in the same order, read with the C API: every column's text touched once.
void BM_RawOrderedRead(benchmark::State& state) {
    Directory& d = directory(int(state.range(0)));
    sqlite3* db = bench::openRaw(d.path());
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, * FROM Vesk ORDER BY Name COLLATE NOCASE ASC, rowid", -1,
                       &stmt, nullptr);
    for (auto _ : state) {
        if (bench::readRows(stmt) != state.range(0))
            state.SkipWithError("wrong row count");
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

} // namespace

BENCHMARK(BM_RawOrderedRead)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowAll)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::run(argc, argv, [] { directory.made.clear(); });
}
