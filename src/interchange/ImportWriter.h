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

// Writes the new cards of the plan in one transaction. `progress(done, total)` is called
// before each card and after the last; when it returns false the import is cancelled and
// nothing is written (nothing is returned then). A card the store refuses (its rule, or a
// name taken meanwhile) becomes refused or duplicate in the plan; any other error of the
// engine is thrown, and nothing is written.
std::optional<ImportTally> writeImport(store::Connection& db, std::vector<PlannedCard>& plans,
                                       const std::function<bool(int, int)>& progress);

// "N cards imported, M duplicates skipped, K refused", in English or in the language given
// (Hebrew for i18n::LangHebrew).
QString importSummary(const ImportTally& tally);
QString importSummary(const ImportTally& tally, int lang);

} // namespace interchange
