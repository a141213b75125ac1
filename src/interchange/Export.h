#pragma once

#include "store/ContactRecord.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Writing a list of cards for other address books.
namespace interchange {

// vCard 3.0 in UTF-8: values escaped, lines folded at 75 bytes, CR LF line ends. FN is the
// name as stored; a Personal card's N holds it whole as the given name, so that a reader that
// builds the name from N (our import, phones) shows it as stored, never reversed. A Work
// card's name is its organization, with the department as its unit.
QByteArray exportVcf(const std::vector<store::ContactRecord>& cards);

// CSV (RFC 4180) in UTF-8 with a byte order mark, so spreadsheets read Hebrew right; a header
// row the import knows again. Numbers are written as stored; a value a spreadsheet would run
// as a formula gets a leading apostrophe, which the import drops (see CsvCell.h).
QByteArray exportCsv(const std::vector<store::ContactRecord>& cards, store::ContactGroup group);

// Writes the bytes under a temporary name beside `path` and renames the file into place, so
// a failure leaves no half file. The reason when it fails, else nothing.
QString writeWhole(const QString& path, const QByteArray& bytes);

} // namespace interchange
