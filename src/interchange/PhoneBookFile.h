#pragma once

#include "interchange/SourceCard.h"
#include "store/ContactRecord.h"

#include <QString>

class QIODevice;

// A whole phone book as an address book to import from: the old program's Access (Jet) file or
// this program's own file. Its cards come as the vCard and CSV readers give theirs, so the
// import previews, checks and writes them in the same way.
namespace interchange {

// True when the file is a phone book file by its header, whatever its name: an Access (Jet or
// ACE) file, or an SQLite database. `device` is the file, open, at its start; it is only
// peeked at.
bool isPhoneBookFile(const QString& path, QIODevice& device);

// The cards of the file's table of `group` (Vesk for Personal, Work for Work), in the table's
// order, each field taken by its name (in any case) and its meaning in that list; fields of
// other names are left out. The file is only read, as data: an SQLite file through a read-only
// connection, nothing of its schema run or kept; an Access file through the Jet reader
// (`jetReader`; empty: the one beside the program), in a process of its own. A file without
// that table, or whose table has no Name field, is not a phone book: no card, and a problem
// (line 1) saying so; a file that cannot be read to the end gives no card either, and a
// problem saying it is damaged. A card's line is its row in the table, from 1.
SourceFile readPhoneBook(const QString& path, store::ContactGroup group,
                         const QString& jetReader = {});

} // namespace interchange
