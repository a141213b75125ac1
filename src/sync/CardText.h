#pragma once

#include "interchange/ImportPlan.h"
#include "store/ContactRecord.h"

#include <QByteArray>
#include <QString>

// The cards as they travel: what a server's card gives one of our lists, and the text we send
// for one of ours.
namespace carddav {

// The server's card read and fitted to the group as Import Contacts does (field widths,
// numbers in the home region's form); Refused, with the reason, when it cannot be kept.
interchange::PlannedCard fitServerCard(const QByteArray& vcard, store::ContactGroup group,
                                       const QString& region);

// A card the server has never seen: vCard 3.0 as Export Contacts writes it, with its UID.
QByteArray newCardText(const store::ContactRecord& card, const QString& uid);

// The server's copy with the fields that changed from `synced` to `current` rewritten and
// every other line as it was: photos, birthdays, notes, further numbers, a number that did
// not fit, the UID. A number field is traced to the line it came from by fitting each of the
// copy's numbers again.
QByteArray mergedCardText(const QByteArray& serverCopy, const store::ContactRecord& synced,
                          const store::ContactRecord& current, const QString& region);

// The card's values as they come back from the server: its export read and fitted again, so
// that a number stored as "031234567" and one stored as "03-123-4567" compare equal.
store::ContactRecord normalised(const store::ContactRecord& card, const QString& region);

} // namespace carddav
