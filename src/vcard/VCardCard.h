#pragma once

#include "store/ContactRecord.h"
#include "vcard/VCardFields.h"

#include <QString>

#include <variant>

// Between a stored card and the values of its vCard.
namespace vcard {

// The values a card exports. False when the card cannot be exported: a Personal card needs
// a family and a given name, so its name must hold a blank.
bool fieldsOfCard(const store::ContactRecord& card, VCardFields& fields);

// The fax or department an import stores: the home fax when it is a number above zero,
// otherwise the work fax, or the home fax still when there is no work fax.
QString faxValue(const VCardFields& fields);

// The card an import adds to a group, or the message of the first check it fails: the
// record editor's checks and limits, on the values the card would store.
std::variant<store::ContactRecord, QString> importedCard(const VCardFields& fields,
                                                         store::ContactGroup group);

} // namespace vcard
