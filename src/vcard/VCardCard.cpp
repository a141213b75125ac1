#include "vcard/VCardCard.h"

#include "i18n/Messages.h"
#include "store/Text.h"

namespace vcard {

namespace {

using store::ContactGroup;
using store::Role;
using store::trimSpaces;

QString trimmed(const store::ContactRecord& card, Role role) {
    return trimSpaces(card[role].value_or(QString()));
}

// A plain decimal number above zero ("035551234", "12.5"); a number with dashes or blanks,
// a word or nothing is not.
bool aboveZero(const QString& text) {
    const QStringView digits = text.startsWith(u'+') ? QStringView(text).mid(1) : QStringView(text);
    if (digits.isEmpty() || digits.count(u'.') > 1)
        return false;
    bool anyAboveZero = false;
    for (QChar c : digits) {
        if (c != u'.' && (c < u'0' || c > u'9'))
            return false;
        anyAboveZero = anyAboveZero || (c > u'0' && c <= u'9');
    }
    return anyAboveZero;
}

} // namespace

bool fieldsOfCard(const store::ContactRecord& card, VCardFields& f) {
    ClearVcardFields(f);
    f.FullName = trimmed(card, Role::Name);
    f.HomeVoice = trimmed(card, Role::Home);
    f.WorkVoice = trimmed(card, Role::Work);
    f.CellVoice = trimmed(card, Role::Mobile);
    f.EmailAddress = trimmed(card, Role::Email);
    if (card.group == ContactGroup::Work) {
        // A Work card's department travels as its work fax.
        f.WorkFax = trimmed(card, Role::Fax);
        return true;
    }
    const qsizetype blank = f.FullName.indexOf(u' ');
    if (blank < 0)
        return false;
    f.FamilyName = trimSpaces(f.FullName.left(blank));
    f.GivenName = trimSpaces(f.FullName.mid(blank + 1));
    f.HomeFax = trimmed(card, Role::Fax);
    return true;
}

QString faxValue(const VCardFields& f) {
    const QString home = trimSpaces(f.HomeFax);
    const QString work = trimSpaces(f.WorkFax);
    // A home fax written with dashes or blanks is still kept when it is the only fax.
    return aboveZero(home) || work.isEmpty() ? home : work;
}

std::variant<store::ContactRecord, QString> importedCard(const VCardFields& f, ContactGroup group) {
    namespace m = i18n::messages;
    store::ContactRecord card{group, -1, {}};
    card[Role::Name] = trimSpaces(f.FullName);
    card[Role::Home] = trimSpaces(f.HomeVoice);
    card[Role::Mobile] = trimSpaces(f.CellVoice);
    card[Role::Work] = trimSpaces(f.WorkVoice);
    card[Role::Fax] = faxValue(f);
    const QStringList address{f.Street, f.Locality, f.Region, f.PostalCode, f.Country};
    card[Role::Address] = trimSpaces(address.join(u' '));
    card[Role::Email] = trimSpaces(f.EmailAddress);

    // The checks run on the values the card would store, so a name or numbers of blanks
    // alone are refused as empty, as the editor refuses them.
    if (card[Role::Name]->isEmpty())
        return m::nameEmpty();
    if (trimSpaces(f.HomeVoice + f.CellVoice + f.WorkVoice + f.HomeFax + f.WorkFax).isEmpty())
        return m::noNumber();
    for (int r = 0; r < store::RoleCount; ++r) {
        const store::CardField& field = store::fieldOf(group, Role(r));
        if (card[field.role]->size() > field.longest)
            return m::fieldTooLong(QString::fromLatin1(field.word));
    }
    for (Role r : {Role::Address, Role::Email}) {
        if (card[r]->isEmpty())
            card[r] = QStringLiteral(" ");
    }
    return card;
}

} // namespace vcard
