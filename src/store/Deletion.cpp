#include "store/Deletion.h"

#include "store/ContactRecord.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

namespace store {

bool ShownCardIsStored(Recordset* cursor, qint64 cardId, const QString& shownName) {
    if (!cursor)
        throw StoreError(StoreError::NotOpen, QStringLiteral("The database is not open"));
    if (cardId < 0 || !cursor->moveToRowid(cardId))
        throw StoreError(StoreError::NoCurrentRecord, QStringLiteral("No current record"));
    return cursor->value(QStringLiteral("Name")) == shownName;
}

bool DeleteShownCard(Recordset& cursor, qint64 cardId, const QString& shownName) {
    return DeleteContact(cursor.connection(), groupOfTable(cursor.query().table()), cardId,
                         shownName);
}

} // namespace store
