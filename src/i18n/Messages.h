#pragma once

#include <QString>
#include <QStringList>

// The program's fixed message texts and captions, in the words the user knows them by. They
// need Qt Core only, so the store's outcomes are worded without Qt Widgets too.
namespace i18n::messages {

// The program's title: the main window's caption and the caption of its notices.
QString appTitle();
// The captions of a question and of a refusal.
QString systemMessage();
QString errorMessage();

// Deleting a card.
QString confirmDelete(const QString& name);
QString recordDeleted();
QString noRecordToDelete();

// Opening, creating and upgrading the contact file. `crlf` ends a line of a message.
QString newerSchema();
QString upgradeFailed(const QString& crlf);
QString upgradeFinished();
QString creationFailed(const QString& crlf);
QString creationFinished();
QString failedToOpen();
// The cards an upgrade left behind in the backup file: `notCopied` of them, or all when the
// old file could not be read to the end.
QString notCopied(int notCopied, bool unreadable, const QString& backup, const QString& crlf);

// The printed phone list: its title, the status text while it is built, the page header's
// captions from right to left (name, home, mobile, work, fax, e-mail; the Work list puts the
// department in the fifth), and a print that could not be written to `target`.
QString reportTitle();
QString preparingReport();
QStringList reportHeadings();
QString reportDepartment();
QString reportNotPrinted(const QString& target);
// Exporting the contact file and replacing it by another one. `target` and `source` are the
// paths the user chose, as the user knows them.
QString systemWarning();
QString overwriteQuestion(const QString& target);
QString fileAlreadyExists();
QString exportFailed(const QString& reason);
QString exportSucceeded(const QString& target);
QString importQuestion(const QString& crlf);
QString importFailed(const QString& reason);
QString importSucceeded(const QString& source);
// Why a file was not copied, or cannot replace the contact file.
QString copyFailed(const QString& path, const QString& why);
QString copyOntoItself();
QString fileDamaged(const QString& detail);
QString missingTable(const QString& table);
QString otherFields(const QString& table);
QString noVersion();
QString olderVersion(int version);
QString newerVersion(int version);
QString notARegularFile(const QString& path);
QString diskFull();
QString cardsRefused(int cards);
// The about box and the system information tool.
QString aboutCaption(const QString& title);
QString aboutDescription(const QString& crlf, int schemaVersion);
QString sysInfoUnavailable();
// A link nothing on the desktop opened: a web page, or a new message to a mail address (in
// Hebrew for a window that speaks it).
QString webPageNotOpened(const QString& url);
QString mailNotOpened(const QString& address, bool hebrew);
// The live update: the version check, the download and their status texts.
QString notConnected();
QString connectFirst();
QString connectionFailed();
// Why the version page could not be read from `host`.
QString connectionFailedReasons(const QString& host, const QString& crlf);
QString noNewSoftware();
QString newVersionAvailable();
QString downloadConfirmation();
QString downloadErrorCaption();
// A download that ended in `state`; `response` is the server's answer or the transfer's error.
QString downloadError(const QString& response, int state, const QString& crlf);
QString downloadCanceled();
// A download that could not be stored, and why.
QString downloadNotSaved(const QString& reason, const QString& crlf);
QString folderNotCreated(const QString& folder);
QString fileNotWritten(const QString& file);
// A download whose address gives no file name that may be used in the folder.
QString downloadNameRefused(const QString& url);
QString downloadFinishCaption();
QString downloadFinished(const QString& path, const QString& fileName, const QString& crlf);
QString wrongBufferSize();
QString downloadFrom(const QString& url, qint64 bytes);
QString savingTo(const QString& fileName, qint64 bytes);
QString cancelDownloading();
QString cancelConfirmation();
QString noAnswerInTime();
// A page longer than the `limit` bytes a page may have.
QString answerTooLarge(qint64 limit);
// The animation's text for phase 1..3; empty for any other.
QString receivingData(int phase);
// The status text of a transfer state 0..12; a null string leaves the status as it is.
QString transferState(int state);
// vCard export and import of one card.
QString confirmExportVcard(const QString& name);
QString vcardExportFailed();
QString vcardFileExists();
QString vcardCreated();
QString vcardFileMissing();
QString vcardCorrupted();
QString vcardImported();
// The record editor's checks, which an imported card passes too.
QString nameEmpty();
QString noNumber();
QString fieldTooLong(const QString& word);
QString nameUsed();
QString recordAdded();
// The modem dialer: its window, its states and its messages. `command` is the dial command
// as sent, its carriage return included.
QString dialerCaption();
QString dialerWarning();
QString dialReady();
QString searchingForModem();
QString dialing(const QByteArray& command, int port);
// The modem's last answer to the dial command, shown after the dialing text.
QString modemAnswered(const QString& answer);
QString numberNotValid();
QString noModemDetected();
QString portNotAvailable(int port);
QString pickUpPhone();
QString quitDialer();
QString portInUse(const QString& number);

// Address-book import and export. The import's texts in English, and in the language given
// (LangHebrew, else English).
QString importNoCards();
QString importUnreadable(const QString& reason);
QString importCancelled();
QString importProgress();
QString importNoCards(int lang);
QString importUnreadable(const QString& reason, int lang);
QString importCancelled(int lang);
QString importProgress(int lang);
QString contactsExported(int count, const QString& path);
QString contactsExportFailed(const QString& path, const QString& reason);

} // namespace i18n::messages
