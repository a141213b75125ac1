#include "interchange/ImportPlan.h"

#include "i18n/StringTable.h"
#include "interchange/PhoneFit.h"
#include "store/Text.h"

#include <QSet>
#include <QtConcurrent/QtConcurrentMap>

namespace interchange {

namespace {

using store::Role;

namespace off = i18n::off;

// "Another home number came first" and the like.
int anotherFirst(PhoneKind kind) {
    switch (kind) {
    case PhoneKind::Home:
        return off::reasonAnotherHome;
    case PhoneKind::Cell:
        return off::reasonAnotherMobile;
    case PhoneKind::Work:
        return off::reasonAnotherWork;
    case PhoneKind::Fax:
    case PhoneKind::None:
        break;
    }
    return off::reasonAnotherFax;
}

Role roleOf(PhoneKind kind) {
    switch (kind) {
    case PhoneKind::Home:
        return Role::Home;
    case PhoneKind::Cell:
        return Role::Mobile;
    case PhoneKind::Work:
        return Role::Work;
    default:
        return Role::Fax;
    }
}

Reason tooLong(store::ContactGroup group, Role role) {
    return Reason::ofField(off::reasonNumberTooLong, group, role);
}

// Places the numbers: each typed one in its kind's field, the first of a kind winning; then
// each untyped one in the first empty number field it fits.
void placeNumbers(const SourceCard& source, const QString& region, PlannedCard& plan) {
    const store::ContactGroup group = plan.card.group;
    auto place = [&](Role role, const QString& number) {
        const std::optional<QString> fitted =
            fitNumber(number, store::widthOf(group, role), region);
        if (fitted)
            plan.card[role] = *fitted;
        return fitted.has_value();
    };
    // Letters that are not a keypad's would become another number: such a number is not kept.
    auto readable = [&plan](const SourcePhone& phone) {
        if (keypadDigits(phone.number))
            return true;
        plan.notKept.push_back({phone.number, Reason::of(off::reasonLetters)});
        return false;
    };
    for (const SourcePhone& phone : source.phones) {
        if (phone.kind == PhoneKind::None)
            continue;
        const Role role = roleOf(phone.kind);
        if (plan.card[role])
            plan.notKept.push_back({phone.number, Reason::of(anotherFirst(phone.kind))});
        else if (!readable(phone))
            continue;
        else if (!place(role, phone.number))
            plan.notKept.push_back({phone.number, tooLong(group, role)});
    }
    // A Work card's fourth field is its department, not a number of its own.
    std::vector<Role> free{Role::Home, Role::Mobile, Role::Work};
    if (group == store::ContactGroup::Personal)
        free.push_back(Role::Fax);
    for (const SourcePhone& phone : source.phones) {
        if (phone.kind != PhoneKind::None || !readable(phone))
            continue;
        bool placed = false;
        bool anyFree = false;
        for (Role role : free) {
            anyFree = anyFree || !plan.card[role];
            placed = !plan.card[role] && place(role, phone.number);
            if (placed)
                break;
        }
        if (!placed)
            plan.notKept.push_back({phone.number, Reason::of(anyFree ? off::reasonFitsNoField
                                                                     : off::reasonNoFieldEmpty)});
    }
}

// Sets a text field; false, with the reason, when the text is longer than its field.
bool setText(PlannedCard& plan, Role role, const QString& text) {
    const QString value = store::trimSpaces(text);
    const store::CardField& field = store::fieldOf(plan.card.group, role);
    if (value.size() > field.width) {
        plan.reason = Reason::ofField(off::reasonTextTooLong, plan.card.group, role);
        return false;
    }
    if (!value.isEmpty())
        plan.card[role] = value;
    return true;
}

} // namespace

PlannedCard fitCard(const SourceCard& source, store::ContactGroup group, const QString& region) {
    PlannedCard plan;
    plan.line = source.line;
    plan.name = store::trimSpaces(source.name);
    plan.card.group = group;
    if (!source.malformed.isEmpty()) {
        plan.reason = source.malformed;
        return plan;
    }
    if (plan.name.isEmpty()) {
        plan.reason = Reason::of(off::reasonNameEmpty);
        return plan;
    }
    if (!setText(plan, Role::Name, plan.name) || !setText(plan, Role::Address, source.address) ||
        !setText(plan, Role::Email, source.email))
        return plan;
    placeNumbers(source, region, plan);
    if (group == store::ContactGroup::Work && !plan.card[Role::Fax] &&
        !source.department.isEmpty()) {
        const QString dept = store::trimSpaces(source.department);
        if (dept.size() <= store::widthOf(group, Role::Fax))
            plan.card[Role::Fax] = dept;
        else
            plan.notKept.push_back({dept, tooLong(group, Role::Fax)});
    }
    const bool anyNumber = plan.card[Role::Home] || plan.card[Role::Mobile] ||
                           plan.card[Role::Work] || plan.card[Role::Fax];
    if (!anyNumber) {
        plan.reason = Reason::of(off::reasonNoNumber);
        return plan;
    }
    // Stored as the editor stores a card, so that it can be opened there: an empty number
    // field holds an empty text, an empty address or e-mail a single blank; never Null.
    for (Role role : {Role::Home, Role::Mobile, Role::Work, Role::Fax})
        plan.card[role] = plan.card[role].value_or(QString());
    for (Role role : {Role::Address, Role::Email})
        plan.card[role] = plan.card[role].value_or(QStringLiteral(" "));
    plan.outcome = Outcome::New;
    return plan;
}

std::vector<PlannedCard> planImport(const std::vector<SourceCard>& cards, store::ContactGroup group,
                                    const QString& region,
                                    const std::function<bool(const QString&)>& nameTaken) {
    // Reading a number is most of the work, and each card is fitted on its own: the cards are
    // fitted on every core, then checked for duplicates in file order.
    std::vector<PlannedCard> plans(cards.size());
    QtConcurrent::blockingMap(plans, [&](PlannedCard& plan) {
        plan = fitCard(cards[size_t(&plan - plans.data())], group, region);
    });
    QSet<QString> taken;
    for (PlannedCard& plan : plans) {
        if (plan.outcome == Outcome::New) {
            if (taken.contains(plan.name) || nameTaken(plan.name))
                plan.outcome = Outcome::Duplicate;
            taken.insert(plan.name);
        }
    }
    return plans;
}

} // namespace interchange
