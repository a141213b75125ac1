#include "interchange/PhoneFit.h"

#include "i18n/StringTable.h"

#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <set>

namespace interchange {

namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

// The number's own digits, its extension left out. Field by field: the message's copy and
// assignment would need the serialization library itself.
void withoutExtension(const PhoneNumber& number, PhoneNumber& bare) {
    bare.set_country_code(number.country_code());
    bare.set_national_number(number.national_number());
    bare.set_italian_leading_zero(number.italian_leading_zero());
    bare.set_number_of_leading_zeros(number.number_of_leading_zeros());
}

// The forms worth storing, best first. An extension stays apart from the number's digits, so
// that a form without separators never runs the two together into another number.
QStringList candidates(const QString& written, const QString& region) {
    const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
    PhoneNumber withExtension;
    PhoneNumber parsed;
    const std::string home = region.toStdString();
    const bool parsedOk = util.Parse(written.toStdString(), home.empty() ? "ZZ" : home,
                                     &withExtension) == PhoneNumberUtil::NO_PARSING_ERROR;
    const QString extension =
        parsedOk && withExtension.has_extension()
            ? QStringLiteral("x") + QString::fromStdString(withExtension.extension())
            : QString();
    withoutExtension(withExtension, parsed);
    const bool valid = parsedOk && util.IsValidNumber(parsed);
    const bool homeNumber =
        parsedOk && !home.empty() && parsed.country_code() == util.GetCountryCodeForRegion(home);
    std::string formatted;
    if (homeNumber && (valid || util.IsPossibleNumber(parsed))) {
        util.Format(parsed, PhoneNumberUtil::NATIONAL, &formatted);
        const QString national = QString::fromStdString(formatted);
        // A range newer than the library's tables is still a number of the home region, as
        // long as its national form was laid out (and so begins with the trunk prefix).
        std::string significant;
        util.GetNationalSignificantNumber(parsed, &significant);
        if (valid || withoutSeparators(national) != QString::fromStdString(significant)) {
            if (extension.isEmpty())
                return {national, withoutSeparators(national)};
            return {national + u' ' + extension, withoutSeparators(national) + extension};
        }
    }
    if (!valid && !extension.isEmpty())
        return {written};
    if (!valid)
        return {written, withoutSeparators(written)};
    util.Format(parsed, PhoneNumberUtil::E164, &formatted);
    return {QString::fromStdString(formatted) + extension};
}

} // namespace

QString withoutSeparators(const QString& number) {
    QString out;
    for (const QChar c : number) {
        if (c.isDigit() || c == u'+' || c == u'*' || c == u'#')
            out += c;
    }
    return out;
}

QString homeRegion(const QString& setting, const QLocale& locale, bool hebrewInterface) {
    const QString chosen = setting.trimmed().toUpper();
    if (chosen.size() == 2)
        return chosen;
    if (locale.territory() != QLocale::AnyTerritory && locale.language() != QLocale::C)
        return QLocale::territoryToCode(locale.territory());
    return hebrewInterface ? QStringLiteral("IL") : QString();
}

QStringList phoneRegions() {
    std::set<std::string> codes;
    PhoneNumberUtil::GetInstance()->GetSupportedRegions(&codes);
    QStringList out;
    for (const std::string& code : codes)
        out << QString::fromStdString(code);
    return out;
}

int callingCode(const QString& region) {
    return PhoneNumberUtil::GetInstance()->GetCountryCodeForRegion(region.toStdString());
}

QString regionName(const QString& region, int lang) {
    // Qt names territories in English only; the Unicode library that libphonenumber itself
    // stands on names them in Hebrew.
    if (lang == i18n::LangHebrew) {
        icu::UnicodeString name;
        icu::Locale("", region.toLatin1().constData()).getDisplayCountry(icu::Locale("he"), name);
        const QString hebrew = QString::fromUtf16(name.getBuffer(), name.length());
        if (!hebrew.isEmpty() && hebrew != region)
            return hebrew;
    }
    const QLocale::Territory territory = QLocale::codeToTerritory(region);
    return territory == QLocale::AnyTerritory ? region : QLocale::territoryToString(territory);
}

std::optional<QString> keypadDigits(const QString& number) {
    auto hasLetter = [](QStringView text) {
        return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
    };
    if (!hasLetter(number))
        return number;
    const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
    const std::string utf8 = number.toStdString();
    // The extension, with the marker before its digits, is left as written. Any region finds
    // it: only the extension is wanted here.
    qsizetype bodyEnd = number.size();
    PhoneNumber parsed;
    if (util.Parse(utf8, "US", &parsed) == PhoneNumberUtil::NO_PARSING_ERROR &&
        parsed.has_extension()) {
        bodyEnd = number.lastIndexOf(QString::fromStdString(parsed.extension()));
        while (bodyEnd > 0 && !number[bodyEnd - 1].isDigit())
            --bodyEnd;
    }
    if (bodyEnd <= 0 || !hasLetter(QStringView(number).left(bodyEnd)))
        return number;
    // Letters that spell the number, as on a keypad: at least three, after three digits.
    if (!util.IsAlphaNumber(utf8))
        return std::nullopt;
    std::string body = number.left(bodyEnd).toStdString();
    util.ConvertAlphaCharactersInNumber(&body);
    const QString digits = QString::fromStdString(body);
    if (hasLetter(digits))
        return std::nullopt;
    return digits + number.mid(bodyEnd);
}

std::optional<QStringList> numberForms(const QString& number, const QString& region) {
    const std::optional<QString> written = keypadDigits(number.trimmed());
    if (!written)
        return std::nullopt;
    return candidates(*written, region);
}

std::optional<QString> fitNumber(const QString& number, int width, const QString& region) {
    const std::optional<QStringList> forms = numberForms(number, region);
    if (!forms)
        return std::nullopt;
    for (const QString& form : *forms) {
        if (!form.isEmpty() && form.size() <= width)
            return form;
    }
    return std::nullopt;
}

} // namespace interchange
