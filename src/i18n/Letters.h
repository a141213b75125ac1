#pragma once

#include <QString>

namespace i18n {

inline constexpr int HebrewTabCount = 22;
inline constexpr int LatinTabCount = 26;

// The letter a tab of the index selects: the Hebrew alphabet's 22 base letters (no final
// forms) in order, or A..Z. Empty for a position outside the alphabet.
QString hebrewTabLetter(int position);
QString latinTabLetter(int position);

// A tab's caption: the letter, ten blanks, the letter again, so the letter shows at both
// ends of a long vertical tab.
QString tabCaption(const QString& letter);

} // namespace i18n
