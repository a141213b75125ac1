#pragma once

#include "interchange/ImportPlan.h"

#include <QString>

#include <functional>
#include <optional>

namespace store {
class Connection;
}

namespace interchange {

struct ImportTally {
    int imported = 0;
    int duplicates = 0;
    int refused = 0;
    bool operator==(const ImportTally&) const = default;
};

// What a plan's duplicate check saw of the file, read on the connection that will write:
// the changes other connections committed (`PRAGMA data_version`) and the rows this one
// changed (`total_changes()`). Equal at the write, the names the plan checked are unchanged.
struct BookState {
    qint64 dataVersion = -1;
    qint64 ownChanges = -1;
    bool operator==(const BookState&) const = default;
};
BookState bookState(store::Connection& db);

// The duplicate check a plan asks of a name, over the group's names as the connection sees
// them when this is called and after (read it inside the plan's transaction): the store's
// NameTaken, asked only of a name that the group's names, read once, may hold.
std::function<bool(const QString&)> nameTakenIn(store::Connection& db, store::ContactGroup group);

// Writes the new cards of the plan in one transaction, through one prepared INSERT per group
// (InsertContact). `progress(done, total)` is called before the first card, then at most every
// ProgressEveryMs while cards are written, and after the last; when it returns false the
// import is cancelled and nothing is written (nothing is returned then). Each name is
// checked again unless `planned`, the state the plan was checked against, is still the
// file's. A card the store refuses (its rule, or a name taken meanwhile) becomes refused or
// duplicate in the plan; any other error of the engine is thrown, and nothing is written.
std::optional<ImportTally> writeImport(store::Connection& db, std::vector<PlannedCard>& plans,
                                       const std::function<bool(int, int)>& progress,
                                       std::optional<BookState> planned = std::nullopt);
// The same for plans kept packed.
std::optional<ImportTally> writeImport(store::Connection& db, PlannedCards& plans,
                                       const std::function<bool(int, int)>& progress,
                                       std::optional<BookState> planned = std::nullopt);

// "N cards imported, M duplicates skipped, K refused", in English or in the language given
// (Hebrew for i18n::LangHebrew).
QString importSummary(const ImportTally& tally);
QString importSummary(const ImportTally& tally, int lang);

} // namespace interchange
