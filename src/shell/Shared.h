#pragma once

#include "i18n/Messages.h"
#include "store/ContactDatabase.h"

#include <QString>

namespace mdlVesk {

// The program-wide state every window shares. main() makes one and hands it by reference
// to each window; tests make a fresh one each.
struct Shared {
    // Shell
    QString programFolder; // ends in the platform's separator
    QString CrLf = QStringLiteral("\r\n");
    QString SortOrder = QStringLiteral("ASC");
    QString AppTitle = i18n::messages::appTitle();

    // Settings in memory
    bool LiveUpdateEnabled = true;
    int LastCheckMonth = 0; // 0..12

    // Language
    int CurrentLang = 0;
    QString GroupNamePersonal = QStringLiteral("Personal");
    QString GroupNameWork = QStringLiteral("Work");
    QString TotalRecordsLabel;

    // List state
    QString LetterFilter;
    int ListCount = 0;

    // Dialer
    bool DialerIdle = false;
    QString NumberToDial;

    // The open contact file with CurrentRecordset
    store::ContactDatabase db;
};

} // namespace mdlVesk
