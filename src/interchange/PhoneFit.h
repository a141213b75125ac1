#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace interchange {

// The region whose numbers are written in national form: the setting when it names one,
// else the system locale's territory, else Israel while the interface is Hebrew. Empty when
// nothing says: every number is then kept as an international one or as written.
QString homeRegion(const QString& setting, const QLocale& locale, bool hebrewInterface);

// The regions whose numbers can be read, as two-letter codes in alphabetical order, and the
// calling code of one ("IL" -> 972; 0 for a code that names none).
QStringList phoneRegions();
int callingCode(const QString& region);
// A region's name in English ("Israel"), or in Hebrew ("ישראל") for i18n::LangHebrew; the code
// itself when no name is known for it.
QString regionName(const QString& region, int lang);

// The number with the letters of a telephone keypad turned into their digits, separators kept
// ("1-800-MY-APPLE" -> "1-800-69-27753"); the marker of an extension ("ext 5", "x5") stays as
// it is. Nothing when its letters do not spell a number that way (a note, a name, letters of
// another script). A number without letters is returned as it is.
std::optional<QString> keypadDigits(const QString& number);

// The number as it is stored in a field of `width` characters, its keypad letters turned into
// digits first (nothing when they cannot be): a number of the home region in
// national form ("052-123-4567"), another in E.164 ("+15551234567"); a number that cannot be
// read as a telephone number (an extension, a short code) as written. Where that is too long,
// the same digits without separators. Nothing when even that does not fit.
std::optional<QString> fitNumber(const QString& number, int width, const QString& region);
// The number's digits and its "+", "*" and "#", without the separators between them.
QString withoutSeparators(const QString& number);
// The forms fitNumber chooses from, best first, whatever the width: the first one that fits
// is the one stored. Nothing when the number's letters cannot be a keypad's.
std::optional<QStringList> numberForms(const QString& number, const QString& region);

} // namespace interchange
