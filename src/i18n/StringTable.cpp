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
constexpr std::array<Entry, 36> contacts = {{
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
    {u"Importing contacts...", u"מייבא אנשי קשר..."},
    {u"The import was cancelled; nothing has been written.", u"הייבוא בוטל; דבר לא נכתב."},
    {u"%1 cards imported, %2 duplicates skipped, %3 refused",
     u"%1 כרטיסים יובאו, %2 כפולים דולגו, %3 נדחו"},
    {u"The file holds no card.", u"אין בקובץ אף כרטיס."},
    {u"The file cannot be read: %1.", u"לא ניתן לקרוא את הקובץ: %1."},
    {u"Numbers of the home region are stored in national form, others in international form.",
     u"מספרים של אזור הבית יישמרו בתבנית מקומית, ואחרים בתבנית בינלאומית."},
    {u"Line %1 cannot be read", u"לא ניתן לקרוא את שורה %1"},
    {u"The card has no END:VCARD line", u"לכרטיס אין שורת END:VCARD"},
    {u"The quoted field that begins on line %1 has no end",
     u"לשדה במירכאות שמתחיל בשורה %1 אין סוף"},
    {u"Line %1 is not inside a card", u"שורה %1 אינה בתוך כרטיס"},
    {u"Line 1 names no column of a name", u"שורה 1 אינה מציינת עמודה של שם"},
    {u"The field Name cannot be empty", u"השדה שם אינו יכול להיות ריק"},
    {u"There is no phone/fax/line/mobile number", u"אין מספר טלפון, פקס, קו או נייד"},
    {u"%1 takes at most %2 characters", u"בשדה %1 יש מקום ל-%2 תווים לכל היותר"},
    {u"Does not fit %1 (%2 characters)", u"אינו נכנס בשדה %1 (%2 תווים)"},
    {u"Another home number came first", u"מספר בית אחר קדם לו"},
    {u"Another mobile number came first", u"מספר נייד אחר קדם לו"},
    {u"Another work number came first", u"מספר עבודה אחר קדם לו"},
    {u"Another fax number came first", u"מספר פקס אחר קדם לו"},
    {u"Fits no empty number field", u"אינו נכנס באף שדה מספר ריק"},
    {u"No number field is empty", u"אין שדה מספר ריק"},
    {u"Its letters cannot be converted to digits", u"לא ניתן להמיר את האותיות שבו לספרות"},
    {u"It is not a phone book with this list", u"אין זה ספר טלפונים עם רשימה זו"},
    {u"The phone book is damaged", u"ספר הטלפונים פגום"},
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
