// Import Contacts in the main window over a book of 100,000 cards, from the menu command to
// the summary: 100,000 new vCards read, planned and previewed, then written. Its anchor is the
// main window's own resident size once the list is filled: the import's peak is reported
// against it (the peak counter is cleared after the fill, through /proc/self/clear_refs).
// Run alone (one benchmark per process, --benchmark_filter=InWindow), as the peak is the
// process's; BM_FilledWithBoth, alone likewise, is the window the import ends with, filled
// from the start.
#include "BenchSupport.h"

#include "interchange/ImportPreview.h"
#include "platform/testing/ScriptedFileDialogs.h"

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QPushButton>

namespace {

constexpr int bookCards = 100000;
constexpr int fileCards = 100000;

// Names the book does not hold ("Name 0000123" and Hebrew ones there), numbers of their own;
// written a card at a time, as another program would write it, so that no buffer of the whole
// file stays in this process's heap to be counted in the import's peak.
void writeVcfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("the vCard file cannot be written");
    for (int i = 0; i < fileCards; ++i)
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Card " + QByteArray::number(i) +
                   "\r\nTEL;TYPE=CELL:+972 52-" + QByteArray::number(2000000 + i) +
                   "\r\nEMAIL:user" + QByteArray::number(i) + "@example.org\r\nEND:VCARD\r\n");
}

// The main window over the book, listed with All, with file dialogs that answer from a script.
struct Book : Fixture {
    platform::testing::ScriptedFileDialogs dialogs;
    double filledMb = 0;

    explicit Book(int cards = bookCards) {
        fileDialogs = &dialogs;
        if (load() != app::MainWindow::LoadResult::Running)
            throw std::runtime_error("the main window did not load");
        sqlite3* db = nullptr;
        sqlite3_open(mdb().toUtf8().constData(), &db);
        bench::fillCards(db, cards);
        sqlite3_close(db);
        shared->LetterFilter = QStringLiteral("ALL");
        window->refreshList();
        prompter.clear();
        filledMb = double(bench::statusKb("VmRSS:")) / 1024.0;
        sqliteFilledMb = sqliteMb(false, true);
    }
    double sqliteFilledMb = 0;

    // What SQLite holds, its page caches most of it, now or at its highest since the last
    // call that reset the highest.
    static double sqliteMb(bool highest = false, bool reset = false) {
        sqlite3_int64 now = 0;
        sqlite3_int64 most = 0;
        sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &now, &most, reset ? 1 : 0);
        return double(highest ? most : now) / 1048576.0;
    }
};

// Clears the process's peak resident size, so that VmHWM counts from now.
void clearPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

void BM_ImportInWindow(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto made = std::make_unique<Book>();
        Book& book = *made;
        const QString path = book.dir.filePath(QStringLiteral("cards.vcf"));
        writeVcfFile(path);
        book.dialogs.script({platform::FileChoice::chosen(path)});
        clearPeak();
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        book.trigger("mnuImportContacts");
        auto* preview = book.window->findChild<interchange::ImportPreview*>();
        if (!preview) {
            state.SkipWithError("no preview");
            break;
        }
        const qint64 previewed = clock.elapsed();
        state.counters["peak_to_preview_MB"] = bench::peakRssMb();
        preview->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        while (book.prompter.texts().isEmpty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        state.counters["preview_ms"] = double(previewed);
        state.counters["write_ms"] = double(clock.elapsed() - previewed);
        state.counters["filled_MB"] = book.filledMb;
        state.counters["sqlite_filled_MB"] = book.sqliteFilledMb;
        state.counters["sqlite_peak_MB"] = Book::sqliteMb(true);
        state.counters["peak_MB"] = bench::peakRssMb();
        state.counters["peak_per_filled"] = bench::peakRssMb() / book.filledMb;
        // "100000 cards imported, 0 duplicates skipped, 0 refused", in the window's Hebrew.
        if (book.prompter.texts().value(0) != u"100000 כרטיסים יובאו, 0 כפולים דולגו, 0 נדחו"_qs) {
            state.SkipWithError(qPrintable(book.prompter.texts().join(u'|')));
            break;
        }
        state.PauseTiming();
        made.reset();
        state.ResumeTiming();
    }
}

// What the import ends with: the window filled with the book and the cards imported, 200,000,
// from the start; its resident size after the fill and its peak. The import cannot end below
// it (run it alone too, --benchmark_filter=Filled).
void BM_FilledWithBoth(benchmark::State& state) {
    for (auto _ : state) {
        const Book book(bookCards + fileCards);
        state.counters["filled_MB"] = book.filledMb;
        state.counters["sqlite_filled_MB"] = book.sqliteFilledMb;
        state.counters["peak_MB"] = bench::peakRssMb();
    }
}

BENCHMARK(BM_ImportInWindow)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FilledWithBoth)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    return bench::run(argc, argv, [] {});
}
