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

// ---- The modem dialer

QString dialerCaption() { return QStringLiteral(" Phone Dialer..."); }
QString dialerWarning() { return QStringLiteral("Warning..."); }
QString dialReady() { return QStringLiteral("To dial a number, click the Dial button"); }
QString searchingForModem() { return QStringLiteral("Searching for modem..."); }
QString dialing(const QByteArray& command, int port) {
    return QStringLiteral("Dialing... ") + QString::fromLatin1(command) + QStringLiteral(" [COM%1]").arg(port);
}
QString numberNotValid() { return QStringLiteral("The phone number is not valid."); }
QString noModemDetected() { return QStringLiteral("No modem detected"); }
QString portNotAvailable(int port) {
    return QStringLiteral("COM%1 is not available.\rChange the CommPort property to another port.").arg(port);
}
QString pickUpPhone() { return QStringLiteral("Please pick up the phone and either press Enter or click OK"); }
QString quitDialer() { return QStringLiteral("Quiting dialer will terminat the call!"); }
QString portInUse(const QString& number) {
    return QStringLiteral("Port is all-ready in use [") + number + u']';
}

} // namespace i18n::messages
