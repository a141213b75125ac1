#include "i18n/Messages.h"

#include "i18n/StringTable.h"
#include "orvenna/Config.h"

#include <QDir>
#include <QStringList>

namespace i18n::messages {

namespace {
QString vendorLines(const QString& crlf) {
    return crlf + QString::fromUtf8(orvenna::config::vendorSite) + crlf +
           QString::fromUtf8(orvenna::config::supportMail);
}
// A text of the string table in the language given, English unless it is Hebrew.
QString said(int lang, int offset) {
    return text(lang == LangHebrew ? LangHebrew : LangEnglish, offset);
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
            QStringLiteral("עבודה"),    QStringLiteral("פקס"), QStringLiteral("Email")};
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
    return QStringLiteral("The file %1 cannot be copied: %2")
        .arg(QDir::toNativeSeparators(path), why);
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
QString notARegularFile(const QString& path) {
    return QStringLiteral("%1 is not a file but a folder, a device or a pipe")
        .arg(QDir::toNativeSeparators(path));
}
QString diskFull() {
    return QStringLiteral("There is not enough free space on the disk");
}
QString cardsRefused(int cards) {
    return QStringLiteral("The file is not a sound Orvenna phone book: %1 of its cards break the "
                          "rules of their fields (a value too long, or no name)")
        .arg(cards);
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
QString webPageNotOpened(const QString& url) {
    return QStringLiteral("The web page ") + url +
           QStringLiteral(" could not be opened. Set up a web browser, then try again.");
}
QString mailNotOpened(const QString& address, bool hebrew) {
    if (hebrew)
        return QStringLiteral("לא ניתן לפתוח הודעה אל ") + address +
               QStringLiteral(". יש להגדיר תוכנת דואר ולנסות שוב.");
    return QStringLiteral("A message to ") + address +
           QStringLiteral(" could not be started. Set up a mail program, then try again.");
}

// ---- The live update

QString notConnected() {
    return QStringLiteral("Inetrnet is not connected.");
}
QString connectFirst() {
    return QStringLiteral("First connect to the internet and than run 'Check Version' again");
}
QString connectionFailed() {
    return QStringLiteral("Internet connection failuer.");
}
QString connectionFailedReasons(const QString& host, const QString& crlf) {
    return QStringList{
        QStringLiteral("Possible reasons for failuer:"),
        QStringLiteral(" - The ") + host + QStringLiteral(" server is not available."),
        QStringLiteral(" - You are not connected to the internet or your connection "
                       "is not working properly."),
        QStringLiteral(" - You are using Proxy server setting which is not supported."),
        QString(),
        connectFirst()}
        .join(crlf);
}
QString noNewSoftware() {
    return QStringLiteral("No new software was found.");
}
QString newVersionAvailable() {
    return QStringLiteral(
        "A new version is available for download. Press Ok to continue downloading?");
}
QString downloadConfirmation() {
    return QStringLiteral("Download Confirmation");
}
QString downloadErrorCaption() {
    return QStringLiteral("Download Error ");
}
QString downloadError(const QString& response, int state, const QString& crlf) {
    return downloadCanceled() + crlf + QStringLiteral("code  : ") + response + crlf +
           QStringLiteral("info  : ") + response + crlf + QStringLiteral("state : ") +
           QString::number(state) + QStringLiteral("].");
}
QString downloadCanceled() {
    return QStringLiteral("Download has been canceled.");
}
QString downloadNotSaved(const QString& reason, const QString& crlf) {
    return downloadCanceled() + crlf + reason;
}
QString folderNotCreated(const QString& folder) {
    return QStringLiteral("The folder ") + QDir::toNativeSeparators(folder) +
           QStringLiteral(" cannot be created.");
}
QString fileNotWritten(const QString& file) {
    return QStringLiteral("The file ") + QDir::toNativeSeparators(file) +
           QStringLiteral(" cannot be written.");
}
QString downloadNameRefused(const QString& url) {
    return QStringLiteral("The download ") + url + QStringLiteral(" has no acceptable file name.");
}
QString downloadFinishCaption() {
    return QStringLiteral("Download Finish");
}
QString downloadFinished(const QString& path, const QString& fileName, const QString& crlf) {
    return QStringLiteral("Download has finished succesfully! ") + crlf +
           QDir::toNativeSeparators(path) + crlf + QStringLiteral("Exit the software and run ") +
           fileName + QStringLiteral(" file to install the new version");
}
QString wrongBufferSize() {
    return QStringLiteral("Wrong buffer size.");
}
QString downloadFrom(const QString& url, qint64 bytes) {
    return QStringLiteral("Download from %1... [%2 bytes]").arg(url).arg(bytes);
}
QString savingTo(const QString& fileName, qint64 bytes) {
    return QStringLiteral("Saving to %1... [%2 bytes]").arg(fileName).arg(bytes);
}
QString cancelDownloading() {
    return QStringLiteral("This action will cancel the downloading process.");
}
QString cancelConfirmation() {
    return QStringLiteral("Cancel Confirmation");
}
QString noAnswerInTime() {
    return QStringLiteral("The server did not answer in time.");
}
QString answerTooLarge(qint64 limit) {
    return QStringLiteral("The answer is longer than %1 bytes.").arg(limit);
}
QString receivingData(int phase) {
    return phase >= 1 && phase <= 3 ? QStringLiteral("Receiving data") + QString(phase, u'.')
                                    : QString();
}
QString transferState(int state) {
    static const char* const texts[] = {"",
                                        "Looking up IP address...",
                                        "Found successfully IP address.",
                                        "Connecting to host...",
                                        "Connected to host successfully.",
                                        "Sending request to host.",
                                        "Sent request successfully.",
                                        "Receiving response...",
                                        "Received a response successfully",
                                        "Disconnecting from host...",
                                        "Disconnected from host successfully.",
                                        "An error occurred in communicating.",
                                        "Request has completed (all data received)."};
    if (state < 0 || state > 12)
        return {};
    return state == 0 ? QStringLiteral("") : QString::fromLatin1(texts[state]);
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

// ---- The modem dialer

QString dialerCaption() {
    return QStringLiteral(" Phone Dialer...");
}
QString dialerWarning() {
    return QStringLiteral("Warning...");
}
QString dialReady() {
    return QStringLiteral("To dial a number, click the Dial button");
}
QString searchingForModem() {
    return QStringLiteral("Searching for modem...");
}
QString dialing(const QByteArray& command, int port) {
    return QStringLiteral("Dialing... ") + QString::fromLatin1(command) +
           QStringLiteral(" [COM%1]").arg(port);
}
QString modemAnswered(const QString& answer) {
    return QStringLiteral("The modem answered: ") + answer;
}
QString numberNotValid() {
    return QStringLiteral("The phone number is not valid.");
}
QString noModemDetected() {
    return QStringLiteral("No modem detected");
}
QString portNotAvailable(int port) {
    return QStringLiteral("COM%1 is not available.\rChange the CommPort property to another port.")
        .arg(port);
}
QString pickUpPhone() {
    return QStringLiteral("Please pick up the phone and either press Enter or click OK");
}
QString quitDialer() {
    return QStringLiteral("Quiting dialer will terminat the call!");
}
QString portInUse(const QString& number) {
    return QStringLiteral("Port is all-ready in use [") + number + u']';
}

// Address-book import and export: the string table's texts.
QString importNoCards() {
    return importNoCards(LangEnglish);
}
QString importUnreadable(const QString& reason) {
    return importUnreadable(reason, LangEnglish);
}
QString importCancelled() {
    return importCancelled(LangEnglish);
}
QString importProgress() {
    return importProgress(LangEnglish);
}
QString importNoCards(int lang) {
    return said(lang, off::importNoCards);
}
QString importUnreadable(const QString& reason, int lang) {
    return said(lang, off::importUnreadable).arg(reason);
}
QString importCancelled(int lang) {
    return said(lang, off::importCancelled);
}
QString importProgress(int lang) {
    return said(lang, off::importProgress);
}
QString contactsExported(int count, const QString& path) {
    return QStringLiteral("%1 cards have been exported to %2.").arg(count).arg(path);
}
QString contactsExportFailed(const QString& path, const QString& reason) {
    return QStringLiteral("The contacts could not be written to %1: %2").arg(path, reason);
}

} // namespace i18n::messages
