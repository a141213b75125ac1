#include "store/Deletion.h"

#include "platform/Prompter.h"
#include "store/ContactRecord.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

namespace store {

namespace messages {
QString confirmDelete(const QString& name) {
    return QStringLiteral("Do you want delete '") + name + QStringLiteral("' from record?");
}
QString recordDeleted() { return QStringLiteral("The record has been deleted"); }
QString noRecordToDelete() { return QStringLiteral("There is no record to delete"); }
} // namespace messages

DeleteOutcome DeleteCard(Recordset* cursor, qint64 cardId, const QString& shownName, platform::Prompter& prompter,
                         const QString& appTitle) {
    using platform::Buttons;
    using platform::Icon;
    try {
        if (!cursor)
            throw StoreError(StoreError::NotOpen, QStringLiteral("The database is not open"));
        if (cardId < 0 || !cursor->moveToRowid(cardId))
            throw StoreError(StoreError::NoCurrentRecord, QStringLiteral("No current record"));
        // The stored text is compared as stored: a name kept with blanks around it is not the
        // trimmed name the grid shows.
        if (cursor->value(QStringLiteral("Name")) == shownName) {
            const platform::Message confirm{messages::confirmDelete(shownName), QStringLiteral("System Message"),
                                            Buttons::OkCancel, Icon::Question};
            if (prompter.ask(confirm) != platform::Answer::Ok)
                return DeleteOutcome::Cancelled;
            // The file is asked, in the same statement, whether the row still holds this
            // name: another program may have deleted the card since the grid was filled and
            // given its identity to a new one.
            if (DeleteContact(cursor->connection(), groupOfTable(cursor->query().table()), cardId, shownName)) {
                prompter.tell(messages::recordDeleted(), appTitle);
                return DeleteOutcome::Deleted;
            }
        }
        prompter.tell(messages::noRecordToDelete(), appTitle);
        return DeleteOutcome::NotFound;
    } catch (const StoreError& e) {
        prompter.tell(e.description(), appTitle, Icon::Exclamation);
        return DeleteOutcome::Failed;
    }
}

} // namespace store
