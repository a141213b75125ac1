#pragma once

#include "shell/Shared.h"

#include <QString>

namespace shell {

// Which list a group box text names. The text is compared with the localised names in force,
// the Work name first; a text that is neither names no list.
enum class ContactGroup { None, Personal, Work };

inline ContactGroup groupNamed(const mdlVesk::Shared& shared, const QString& text) {
    if (text == shared.GroupNameWork)
        return ContactGroup::Work;
    if (text == shared.GroupNamePersonal)
        return ContactGroup::Personal;
    return ContactGroup::None;
}

// The table that holds a group's cards; empty for none.
inline QString tableOf(ContactGroup group) {
    switch (group) {
    case ContactGroup::Work: return QStringLiteral("Work");
    case ContactGroup::Personal: return QStringLiteral("Vesk");
    case ContactGroup::None: break;
    }
    return {};
}

} // namespace shell
