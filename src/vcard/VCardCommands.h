#pragma once

#include "store/ContactRecord.h"
#include "vcard/VCardFields.h"

#include <QString>

#include <functional>

namespace platform {
class FileDialogs;
class Prompter;
} // namespace platform
namespace store {
class ContactDatabase;
}

// Exporting the selected card to a vCard file and adding a card from one.
namespace vcard {

// What the commands work on: the open contact file, the list the main window shows, the
// host's message boxes and file dialogs, and the main window's refill.
struct Context {
    store::ContactDatabase& db;
    store::ContactGroup group;
    QString appTitle;
    platform::Prompter& prompter;
    platform::FileDialogs& dialogs;
    std::function<void()> refreshList;
};

// Fills `fields` from the card `cardId` of the group, which the grid shows as `Name`. False
// when nothing may be exported: no card is selected, the card is no longer stored under that
// name, or it is a Personal card whose name is one word. The store's errors are thrown.
bool BuildVcardFields(const Context& context, qint64 cardId, const QString& Name,
                      VCardFields& fields);

// Writes the card to a new file the user names; an existing file is never replaced.
void ExportVcard(const Context& context, qint64 cardId, const QString& Name);

// Reads a file and adds its card to the group, telling the user how it went.
void ImportVcard(const Context& context, const QString& Path);

// Adds the card read to the group after the record editor's checks; the refusal or the
// success is told to the user.
void AddImportedCard(const Context& context, const VCardFields& fields);

// The file name the save dialog proposes: the full name with ".vcf", every character that
// would name a folder or that file systems refuse replaced by "_".
QString proposedFileName(const QString& fullName);

} // namespace vcard
