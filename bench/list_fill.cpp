// The full list fill (query, cursor, grid model) against a raw read of the same ordered rows.
#include "app/FlexGrid.h"
#include "app/FrmVesk.h"
#include "platform/testing/RecordingKeyboard.h"
#include "platform/testing/ScriptedPrompter.h"
#include "shell/Shared.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

long peakRssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string message = err ? err : "sqlite error";
        sqlite3_free(err);
        throw std::runtime_error(message);
    }
}

// A program folder holding a VESK.MDB with `cards` Personal cards, and the main window on it.
struct Directory {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    platform::testing::ScriptedPrompter prompter;
    platform::testing::RecordingKeyboard keyboard;
    mdlVesk::Shared shared;
    std::unique_ptr<app::frmVesk> window;

    explicit Directory(int cards) {
        QDir::setCurrent(dir.path());
        window = std::make_unique<app::frmVesk>(shared, app::Services{prompter, keyboard, settings});
        if (window->Form_Load() != app::frmVesk::LoadResult::Running)
            throw std::runtime_error("the main window did not load");
        sqlite3* db = nullptr;
        sqlite3_open(dir.filePath(QStringLiteral("VESK.MDB")).toUtf8().constData(), &db);
        exec(db, "BEGIN");
        // Hebrew and Latin names in no particular order, every field filled.
        const std::string insert =
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(cards) +
            ") INSERT INTO Vesk SELECT "
            "CASE i % 3 WHEN 0 THEN printf('Name %07d', (i * 7919) % 1000003) "
            "ELSE printf('אבג %07d', (i * 7919) % 1000003) END, "
            "printf('03-%07d', i), printf('050-%07d', i), printf('%010d', i), printf('04-%07d', i), "
            "printf('Street %d, Town', i), printf('user%d@example.org', i) FROM n";
        exec(db, insert.c_str());
        exec(db, "COMMIT");
        sqlite3_close(db);
        shared.LetterFilter = QStringLiteral("ALL");
    }
};

// Kept across runs of one size; emptied before the application object goes.
std::map<int, std::unique_ptr<Directory>> made;

Directory& directory(int cards) {
    auto& d = made[cards];
    if (!d)
        d = std::make_unique<Directory>(cards);
    return *d;
}

void BM_ShowAll(benchmark::State& state) {
    Directory& d = directory(int(state.range(0)));
    for (auto _ : state) {
        d.window->ShowAll();
        benchmark::DoNotOptimize(d.shared.ListCount);
    }
    if (d.shared.ListCount != state.range(0))
        state.SkipWithError("wrong card count");
    state.counters["peak_rss_MB"] = double(peakRssKb()) / 1024.0;
}

// The same rows, in the same order, read with the C API: every column's text touched once.
void BM_RawOrderedRead(benchmark::State& state) {
    Directory& d = directory(int(state.range(0)));
    sqlite3* db = nullptr;
    sqlite3_open_v2(d.dir.filePath(QStringLiteral("VESK.MDB")).toUtf8().constData(), &db, SQLITE_OPEN_READONLY,
                    nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, * FROM Vesk ORDER BY Name COLLATE NOCASE ASC, rowid", -1, &stmt, nullptr);
    for (auto _ : state) {
        size_t bytes = 0;
        int rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 1; c < 8; ++c) {
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
                bytes += size_t(sqlite3_column_bytes(stmt, c));
            }
            ++rows;
        }
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(bytes);
        if (rows != state.range(0))
            state.SkipWithError("wrong row count");
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

} // namespace

BENCHMARK(BM_RawOrderedRead)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowAll)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    made.clear();
    return 0;
}
