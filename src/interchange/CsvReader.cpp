#include "interchange/CsvReader.h"

#include "interchange/CsvCell.h"
#include "vcard/TextInput.h"

#include <QHash>
#include <QIODevice>
#include <QRegularExpression>

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
    Address,
    HomePart,
    BusinessPart,
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
        add(Column::Name, {u"name", u"full name", u"display name", u"שם", u"שם מלא", u"שם/חברה"});
        add(Column::Given, {u"first name", u"given name", u"שם פרטי"});
        add(Column::Family, {u"last name", u"family name", u"surname", u"שם משפחה"});
        add(Column::Organization, {u"company", u"organization", u"organization 1 - name", u"חברה"});
        add(Column::Department, {u"department", u"organization 1 - department", u"מחלקה"});
        add(Column::Email, {u"e-mail address", u"email address", u"e-mail", u"email",
                            u"e-mail 1 - value", u"דואר אלקטרוני", u"דוא\"ל", u"דואל"});
        add(Column::Address,
            {u"address", u"home address", u"business address", u"address 1 - formatted", u"כתובת"});
        add(Column::HomePart, {u"home street", u"home city", u"home state", u"home postal code",
                               u"home country/region"});
        add(Column::BusinessPart, {u"business street", u"business city", u"business state",
                                   u"business postal code", u"business country/region"});
        add(Column::HomePhone, {u"home phone", u"טלפון בבית", u"טל' בבית", u"טלפון בית"});
        add(Column::CellPhone, {u"mobile phone", u"mobile", u"cell phone", u"cell", u"פלאפון",
                                u"נייד", u"טלפון נייד"});
        add(Column::WorkPhone, {u"business phone", u"work phone", u"office phone", u"טלפון בעבודה",
                                u"טל' בעבודה", u"טלפון עבודה"});
        add(Column::Fax, {u"business fax", u"home fax", u"fax", u"פקס", u"מס' פקס"});
        add(Column::Phone, {u"phone", u"telephone", u"primary phone", u"other phone", u"טלפון"});
        return h;
    }();
    return known;
}

struct HeaderColumn {
    Column column;
    int pair = 0; // the number of a "Phone N - Type"/"Phone N - Value" column
};

std::optional<HeaderColumn> columnOf(const QString& header) {
    const QString key = header.trimmed().toLower();
    const auto it = knownColumns().constFind(key);
    if (it != knownColumns().constEnd())
        return HeaderColumn{*it};
    static const QRegularExpression pair(QStringLiteral("^phone (\\d+) - (type|value)$"));
    const QRegularExpressionMatch m = pair.match(key);
    if (!m.hasMatch())
        return std::nullopt;
    return HeaderColumn{m.captured(2) == QLatin1String("type") ? Column::PairType
                                                               : Column::PairValue,
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
    QStringList home, business;
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
        case Column::HomePart:
            home << value;
            break;
        case Column::BusinessPart:
            business << value;
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
    if (card.address.isEmpty())
        card.address = (home.isEmpty() ? business : home).join(QLatin1String(", "));
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
        card.malformed =
            QStringLiteral("The quoted field that begins on line %1 has no end").arg(r.line);
    return card;
}

} // namespace

SourceFile readCsv(QIODevice& device) {
    SourceFile file;
    const std::optional<bool> utf8 = vcard::allUtf8(device);
    if (!utf8) {
        file.error = device.errorString();
        return file;
    }
    const QByteArray bytes = device.readAll();
    QString text = vcard::utf8OrHebrew(bytes, *utf8);
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
        file.problems.push_back({1, QStringLiteral("Line 1 names no column of a name")});
        return file;
    }
    while (records.next(r)) {
        if (r.fields.size() == 1 && r.fields[0].trimmed().isEmpty() && !r.unterminated)
            continue;
        file.cards.push_back(cardOf(r, columns));
    }
    return file;
}

} // namespace interchange
