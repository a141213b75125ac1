#pragma once

#include "interchange/SourceCard.h"

class QIODevice;

namespace interchange {

// The cards of a comma-separated file (RFC 4180: quoted fields with doubled quotes and line
// breaks inside them) whose first line names the columns. Columns are known by their names in
// English and Hebrew and in the layouts address books export (one column per kind of number,
// or numbered type and value pairs); unknown columns are ignored. An address given in parts
// (street, city, region or state, postal code, country, with or without a Home, Work or
// Business prefix, or numbered) is joined in the order an address is written, the home
// address first; a column holding the whole address wins. UTF-8 with or without a
// byte order mark, else Windows-1255. A semicolon or tab separates the fields instead when the
// first line holds more of them than commas.
// With a sink, each card goes to it as soon as it is read and `cards` stays empty.
SourceFile readCsv(QIODevice& device, const CardSink& sink = {});

} // namespace interchange
