#pragma once

#include <QString>

// A cell of a CSV file that spreadsheets open too. A spreadsheet runs a cell beginning with
// = + - @, a tab or a carriage return as a formula; written with a leading apostrophe, it is
// text. Only such cells get one: a telephone number ("+49 123", "-12", "+1 (212) 555-0100 x5")
// is written as it is, since other address books keep an apostrophe as part of the number.
namespace interchange {

// The cell as it is written: with an apostrophe before a formula, and before a text that
// itself begins with apostrophes and one of those characters (which the import would drop).
QString csvCellOut(const QString& value);

// The value of a cell read: one leading apostrophe dropped where it comes before apostrophes
// and one of = + - @, a tab or a carriage return, as the export writes it (older exports put
// one before every such value, numbers too). Any other apostrophe is the value's own.
QString csvCellIn(const QString& cell);

} // namespace interchange
