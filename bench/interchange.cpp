// The whole-address-book import, each figure against its anchor in the same run:
// - the write step (the new cards of a plan written in one transaction, the progress window
//   driven as the main window drives it) against a raw prepared insert of the same values in
//   one transaction, at 10,000 and 100,000 cards;
// - the preview of 100,000 cards: the file read, its cards planned and the preview window
//   shown, against the same numbers read by the library alone on one thread (parsed, checked,
//   formatted), and through our own fitting on one thread;
// - a CSV file of 1,000,000 rows read, planned and previewed: its peak resident size
//   (run it alone, --benchmark_filter=Million, as the peak is the process's).
#include "interchange/CsvReader.h"
#include "interchange/ImportPreview.h"
#include "interchange/ImportWriter.h"
#include "interchange/PhoneFit.h"
#include "interchange/VcfReader.h"
#include "store/ContactDatabase.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressDialog>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <phonenumbers/phonenumberutil.h>
#include <sqlite3.h>

#include <memory>

namespace {

const QString region = QStringLiteral("IL");

// A figure of /proc/self/status in megabytes: "VmHWM:" the peak resident size so far,
// "VmRSS:" the current one; -1 where there is none.
double statusMb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').value(0).toDouble() /
                   1024.0;
    return -1;
}

QString nameOf(int i) {
    return QStringLiteral("Card %1").arg(i, 7, 10, QChar(u'0'));
}
// 052-100-0000, 052-100-0001, ...: every card's number its own.
QString mobileOf(int i) {
    return QStringLiteral("052-%1-%2").arg(i / 10000 + 100).arg(i % 10000, 4, 10, QChar(u'0'));
}

// Each card's number its own, or, with `numbers` fewer than the cards, one of that many
// shared in turn (the office line of many cards).
QByteArray vcfFile(int cards, int numbers = 0) {
    QByteArray out;
    for (int i = 0; i < cards; ++i)
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + nameOf(i).toUtf8() +
               "\r\nTEL;TYPE=CELL:+972 " + mobileOf(numbers ? i % numbers : i).mid(1).toUtf8() +
               "\r\nEMAIL:user" + QByteArray::number(i) + "@example.org\r\nEND:VCARD\r\n";
    return out;
}

// About 20 bytes a row: a name and a mobile number.
QByteArray csvFile(int rows) {
    QByteArray out = "Name,Mobile Phone\r\n";
    out.reserve(rows * 24);
    for (int i = 0; i < rows; ++i)
        out += nameOf(i).toUtf8() + ',' + mobileOf(i).toUtf8() + "\r\n";
    return out;
}

// A new contact file in a temporary folder, made while the clock is stopped.
struct FreshFile {
    QTemporaryDir dir;
    store::ContactDatabase db;
    FreshFile() {
        db.create(path());
        db.execute(store::createTableSql(QStringLiteral("Vesk")));
        db.execute(store::createNameIndexSql(QStringLiteral("Vesk")));
    }
    QString path() const { return dir.filePath(QStringLiteral("VESK.MDB")); }
};

// The file read as the import reads it, each card packed as soon as it is read and, with
// `ahead`, its numbers read meanwhile on every core.
interchange::SourceFile read(const QByteArray& bytes, bool csv, interchange::SourceCards& cards,
                             interchange::NumbersAhead* ahead = nullptr) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const interchange::CardSink pack = [&cards, ahead](interchange::SourceCard&& card) {
        cards.push_back(card);
        if (ahead)
            ahead->added(cards);
    };
    interchange::SourceFile file =
        csv ? interchange::readCsv(buffer, pack) : interchange::readVcf(buffer, pack);
    if (ahead)
        ahead->finish();
    return file;
}

// The cards planned as the main window plans them; `seen`, when given, is what the check saw.
// `longestGapMs`, when given, is the longest the plan went without telling its progress: how
// long the window asking would go without its events.
interchange::PlannedCards plan(store::Connection& db, const interchange::SourceCards& cards,
                               interchange::BookState* seen = nullptr,
                               qint64* longestGapMs = nullptr,
                               const interchange::NumbersAhead* ahead = nullptr) {
    const store::Transaction snapshot(db, store::Transaction::Read);
    if (seen)
        *seen = interchange::bookState(db);
    QElapsedTimer sinceTold;
    sinceTold.start();
    qint64 longest = 0;
    auto plans = interchange::planImport(
        cards, store::ContactGroup::Personal, region,
        interchange::nameTakenIn(db, store::ContactGroup::Personal),
        [&](int, int) {
            longest = std::max(longest, sinceTold.restart());
            return true;
        },
        ahead);
    if (longestGapMs)
        *longestGapMs = longest;
    return std::move(*plans);
}

// The write step: OK in the preview to the tally, with the progress window the main window
// shows (at once here, rather than after its half-second delay).
void BM_WriteImport(benchmark::State& state) {
    const int cards = int(state.range(0));
    interchange::SourceCards source;
    read(vcfFile(cards), false, source);
    for (auto _ : state) {
        state.PauseTiming();
        auto file = std::make_unique<FreshFile>();
        store::Connection& db = file->db.connection();
        interchange::BookState seen;
        interchange::PlannedCards plans = plan(db, source, &seen);
        QProgressDialog progress;
        progress.setRange(0, cards);
        progress.setMinimumDuration(0);
        QElapsedTimer sinceTold; // the longest stretch without progress, the commit included
        qint64 longest = 0;
        state.ResumeTiming();
        sinceTold.start();
        const auto tally = interchange::writeImport(
            db, plans,
            [&](int done, int) {
                longest = std::max(longest, sinceTold.elapsed());
                progress.setValue(done);
                sinceTold.start();
                return !progress.wasCanceled();
            },
            seen);
        longest = std::max(longest, sinceTold.elapsed());
        if (!tally || tally->imported != cards)
            state.SkipWithError("not every card was imported");
        state.PauseTiming();
        state.counters["longest_gap_ms"] = double(longest);
        file.reset();
        state.ResumeTiming();
    }
}

// The anchor: the same values, as the import stores them, through one prepared INSERT.
void BM_RawInsert(benchmark::State& state) {
    const int cards = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto file = std::make_unique<FreshFile>();
        const QByteArray path = file->path().toUtf8();
        file->db.close();
        sqlite3* db = nullptr;
        sqlite3_open(path.constData(), &db);
        state.ResumeTiming();
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Vesk (Name, Phone, Mobil, Line, Fax, Address, Email) "
                           "VALUES (?, '', ?, '', '', ' ', ?)",
                           -1, &st, nullptr);
        for (int i = 0; i < cards; ++i) {
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
        state.PauseTiming();
        sqlite3_close(db);
        file.reset();
        state.ResumeTiming();
    }
}

// From the chosen file to the preview on screen: read, plan, show.
void previewOf(benchmark::State& state, const QByteArray& bytes, bool csv, int cards) {
    for (auto _ : state) {
        state.PauseTiming();
        auto file = std::make_unique<FreshFile>();
        store::Connection& db = file->db.connection();
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        interchange::SourceCards packed;
        interchange::NumbersAhead ahead(region);
        const interchange::SourceFile source = read(bytes, csv, packed, &ahead);
        const qint64 readMs = clock.elapsed();
        state.counters["read_MB"] = statusMb("VmRSS:");
        {
            qint64 longestGap = 0;
            interchange::PlannedCards plans = plan(db, packed, nullptr, &longestGap, &ahead);
            state.counters["plan_longest_gap_ms"] = double(longestGap);
            const qint64 plannedMs = clock.elapsed();
            state.counters["planned_MB"] = statusMb("VmRSS:");
            interchange::ImportPreview preview(std::move(plans), source.problems, region, {}, 0,
                                               nullptr);
            preview.show();
            QApplication::processEvents();
            state.counters["read_ms"] = double(readMs);
            state.counters["plan_ms"] = double(plannedMs - readMs);
            state.counters["show_ms"] = double(clock.elapsed() - plannedMs);
            if (preview.plans().size() != size_t(cards))
                state.SkipWithError("not every card was planned");
            state.PauseTiming();
        }
        file.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = statusMb("VmHWM:");
}

void BM_Preview(benchmark::State& state) {
    const int cards = int(state.range(0));
    previewOf(state, vcfFile(cards), false, cards);
}

// The same cards sharing 10,000 numbers, ten cards each: each number is read once.
void BM_PreviewSharedNumbers(benchmark::State& state) {
    const int cards = int(state.range(0));
    previewOf(state, vcfFile(cards, 10000), false, cards);
}

// The anchor of the preview: each card's number read by the library on one thread, as any
// use of it must (parsed, checked for validity, formatted in national form).
void BM_RawParseFormat(benchmark::State& state) {
    using i18n::phonenumbers::PhoneNumber;
    using i18n::phonenumbers::PhoneNumberUtil;
    const int cards = int(state.range(0));
    std::vector<std::string> numbers;
    for (int i = 0; i < cards; ++i)
        numbers.push_back("+972 " + mobileOf(i).mid(1).toStdString());
    const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
    for (auto _ : state) {
        for (const std::string& number : numbers) {
            PhoneNumber parsed;
            std::string formatted;
            util.Parse(number, "IL", &parsed);
            benchmark::DoNotOptimize(util.IsValidNumber(parsed));
            util.Format(parsed, PhoneNumberUtil::NATIONAL, &formatted);
            benchmark::DoNotOptimize(formatted);
        }
    }
}

// The same numbers through our own fitting, on one thread.
void BM_FitNumbers(benchmark::State& state) {
    const int cards = int(state.range(0));
    QStringList numbers;
    for (int i = 0; i < cards; ++i)
        numbers << QStringLiteral("+972 ") + mobileOf(i).mid(1);
    for (auto _ : state) {
        for (const QString& number : numbers)
            benchmark::DoNotOptimize(interchange::fitNumber(number, 12, region));
    }
}

void BM_CsvMillion(benchmark::State& state) {
    const int rows = int(state.range(0));
    previewOf(state, csvFile(rows), true, rows);
}

BENCHMARK(BM_WriteImport)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawInsert)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Preview)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PreviewSharedNumbers)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawParseFormat)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FitNumbers)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CsvMillion)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
