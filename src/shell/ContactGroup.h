#pragma once

#include "shell/Shared.h"
#include "store/ContactRecord.h"

#include <QString>

namespace shell {

// Which list a group box text names. The text is compared with the localised names in force,
// the Work name first; a text that is neither names no list.
using store::ContactGroup;

inline ContactGroup groupNamed(const mdlVesk::Shared& shared, const QString& text) {
    if (text == shared.GroupNameWork)
        return ContactGroup::Work;
    if (text == shared.GroupNamePersonal)
        return ContactGroup::Personal;
    return ContactGroup::None;
}

using store::tableOf;

} // namespace shell
