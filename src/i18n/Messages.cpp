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

QString reportTitle() {
    return QStringLiteral("Orvenna Report");
}
QString preparingReport() {
    return QStringLiteral("Preparing report to print...");
}
QStringList reportHeadings() {
    return {QStringLiteral("שם\\חברה"), QStringLiteral("בית"), QStringLiteral("פלאפון"),
            QStringLiteral("עבודה"), QStringLiteral("פקס"), QStringLiteral("Email")};
}
QString reportDepartment() {
    return QStringLiteral("מחלקה");
}
QString reportNotPrinted(const QString& target) {
    return QStringLiteral("The report could not be printed to ") + target + u'.';
}

// ---- Exporting and importing the contact file

QString systemWarning() {
    return QStringLiteral("System Warning");
}
QString overwriteQuestion(const QString& target) {
    return QStringLiteral("Do you want to overwrite ") + target + u'?';
}
QString fileAlreadyExists() {
    return QStringLiteral("File already exists");
}
QString exportFailed(const QString& reason) {
    return QStringLiteral("Failed to export database! ") + reason;
}
QString exportSucceeded(const QString& target) {
    return QStringLiteral("Export DB to ") + target + QStringLiteral(" has succeeded!");
}
QString importQuestion(const QString& crlf) {
    return QStringLiteral("This will import an external database") + crlf +
           QStringLiteral("into Orvenna, continue?");
}
QString importFailed(const QString& reason) {
    return QStringLiteral("Failed to import database! ") + reason;
}
QString importSucceeded(const QString& source) {
    return QStringLiteral("Import DB from ") + source + QStringLiteral(" has succeeded!");
}

QString copyFailed(const QString& path, const QString& why) {
    return QStringLiteral("The file %1 cannot be copied: %2").arg(QDir::toNativeSeparators(path), why);
}
QString copyOntoItself() {
    return QStringLiteral("The program's own database cannot be overwritten by a copy of itself");
}
QString fileDamaged(const QString& detail) {
    return QStringLiteral("The file is damaged (%1)").arg(detail);
}
QString missingTable(const QString& table) {
    return QStringLiteral("The file is not an Orvenna phone book: it has no table '%1'").arg(table);
}
QString otherFields(const QString& table) {
    return QStringLiteral("The file is not an Orvenna phone book of this version: its table '%1' "
                          "has other fields")
        .arg(table);
}
QString noVersion() {
    return QStringLiteral("The file is not an Orvenna phone book: it has no version number");
}
QString olderVersion(int version) {
    return QStringLiteral("The file is a phone book of an older version (dbVer: %1). An older "
                          "phone book is upgraded only when Orvenna starts with it as its VESK.MDB")
        .arg(version);
}
QString newerVersion(int version) {
    return QStringLiteral("The file is a phone book of a newer version (dbVer: %1), which this "
                          "version of Orvenna cannot read")
        .arg(version);
}

// ---- The about box

QString aboutCaption(const QString& title) {
    return QStringLiteral("About ") + title;
}
QString aboutDescription(const QString& crlf, int schemaVersion) {
    return QStringLiteral("The Orvenna is a smalle program to create and handle ") +
           QStringLiteral("personal\\work phone cards.") + crlf + QStringLiteral("[dbVer: ") +
           QString::number(schemaVersion) + u']';
}
QString sysInfoUnavailable() {
    return QStringLiteral("System Information Is Unavailable At This Time");
}

} // namespace i18n::messages
