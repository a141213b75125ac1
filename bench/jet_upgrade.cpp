// The first start of a user who brings the old program's phone book: an Access (Jet 4)
// VESK.MDB of 100,000 cards upgraded at start (the version read, the new file created, every
// card streamed from the reader process into it, the old file kept as VESK.000), against
// mdb-export, libmdb's own tool, writing the same two tables to /dev/null, in the same run.
//
// The book is written once by scripts/make-jet-book (Java) and kept out of git:
//   scripts/make-jet-book build/jet-book/vesk-90000-10000.mdb
// or named by JET_BOOK. peak_rss_MB is this process's peak memory (run one benchmark per
// process to compare); the reader's own is a few megabytes (/usr/bin/time on
// orvenna-jet-reader BOOK Vesk Work). Nothing here needs a QCoreApplication: the store is Qt
// Core alone and the reader is named by its path.
#include "store/ContactDatabase.h"
#include "store/Sqlite.h"
#include "store/Startup.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <memory>

namespace {

QString book() {
    const QString named = qEnvironmentVariable("JET_BOOK");
    return named.isEmpty() ? QStringLiteral(JET_BOOK_DEFAULT) : named;
}

void report(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024.0;
}

bool haveBook(benchmark::State& state) {
    if (QFile::exists(book()))
        return true;
    state.SkipWithError(qPrintable(
        QStringLiteral("no Jet book at %1: scripts/make-jet-book writes one").arg(book())));
    return false;
}

int cardsIn(const QString& path) {
    const auto db = store::Connection::openReadOnly(path);
    store::Statement st = db->prepare(
        QStringLiteral("SELECT (SELECT count(*) FROM Vesk) + (SELECT count(*) FROM Work)"));
    st.step();
    return int(st.integer(0));
}

// The program's start on a folder holding the Access book.
void BM_UpgradeAtStart(benchmark::State& state) {
    if (!haveBook(state))
        return;
    int cards = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto dir = std::make_unique<QTemporaryDir>();
        QFile::copy(book(), dir->filePath(QStringLiteral("VESK.MDB")));
        store::ContactDatabase db;
        store::StartupContext cx{db, dir->path() + u'/'};
        cx.jetReader = QStringLiteral(JET_READER);
        state.ResumeTiming();

        const store::StartupOutcome outcome = store::OpenContactDatabase(cx);
        db.close();

        state.PauseTiming();
        if (outcome.notices.size() != 2 ||
            !QFile::exists(dir->filePath(QStringLiteral("VESK.000"))))
            state.SkipWithError("the upgrade did not finish");
        cards = cardsIn(dir->filePath(QStringLiteral("VESK.MDB")));
        dir.reset();
        state.ResumeTiming();
    }
    state.counters["cards"] = cards;
    report(state);
}

// mdb-export of Vesk, then of Work, to /dev/null.
void BM_MdbExport(benchmark::State& state) {
    if (!haveBook(state))
        return;
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("mdb-export"));
    if (tool.isEmpty()) {
        state.SkipWithError("mdb-export is needed (apt-get install mdbtools)");
        return;
    }
    for (auto _ : state) {
        for (const char* table : {"Vesk", "Work"}) {
            QProcess exporter;
            exporter.setStandardOutputFile(QProcess::nullDevice());
            exporter.start(tool, {book(), QString::fromLatin1(table)});
            if (!exporter.waitForFinished(-1) || exporter.exitCode() != 0)
                state.SkipWithError("mdb-export failed");
        }
    }
    report(state);
}

BENCHMARK(BM_UpgradeAtStart)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_MdbExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
