// Adding, changing and deleting a card in a book of 100,000 Personal cards, each from the click
// that stores it to the grid repainted, against the raw query a refill runs (in the same run).
// Also: the duplicate-name check plus the insert, as the editor did it before (a second cursor
// over the whole table, every name trimmed and compared) and as it does it now (a lookup in the
// name index), and the full refill of the list.
// Peak memory is process-wide: run one benchmark per process (--benchmark_filter) to compare.
#include "BenchSupport.h"

#include "store/ContactRecord.h"
#include "store/Query.h"
#include "store/Sqlite.h"
#include "store/Text.h"

#include <QLineEdit>
#include <QToolButton>

namespace {

constexpr int cards = 100000;
// Not among the generated names, so both checks look as far as they ever do.
const QString newName = QStringLiteral("Name 2000000");

// The main window over 100,000 Personal cards, listed with All and shown, as the user sees it.
struct Directory : bench::ProgramFolder {
    Directory() {
        addCards(cards);
        shared->LetterFilter = QStringLiteral("ALL");
        window->show();
        window->refreshList();
        QApplication::processEvents();
    }
    app::FlexGrid& grid() const { return *window->grid(); }
    QWidget* editor() const { return window->editorWindow(); }
    void click(QWidget* in, const char* name) const {
        in->findChild<QToolButton*>(QString::fromLatin1(name))->click();
    }
    void type(const char* box, const QString& text) const {
        editor()->findChild<QLineEdit*>(QString::fromLatin1(box))->setText(text);
    }
    // Selects a card row by a click on its name, as the user does before Edit or Delete.
    void choose(int row) const {
        grid().showRow(row);
        clickCell(row, 0);
    }
    // The list as a fresh fill leaves it, and no message kept.
    void settle() {
        window->refreshList();
        QApplication::processEvents();
        prompter.clear();
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

void reportList(benchmark::State& state, const Directory& d, int expected) {
    if (d.shared->ListCount != expected || d.grid().rowCount() != expected + 2)
        state.SkipWithError("wrong card count");
    state.counters["peak_rss_MB"] = bench::peakRssMb();
    state.counters["rss_MB"] = double(bench::statusKb("VmRSS:")) / 1024.0;
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
    d.settle();
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
    d.settle();
    report(state, taken);
}

// The refill of the list (All: every card).
void BM_Refill(benchmark::State& state) {
    Directory& d = directory();
    for (auto _ : state) {
        d.window->refreshList();
        benchmark::DoNotOptimize(d.shared->ListCount);
    }
    reportList(state, d, cards);
}

// The anchor: the refill's query read with the C API, every column's text touched once.
void BM_RawRefillQuery(benchmark::State& state) {
    Directory& d = directory();
    sqlite3* db = bench::openRaw(d.path());
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, * FROM Vesk ORDER BY Name COLLATE NOCASE ASC, rowid", -1,
                       &stmt, nullptr);
    for (auto _ : state) {
        if (bench::readRows(stmt) != cards)
            state.SkipWithError("wrong row count");
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

// Add in the editor: the click on Add (check, insert, the message answered at once) to the
// grid repainted with the new card in it.
void BM_AddShown(benchmark::State& state) {
    Directory& d = directory();
    for (auto _ : state) {
        state.PauseTiming();
        d.trigger("mnuAdd");
        d.type("TxtName", newName);
        d.type("TxtHome", QStringLiteral("03-1234567"));
        state.ResumeTiming();
        d.click(d.editor(), "btnAdd");
        QApplication::processEvents();
        state.PauseTiming();
        const bool listed = d.shared->ListCount == cards + 1;
        d.shared->db.execute(QStringLiteral("DELETE FROM Vesk WHERE Name = 'Name 2000000'"));
        d.settle();
        state.ResumeTiming();
        if (!listed) {
            state.SkipWithError("the card was not listed");
            break;
        }
    }
    reportList(state, d, cards);
}

// Update in the editor: a card in the middle of the list renamed, so that its row moves; the
// click on Update to the grid repainted.
void BM_EditShown(benchmark::State& state) {
    Directory& d = directory();
    static int renamed = 0; // across runs too: every new name is free
    for (auto _ : state) {
        state.PauseTiming();
        d.choose(cards / 2);
        d.prompter.script({platform::Answer::Ok});
        d.click(d.window.get(), "btnEdit");
        d.type("TxtName", QStringLiteral("Name 3%1").arg(renamed++, 6, 10, QLatin1Char('0')));
        state.ResumeTiming();
        d.click(d.editor(), "btnUpdate");
        QApplication::processEvents();
        state.PauseTiming();
        const bool updated = !d.editor();
        d.prompter.clear();
        state.ResumeTiming();
        if (!updated) {
            state.SkipWithError("the card was not updated");
            break;
        }
    }
    d.settle();
    reportList(state, d, cards);
}

// Delete: the click on Delete (the question answered OK, the message at once) to the grid
// repainted without the card.
void BM_DeleteShown(benchmark::State& state) {
    Directory& d = directory();
    for (auto _ : state) {
        state.PauseTiming();
        store::InsertContact(d.shared->db.connection(), newCard());
        d.settle();
        int row = 1;
        while (d.grid().cellText(row, 0) != newName)
            ++row;
        d.choose(row);
        d.prompter.script({platform::Answer::Ok});
        state.ResumeTiming();
        d.click(d.window.get(), "btnDelete");
        QApplication::processEvents();
        state.PauseTiming();
        const bool gone = d.shared->ListCount == cards;
        d.prompter.clear();
        state.ResumeTiming();
        if (!gone) {
            state.SkipWithError("the card is still listed");
            break;
        }
    }
    reportList(state, d, cards);
}

} // namespace

BENCHMARK(BM_RawRefillQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddShown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditShown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteShown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAfterFullScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAfterIndexedLookup)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::run(argc, argv, [] { made.reset(); });
}
