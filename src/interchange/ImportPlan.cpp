#include "interchange/ImportPlan.h"

#include "i18n/StringTable.h"
#include "interchange/PhoneFit.h"
#include "store/Text.h"

#include <QElapsedTimer>
#include <QFuture>
#include <QHash>
#include <QScopeGuard>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>

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

// A card's packed entry: counts and lengths in one unit below 0x8000, else two; texts as
// their units.
char16_t* putCount(char16_t* out, size_t n) {
    if (n < 0x8000) {
        *out++ = char16_t(n);
    } else {
        *out++ = char16_t(0x8000 | (n >> 16));
        *out++ = char16_t(n & 0xffff);
    }
    return out;
}

size_t getCount(const char16_t*& in) {
    const size_t first = *in++;
    if (first < 0x8000)
        return first;
    return ((first & 0x7fff) << 16) | size_t(*in++);
}

// The most a text takes packed.
size_t roomFor(QStringView text) {
    return 2 + size_t(text.size());
}

char16_t* putText(char16_t* out, QStringView text) {
    out = putCount(out, size_t(text.size()));
    return std::copy(text.utf16(), text.utf16() + text.size(), out);
}

QStringView viewText(const char16_t*& in) {
    const size_t size = getCount(in);
    const QStringView text(in, qsizetype(size));
    in += size;
    return text;
}

QString getText(const char16_t*& in) {
    const QStringView text = viewText(in);
    return text.isEmpty() ? QString() : text.toString();
}

// A text never looked at in place (an e-mail, an address, a number's forms), packed two
// characters a unit when they are all Latin-1, as most are: its length doubled, plus one then.
bool isLatin1(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

size_t roomForNarrow(QStringView text) {
    return 3 + size_t(text.size());
}

char16_t* putNarrow(char16_t* out, QStringView text) {
    const size_t size = size_t(text.size());
    if (!isLatin1(text)) {
        out = putCount(out, size * 2);
        return std::copy(text.utf16(), text.utf16() + size, out);
    }
    out = putCount(out, size * 2 + 1);
    char* bytes = reinterpret_cast<char*>(out);
    for (const QChar c : text)
        *bytes++ = char(c.unicode());
    return out + (size + 1) / 2;
}

QString getNarrow(const char16_t*& in) {
    const size_t count = getCount(in);
    const size_t size = count / 2;
    if (size == 0)
        return QString();
    if (!(count & 1)) {
        const QString text = QStringView(in, qsizetype(size)).toString();
        in += size;
        return text;
    }
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(in), qsizetype(size));
    in += (size + 1) / 2;
    return text;
}

void skipNarrow(const char16_t*& in) {
    const size_t count = getCount(in);
    in += (count & 1) ? (count / 2 + 1) / 2 : count / 2;
}

constexpr char16_t malformedFlag = 1;
constexpr char16_t nameIsNameValue = 1 << 7;

} // namespace

char16_t* PackedTexts::reserve(size_t units) {
    if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < units) {
        Block block;
        block.size = std::max(units, m_blockUnits);
        block.units = std::make_unique<char16_t[]>(block.size);
        m_blocks.push_back(std::move(block));
    }
    return m_blocks.back().units.get() + m_blocks.back().used;
}

quint64 PackedTexts::commit(const char16_t* end) {
    Block& block = m_blocks.back();
    const size_t at = block.used;
    block.used = size_t(end - block.units.get());
    return (quint64(m_blocks.size() - 1) << 32) | quint64(at);
}

const char16_t* PackedTexts::at(quint64 place) const {
    return m_blocks[size_t(place >> 32)].units.get() + (place & 0xffffffffu);
}

void PackedTexts::clear() {
    m_blocks.clear();
}

void SourceCards::push_back(const SourceCard& card) {
    size_t room = 3 + 2 + roomFor(card.name) + roomForNarrow(card.organization) +
                  roomForNarrow(card.department) + roomForNarrow(card.address) +
                  roomForNarrow(card.email);
    for (const SourcePhone& phone : card.phones)
        room += 1 + roomFor(phone.number);
    char16_t* out = m_texts.reserve(room);
    out = putCount(out, size_t(std::max(card.line, 0)));
    *out++ = card.malformed.isEmpty() ? 0 : malformedFlag;
    out = putText(out, card.name);
    for (const QString* text : {&card.organization, &card.department, &card.address, &card.email})
        out = putNarrow(out, *text);
    out = putCount(out, card.phones.size());
    for (const SourcePhone& phone : card.phones) {
        *out++ = char16_t(phone.kind);
        out = putText(out, phone.number);
    }
    if (!card.malformed.isEmpty())
        m_malformed.insert(m_places.size(), card.malformed);
    m_places.push_back(m_texts.commit(out));
}

SourceCard SourceCards::at(size_t i) const {
    const char16_t* in = m_texts.at(m_places[i]);
    SourceCard card;
    card.line = int(getCount(in));
    if (*in++ & malformedFlag)
        card.malformed = m_malformed.value(i);
    card.name = getText(in);
    for (QString* text : {&card.organization, &card.department, &card.address, &card.email})
        *text = getNarrow(in);
    card.phones.resize(getCount(in));
    for (SourcePhone& phone : card.phones) {
        phone.kind = PhoneKind(*in++);
        phone.number = getText(in);
    }
    return card;
}

void SourceCards::numbersOf(size_t i, std::vector<QStringView>& numbers) const {
    numbers.clear();
    const char16_t* in = m_texts.at(m_places[i]);
    getCount(in);
    ++in;
    viewText(in);
    for (int text = 0; text < 4; ++text)
        skipNarrow(in);
    numbers.resize(getCount(in));
    for (QStringView& number : numbers) {
        ++in;
        number = viewText(in);
    }
}

void SourceCards::clear() {
    m_texts.clear();
    m_places = {};
    m_malformed.clear();
}

void PlannedCards::push_back(const PlannedCard& plan) {
    const size_t i = m_outcomes.size();
    m_outcomes.push_back(quint8(plan.outcome));
    const bool whole = !plan.notKept.empty() || !plan.reason.isEmpty() || plan.card.rowid != -1;
    const store::Value& nameValue = plan.card[Role::Name];
    const bool sameName = nameValue && *nameValue == plan.name;
    size_t room = 2 + 1 + 1 + roomFor(plan.name);
    if (!whole) {
        for (const store::Value& value : plan.card.values)
            room += value ? roomForNarrow(*value) : 0;
    }
    char16_t* out = m_texts.reserve(room);
    out = putCount(out, size_t(std::max(plan.line, 0)));
    char16_t& flags = *out++;
    flags = 0;
    *out++ = char16_t(plan.card.group);
    out = putText(out, plan.name);
    if (whole) {
        m_whole.insert(i, plan);
    } else {
        for (size_t r = 0; r < plan.card.values.size(); ++r) {
            const store::Value& value = plan.card.values[r];
            if (!value)
                continue;
            flags |= char16_t(1 << r);
            if (r == size_t(Role::Name) && sameName)
                flags |= nameIsNameValue;
            else
                out = putNarrow(out, *value);
        }
    }
    m_places.push_back(m_texts.commit(out));
}

PlannedCard PlannedCards::at(size_t i) const {
    if (!m_whole.isEmpty()) {
        const auto whole = m_whole.constFind(i);
        if (whole != m_whole.constEnd()) {
            PlannedCard plan = *whole;
            plan.outcome = outcome(i);
            return plan;
        }
    }
    const char16_t* in = m_texts.at(m_places[i]);
    PlannedCard plan;
    plan.line = int(getCount(in));
    const char16_t flags = *in++;
    plan.card.group = store::ContactGroup(*in++);
    plan.name = getText(in);
    plan.outcome = outcome(i);
    for (size_t r = 0; r < plan.card.values.size(); ++r) {
        if (!(flags & (1 << r)))
            continue;
        if (r == size_t(Role::Name) && (flags & nameIsNameValue))
            plan.card.values[r] = plan.name;
        else
            plan.card.values[r] = getNarrow(in);
    }
    return plan;
}

void PlannedCards::replace(size_t i, const PlannedCard& plan) {
    m_whole.insert(i, plan);
    m_outcomes[i] = quint8(plan.outcome);
}

QStringView PlannedCards::nameOf(size_t i) const {
    const char16_t* in = m_texts.at(m_places[i]);
    getCount(in);
    in += 2;
    return viewText(in);
}

std::vector<PlannedCard> PlannedCards::toVector() const {
    std::vector<PlannedCard> plans;
    plans.reserve(size());
    for (size_t i = 0; i < size(); ++i)
        plans.push_back(at(i));
    return plans;
}

// A batch of distinct numbers read on the pool: what the plan needs of each, packed.
struct NumbersAhead::Batch {
    std::vector<QStringView> numbers;
    PackedTexts texts{size_t(1) << 14};
    std::vector<quint64> places;
    QFuture<void> reading;
};

NumbersAhead::NumbersAhead(const QString& region, const std::atomic<bool>* stop)
    : m_region(region), m_stop(stop ? stop : &m_never) {}

NumbersAhead::~NumbersAhead() {
    finish();
}

void NumbersAhead::added(const SourceCards& cards) {
    if (*m_stop)
        return;
    std::vector<QStringView> numbers;
    for (; m_cardsSeen < cards.size(); ++m_cardsSeen) {
        cards.numbersOf(m_cardsSeen, numbers);
        for (const QStringView number : numbers) {
            // One look-up: a number met for the first time is added by it.
            const qsizetype known = m_index.size();
            quint64& entry = m_index[number];
            if (m_index.size() == known)
                continue;
            entry = (quint64(m_batches.size()) << 32) | m_pending.size();
            m_pending.push_back(number);
        }
    }
    if (m_pending.size() >= 1024)
        startBatch();
}

void NumbersAhead::startBatch() {
    if (m_pending.empty())
        return;
    auto batch = std::make_unique<Batch>();
    batch->numbers = std::move(m_pending);
    m_pending.clear();
    Batch* b = batch.get();
    m_batches.push_back(std::move(batch));
    b->reading = QtConcurrent::run([b, region = m_region, stop = m_stop] {
        for (const QStringView number : b->numbers) {
            if (*stop)
                break;
            const NumberFit fit = numberFit(number.toString(), region);
            QStringList forms = fit.forms.value_or(QStringList());
            // Most numbers' second form is the first without its separators: made again.
            const bool digitsSecond = forms.size() == 2 && forms[1] == withoutSeparators(forms[0]);
            if (digitsSecond)
                forms.removeLast();
            size_t room = 3;
            for (const QString& form : forms)
                room += roomForNarrow(form);
            char16_t* out = b->texts.reserve(room);
            *out++ =
                char16_t((fit.readable ? 1 : 0) | (fit.forms ? 2 : 0) | (digitsSecond ? 4 : 0));
            out = putCount(out, size_t(forms.size()));
            for (const QString& form : forms)
                out = putNarrow(out, form);
            b->places.push_back(b->texts.commit(out));
        }
        b->numbers = {};
    });
}

void NumbersAhead::finish() {
    startBatch();
    for (const std::unique_ptr<Batch>& batch : m_batches)
        batch->reading.waitForFinished();
}

std::optional<NumbersAhead::Fit> NumbersAhead::fitOf(QStringView number) const {
    const auto at = m_index.constFind(number);
    if (at == m_index.constEnd())
        return std::nullopt;
    const Batch& batch = *m_batches[size_t(*at >> 32)];
    const size_t entry = size_t(*at & 0xffffffffu);
    if (entry >= batch.places.size()) // abandoned before it was read
        return std::nullopt;
    const char16_t* in = batch.texts.at(batch.places[entry]);
    const char16_t flags = *in++;
    Fit fit;
    fit.readable = flags & 1;
    const size_t forms = getCount(in);
    if (flags & 2) {
        fit.forms.emplace();
        for (size_t f = 0; f < forms; ++f)
            fit.forms->append(getNarrow(in));
        if (flags & 4)
            fit.forms->append(withoutSeparators(fit.forms->front()));
    }
    return fit;
}

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
    SourceCards packed;
    for (const SourceCard& card : cards)
        packed.push_back(card);
    std::optional<PlannedCards> plans = planImport(packed, group, region, nameTaken, progress);
    if (!plans)
        return std::nullopt;
    return plans->toVector();
}

std::optional<PlannedCards> planImport(const SourceCards& cards, store::ContactGroup group,
                                       const QString& region,
                                       const std::function<bool(const QString&)>& nameTaken,
                                       const std::function<bool(int, int)>& progress,
                                       const NumbersAhead* ahead) {
    // Three steps of one card each: its numbers gathered, read, the card fitted and its name
    // checked. Told by the clock, not for every card.
    const qsizetype count = qsizetype(cards.size());
    const int total = int(std::min<qsizetype>(count * 3, INT_MAX));
    QElapsedTimer sinceTold;
    sinceTold.start();
    auto tell = [&](int step, double share) {
        if (!sinceTold.hasExpired(ProgressEveryMs))
            return true;
        sinceTold.start();
        return progress(int((step + share) * total / 3), total);
    };
    if (!progress(0, total))
        return std::nullopt;
    // Reading a number is most of the work: a number written alike on several cards is read
    // once, the repeated ones first, on every core; then the cards are fitted, also on every
    // core, a number of one card alone read then (only the form stored is kept of it), and
    // their names checked for duplicates in file order. The work on every core goes in
    // slices, the progress told between them.
    constexpr size_t slice = 1024;
    // The numbers read while the file was read, for this region, need not be read again.
    const bool readAhead = ahead && ahead->region() == region;
    QHash<QString, qsizetype> repeated;
    std::vector<NumberFit> fits;
    if (!readAhead) {
        // The tables are made at their full size at once: growing one of a million entries
        // rehashes it all at a time, without a word to the window. The numbers are looked up as
        // the cards keep them, without a copy.
        QHash<QStringView, qsizetype> index; // every number; -1 while seen once
        index.reserve(count);
        std::vector<QString> numbers; // the repeated ones, in file order
        std::vector<QStringView> written;
        for (qsizetype c = 0; c < count; ++c) {
            cards.numbersOf(size_t(c), written);
            for (const QStringView number : written) {
                const auto seen = index.find(number);
                if (seen == index.end()) {
                    index.insert(number, -1);
                } else if (*seen < 0) {
                    *seen = qsizetype(numbers.size());
                    numbers.push_back(number.toString());
                }
            }
            if (size_t(c) % slice == 0 && !tell(0, double(c) / double(count)))
                return std::nullopt;
        }
        // Only the repeated numbers are looked up from here on: a million numbers of one card
        // each need not stay listed while the cards are fitted.
        repeated.reserve(qsizetype(numbers.size()));
        for (qsizetype at = 0; at < qsizetype(numbers.size()); ++at)
            repeated.insert(numbers[size_t(at)], at);
        index = {};
        fits.resize(numbers.size());
        for (size_t from = 0; from < fits.size(); from += slice) {
            const auto begin = fits.begin() + qsizetype(from);
            const auto end = fits.begin() + qsizetype(std::min(fits.size(), from + slice));
            QtConcurrent::blockingMap(begin, end, [&](NumberFit& fit) {
                fit = numberFit(numbers[size_t(&fit - fits.data())], region);
            });
            if (!tell(1, double(from) / double(fits.size())))
                return std::nullopt;
        }
    }
    const FitOf known = [&repeated, &fits, &region, ahead, readAhead](const QString& number) {
        if (readAhead) {
            if (std::optional<NumbersAhead::Fit> fit = ahead->fitOf(number))
                return NumberFit{fit->readable, std::move(fit->forms)};
        }
        const qsizetype at = repeated.value(number, -1);
        return at < 0 ? numberFit(number, region) : fits[size_t(at)];
    };
    // A slice of cards is made again and fitted on every core while the slice before has its
    // plans packed and its names checked here: only two slices' cards and plans are whole at a
    // time. The names already taken are looked up as the plans keep them.
    PlannedCards plans;
    QSet<QStringView> taken;
    taken.reserve(count);
    std::vector<PlannedCard> fitted[2];
    auto fit = [&](size_t from) {
        std::vector<PlannedCard>& into = fitted[(from / slice) % 2];
        into.assign(std::min(cards.size(), from + slice) - from, PlannedCard());
        return QtConcurrent::map(into, [&cards, &into, from, group, &known](PlannedCard& plan) {
            plan = fitCardWith(cards.at(from + size_t(&plan - into.data())), group, known);
        });
    };
    QFuture<void> fitting = cards.empty() ? QFuture<void>() : fit(0);
    // The slice being fitted reads what this function holds: it ends before the function does.
    const auto awaited = qScopeGuard([&fitting] { fitting.waitForFinished(); });
    for (size_t from = 0; from < cards.size(); from += slice) {
        fitting.waitForFinished();
        if (from + slice < cards.size())
            fitting = fit(from + slice);
        for (const PlannedCard& plan : fitted[(from / slice) % 2]) {
            const size_t c = plans.size();
            plans.push_back(plan);
            if (plan.outcome != Outcome::New)
                continue;
            const qsizetype before = taken.size();
            taken.insert(plans.nameOf(c));
            if (taken.size() == before || nameTaken(plan.name))
                plans.setOutcome(c, Outcome::Duplicate);
        }
        if (!tell(2, double(from) / double(cards.size())))
            return std::nullopt;
    }
    if (!progress(total, total))
        return std::nullopt;
    return plans;
}

} // namespace interchange
