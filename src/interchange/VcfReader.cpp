#include "interchange/VcfReader.h"

#include "i18n/StringTable.h"
#include "vcard/TextInput.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace interchange {

namespace {

// One property: NAME;PARAM=a,b;BARE:value, its name and parameters in upper case.
struct Property {
    QByteArray name;
    QList<QByteArray> types; // TYPE values and bare parameters, upper case
    QByteArray encoding;
    QByteArray charset;
    QByteArray value;
};

// The colon that ends the name and parameters; one inside a quoted parameter does not.
qsizetype valueColon(const QByteArray& line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

std::optional<Property> parseProperty(const QByteArray& line) {
    const qsizetype colon = valueColon(line);
    if (colon <= 0)
        return std::nullopt;
    Property p;
    p.value = line.mid(colon + 1);
    const QList<QByteArray> parts = line.left(colon).split(';');
    p.name = parts[0].trimmed().toUpper();
    p.name = p.name.mid(p.name.lastIndexOf('.') + 1); // "item1.TEL" is a TEL
    if (p.name.isEmpty())
        return std::nullopt;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray param = parts[i].trimmed();
        const qsizetype eq = param.indexOf('=');
        const QByteArray key = eq < 0 ? QByteArray("TYPE") : param.left(eq).trimmed().toUpper();
        QByteArray value = (eq < 0 ? param : param.mid(eq + 1)).trimmed().toUpper();
        value.replace('"', QByteArray());
        if (key == "ENCODING" || value == "QUOTED-PRINTABLE" || value == "BASE64")
            p.encoding = value;
        else if (key == "CHARSET")
            p.charset = value;
        else if (key == "TYPE")
            p.types += value.split(',');
    }
    return p;
}

// Whether the text, its ASCII letters in upper case, holds `upper`; without a copy of it.
bool containsUpper(QByteArrayView text, QByteArrayView upper) {
    const auto equal = [](char c, char u) {
        return (c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c) == u;
    };
    return std::search(text.begin(), text.end(), upper.begin(), upper.end(), equal) != text.end();
}

bool isQuotedPrintable(const QByteArray& line) {
    const qsizetype colon = valueColon(line);
    return colon > 0 && line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
}

bool isBase64(const Property& p) {
    return p.encoding == "BASE64" || p.encoding == "B";
}

QByteArray decodeQuotedPrintable(const QByteArray& in) {
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        bool ok = false;
        const int byte = i + 2 < in.size() && in[i] == '=' ? in.mid(i + 1, 2).toInt(&ok, 16) : 0;
        if (ok) {
            out.append(char(byte));
            i += 2;
        } else {
            out.append(in[i]);
        }
    }
    return out;
}

// The value's bytes as text: its CHARSET when the name is known, otherwise UTF-8 when the
// bytes are UTF-8 (always for raw values of a UTF-8 file), else Windows-1255.
QString decodeValue(const Property& p, bool fileUtf8) {
    const bool qp = p.encoding == "QUOTED-PRINTABLE";
    const QByteArray bytes = qp ? decodeQuotedPrintable(p.value) : p.value;
    if (!p.charset.isEmpty()) {
        QStringDecoder named(p.charset.constData());
        if (named.isValid())
            return named(bytes);
    }
    return vcard::utf8OrHebrew(bytes, qp ? QByteArrayView(bytes).isValidUtf8() : fileUtf8);
}

// The parts of a structured value split at unescaped ";", each unescaped and on one line.
QStringList components(const QString& value) {
    // Most values have nothing to split or unescape: one part, trimmed.
    if (std::none_of(value.begin(), value.end(),
                     [](QChar c) { return c == u'\\' || c == u';' || c == u'\r' || c == u'\n'; }))
        return {value.trimmed()};
    QStringList parts{QString()};
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar n = value[++i];
            parts.last() += (n == u'n' || n == u'N') ? QChar(u' ') : n;
        } else if (c == u';') {
            parts << QString();
        } else {
            parts.last() += (c == u'\r' || c == u'\n') ? QChar(u' ') : c;
        }
    }
    for (QString& part : parts)
        part = part.trimmed();
    return parts;
}

QString joined(const QStringList& parts, const QString& separator) {
    QStringList kept;
    for (const QString& part : parts) {
        if (!part.isEmpty())
            kept << part;
    }
    return kept.join(separator);
}

PhoneKind phoneKind(const QList<QByteArray>& types) {
    auto has = [&types](const char* t) { return types.contains(QByteArray(t)); };
    if (has("FAX"))
        return PhoneKind::Fax;
    if (has("CELL") || has("MOBILE"))
        return PhoneKind::Cell;
    if (has("WORK"))
        return PhoneKind::Work;
    if (has("HOME"))
        return PhoneKind::Home;
    return PhoneKind::None;
}

// The card being read, with the names it may take its name from.
struct Building {
    SourceCard card;
    QString fullName;
    QString builtName;
};

void takeProperty(const Property& p, bool fileUtf8, Building& b) {
    if (isBase64(p))
        return;
    const QString text = decodeValue(p, fileUtf8);
    const QStringList parts = components(text);
    if (p.name == "FN" && b.fullName.isEmpty()) {
        b.fullName = joined(parts, QStringLiteral(";"));
    } else if (p.name == "N" && b.builtName.isEmpty()) {
        b.builtName = joined(parts.mid(0, 2), QStringLiteral(" ")); // family, then given
    } else if (p.name == "ORG" && b.card.organization.isEmpty()) {
        b.card.organization = parts.value(0);
        b.card.department = joined(parts.mid(1), QStringLiteral(" "));
    } else if (p.name == "ADR" && b.card.address.isEmpty()) {
        b.card.address = joined(parts, QStringLiteral(", "));
    } else if (p.name == "EMAIL" && b.card.email.isEmpty()) {
        b.card.email = parts.join(u';');
    } else if (p.name == "TEL") {
        QString number = parts.join(u';');
        if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
            number = number.mid(4);
        if (!number.isEmpty())
            b.card.phones.push_back({number, phoneKind(p.types)});
    }
}

SourceCard finished(Building& b) {
    SourceCard card = std::move(b.card);
    for (const QString& name : {b.fullName, b.builtName, card.organization, card.email}) {
        if (!name.isEmpty()) {
            card.name = name;
            break;
        }
    }
    return card;
}

// Physical lines joined into logical ones: folding (a line beginning with a blank or tab
// continues the one before), quoted-printable soft breaks (a line ending in "=") and the
// bare continuation lines of a BASE64 value, which are dropped.
class LogicalLines {
public:
    explicit LogicalLines(QIODevice& device) : m_reader(device) {}

    bool next(QByteArray& line, int& number) {
        if (!m_pendingValid && !read())
            return false;
        line = std::move(m_pending);
        number = m_pendingNumber;
        m_pendingValid = false;
        const QByteArrayView params(line.constData(), std::max<qsizetype>(valueColon(line), 0));
        const bool base64 = containsUpper(params, "BASE64") || containsUpper(params, "ENCODING=B");
        while (read()) {
            if (!m_pending.isEmpty() && (m_pending[0] == ' ' || m_pending[0] == '\t')) {
                if (!base64)
                    line += m_pending.mid(1);
            } else if (line.endsWith('=') && isQuotedPrintable(line)) {
                line.chop(1);
                line += m_pending;
            } else if (base64 && !m_pending.isEmpty() && !m_pending.contains(':')) {
                // a BASE64 block of an older card goes on without a leading blank
            } else {
                m_pendingValid = true;
                return true;
            }
        }
        return true;
    }
    bool failed() const { return m_reader.failed(); }

private:
    bool read() {
        if (!m_reader.next(m_pending))
            return false;
        ++m_number;
        if (m_number == 1 && m_pending.startsWith("\xEF\xBB\xBF"))
            m_pending.remove(0, 3);
        m_pendingNumber = m_number;
        return true;
    }

    vcard::LineReader m_reader;
    QByteArray m_pending;
    int m_number = 0;
    int m_pendingNumber = 0;
    bool m_pendingValid = false;
};

Reason unreadable(int line) {
    return Reason::of(i18n::off::reasonLineUnreadable, line);
}

} // namespace

SourceFile readVcf(QIODevice& device, const CardSink& sink) {
    SourceFile file;
    auto give = [&file, &sink](SourceCard&& card) {
        if (sink)
            sink(std::move(card));
        else
            file.cards.push_back(std::move(card));
    };
    const std::optional<bool> fileUtf8 = vcard::allUtf8(device);
    if (!fileUtf8) {
        file.error = device.errorString();
        return file;
    }
    LogicalLines lines(device);
    std::optional<Building> open;
    QByteArray line;
    int number = 0;
    while (lines.next(line, number)) {
        if (line.trimmed().isEmpty())
            continue;
        const std::optional<Property> p = parseProperty(line);
        const bool begin = p && p->name == "BEGIN" && p->value.trimmed().toUpper() == "VCARD";
        const bool end = p && p->name == "END" && p->value.trimmed().toUpper() == "VCARD";
        if (begin) {
            if (open) {
                open->card.malformed = Reason::of(i18n::off::reasonNoEnd);
                give(finished(*open));
            }
            open.emplace();
            open->card.line = number;
        } else if (!open) {
            file.problems.push_back({number, Reason::of(i18n::off::reasonOutsideCard, number)});
        } else if (end) {
            give(finished(*open));
            open.reset();
        } else if (!p) {
            if (open->card.malformed.isEmpty())
                open->card.malformed = unreadable(number);
        } else {
            takeProperty(*p, *fileUtf8, *open);
        }
    }
    if (open) {
        open->card.malformed = Reason::of(i18n::off::reasonNoEnd);
        give(finished(*open));
    }
    if (lines.failed()) {
        file = {};
        file.error = device.errorString();
    }
    return file;
}

} // namespace interchange
