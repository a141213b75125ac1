#include "vcard/VCardText.h"

#include "vcard/TextInput.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace vcard {

namespace {

using F = VCardFields;

// How a known property's value is stored.
enum class Kind { Single, Pair, Address };
struct Property {
    QLatin1String prefix;
    Kind kind;
    QString F::*first = nullptr;
    QString F::*second = nullptr;
};

// Tested in this order; the first prefix that matches wins. Prefixes are compared exactly:
// lower case or other parameters make another property, which is not ours.
const Property properties[] = {
    {QLatin1String("N:"), Kind::Pair, &F::FamilyName, &F::GivenName},
    {QLatin1String("FN:"), Kind::Single, &F::FullName},
    {QLatin1String("ORG:"), Kind::Pair, &F::OrgName, &F::OrgUnit},
    {QLatin1String("TEL;WORK;VOICE:"), Kind::Single, &F::WorkVoice},
    {QLatin1String("TEL;HOME;VOICE:"), Kind::Single, &F::HomeVoice},
    {QLatin1String("TEL;CELL;VOICE:"), Kind::Single, &F::CellVoice},
    {QLatin1String("TEL;WORK;FAX:"), Kind::Single, &F::WorkFax},
    {QLatin1String("TEL;HOME;FAX:"), Kind::Single, &F::HomeFax},
    {QLatin1String("ADR;HOME;ENCODING=QUOTED-PRINTABLE:;;"), Kind::Address},
    {QLatin1String("URL:"), Kind::Single, &F::Url},
    {QLatin1String("EMAIL;PREF;INTERNET:"), Kind::Single, &F::EmailAddress},
};

// The address after its prefix: street;locality;region;postal code;country, the country
// taking the rest. Missing parts are empty. A line break in the street is written "=0D=0A".
void takeAddress(const QString& value, F& f) {
    QString* parts[] = {&f.Street, &f.Locality, &f.Region, &f.PostalCode, &f.Country};
    qsizetype from = 0;
    for (int i = 0; i < 5; ++i) {
        const qsizetype semi = (i < 4 && from >= 0) ? value.indexOf(u';', from) : -1;
        *parts[i] = from < 0 ? QString() : value.mid(from, semi < 0 ? -1 : semi - from);
        from = semi < 0 ? -1 : semi + 1;
    }
    f.Street.replace(QLatin1String("=0D=0A"), QLatin1String("\r\n"));
}

// A value as one line: a line break stored in a card would end the property early and
// make what follows it a line of its own.
QString oneLine(QString value) {
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

} // namespace

QStringList vcardLines(const VCardFields& f) {
    QStringList lines{QStringLiteral("BEGIN:VCARD"), QStringLiteral("VERSION:2.1"),
                      QStringLiteral("N:") + oneLine(f.FamilyName) + u';' + oneLine(f.GivenName),
                      QStringLiteral("FN:") + oneLine(f.FullName)};
    auto add = [&lines](const char* prefix, const QString& value) {
        if (!value.isEmpty())
            lines << QLatin1String(prefix) + oneLine(value);
    };
    if (!f.OrgName.isEmpty() || !f.OrgUnit.isEmpty())
        lines << QStringLiteral("ORG:") + oneLine(f.OrgName) + u';' + oneLine(f.OrgUnit);
    add("TEL;WORK;VOICE:", f.WorkVoice);
    add("TEL;HOME;VOICE:", f.HomeVoice);
    add("TEL;CELL;VOICE:", f.CellVoice);
    add("TEL;WORK;FAX:", f.WorkFax);
    add("TEL;HOME;FAX:", f.HomeFax);
    add("ADR;HOME;ENCODING=QUOTED-PRINTABLE:;;", f.Street);
    add("LABEL;HOME;ENCODING=QUOTED-PRINTABLE:", f.Street);
    add("URL:", f.Url);
    add("EMAIL;PREF;INTERNET:", f.EmailAddress);
    // The same revision in every file, whenever it is written.
    lines << QStringLiteral("REV:20020113T191843Z") << QStringLiteral("END:VCARD");
    return lines;
}

std::optional<QByteArray> vcardBytes(const VCardFields& fields, const char* encoding) {
    const QString text = vcardLines(fields).join(QLatin1String("\r\n")) + QLatin1String("\r\n");
    QStringEncoder encoder =
        encoding ? QStringEncoder(encoding) : QStringEncoder(QStringConverter::System);
    QStringDecoder decoder =
        encoding ? QStringDecoder(encoding) : QStringDecoder(QStringConverter::System);
    if (!encoder.isValid() || !decoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder(text);
    // A character the encoding lacks comes back as another one (a "?"), or as an error.
    if (encoder.hasError() || QString(decoder(bytes)) != text)
        return std::nullopt;
    return bytes;
}

bool ParseVcardLine(const QString& line, VCardFields& f) {
    for (const Property& p : properties) {
        if (!line.startsWith(p.prefix))
            continue;
        const QString value = line.mid(p.prefix.size());
        if (p.kind == Kind::Address) {
            takeAddress(value, f);
        } else if (p.kind == Kind::Pair) {
            const qsizetype semi = value.indexOf(u';');
            f.*p.first = semi < 0 ? value : value.left(semi);
            f.*p.second = semi < 0 ? QString() : value.mid(semi + 1);
        } else {
            f.*p.first = value;
        }
        return true;
    }
    return false;
}

ReadResult readVcard(QIODevice& device) {
    ReadResult r;
    const std::optional<bool> utf8 = allUtf8(device);
    if (!utf8) {
        r.error = device.errorString();
        return r;
    }
    LineReader reader(device);
    QByteArray bytes;
    for (bool first = true; reader.next(bytes); first = false) {
        if (first && bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        const QString line = utf8OrHebrew(bytes, *utf8);
        if (line == QLatin1String("BEGIN:VCARD"))
            r.begin = true;
        else if (line == QLatin1String("END:VCARD"))
            r.end = true;
        else
            ParseVcardLine(line, r.fields);
    }
    if (reader.failed()) {
        r = {};
        r.error = device.errorString();
    }
    return r;
}

} // namespace vcard
