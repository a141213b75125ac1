#pragma once

#include "store/ContactRecord.h"

#include <QString>

namespace interchange {

// Why a line of a file, a card or a number is not imported, said in the language of the
// interface: a text of the string table (the i18n::off::reason... offsets) with what it names
// filled in, or words of their own (the store's refusal). Empty: there is no reason.
class Reason {
public:
    Reason() = default;
    // The text at `offset`; its %1 is `line`, when the text has one.
    static Reason of(int offset, int line = 0);
    // The text at `offset`; its %1 is the field of the group, its %2 the field's width.
    static Reason ofField(int offset, store::ContactGroup group, store::Role role);
    static Reason words(const QString& words);

    bool isEmpty() const { return m_offset == 0 && m_words.isEmpty(); }
    // In English, or in Hebrew for i18n::LangHebrew.
    QString text(int lang) const;

    bool operator==(const Reason&) const = default;

private:
    int m_offset = 0;
    int m_line = 0;
    store::ContactGroup m_group = store::ContactGroup::None;
    store::Role m_role = store::Role::Name;
    QString m_words;
};

} // namespace interchange
