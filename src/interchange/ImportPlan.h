#pragma once

#include "interchange/Reason.h"
#include "interchange/SourceCard.h"
#include "store/ContactRecord.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What an import would do with each card read, decided before anything is written.
namespace interchange {

enum class Outcome { New, Duplicate, Refused };

// A number of the file that the card does not keep, and why.
struct NotKept {
    QString number;
    Reason reason;
    bool operator==(const NotKept&) const = default;
};

struct PlannedCard {
    int line = 0; // where the card begins in the file
    QString name; // as the file gives it, for the preview
    Outcome outcome = Outcome::Refused;
    store::ContactRecord card; // the values to store (New) or that were read
    std::vector<NotKept> notKept;
    Reason reason; // why the card is refused
};

// Entries of UTF-16 units kept in large blocks that never move, each found by its place: a
// million cards kept as QStrings would take a heap block for each of their texts.
class PackedTexts {
public:
    // Blocks of `blockUnits` units at least.
    explicit PackedTexts(size_t blockUnits = size_t(1) << 19) : m_blockUnits(blockUnits) {}
    // Room for an entry of at most `units` units; where it begins.
    char16_t* reserve(size_t units);
    // The entry reserved last, written up to `end`; its place.
    quint64 commit(const char16_t* end);
    const char16_t* at(quint64 place) const;
    void clear();

private:
    struct Block {
        std::unique_ptr<char16_t[]> units;
        size_t used = 0;
        size_t size = 0;
    };
    std::vector<Block> m_blocks;
    size_t m_blockUnits;
};

// The cards read from a file, kept packed until they are planned; each card made again when
// it is asked for, as it was given.
class SourceCards {
public:
    void push_back(const SourceCard& card);
    size_t size() const { return m_places.size(); }
    bool empty() const { return m_places.empty(); }
    SourceCard at(size_t i) const;
    // The numbers of card i as written, without the card being made again; they stay valid
    // as long as the cards do.
    void numbersOf(size_t i, std::vector<QStringView>& numbers) const;
    void clear();

private:
    PackedTexts m_texts;
    std::vector<quint64> m_places;
    QHash<size_t, Reason> m_malformed; // by card
};

// The numbers of cards being read, each distinct one read for a region on every core while
// the reading goes on, what the plan needs of it kept packed: the plan for that region then
// takes them from here instead of reading them itself.
class NumbersAhead {
public:
    // Once `stop` is set (from any thread: the cards will not be planned), the numbers not
    // read yet are not read at all.
    explicit NumbersAhead(const QString& region, const std::atomic<bool>* stop = nullptr);
    ~NumbersAhead();
    NumbersAhead(const NumbersAhead&) = delete;
    NumbersAhead& operator=(const NumbersAhead&) = delete;
    const QString& region() const { return m_region; }
    // The numbers of the cards packed since the last call, from the thread that packs them;
    // they must stay packed as long as this lives.
    void added(const SourceCards& cards);
    // Every number handed over read; from the same thread.
    void finish();

    struct Fit {
        bool readable = false;
        std::optional<QStringList> forms;
    };
    // What was read of the number; nothing for a number never handed over.
    std::optional<Fit> fitOf(QStringView number) const;

private:
    struct Batch;
    void startBatch();

    QString m_region;
    std::atomic<bool> m_never = false;
    const std::atomic<bool>* m_stop;
    size_t m_cardsSeen = 0;
    QHash<QStringView, quint64> m_index; // batch << 32 | entry
    std::vector<QStringView> m_pending;
    std::vector<std::unique_ptr<Batch>> m_batches;
};

// The plans of a file's cards, kept packed: a card whose plan says no more than its values is
// a few dozen bytes; one with numbers not kept or a reason is kept whole.
class PlannedCards {
public:
    void push_back(const PlannedCard& plan);
    size_t size() const { return m_outcomes.size(); }
    bool empty() const { return m_outcomes.empty(); }
    PlannedCard at(size_t i) const;
    Outcome outcome(size_t i) const { return Outcome(m_outcomes[i]); }
    // The plan of card i replaced by this one (a card refused by the store, or found a
    // duplicate when written).
    void replace(size_t i, const PlannedCard& plan);
    // The name as the file gives it; valid as long as the plans are.
    QStringView nameOf(size_t i) const;
    void setOutcome(size_t i, Outcome outcome) { m_outcomes[i] = quint8(outcome); }
    std::vector<PlannedCard> toVector() const;

private:
    PackedTexts m_texts;
    std::vector<quint64> m_places;
    std::vector<quint8> m_outcomes;
    QHash<size_t, PlannedCard> m_whole; // by card, those kept whole
};

// The card fitted to the group: numbers placed by kind and fitted to their fields, the
// store's widths checked. Refused, with the reason, when it cannot be stored whole; never a
// duplicate (that takes the file, see planImport).
PlannedCard fitCard(const SourceCard& source, store::ContactGroup group, const QString& region);

// Every card fitted; a card whose trimmed name the group already holds, or an earlier card of
// the file took, is a duplicate.
std::vector<PlannedCard> planImport(const std::vector<SourceCard>& cards, store::ContactGroup group,
                                    const QString& region,
                                    const std::function<bool(const QString&)>& nameTaken);

// How often a long step tells its progress, at most.
inline constexpr int ProgressEveryMs = 50;

// The same in slices, so that the window asking stays alive: `progress(done, total)` is told
// from the calling thread before the first card, at most every ProgressEveryMs, and at the
// end. Nothing when it returns false.
std::optional<std::vector<PlannedCard>>
planImport(const std::vector<SourceCard>& cards, store::ContactGroup group, const QString& region,
           const std::function<bool(const QString&)>& nameTaken,
           const std::function<bool(int, int)>& progress);
// The same for the cards kept packed, the plans packed too; their numbers taken from `ahead`
// when it read them for this region.
std::optional<PlannedCards> planImport(const SourceCards& cards, store::ContactGroup group,
                                       const QString& region,
                                       const std::function<bool(const QString&)>& nameTaken,
                                       const std::function<bool(int, int)>& progress,
                                       const NumbersAhead* ahead = nullptr);

} // namespace interchange
