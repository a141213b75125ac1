#include "interchange/Export.h"

#include "interchange/CsvCell.h"
#include "store/Text.h"

#include <QSaveFile>

namespace interchange {

namespace {

using store::Role;

QString escaped(const QString& value) {
    QString out;
    for (const QChar c : store::trimSpaces(value)) {
        if (c == u'\\' || c == u',' || c == u';')
            out += u'\\';
        out += (c == u'\r' || c == u'\n') ? QChar(u' ') : c;
    }
    return out;
}

// One content line, folded so no line is longer than 75 bytes; a character is never split.
void appendFolded(QByteArray& out, const QString& line) {
    const QByteArray bytes = line.toUtf8();
    qsizetype lineBytes = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const bool continuation = (uchar(bytes[i]) & 0xC0) == 0x80;
        if (!continuation && lineBytes >= 74) {
            out += "\r\n ";
            lineBytes = 1;
        }
        out += bytes[i];
        ++lineBytes;
    }
    out += "\r\n";
}

QString valueOf(const store::ContactRecord& card, Role role) {
    return escaped(card[role].value_or(QString()));
}

void appendCard(QByteArray& out, const store::ContactRecord& card) {
    const QString name = store::trimSpaces(card[Role::Name].value_or(QString()));
    QStringList lines{QStringLiteral("BEGIN:VCARD"), QStringLiteral("VERSION:3.0"),
                      QStringLiteral("FN:") + escaped(name)};
    if (card.group == store::ContactGroup::Personal) {
        // Which word is the family name cannot be known: the whole name is the given name, which
        // every reader shows as it is, family name first or last.
        lines << QStringLiteral("N:;") + escaped(name) + QStringLiteral(";;;");
    } else {
        lines << QStringLiteral("N:;;;;")
              << QStringLiteral("ORG:") + escaped(name) +
                     (card[Role::Fax] ? u';' + valueOf(card, Role::Fax) : QString());
    }
    // The numbers in the order home, mobile, work, fax, whatever column each group keeps them in.
    for (Role role : {Role::Home, Role::Mobile, Role::Work, Role::Fax}) {
        const char* types = store::fieldOf(card.group, role).tel;
        if (types && !valueOf(card, role).isEmpty())
            lines << QStringLiteral("TEL;TYPE=%1:").arg(QLatin1String(types)) + valueOf(card, role);
    }
    if (!valueOf(card, Role::Address).isEmpty())
        lines << QStringLiteral("ADR;TYPE=HOME:;;") + valueOf(card, Role::Address) +
                     QStringLiteral(";;;;");
    if (!valueOf(card, Role::Email).isEmpty())
        lines << QStringLiteral("EMAIL;TYPE=INTERNET:") + valueOf(card, Role::Email);
    lines << QStringLiteral("END:VCARD");
    for (const QString& line : lines)
        appendFolded(out, line);
}

QString csvField(const QString& value) {
    QString v = csvCellOut(value);
    const bool quote = v.contains(u',') || v.contains(u'"') || v.contains(u'\r') ||
                       v.contains(u'\n') || v.startsWith(u' ') || v.endsWith(u' ');
    if (!quote)
        return v;
    v.replace(QLatin1String("\""), QLatin1String("\"\""));
    return u'"' + v + u'"';
}

} // namespace

QByteArray exportVcf(const std::vector<store::ContactRecord>& cards) {
    QByteArray out;
    for (const store::ContactRecord& card : cards)
        appendCard(out, card);
    return out;
}

QByteArray exportCsv(const std::vector<store::ContactRecord>& cards, store::ContactGroup group) {
    // Headers in table order, named as the import knows them.
    QStringList header;
    for (const store::CardField& f : store::fieldsOf(group))
        header << QString::fromLatin1(f.csv);
    QString text = QChar(0xFEFF) + header.join(u',') + QStringLiteral("\r\n");
    for (const store::ContactRecord& card : cards) {
        QStringList fields;
        for (const store::CardField& f : store::fieldsOf(group))
            fields << csvField(store::trimSpaces(card[f.role].value_or(QString())));
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

QString writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return {};
}

} // namespace interchange
