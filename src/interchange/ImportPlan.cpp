#include "interchange/ImportPlan.h"

#include "i18n/StringTable.h"
#include "interchange/PhoneFit.h"
#include "store/Text.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <climits>

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

// What placing needs to know of a number as written, for the home region: whether its letters
// are a keypad's, and the forms it can be stored in, best first.
struct NumberFit {
    bool readable = false;
    std::optional<QStringList> forms;
};

NumberFit numberFit(const QString& number, const QString& region) {
    return {keypadDigits(number).has_value(), numberForms(number, region)};
}

using FitOf = std::function<NumberFit(const QString& number)>;

// Places the numbers: each typed one in its kind's field, the first of a kind winning; then
// each untyped one in the first empty number field it fits.
void placeNumbers(const SourceCard& source, const FitOf& fitOf, PlannedCard& plan) {
    const store::ContactGroup group = plan.card.group;
    auto place = [&](Role role, const QString& number) {
        const std::optional<QStringList> forms = fitOf(number).forms;
        const int width = store::widthOf(group, role);
        for (const QString& form : forms.value_or(QStringList())) {
            if (!form.isEmpty() && form.size() <= width) {
                plan.card[role] = form;
                return true;
            }
        }
        return false;
    };
    // Letters that are not a keypad's would become another number: such a number is not kept.
    auto readable = [&plan, &fitOf](const SourcePhone& phone) {
        if (fitOf(phone.number).readable)
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

PlannedCard fitCardWith(const SourceCard& source, store::ContactGroup group, const FitOf& fitOf) {
    // Each number read once for the card, however many fields it is tried in.
    std::vector<std::pair<QString, NumberFit>> read;
    const FitOf once = [&read, &fitOf](const QString& number) {
        for (const auto& [text, fit] : read) {
            if (text == number)
                return fit;
        }
        read.emplace_back(number, fitOf(number));
        return read.back().second;
    };
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
    placeNumbers(source, once, plan);
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

} // namespace

PlannedCard fitCard(const SourceCard& source, store::ContactGroup group, const QString& region) {
    return fitCardWith(source, group,
                       [&region](const QString& number) { return numberFit(number, region); });
}

std::vector<PlannedCard> planImport(const std::vector<SourceCard>& cards, store::ContactGroup group,
                                    const QString& region,
                                    const std::function<bool(const QString&)>& nameTaken) {
    return *planImport(cards, group, region, nameTaken, [](int, int) { return true; });
}

std::optional<std::vector<PlannedCard>>
planImport(const std::vector<SourceCard>& cards, store::ContactGroup group, const QString& region,
           const std::function<bool(const QString&)>& nameTaken,
           const std::function<bool(int, int)>& progress) {
    // Four steps of one card each: its numbers gathered, read, the card fitted, its name
    // checked. Told by the clock, not for every card.
    const qsizetype count = qsizetype(cards.size());
    const int total = int(std::min<qsizetype>(count * 4, INT_MAX));
    QElapsedTimer sinceTold;
    sinceTold.start();
    auto tell = [&](int step, double share) {
        if (!sinceTold.hasExpired(ProgressEveryMs))
            return true;
        sinceTold.start();
        return progress(int((step + share) * total / 4), total);
    };
    if (!progress(0, total))
        return std::nullopt;
    // Reading a number is most of the work: a number written alike on several cards is read
    // once, the repeated ones first, on every core; then the cards are fitted, also on every
    // core, a number of one card alone read then (only the form stored is kept of it); then
    // the names are checked for duplicates in file order. The work on every core goes in
    // slices, the progress told between them.
    constexpr size_t slice = 1024;
    // The tables are made at their full size at once: growing one of a million entries
    // rehashes it all at a time, without a word to the window.
    QHash<QString, qsizetype> index; // every number; -1 while seen once
    index.reserve(count);
    std::vector<QString> numbers; // the repeated ones, in file order
    for (qsizetype c = 0; c < count; ++c) {
        for (const SourcePhone& phone : cards[size_t(c)].phones) {
            const auto seen = index.find(phone.number);
            if (seen == index.end()) {
                index.insert(phone.number, -1);
            } else if (*seen < 0) {
                *seen = qsizetype(numbers.size());
                numbers.push_back(phone.number);
            }
        }
        if (size_t(c) % slice == 0 && !tell(0, double(c) / double(count)))
            return std::nullopt;
    }
    // Only the repeated numbers are looked up from here on: a million numbers of one card
    // each need not stay listed while the cards are fitted.
    QHash<QString, qsizetype> repeated;
    repeated.reserve(qsizetype(numbers.size()));
    for (qsizetype at = 0; at < qsizetype(numbers.size()); ++at)
        repeated.insert(numbers[size_t(at)], at);
    index = {};
    std::vector<NumberFit> fits(numbers.size());
    for (size_t from = 0; from < fits.size(); from += slice) {
        const auto begin = fits.begin() + qsizetype(from);
        const auto end = fits.begin() + qsizetype(std::min(fits.size(), from + slice));
        QtConcurrent::blockingMap(begin, end, [&](NumberFit& fit) {
            fit = numberFit(numbers[size_t(&fit - fits.data())], region);
        });
        if (!tell(1, double(from) / double(fits.size())))
            return std::nullopt;
    }
    const FitOf known = [&repeated, &fits, &region](const QString& number) {
        const qsizetype at = repeated.value(number, -1);
        return at < 0 ? numberFit(number, region) : fits[size_t(at)];
    };
    // The plans are made slice by slice too, in room kept for all of them.
    std::vector<PlannedCard> plans;
    plans.reserve(cards.size());
    for (size_t from = 0; from < cards.size(); from += slice) {
        plans.resize(std::min(cards.size(), from + slice));
        QtConcurrent::blockingMap(
            plans.begin() + qsizetype(from), plans.end(), [&](PlannedCard& plan) {
                plan = fitCardWith(cards[size_t(&plan - plans.data())], group, known);
            });
        if (!tell(2, double(from) / double(cards.size())))
            return std::nullopt;
    }
    QSet<QString> taken;
    taken.reserve(count);
    for (size_t c = 0; c < plans.size(); ++c) {
        PlannedCard& plan = plans[c];
        if (plan.outcome == Outcome::New) {
            if (taken.contains(plan.name) || nameTaken(plan.name))
                plan.outcome = Outcome::Duplicate;
            taken.insert(plan.name);
        }
        if (c % slice == 0 && !tell(3, double(c) / double(plans.size())))
            return std::nullopt;
    }
    if (!progress(total, total))
        return std::nullopt;
    return plans;
}

} // namespace interchange
