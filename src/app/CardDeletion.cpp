#include "app/CardDeletion.h"

#include "i18n/Messages.h"
#include "platform/Prompter.h"
#include "store/Deletion.h"
#include "store/StoreError.h"

namespace app {

DeleteOutcome DeleteCard(store::Recordset* cursor, qint64 cardId, const QString& shownName,
                         platform::Prompter& prompter, const QString& appTitle) {
    using platform::Buttons;
    using platform::Icon;
    namespace messages = i18n::messages;
    try {
        if (store::ShownCardIsStored(cursor, cardId, shownName)) {
            const platform::Message confirm{messages::confirmDelete(shownName),
                                            messages::systemMessage(), Buttons::OkCancel,
                                            Icon::Question};
            if (prompter.ask(confirm) != platform::Answer::Ok)
                return DeleteOutcome::Cancelled;
            if (store::DeleteShownCard(*cursor, cardId, shownName)) {
                prompter.tell(messages::recordDeleted(), appTitle);
                return DeleteOutcome::Deleted;
            }
        }
        prompter.tell(messages::noRecordToDelete(), appTitle);
        return DeleteOutcome::NotFound;
    } catch (const store::StoreError& e) {
        prompter.tell(e.description(), appTitle, Icon::Exclamation);
        return DeleteOutcome::Failed;
    }
}

} // namespace app
