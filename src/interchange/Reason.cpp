#include "interchange/Reason.h"

#include "i18n/StringTable.h"

namespace interchange {

Reason Reason::of(int offset, int line) {
    Reason r;
    r.m_offset = offset;
    r.m_line = line;
    return r;
}

Reason Reason::ofField(int offset, store::ContactGroup group, store::Role role) {
    Reason r;
    r.m_offset = offset;
    r.m_group = group;
    r.m_role = role;
    return r;
}

Reason Reason::words(const QString& words) {
    Reason r;
    r.m_words = words;
    return r;
}

QString Reason::text(int lang) const {
    if (m_offset == 0)
        return m_words;
    const int language = lang == i18n::LangHebrew ? i18n::LangHebrew : i18n::LangEnglish;
    const QString said = i18n::text(language, m_offset);
    if (m_group == store::ContactGroup::None)
        return m_line > 0 ? said.arg(m_line) : said;
    // A field by its heading in the list; in English by the words the import has always used:
    // a text field by its name in the editor's messages, a number field by its column.
    const store::CardField& field = store::fieldOf(m_group, m_role);
    const QString name = language == i18n::LangHebrew ? i18n::text(language, field.heading)
                         : m_offset == i18n::off::reasonTextTooLong
                             ? QString::fromLatin1(field.word)
                             : QString::fromUtf16(field.column);
    return said.arg(name).arg(field.width);
}

} // namespace interchange
