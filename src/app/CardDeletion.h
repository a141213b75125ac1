#pragma once

#include <QString>

namespace platform {
class Prompter;
}
namespace store {
class Recordset;
}

namespace app {

enum class DeleteOutcome {
    Deleted,   // confirmed and gone from the file
    NotFound,  // the card's stored name is not the name shown
    Cancelled, // the user said no
    Failed     // the store raised an error; its text has been shown
};

// Deletes the card a grid row shows, after the user confirms. `cardId` is the identity the
// row carries (-1 for a row without a card) and `shownName` the name as the grid shows it,
// already cut to its last 20 characters and trimmed. The stored name must equal it exactly.
DeleteOutcome DeleteCard(store::Recordset* cursor, qint64 cardId, const QString& shownName,
                         platform::Prompter& prompter, const QString& appTitle);

} // namespace app
