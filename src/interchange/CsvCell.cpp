#include "interchange/CsvCell.h"

#include <QRegularExpression>

namespace interchange {

namespace {

// Apostrophes, then a character that starts a formula.
bool quotedFormula(const QString& text) {
    static const QRegularExpression quoted(QStringLiteral("^'+[=+\\-@\\t\\r]"));
    return text.startsWith(u'\'') && quoted.match(text).hasMatch();
}

// Begins like a formula and holds more than a number's characters: digits, blanks,
// + - ( ) . / and the x or ext of an extension.
bool runsAsFormula(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^[0-9 +\\-()./]*(?:(?:ext|x)[0-9 +\\-()./]*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return !text.isEmpty() && QStringView(u"=+-@\t\r").contains(text[0]) &&
           !number.match(text).hasMatch();
}

} // namespace

QString csvCellOut(const QString& value) {
    return runsAsFormula(value) || quotedFormula(value) ? u'\'' + value : value;
}

QString csvCellIn(const QString& cell) {
    return quotedFormula(cell) ? cell.mid(1) : cell;
}

} // namespace interchange
