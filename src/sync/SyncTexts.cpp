#include "sync/SyncTexts.h"

namespace carddav {

namespace {

struct Pair {
    const char16_t* english;
    const char16_t* hebrew;
};

Pair pairOf(Text id) {
    switch (id) {
    case Text::Caption:
        return {u"Synchronise", u"סנכרון"};
    case Text::MenuItem:
        return {u"Synchronise...", u"סנכרון..."};
    case Text::Server:
        return {u"&Server address:", u"&כתובת השרת:"};
    case Text::User:
        return {u"&User name:", u"&שם משתמש:"};
    case Text::Password:
        return {u"&Password:", u"&סיסמה:"};
    case Text::PersonalBook:
        return {u"P&ersonal list's address book:", u"פנקס הכתובות של הרשימה ה&פרטית:"};
    case Text::WorkBook:
        return {u"&Work list's address book:", u"פנקס הכתובות של רשימת ה&עבודה:"};
    case Text::FindBooks:
        return {u"&Find address books", u"&חיפוש פנקסי כתובות"};
    case Text::NewBook:
        return {u"&New on the server", u"&חדש בשרת"};
    case Text::SyncNow:
        return {u"Sync &now", u"סנכרון &עכשיו"};
    case Text::LastResult:
        return {u"Last result:", u"תוצאה אחרונה:"};
    case Text::Conflicts:
        return {u"&Conflicts (the version of this computer):", u"&התנגשויות (הגרסה של מחשב זה):"};
    case Text::KeepThis:
        return {u"&Keep this one", u"&שמור את זה"};
    case Text::Discard:
        return {u"&Discard", u"&בטל"};
    case Text::Close:
        return {u"Close", u"סגור"};
    case Text::NeverSynced:
        return {u"Not synchronised yet.", u"עדיין לא סונכרן."};
    case Text::Syncing:
        return {u"Synchronising...", u"מסנכרן..."};
    case Text::TrustQuestion:
        return {u"The server's certificate is not trusted by this computer.\nSHA-256 "
                u"fingerprint:\n%1\n\nTrust this certificate for this server?",
                u"תעודת השרת אינה מוכרת למחשב זה.\nטביעת אצבע SHA-256:\n%1\n\nלסמוך על "
                u"תעודה זו עבור שרת זה?"};
    case Text::PasswordAgain:
        return {u"The server refused the user name or password. Enter the password again and "
                u"press Sync now.",
                u"השרת דחה את שם המשתמש או הסיסמה. הקלד שוב את הסיסמה ולחץ על סנכרון עכשיו."};
    case Text::NoKeychain:
        return {u"No keychain service is running: the password is kept only until the "
                u"program ends.",
                u"שירות מחזיק המפתחות אינו פועל: הסיסמה נשמרת רק עד סגירת התוכנית."};
    case Text::BooksFound:
        return {u"%1 address books found.", u"נמצאו %1 פנקסי כתובות."};
    case Text::BookCreated:
        return {u"The address book was created on the server.", u"פנקס הכתובות נוצר בשרת."};
    case Text::ConflictLine:
        return {u"%1: %2", u"%1: %2"};
    }
    return {u"", u""};
}

QString summary(const Outcome& o, bool hebrew) {
    QString line =
        hebrew ? QStringLiteral("סונכרן: %1 התקבלו, %2 נשלחו, %3 נמחקו כאן, %4 נמחקו בשרת, %5 "
                                "התנגשויות.")
               : QStringLiteral("Synchronised: %1 received, %2 sent, %3 deleted here, %4 deleted "
                                "on the server, %5 conflicts.");
    line = line.arg(o.received).arg(o.sent).arg(o.deletedHere).arg(o.deletedThere).arg(o.conflicts);
    if (o.refused > 0)
        line += (hebrew ? QStringLiteral(" %1 כרטיסים בשרת אינם מתאימים לרשימה ונשארו שם.")
                        : QStringLiteral(" %1 cards on the server do not fit the list and were "
                                         "left there."))
                    .arg(o.refused);
    return line;
}

} // namespace

QString text(Text id, bool hebrew) {
    const Pair p = pairOf(id);
    return QString::fromUtf16(hebrew ? p.hebrew : p.english);
}

QString describe(const Outcome& o, bool hebrew) {
    auto t = [hebrew](const char16_t* english, const char16_t* hebrewText) {
        return QString::fromUtf16(hebrew ? hebrewText : english);
    };
    switch (o.problem) {
    case Problem::None:
        return summary(o, hebrew);
    case Problem::Offline:
        return t(u"Not synchronised: this computer is offline.",
                 u"לא סונכרן: המחשב אינו מחובר לרשת.");
    case Problem::NotConfigured:
        return t(u"Choose a server, a user name and an address book first.",
                 u"יש לבחור תחילה שרת, שם משתמש ופנקס כתובות.");
    case Problem::Password:
        return t(u"The server refused the user name or password.",
                 u"השרת דחה את שם המשתמש או הסיסמה.");
    case Problem::CertificateRefused:
        return t(u"The server's certificate was not trusted: nothing was synchronised.",
                 u"תעודת השרת לא אושרה: דבר לא סונכרן.");
    case Problem::CertificateChanged:
        return t(u"The server's certificate is not the one trusted before: nothing was "
                 u"synchronised.",
                 u"תעודת השרת אינה זו שאושרה קודם: דבר לא סונכרן.");
    case Problem::Unreachable:
        return t(u"The server could not be reached: %1", u"לא ניתן להגיע לשרת: %1").arg(o.detail);
    case Problem::Stalled:
        return t(u"The server stopped answering: the sync will be tried again.",
                 u"השרת הפסיק לענות: הסנכרון ינוסה שוב.");
    case Problem::TooLarge:
        return t(u"The server's answer was too large and was refused: the sync will be tried "
                 u"again.",
                 u"תשובת השרת גדולה מדי ונדחתה: הסנכרון ינוסה שוב.");
    case Problem::NoSpace:
        return t(u"The server has no room left (507): the cards not sent yet will be sent next "
                 u"time.",
                 u"אין מקום פנוי בשרת (507): הכרטיסים שטרם נשלחו יישלחו בפעם הבאה.");
    case Problem::ServerError:
        return t(u"The server answered with an error (%1): the sync will be tried again.",
                 u"השרת ענה בשגיאה (%1): הסנכרון ינוסה שוב.")
            .arg(o.status);
    case Problem::Unreadable:
        return t(u"The server's answer could not be read: the sync will be tried again.",
                 u"לא ניתן לקרוא את תשובת השרת: הסנכרון ינוסה שוב.");
    case Problem::NoAddressBook:
        return t(u"No address book service was found at this address.",
                 u"לא נמצא שירות פנקסי כתובות בכתובת זו.");
    case Problem::LocalError:
        return t(u"The contact file refused a change: %1", u"קובץ אנשי הקשר דחה שינוי: %1")
            .arg(o.detail);
    }
    return {};
}

} // namespace carddav
