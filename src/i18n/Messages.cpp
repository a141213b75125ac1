#include "i18n/Messages.h"

#include "orvenna/Config.h"

#include <QDir>

namespace i18n::messages {

namespace {
QString vendorLines(const QString& crlf) {
    return crlf + QString::fromUtf8(orvenna::config::vendorSite) + crlf +
           QString::fromUtf8(orvenna::config::supportMail);
}
} // namespace

QString appTitle() {
    return QStringLiteral("Orvenna");
}
QString systemMessage() {
    return QStringLiteral("System Message");
}
QString errorMessage() {
    return QStringLiteral("Error Message");
}

QString confirmDelete(const QString& name) {
    return QStringLiteral("Do you want delete '") + name + QStringLiteral("' from record?");
}
QString recordDeleted() {
    return QStringLiteral("The record has been deleted");
}
QString noRecordToDelete() {
    return QStringLiteral("There is no record to delete");
}

QString newerSchema() {
    return QStringLiteral("גרסת התוכנה שברשותך אינה תואמת לגרסת מבנה הנתונים.");
}
QString upgradeFailed(const QString& crlf) {
    return QStringLiteral("!ארעה שגיאה קריטית בתהליך שידרוג מבנה הנתונים") + vendorLines(crlf);
}
QString upgradeFinished() {
    return QStringLiteral("תהליך שידרוג מבנה הנתונים הסתיים בהצלחה.");
}
QString creationFailed(const QString& crlf) {
    return QStringLiteral("!ארעה שגיאה קריטית בתהליך יצירת מבנה הנתונים") + vendorLines(crlf);
}
QString creationFinished() {
    return QStringLiteral("תהליך יצירת מבנה הנתונים הסתיים בהצלחה.");
}
QString failedToOpen() {
    return QStringLiteral("Failed to open connection to database...");
}

QString notCopied(int notCopied, bool unreadable, const QString& backup, const QString& crlf) {
    const QString file = QDir::toNativeSeparators(backup);
    if (unreadable) {
        return QStringLiteral("לא ניתן היה לקרוא את כל הכרטיסים מהקובץ הישן. כל הכרטיסים נשמרו "
                              "בקובץ הגיבוי ") +
               file + crlf +
               QStringLiteral(
                   "Not every card could be read from the old file; all of them remain in "
                   "the backup file ") +
               file + u'.';
    }
    return QStringLiteral("%1 כרטיסים לא הועתקו ונשארו בקובץ הגיבוי ").arg(notCopied) + file +
           crlf +
           QStringLiteral("%1 cards could not be copied; they remain in the backup file ")
               .arg(notCopied) +
           file + u'.';
}

// vCard export and import of one card.
QString confirmExportVcard(const QString& name) {
    return QStringLiteral("Do you want export ") + name + QStringLiteral(" to a vCard?");
}
QString vcardExportFailed() {
    return QStringLiteral("Failed to export current record to vCard.");
}
QString vcardFileExists() {
    return QStringLiteral("A vCard file is all-ready exist.");
}
QString vcardCreated() {
    return QStringLiteral("A vCard has been created successfully.");
}
QString vcardFileMissing() {
    return QStringLiteral("File is not exist.");
}
QString vcardCorrupted() {
    return QStringLiteral("File is corrupted or not a Vcard file.");
}
QString vcardImported() {
    return QStringLiteral("Vcard data has been imported as ");
}
QString nameEmpty() {
    return QStringLiteral("The field Name cannot be empty");
}
QString noNumber() {
    return QStringLiteral("There is no phone/fax/line/mobile number");
}
QString fieldTooLong(const QString& word) {
    return QStringLiteral("The length of the '%1' field is too long").arg(word);
}
QString nameUsed() {
    return QStringLiteral("The current name is used all-ready");
}
QString recordAdded() {
    return QStringLiteral("A new record has been added");
}

} // namespace i18n::messages
