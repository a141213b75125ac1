#include "interchange/CsvReader.h"

#include "i18n/StringTable.h"
#include "interchange/CsvCell.h"
#include "vcard/TextInput.h"

#include <QHash>
#include <QIODevice>
#include <QRegularExpression>

#include <array>
#include <map>
#include <optional>

namespace interchange {

namespace {

enum class Column {
    Name,
    Given,
    Family,
    Organization,
    Department,
    Email,
    Address,     // the whole address
    AddressPart, // a part of one address (see AddressColumn)
    HomePhone,
    CellPhone,
    WorkPhone,
    Fax,
    Phone,
    PairType,
    PairValue
};

const QHash<QString, Column>& knownColumns() {
    static const QHash<QString, Column> known = [] {
        QHash<QString, Column> h;
        auto add = [&h](Column c, std::initializer_list<const char16_t*> names) {
            for (const char16_t* n : names)
                h.insert(QString::fromUtf16(n), c);
        };
        add(Column::Name, {u"name", u"full name", u"display name", u"formatted name", u"שם",
                           u"שם מלא", u"שם/חברה"});
        add(Column::Given, {u"first name", u"given name", u"שם פרטי"});
        add(Column::Family, {u"last name", u"family name", u"surname", u"שם משפחה"});
        add(Column::Organization,
            {u"company", u"organization", u"organization 1 - name", u"organization name", u"חברה"});
        add(Column::Department,
            {u"department", u"organization 1 - department", u"organization department", u"מחלקה"});
        add(Column::Email,
            {u"e-mail address", u"email address", u"e-mail", u"email", u"primary email",
             u"e-mail 1 - value", u"דואר אלקטרוני", u"דוא\"ל", u"דואל"});
        add(Column::Address, {u"address", u"כתובת"});
        add(Column::HomePhone, {u"home phone", u"טלפון בבית", u"טל' בבית", u"טלפון בית"});
        add(Column::CellPhone, {u"mobile phone", u"mobile number", u"mobile", u"cell phone",
                                u"cell", u"פלאפון", u"נייד", u"טלפון נייד"});
        add(Column::WorkPhone, {u"business phone", u"work phone", u"office phone", u"טלפון בעבודה",
                                u"טל' בעבודה", u"טלפון עבודה"});
        add(Column::Fax, {u"business fax", u"home fax", u"fax", u"fax number", u"פקס", u"מס' פקס"});
        add(Column::Phone, {u"phone", u"telephone", u"primary phone", u"other phone", u"טלפון"});
        return h;
    }();
    return known;
}

// The parts of a postal address in the order it is written; Whole is one column holding all
// of it, taken when an address has no part of its own.
enum class Part {
    Street,
    Street2,
    Street3,
    Extended,
    PoBox,
    City,
    Region,
    PostalCode,
    Country,
    Whole
};
constexpr int partCount = int(Part::Whole) + 1;

// Which address a part belongs to, in the order one is chosen: home first, then work, then one
// named by no prefix, then the numbered ones ("Address 1 - City"), then any other.
constexpr int homeAddress = 0, workAddress = 1, plainAddress = 2, firstNumbered = 3,
              otherAddress = 1 << 20;

struct HeaderColumn {
    Column column;
    int pair = 0;    // the number of a "Phone N - Type"/"Phone N - Value" column
    int address = 0; // an address part's address and part
    Part part = Part::Whole;
};

// An address part as mail programs and phones name their columns: "Home Street", "Business
// Street 2", "Home Postal Code", "Work ZipCode", "Home Address Street", "Home Address Zip
// Code", "Address 1 - Region", "Street", "City"...
std::optional<HeaderColumn> addressColumnOf(const QString& key) {
    static const QHash<QString, Part> parts = [] {
        QHash<QString, Part> h;
        auto add = [&h](Part p, std::initializer_list<const char*> names) {
            for (const char* n : names)
                h.insert(QLatin1String(n), p);
        };
        add(Part::Street, {"street", "address", "street address"});
        add(Part::Street2, {"street 2", "address 2"});
        add(Part::Street3, {"street 3", "address 3"});
        add(Part::Extended, {"extended", "extended address", "extended street"});
        add(Part::PoBox, {"po box", "pobox", "post office box"});
        add(Part::City, {"city", "locality"});
        add(Part::Region, {"state", "region", "province"});
        add(Part::PostalCode, {"postal code", "post code", "zip", "zip code", "zipcode"});
        add(Part::Country, {"country", "country/region"});
        add(Part::Whole, {"formatted"});
        return h;
    }();
    static const QRegularExpression prefixed(
        QStringLiteral("^(?:(home|work|business|other) |address (\\d+) - )?(.+)$"));
    const QRegularExpressionMatch m = prefixed.match(key);
    if (!m.hasMatch())
        return std::nullopt;
    const QString prefix = m.captured(1);
    const int address = prefix == QLatin1String("home")    ? homeAddress
                        : prefix == QLatin1String("other") ? otherAddress
                        : !prefix.isEmpty()                ? workAddress
                        : m.capturedLength(2) > 0          ? firstNumbered + m.captured(2).toInt()
                                                           : plainAddress;
    const QString rest = m.captured(3);
    auto it = parts.constFind(rest);
    if (it == parts.constEnd() && rest.startsWith(QLatin1String("address ")))
        it = parts.constFind(rest.mid(8));
    std::optional<Part> part;
    if (it != parts.constEnd())
        part = *it;
    else if (rest == QLatin1String("address label")) // the whole address, as printed on a label
        part = Part::Whole;
    if (!part || (*part == Part::Whole && address == plainAddress))
        return std::nullopt;
    return HeaderColumn{Column::AddressPart, 0, address, *part};
}

std::optional<HeaderColumn> columnOf(const QString& header) {
    const QString key = header.trimmed().toLower();
    const auto it = knownColumns().constFind(key);
    if (it != knownColumns().constEnd())
        return HeaderColumn{*it};
    if (std::optional<HeaderColumn> part = addressColumnOf(key))
        return part;
    static const QRegularExpression pair(QStringLiteral("^phone (\\d+) - (type|label|value)$"));
    const QRegularExpressionMatch m = pair.match(key);
    if (!m.hasMatch())
        return std::nullopt;
    return HeaderColumn{m.captured(2) == QLatin1String("value") ? Column::PairValue
                                                                : Column::PairType,
                        m.captured(1).toInt()};
}

// Fields of one record and the line it begins on.
struct Record {
    int line = 0;
    QStringList fields;
    bool unterminated = false;
};

// RFC 4180 records of the text, read one at a time.
class Records {
public:
    Records(const QString& text, QChar separator) : m_text(text), m_separator(separator) {}

    bool next(Record& r) {
        if (m_pos >= m_text.size())
            return false;
        r = {m_line, {QString()}, false};
        bool quoted = false;
        bool wasQuoted = false;
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos++];
            if (quoted) {
                if (c == u'"' && m_pos < m_text.size() && m_text[m_pos] == u'"')
                    r.fields.last() += m_text[m_pos++];
                else if (c == u'"')
                    quoted = false;
                else
                    r.fields.last() += c;
                if (c == u'\n' ||
                    (c == u'\r' && (m_pos >= m_text.size() || m_text[m_pos] != u'\n')))
                    ++m_line;
            } else if (c == u'"' && r.fields.last().isEmpty() && !wasQuoted) {
                quoted = wasQuoted = true;
            } else if (c == m_separator) {
                r.fields << QString();
                wasQuoted = false;
            } else if (c == u'\r' || c == u'\n') {
                if (c == u'\r' && m_pos < m_text.size() && m_text[m_pos] == u'\n')
                    ++m_pos;
                ++m_line;
                return true;
            } else {
                r.fields.last() += c;
            }
        }
        r.unterminated = quoted;
        return true;
    }

private:
    const QString& m_text;
    QChar m_separator;
    qsizetype m_pos = 0;
    int m_line = 1;
};

QChar separatorOf(const QString& text) {
    const QString first = text.left(text.indexOf(u'\n'));
    const QChar candidates[] = {u',', u';', u'\t'};
    QChar best = u',';
    for (const QChar c : candidates) {
        if (first.count(c) > first.count(best))
            best = c;
    }
    return best;
}

PhoneKind kindOfLabel(const QString& label) {
    const QString l = label.toLower();
    if (l.contains(QLatin1String("fax")))
        return PhoneKind::Fax;
    if (l.contains(QLatin1String("mobile")) || l.contains(QLatin1String("cell")))
        return PhoneKind::Cell;
    if (l.contains(QLatin1String("work")) || l.contains(QLatin1String("business")))
        return PhoneKind::Work;
    if (l.contains(QLatin1String("home")))
        return PhoneKind::Home;
    return PhoneKind::None;
}

void addPhones(SourceCard& card, const QString& value, PhoneKind kind) {
    // Several numbers of one kind in one field are separated by " ::: ".
    for (const QString& number : value.split(QLatin1String(":::"))) {
        if (!number.trimmed().isEmpty())
            card.phones.push_back({number.trimmed(), kind});
    }
}

SourceCard cardOf(const Record& r, const std::vector<std::optional<HeaderColumn>>& columns) {
    SourceCard card;
    card.line = r.line;
    QString name, given, family;
    std::map<int, std::array<QString, partCount>> addresses; // each address's parts
    QHash<int, QString> pairTypes;
    for (size_t i = 0; i < columns.size() && i < size_t(r.fields.size()); ++i) {
        // An apostrophe kept a spreadsheet from running the value as a formula.
        const QString value = csvCellIn(r.fields[qsizetype(i)].trimmed());
        if (!columns[i] || value.isEmpty())
            continue;
        auto first = [&value](QString& into) {
            if (into.isEmpty())
                into = value;
        };
        switch (columns[i]->column) {
        case Column::Name:
            first(name);
            break;
        case Column::Given:
            first(given);
            break;
        case Column::Family:
            first(family);
            break;
        case Column::Organization:
            first(card.organization);
            break;
        case Column::Department:
            first(card.department);
            break;
        case Column::Email:
            first(card.email);
            break;
        case Column::Address:
            first(card.address);
            break;
        case Column::AddressPart:
            first(addresses[columns[i]->address][size_t(columns[i]->part)]);
            break;
        case Column::HomePhone:
            addPhones(card, value, PhoneKind::Home);
            break;
        case Column::CellPhone:
            addPhones(card, value, PhoneKind::Cell);
            break;
        case Column::WorkPhone:
            addPhones(card, value, PhoneKind::Work);
            break;
        case Column::Fax:
            addPhones(card, value, PhoneKind::Fax);
            break;
        case Column::Phone:
            addPhones(card, value, PhoneKind::None);
            break;
        case Column::PairType:
            pairTypes.insert(columns[i]->pair, value);
            break;
        case Column::PairValue:
            addPhones(card, value, kindOfLabel(pairTypes.value(columns[i]->pair)));
            break;
        }
    }
    // Else the first address with a part, its parts joined in the order an address is written.
    for (auto a = addresses.cbegin(); a != addresses.cend() && card.address.isEmpty(); ++a) {
        QStringList written;
        for (int p = 0; p < int(Part::Whole); ++p) {
            if (!a->second[size_t(p)].isEmpty())
                written << a->second[size_t(p)];
        }
        card.address =
            written.isEmpty() ? a->second[size_t(Part::Whole)] : written.join(QLatin1String(", "));
    }
    const QString built = QStringList{family, given}.join(u' ').trimmed();
    for (const QString& candidate : {name, built, card.organization, card.email}) {
        if (!candidate.isEmpty()) {
            card.name = candidate;
            break;
        }
    }
    card.address.replace(QLatin1String("\r\n"), QLatin1String(" "))
        .replace(u'\r', u' ')
        .replace(u'\n', u' ');
    if (r.unterminated)
        card.malformed = Reason::of(i18n::off::reasonQuoteOpen, r.line);
    return card;
}

} // namespace

SourceFile readCsv(QIODevice& device, const CardSink& sink) {
    SourceFile file;
    const std::optional<bool> utf8 = vcard::allUtf8(device);
    if (!utf8) {
        file.error = device.errorString();
        return file;
    }
    // The bytes are dropped as soon as they are text.
    QString text = vcard::utf8OrHebrew(device.readAll(), *utf8);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    Records records(text, separatorOf(text));
    Record r;
    if (!records.next(r))
        return file;
    std::vector<std::optional<HeaderColumn>> columns;
    bool named = false;
    for (const QString& header : r.fields) {
        columns.push_back(columnOf(header));
        named = named || (columns.back() && columns.back()->column <= Column::Email);
    }
    if (!named) {
        file.problems.push_back({1, Reason::of(i18n::off::reasonNoNameColumn)});
        return file;
    }
    while (records.next(r)) {
        if (r.fields.size() == 1 && r.fields[0].trimmed().isEmpty() && !r.unterminated)
            continue;
        if (sink)
            sink(cardOf(r, columns));
        else
            file.cards.push_back(cardOf(r, columns));
    }
    return file;
}

} // namespace interchange
