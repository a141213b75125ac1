#include "sync/CardText.h"

#include "interchange/Export.h"
#include "interchange/PhoneFit.h"
#include "interchange/VcfReader.h"

#include <QBuffer>
#include <QStringList>

#include <functional>

namespace carddav {

namespace {

using store::Role;

// Content lines with folded continuations joined.
QStringList unfold(const QByteArray& text) {
    QStringList lines;
    for (QString line : QString::fromUtf8(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if ((line.startsWith(u' ') || line.startsWith(u'\t')) && !lines.isEmpty())
            lines.last() += line.mid(1);
        else if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

QByteArray fold(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines) {
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
    return out;
}

// Where the value begins: the first colon outside a quoted parameter.
qsizetype colonOf(const QString& line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (line[i] == u':' && !quoted)
            return i;
    }
    return -1;
}

// The property's name in capitals, without a group prefix ("item1.TEL" is TEL).
QString nameOf(const QString& line) {
    const QString head = line.left(colonOf(line)).section(u';', 0, 0);
    return head.section(u'.', -1).toUpper();
}

QString valueOf(const QString& line) {
    const qsizetype colon = colonOf(line);
    return colon < 0 ? QString() : line.mid(colon + 1);
}

QString unescaped(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            ++i;
            out += (value[i] == u'n' || value[i] == u'N') ? QChar(u' ') : value[i];
        } else {
            out += value[i];
        }
    }
    return out;
}

// The components of a structured value, split at semicolons that are not escaped.
QStringList components(const QString& value) {
    QStringList parts{QString()};
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            parts.last() += value[i];
            parts.last() += value[++i];
        } else if (value[i] == u';') {
            parts << QString();
        } else {
            parts.last() += value[i];
        }
    }
    return parts;
}

class Card {
public:
    explicit Card(QStringList lines) : m_lines(std::move(lines)) {}
    const QStringList& lines() const { return m_lines; }

    qsizetype find(const std::function<bool(const QString&)>& match) const {
        for (qsizetype i = 0; i < m_lines.size(); ++i)
            if (match(m_lines[i]))
                return i;
        return -1;
    }
    qsizetype findNamed(const QString& name) const {
        return find([&](const QString& l) { return nameOf(l) == name; });
    }
    // Replaces line `at` (or adds the line before END when `at` is -1); none removes it.
    void put(qsizetype at, const std::optional<QString>& line) {
        if (at >= 0 && line)
            m_lines[at] = *line;
        else if (at >= 0)
            m_lines.removeAt(at);
        else if (line)
            m_lines.insert(endIndex(), *line);
    }

private:
    qsizetype endIndex() const {
        for (qsizetype i = m_lines.size() - 1; i >= 0; --i)
            if (nameOf(m_lines[i]) == u"END")
                return i;
        return m_lines.size();
    }
    QStringList m_lines;
};

std::optional<QString> lineOf(const Card& card, qsizetype at) {
    if (at < 0)
        return std::nullopt;
    return card.lines()[at];
}

// The exported TEL line of a role, found by the types the export gives it.
std::optional<QString> exportedNumber(const Card& exported, store::ContactGroup group, Role role) {
    const char* types = store::fieldOf(group, role).tel;
    if (!types)
        return std::nullopt;
    const QString head = QStringLiteral("TEL;TYPE=%1:").arg(QLatin1String(types));
    return lineOf(exported, exported.find([&](const QString& l) { return l.startsWith(head); }));
}

void rewriteNumber(Card& card, const Card& exported, const store::ContactRecord& synced,
                   const store::ContactRecord& current, Role role, const QString& region) {
    const store::ContactGroup group = current.group;
    const int width = store::widthOf(group, role);
    qsizetype at = -1;
    if (synced[role]) {
        at = card.find([&](const QString& l) {
            return nameOf(l) == u"TEL" &&
                   interchange::fitNumber(unescaped(valueOf(l)), width, region) == synced[role];
        });
    }
    std::optional<QString> line = exportedNumber(exported, group, role);
    // Keep the server's own types (say "CELL" or "X-RADIO") on a number that only changed.
    if (line && at >= 0)
        line = card.lines()[at].left(colonOf(card.lines()[at]) + 1) + valueOf(*line);
    card.put(at, line);
}

// A Work card's name and department are its organization and the organization's unit.
void rewriteOrganization(Card& card, const Card& exported, int component) {
    const std::optional<QString> fresh =
        lineOf(exported, exported.findNamed(QStringLiteral("ORG")));
    const qsizetype at = card.findNamed(QStringLiteral("ORG"));
    if (at < 0 || !fresh) {
        if (fresh)
            card.put(at, fresh);
        return;
    }
    const QString line = card.lines()[at];
    QStringList parts = components(valueOf(line));
    const QStringList freshParts = components(valueOf(*fresh));
    while (parts.size() <= component)
        parts << QString();
    parts[component] = freshParts.value(component);
    while (parts.size() > 1 && parts.last().isEmpty())
        parts.removeLast();
    card.put(at, line.left(colonOf(line) + 1) + parts.join(u';'));
}

void rewriteRole(Card& card, const Card& exported, const store::ContactRecord& synced,
                 const store::ContactRecord& current, Role role, const QString& region) {
    const bool work = current.group == store::ContactGroup::Work;
    auto replaceNamed = [&](const char* name) {
        const QString n = QLatin1String(name);
        card.put(card.findNamed(n), lineOf(exported, exported.findNamed(n)));
    };
    switch (role) {
    case Role::Name:
        replaceNamed("FN");
        if (work)
            rewriteOrganization(card, exported, 0);
        else
            replaceNamed("N");
        return;
    case Role::Address:
        replaceNamed("ADR");
        return;
    case Role::Email:
        replaceNamed("EMAIL");
        return;
    case Role::Fax:
        if (work) {
            rewriteOrganization(card, exported, 1);
            return;
        }
        break;
    default:
        break;
    }
    rewriteNumber(card, exported, synced, current, role, region);
}

} // namespace

interchange::PlannedCard fitServerCard(const QByteArray& vcard, store::ContactGroup group,
                                       const QString& region) {
    QByteArray copy = vcard;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    const interchange::SourceFile file = interchange::readVcf(buffer);
    if (file.cards.empty()) {
        interchange::PlannedCard refused;
        refused.card.group = group;
        refused.reason = interchange::Reason::words(file.error.isEmpty() ? QStringLiteral("No card")
                                                                         : file.error);
        return refused;
    }
    return interchange::fitCard(file.cards.front(), group, region);
}

QByteArray newCardText(const store::ContactRecord& card, const QString& uid) {
    QStringList lines = unfold(interchange::exportVcf({card}));
    const qsizetype version = lines.indexOf(QStringLiteral("VERSION:3.0"));
    lines.insert(version + 1, QStringLiteral("UID:") + uid);
    return fold(lines);
}

QByteArray mergedCardText(const QByteArray& serverCopy, const store::ContactRecord& synced,
                          const store::ContactRecord& current, const QString& region) {
    Card card(unfold(serverCopy));
    const Card exported(unfold(interchange::exportVcf({current})));
    for (int i = 0; i < store::RoleCount; ++i) {
        const Role role = Role(i);
        if (current[role] != synced[role])
            rewriteRole(card, exported, synced, current, role, region);
    }
    return fold(card.lines());
}

store::ContactRecord normalised(const store::ContactRecord& card, const QString& region) {
    interchange::PlannedCard plan =
        fitServerCard(interchange::exportVcf({card}), card.group, region);
    if (plan.outcome != interchange::Outcome::New)
        return card;
    plan.card.rowid = card.rowid;
    return plan.card;
}

} // namespace carddav
