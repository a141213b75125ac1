#pragma once
// What the benchmarks share: the tests' program folder with the main window on a fresh
// VESK.MDB, a raw C-API connection to the same file, and the run.
#include "common/Fixture.h"

#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace bench {

// A figure of /proc/self/status in kilobytes ("VmHWM:" the peak resident size, "VmRSS:" the
// current one); -1 where there is none.
inline long statusKb(const char* key = "VmHWM:") {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const int width = int(qstrlen(key));
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(width).trimmed().split(' ').value(0).toLong();
    return -1;
}

inline long peakRssKb() {
    return statusKb("VmHWM:");
}

// The peak resident size in megabytes, as the benchmarks report it.
inline double peakRssMb() {
    return double(peakRssKb()) / 1024.0;
}

inline void exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string message = err ? err : "sqlite error";
        sqlite3_free(err);
        throw std::runtime_error(message);
    }
}

// Fills table Vesk with `cards` Personal cards: Hebrew and Latin names in no particular
// order, every field filled.
inline void fillCards(sqlite3* db, int cards) {
    exec(db, "BEGIN");
    const std::string insert =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(cards) +
        ") INSERT INTO Vesk SELECT "
        "CASE i % 3 WHEN 0 THEN printf('Name %07d', (i * 7919) % 1000003) "
        "ELSE printf('אבג %07d', (i * 7919) % 1000003) END, "
        "printf('03-%07d', i), printf('050-%07d', i), printf('%010d', i), printf('04-%07d', i), "
        "printf('Street %d, Town', i), printf('user%d@example.org', i) FROM n";
    exec(db, insert.c_str());
    exec(db, "COMMIT");
}

// A read-only connection set up as the program sets up its own, so both read alike.
inline sqlite3* openRaw(const QByteArray& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open the file");
    exec(db, "PRAGMA cache_size = -32768");
    return db;
}

// Steps a contact query to its end, touching every column's text once; the row count.
inline int readRows(sqlite3_stmt* stmt) {
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
    return rows;
}

// The tests' program folder with a new VESK.MDB and the main window loaded on it.
struct ProgramFolder : Fixture {
    ProgramFolder() {
        if (load() != app::MainWindow::LoadResult::Running)
            throw std::runtime_error("the main window did not load");
        prompter.clear(); // the new file's notice
    }
    QByteArray path() const { return mdb().toUtf8(); }
    // Writes `cards` Personal cards into the file through a connection of its own.
    void addCards(int cards) const {
        sqlite3* db = nullptr;
        sqlite3_open(path().constData(), &db);
        fillCards(db, cards);
        sqlite3_close(db);
    }
};

// One `Folder` per number of cards, made at its first use and kept across runs of that size;
// cleared (`made.clear()`, in run's `release`) before the application object goes.
template <class Folder> struct PerSize {
    std::map<int, std::unique_ptr<Folder>> made;
    Folder& operator()(int cards) {
        auto& folder = made[cards];
        if (!folder)
            folder = std::make_unique<Folder>(cards);
        return *folder;
    }
};

// Runs the registered benchmarks on the offscreen platform; `release` drops what they kept
// before the application object goes.
inline int run(int argc, char** argv, const std::function<void()>& release) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    release();
    return 0;
}

} // namespace bench
