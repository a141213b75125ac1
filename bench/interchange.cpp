// Importing 10,000 cards from a vCard file and from a CSV file (read, fit, check for
// duplicates, write in one transaction) against a raw SQLite insert of the same rows in one
// transaction; and the numbers alone, read and formatted.
#include "interchange/CsvReader.h"
#include "interchange/ImportWriter.h"
#include "interchange/PhoneFit.h"
#include "interchange/VcfReader.h"
#include "store/ContactDatabase.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int Cards = 10000;

QString nameOf(int i) {
    return QStringLiteral("Card %1").arg(i, 5, 10, QChar(u'0'));
}
QString mobileOf(int i) {
    return QStringLiteral("052-%1-%2").arg(i / 10000 + 100).arg(i % 10000, 4, 10, QChar(u'0'));
}

QByteArray vcfFile() {
    QByteArray out;
    for (int i = 0; i < Cards; ++i)
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + nameOf(i).toUtf8() +
               "\r\nTEL;TYPE=CELL:+972 " + mobileOf(i).mid(1).toUtf8() + "\r\nEMAIL:user" +
               QByteArray::number(i) + "@example.org\r\nEND:VCARD\r\n";
    return out;
}

QByteArray csvFile() {
    QByteArray out = "Name,Mobile Phone,E-mail Address\r\n";
    for (int i = 0; i < Cards; ++i)
        out += nameOf(i).toUtf8() + ",+972 " + mobileOf(i).mid(1).toUtf8() + ",user" +
               QByteArray::number(i) + "@example.org\r\n";
    return out;
}

// A new contact file in a temporary folder, made while the clock is stopped.
struct FreshFile {
    QTemporaryDir dir;
    store::ContactDatabase db;
    FreshFile() {
        db.create(dir.filePath(QStringLiteral("VESK.MDB")));
        db.execute(store::createTableSql(QStringLiteral("Vesk")));
        db.execute(store::createNameIndexSql(QStringLiteral("Vesk")));
    }
};

void import(benchmark::State& state, const QByteArray& bytes, bool csv) {
    for (auto _ : state) {
        state.PauseTiming();
        auto file = std::make_unique<FreshFile>();
        state.ResumeTiming();
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        const auto read = csv ? interchange::readCsv(buffer) : interchange::readVcf(buffer);
        store::Connection& db = file->db.connection();
        std::optional<store::Transaction> snapshot(std::in_place, db, store::Transaction::Read);
        auto plans = interchange::planImport(
            read.cards, store::ContactGroup::Personal, "IL", [&db](const QString& n) {
                return store::NameTaken(db, store::ContactGroup::Personal, n);
            });
        snapshot.reset();
        const auto tally = interchange::writeImport(db, plans, [](int, int) { return true; });
        if (!tally || tally->imported != Cards)
            state.SkipWithError("not every card was imported");
        state.PauseTiming();
        file.reset();
        state.ResumeTiming();
    }
}

void BM_ImportVcf(benchmark::State& state) {
    import(state, vcfFile(), false);
}
void BM_ImportCsv(benchmark::State& state) {
    import(state, csvFile(), true);
}

void BM_RawInsert(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto file = std::make_unique<FreshFile>();
        const QByteArray path = file->dir.filePath(QStringLiteral("VESK.MDB")).toUtf8();
        file->db.close();
        state.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_open(path.constData(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO Vesk (Name, Mobil, Email) VALUES (?, ?, ?)", -1, &st,
                           nullptr);
        for (int i = 0; i < Cards; ++i) {
            const QByteArray name = nameOf(i).toUtf8(), mobile = mobileOf(i).toUtf8(),
                             mail = "user" + QByteArray::number(i) + "@example.org";
            sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, mobile.constData(), int(mobile.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 3, mail.constData(), int(mail.size()), SQLITE_TRANSIENT);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        state.PauseTiming();
        file.reset();
        state.ResumeTiming();
    }
}

// The share of the import that goes to reading numbers: the same 10,000 fitted on one thread.
void BM_FitNumbers(benchmark::State& state) {
    QStringList numbers;
    for (int i = 0; i < Cards; ++i)
        numbers << QStringLiteral("+972 ") + mobileOf(i).mid(1);
    for (auto _ : state) {
        for (const QString& number : numbers)
            benchmark::DoNotOptimize(interchange::fitNumber(number, 12, QStringLiteral("IL")));
    }
}

BENCHMARK(BM_ImportVcf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawInsert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitNumbers)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
