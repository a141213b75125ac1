#pragma once

#include <QString>

namespace store {

class Recordset;

// The card a grid row shows: `cardId` is the identity the row carries (-1 for a row without
// a card) and `shownName` the name as the grid shows it, already cut to its last 20
// characters and trimmed.

// True when the file still holds that card under exactly the name shown; a name kept with
// blanks around it is not the trimmed name the grid shows. Throws StoreError when no file is
// open or no row has this identity.
bool ShownCardIsStored(Recordset* cursor, qint64 cardId, const QString& shownName);
// Deletes the card in one statement that also asks whether the row still holds this name:
// another program may have deleted the card since the grid was filled and given its
// identity to a new one. False when it no longer does.
bool DeleteShownCard(Recordset& cursor, qint64 cardId, const QString& shownName);

} // namespace store
