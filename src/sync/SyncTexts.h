#pragma once

#include "sync/SyncOutcome.h"

#include <QString>

// The sync's own words in English and Hebrew (the string table keeps the program's older
// texts; these live here, beside the feature).
namespace carddav {

enum class Text {
    Caption,  // the window's caption
    MenuItem, // the Option menu's item
    Server,   // labels
    User,
    Password,
    PersonalBook,
    WorkBook,
    FindBooks,
    NewBook,
    SyncNow,
    LastResult,
    Conflicts,
    KeepThis,
    Discard,
    Close,
    NeverSynced, // the result line before the first sync
    Syncing,
    TrustQuestion, // %1: the fingerprint
    PasswordAgain,
    NoKeychain,
    BooksFound, // %1: how many
    BookCreated,
    ConflictLine, // %1: the list's name, %2: the card's name as it was here
};

QString text(Text id, bool hebrew);
// The result line of a sync or a discovery.
QString describe(const Outcome& outcome, bool hebrew);

} // namespace carddav
