#pragma once

#include <QString>

// The program's fixed message texts and captions, in the words the user knows them by. They
// need Qt Core only, so the store can show its own through the Prompter.
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

// The modem dialer: its window, its states and its messages. `command` is the dial command
// as sent, its carriage return included.
QString dialerCaption();
QString dialerWarning();
QString dialReady();
QString searchingForModem();
QString dialing(const QByteArray& command, int port);
QString numberNotValid();
QString noModemDetected();
QString portNotAvailable(int port);
QString pickUpPhone();
QString quitDialer();
QString portInUse(const QString& number);

} // namespace i18n::messages
