#include "i18n/StringTable.h"

#include <array>

namespace i18n {

namespace {

struct Entry {
    const char16_t* english;
    const char16_t* hebrew;
};

// Offset k (1..52) is entry k - 1. The texts are the program's own words, misspellings and
// all: other parts of the program and its users rely on them as they are.
constexpr std::array<Entry, 52> table = {{
    {u"Add", u"הוסף"},
    {u"Edit", u"עדכן"},
    {u"Search", u"חפש"},
    {u"Dial", u"חייג"},
    {u"Mail", u"דואר"},
    {u"All", u"הכול"},
    {u"Delete", u"מחק"},
    {u"Quit", u"יציאה"},
    {u"Name\\Comapny", u"שם\\חברה"},
    {u"Home Phone", u"טל' בבית"},
    {u"Mobil", u"פלאפון"},
    {u"Work Phone", u"טל' בעבודה"},
    {u"Fax", u"פקס"},
    {u"Email", u"דואר אלקטרוני"},
    {u"Address", u"כתובת"},
    {u"Department", u"מחלקה"},
    {u"&File", u"&קובץ"},
    {u"&Add...", u"הו&סף..."},
    {u"&Edit...", u"&עדכן..."},
    {u"&Delete", u"ה&סר"},
    {u"&Print...", u"הד&פס..."},
    {u"E&xit", u"&יציאה"},
    {u"&Option", u"&אפשרויות"},
    {u"Import DB...", u"יבוא מבנה נתונים..."},
    {u"Export DB...", u"יצוא מבנה נתונים..."},
    {u"Dialing Number...", u"חייג מספר..."},
    {u"Send Email...", u"שלח דואר אלקטרוני...."},
    {u"Enable Auto Live Update", u"אפשר עדכון אוטומטי"},
    {u"Check For Version Update...", u"בדוק עדכון גרסה..."},
    {u"&View", u"&תצוגה"},
    {u"&All", u"הצג ה&כול"},
    {u"&Search...", u"ח&פש..."},
    {u"&Debug", u"&בדיקה"},
    {u"&Help", u"&עזרה"},
    {u"A&bout...", u"&אודות התוכנה..."},
    {u"&Restore...", u"...&הצג"},
    {u"&Search...", u"...ח&פש"},
    {u"E&xit", u"&יציאה"},
    {u"Set &Language", u"בחר ש&פה"},
    {u"Hebrew", u"ע&ברית"},
    {u"English", u"&אנגלית"},
    {u"Total Records", u"ס\"כ רשומות"},
    {u"Add new phone card to book", u"הוסף כרטיסיה חדשה לספר הטלפונים"},
    {u"Edit current phone card", u"עדכן כרטיסיה נוכחית בספר הטלפונים"},
    {u"Search phone card in book", u"חפש כרטיסיה בספר הטלפונים"},
    {u"Dial to current phone number", u"חייג למספר הטלפון הנוכחי"},
    {u"Send Email to current address", u"שלח דואר אלקטרוני לכתובת הנוכחית"},
    {u"Show all phones in book", u"הצג את כול ספר הטלפונים"},
    {u"Delete current phone card from book", u"מחק כרטיסיה נוכחית מספר הטלפונים"},
    {u"Quit program", u"יציאה מהתוכנית"},
    {u"Personal", u"אישי"},
    {u"Work", u"עבודה"},
}};

// The address-book commands' texts, offsets 60 and on.
constexpr int contactsFirst = 60;
constexpr std::array<Entry, 12> contacts = {{
    {u"Import Contacts...", u"ייבוא אנשי קשר..."},
    {u"Export Contacts...", u"ייצוא אנשי קשר..."},
    {u"Import Contacts", u"ייבוא אנשי קשר"},
    {u"Line", u"שורה"},
    {u"Name", u"שם"},
    {u"Outcome", u"תוצאה"},
    {u"Details", u"פרטים"},
    {u"new", u"חדש"},
    {u"duplicate (skipped)", u"כפול (לא ייובא)"},
    {u"new, numbers not kept", u"חדש, בלי חלק מהמספרים"},
    {u"refused", u"נדחה"},
    {u"Home region:", u"אזור הבית:"},
}};

} // namespace

QString LoadResString(int id) {
    const int lang = id / 100 * 100;
    const int k = id - lang;
    if (lang != LangEnglish && lang != LangHebrew)
        return QString();
    if (k >= contactsFirst && k < contactsFirst + int(contacts.size())) {
        const Entry& e = contacts[size_t(k - contactsFirst)];
        return QString::fromUtf16(lang == LangEnglish ? e.english : e.hebrew);
    }
    if (k < 1 || k > int(table.size()))
        return QString();
    const Entry& e = table[size_t(k - 1)];
    return QString::fromUtf16(lang == LangEnglish ? e.english : e.hebrew);
}

} // namespace i18n
