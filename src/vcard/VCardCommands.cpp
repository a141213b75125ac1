#include "vcard/VCardCommands.h"

#include "i18n/Messages.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"
#include "store/ContactDatabase.h"
#include "store/StoreError.h"
#include "store/Text.h"
#include "vcard/VCardCard.h"
#include "vcard/VCardText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace vcard {

namespace {

namespace m = i18n::messages;
using platform::Icon;

const QString filters = QStringLiteral("VCARD (*.vcf)|*.vcf");

void tell(const Context& c, const QString& text, Icon icon = Icon::None) {
    c.prompter.tell(text, c.appTitle, icon);
}
void refuse(const Context& c, const QString& text) {
    c.prompter.tell(text, m::errorMessage(), Icon::Critical);
}

enum class Written { Done, Exists, Failed };

// Writes a file that does not exist yet, whole or not at all: the bytes go to a temporary
// file beside it, which then takes the name. The rename never replaces a file, so one that
// appeared meanwhile is kept too.
Written writeNewFile(const QString& path, const QByteArray& bytes, QString& error) {
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        return Written::Exists;
    QTemporaryFile temp(target.absoluteDir().filePath(QStringLiteral(".vcard-XXXXXX")));
    if (!temp.open() || temp.write(bytes) != bytes.size() || !temp.flush()) {
        error = temp.errorString();
        return Written::Failed;
    }
    // Readable by others, as files the user writes usually are (not the temporary's 0600).
    temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                        QFile::ReadGroup | QFile::ReadOther);
    if (!temp.rename(path)) {
        if (QFileInfo(path).exists())
            return Written::Exists;
        error = temp.errorString();
        return Written::Failed;
    }
    temp.setAutoRemove(false);
    return Written::Done;
}

} // namespace

QString proposedFileName(const QString& fullName) {
    QString name = fullName + QStringLiteral(".vcf");
    for (QChar& c : name) {
        if (c < u' ' || c == u'\x7f' || QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'_';
    }
    return name;
}

bool BuildVcardFields(const Context& c, qint64 cardId, const QString& Name, VCardFields& fields) {
    ClearVcardFields(fields);
    if (store::trimSpaces(Name).isEmpty() || cardId < 0 || c.group == store::ContactGroup::None)
        return false;
    // The card the grid row shows, reached by its identity and still under the name shown.
    const auto card = store::ReadContact(c.db.connection(), c.group, cardId);
    if (!card || store::trimSpaces((*card)[store::Role::Name].value_or(QString())) !=
                     store::trimSpaces(Name))
        return false;
    return fieldsOfCard(*card, fields);
}

void ExportVcard(const Context& c, qint64 cardId, const QString& Name) {
    VCardFields fields;
    std::optional<QByteArray> bytes;
    try {
        if (BuildVcardFields(c, cardId, Name, fields))
            bytes = vcardBytes(fields);
    } catch (const store::StoreError& e) {
        tell(c, e.description(), Icon::Exclamation);
        return;
    }
    // Also refused: a card the system's encoding cannot hold without replacing characters.
    if (!bytes) {
        tell(c, m::vcardExportFailed());
        return;
    }
    const platform::FileChoice choice = c.dialogs.save(
        {filters, 1, proposedFileName(fields.FullName)}, platform::Overwrite::DontConfirm);
    if (choice.isCancelled())
        return;
    if (choice.isFailed()) {
        tell(c, choice.description, Icon::Exclamation);
        return;
    }
    QString error;
    switch (writeNewFile(choice.path, *bytes, error)) {
    case Written::Exists:
        tell(c, m::vcardFileExists());
        break;
    case Written::Failed:
        tell(c, error, Icon::Exclamation);
        break;
    case Written::Done:
        tell(c, m::vcardCreated());
        break;
    }
}

void ImportVcard(const Context& c, const QString& Path) {
    ReadResult read;
    if (QFileInfo(Path).isFile()) {
        QFile file(Path);
        if (!file.open(QIODevice::ReadOnly)) {
            tell(c, file.errorString(), Icon::Exclamation);
            return;
        }
        read = readVcard(file);
        if (!read.error.isEmpty()) {
            tell(c, read.error, Icon::Exclamation);
            return;
        }
    } else {
        tell(c, m::vcardFileMissing());
    }
    if (!read.begin || !read.end) {
        tell(c, m::vcardCorrupted());
        return;
    }
    AddImportedCard(c, read.fields);
    tell(c, m::vcardImported());
}

void AddImportedCard(const Context& c, const VCardFields& fields) {
    if (c.group == store::ContactGroup::None)
        return;
    if (!c.db.isOpen()) {
        tell(c, m::failedToOpen());
        return;
    }
    const auto checked = importedCard(fields, c.group);
    if (const QString* refusal = std::get_if<QString>(&checked)) {
        refuse(c, *refusal);
        return;
    }
    const store::ContactRecord& card = std::get<store::ContactRecord>(checked);
    try {
        if (store::NameTaken(c.db.connection(), c.group, *card[store::Role::Name])) {
            refuse(c, m::nameUsed());
            return;
        }
        store::InsertContact(c.db.connection(), card);
    } catch (const store::StoreError& e) {
        // Refused by the store (a value too long for its field), or the file is locked.
        refuse(c, e.description());
        return;
    }
    tell(c, m::recordAdded());
    c.refreshList();
}

} // namespace vcard
