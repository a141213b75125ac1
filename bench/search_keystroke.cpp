// One keystroke in the search window (prefix query, exact-case filter, list rebuild and the
// repaint that follows) against a raw read of the same rows with the C API, in the same run.
#include "BenchSupport.h"
#include "search/SearchWindow.h"

#include <QLineEdit>
#include <QListView>

#include <random>

namespace {

using bench::exec;

constexpr int cards = 100000;

// Family and first names, half Latin and half Hebrew, drawn at random: a two-letter
// prefix such as "Le" matches a few percent of the group, as in a real phone book.
const char* const latinFamilies[] = {
    "Cohen",  "Levi",  "Mizrahi", "Peretz", "Biton",    "Dahan",   "Abraham", "Friedman", "Azulay",
    "Malka",  "Katz",  "Yosef",   "David",  "Amar",     "Ohayon",  "Hadad",   "Gabay",    "Shapiro",
    "Klein",  "Levin", "Lerner",  "Weiss",  "Green",    "Brown",   "Smith",   "Baker",    "Carter",
    "Miller", "Moore", "Taylor",  "Adler",  "Berger",   "Fischer", "Gold",    "Horowitz", "Kaplan",
    "Rosen",  "Segal", "Stern",   "Weber",  "Zilber",   "Nagar",   "O'Brien", "Tal",      "Vaknin",
    "Elbaz",  "Harel", "Ilan",    "Jacobs", "Underwood"};
const char* const latinFirsts[] = {"Avi",  "Dana",   "Moshe", "Sarah", "Yossi", "Rachel",
                                   "Dan",  "Michal", "Ron",   "Noa",   "Eitan", "Tamar",
                                   "Amit", "Lior",   "Yael",  "Ben"};
const char* const hebrewFamilies[] = {
    "כהן",   "לוי",   "מזרחי", "פרץ",   "ביטון",  "דהן",    "אברהם", "פרידמן",  "אזולאי",
    "מלכה",  "כץ",    "יוסף",  "דוד",   "עמר",    "אוחיון", "חדד",   "גבאי",    "שפירא",
    "קליין", "לוין",  "ויס",   "גרין",  "אדלר",   "ברגר",   "גולד",  "הורוביץ", "קפלן",
    "רוזן",  "סגל",   "שטרן",  "נגר",   "טל",     "וקנין",  "אלבז",  "הראל",    "אילן",
    "שלום",  "שמעון", "חיים",  "אוחנה", "אשכנזי", "בן חמו", "זילבר", "נחום",    "סויסה",
    "עזרא",  "צור",   "קדוש",  "רביבו", "תורג'מן"};
const char* const hebrewFirsts[] = {"אבי", "דנה",  "משה",  "שרה", "יוסי", "רחל",   "דן",  "מיכל",
                                    "רון", "נועה", "איתן", "תמר", "עמית", "ליאור", "יעל", "בן"};

template <size_t N> const char* pick(const char* const (&list)[N], std::mt19937& rng) {
    return list[std::uniform_int_distribution<size_t>(0, N - 1)(rng)];
}

// A program folder whose VESK.MDB holds `cards` Personal cards, the main window on it and
// the search window over it.
struct Directory : bench::ProgramFolder {
    search::SearchWindow* searchWindow = nullptr;

    Directory() {
        sqlite3* db = nullptr;
        sqlite3_open(path().constData(), &db);
        exec(db, "BEGIN");
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO Vesk VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)", -1, &insert,
                           nullptr);
        std::mt19937 rng(20260612);
        for (int i = 0; i < cards; ++i) {
            const bool hebrew = i % 2 == 0;
            const std::string name =
                std::string(hebrew ? pick(hebrewFamilies, rng) : pick(latinFamilies, rng)) + " " +
                (hebrew ? pick(hebrewFirsts, rng) : pick(latinFirsts, rng));
            const std::string values[] = {name,
                                          "03-" + std::to_string(5000000 + i),
                                          "050-" + std::to_string(1000000 + i),
                                          std::to_string(1000000000 + i),
                                          "04-" + std::to_string(8000000 + i),
                                          "Street " + std::to_string(i) + ", Town",
                                          "user" + std::to_string(i) + "@example.org"};
            for (int c = 0; c < 7; ++c)
                sqlite3_bind_text(insert, c + 1, values[c].c_str(), int(values[c].size()),
                                  SQLITE_TRANSIENT);
            if (sqlite3_step(insert) != SQLITE_DONE)
                throw std::runtime_error(sqlite3_errmsg(db));
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        exec(db, "COMMIT");
        sqlite3_close(db);
        searchWindow = new search::SearchWindow(*shared, prompter, *window, window.get());
        searchWindow->show();
        QApplication::processEvents();
    }
};

std::unique_ptr<Directory> made;

Directory& directory() {
    if (!made)
        made = std::make_unique<Directory>();
    return *made;
}

const char* const prefixes[] = {"", "Le", "Lev"};

// What the window does for a keystroke that leaves the box holding the prefix.
void BM_SearchKeystroke(benchmark::State& state) {
    Directory& d = directory();
    const QString prefix = QString::fromUtf8(prefixes[state.range(0)]);
    QLineEdit* box = d.searchWindow->findChild<QLineEdit*>(QStringLiteral("TxtStr"));
    box->blockSignals(true);
    box->setText(prefix);
    box->blockSignals(false);
    for (auto _ : state) {
        d.searchWindow->relist();
        QApplication::processEvents();
    }
    if (!d.prompter.messages().isEmpty())
        state.SkipWithError("the search reported a failure");
    state.counters["peak_rss_MB"] = bench::peakRssMb();
    state.counters["rss_MB"] = double(bench::statusKb("VmRSS:")) / 1024.0;
    state.counters["entries"] = double(
        d.searchWindow->findChild<QListView*>(QStringLiteral("LstSearch"))->model()->rowCount());
}

// The same rows in the same order, read with the C API: every column's text touched once.
void BM_RawPrefixQuery(benchmark::State& state) {
    Directory& d = directory();
    const std::string pattern = std::string(prefixes[state.range(0)]) + "%";
    sqlite3* db = bench::openRaw(d.path());
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT rowid,* FROM Vesk WHERE Name LIKE ?1 ESCAPE '\\' "
                       "ORDER BY Name COLLATE NOCASE ASC, rowid",
                       -1, &stmt, nullptr);
    int rows = 0;
    for (auto _ : state) {
        sqlite3_bind_text(stmt, 1, pattern.c_str(), int(pattern.size()), SQLITE_TRANSIENT);
        rows = bench::readRows(stmt);
    }
    state.counters["rows"] = double(rows);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

} // namespace

// Argument: 0 the empty text (every card), 1 two characters, 2 three characters.
BENCHMARK(BM_RawPrefixQuery)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchKeystroke)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::run(argc, argv, [] { made.reset(); });
}
