#pragma once

#include "interchange/Reason.h"
#include "interchange/SourceCard.h"
#include "store/ContactRecord.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

// What an import would do with each card read, decided before anything is written.
namespace interchange {

enum class Outcome { New, Duplicate, Refused };

// A number of the file that the card does not keep, and why.
struct NotKept {
    QString number;
    Reason reason;
    bool operator==(const NotKept&) const = default;
};

struct PlannedCard {
    int line = 0; // where the card begins in the file
    QString name; // as the file gives it, for the preview
    Outcome outcome = Outcome::Refused;
    store::ContactRecord card; // the values to store (New) or that were read
    std::vector<NotKept> notKept;
    Reason reason; // why the card is refused
};

// The card fitted to the group: numbers placed by kind and fitted to their fields, the
// store's widths checked. Refused, with the reason, when it cannot be stored whole; never a
// duplicate (that takes the file, see planImport).
PlannedCard fitCard(const SourceCard& source, store::ContactGroup group, const QString& region);

// Every card fitted; a card whose trimmed name the group already holds, or an earlier card of
// the file took, is a duplicate.
std::vector<PlannedCard> planImport(const std::vector<SourceCard>& cards, store::ContactGroup group,
                                    const QString& region,
                                    const std::function<bool(const QString&)>& nameTaken);

// How often a long step tells its progress, at most.
inline constexpr int ProgressEveryMs = 50;

// The same in slices, so that the window asking stays alive: `progress(done, total)` is told
// from the calling thread before the first card, at most every ProgressEveryMs, and at the
// end. Nothing when it returns false.
std::optional<std::vector<PlannedCard>>
planImport(const std::vector<SourceCard>& cards, store::ContactGroup group, const QString& region,
           const std::function<bool(const QString&)>& nameTaken,
           const std::function<bool(int, int)>& progress);

} // namespace interchange
