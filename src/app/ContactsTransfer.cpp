#include "app/ContactsTransfer.h"

#include "i18n/Messages.h"
#include "interchange/CsvReader.h"
#include "interchange/Export.h"
#include "interchange/PhoneBookFile.h"
#include "interchange/PhoneFit.h"
#include "interchange/VcfReader.h"
#include "shell/Settings.h"
#include "store/ContactDatabase.h"
#include "store/Sqlite.h"

#include <QFile>
#include <QLocale>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace app {

namespace {
const QString sSettings = QStringLiteral("Settings");
const QString sHomeRegion = QStringLiteral("HomeRegion");

bool isCsv(const QString& path) {
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

// The names a group holds, each trimmed of blanks as the duplicate check trims them, kept as
// bits of a table by a hash of their UTF-8 with ASCII letters in lower case (the check compares
// exactly, or at most without ASCII case): a name whose bit is clear is not taken, and only
// the others need the check's own look-up, one query each.
class NamesHeld {
public:
    NamesHeld(store::Connection& db, store::ContactGroup group) {
        store::Statement st = db.prepare(
            QStringLiteral("SELECT trim(\"Name\", ' ') FROM %1").arg(store::tableOf(group)));
        std::vector<quint64> hashes;
        while (st.step()) {
            const QByteArrayView name = st.utf8(0);
            if (!name.isNull())
                hashes.push_back(hashOf(name));
        }
        size_t bits = 64;
        while (bits < hashes.size() * 16)
            bits *= 2;
        m_bits.assign(bits / 64, 0);
        for (const quint64 hash : hashes)
            set(hash);
    }
    bool mayHold(const QString& trimmedName) const {
        const quint64 at = hashOf(trimmedName.toUtf8()) & (m_bits.size() * 64 - 1);
        return m_bits[size_t(at / 64)] & (quint64(1) << (at % 64));
    }

private:
    static quint64 hashOf(QByteArrayView utf8) {
        quint64 hash = 14695981039346656037u; // FNV-1a
        for (const char c : utf8) {
            hash ^= quint64(quint8(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
            hash *= 1099511628211u;
        }
        return hash;
    }
    void set(quint64 hash) {
        const quint64 at = hash & (m_bits.size() * 64 - 1);
        m_bits[size_t(at / 64)] |= quint64(1) << (at % 64);
    }
    std::vector<quint64> m_bits;
};
} // namespace

ContactsImport::ContactsImport(store::ContactDatabase& db, QSettings& settings)
    : m_db(db), m_settings(settings) {}

QString ContactsImport::read(const QString& path, int lang, store::ContactGroup group,
                             const std::optional<QString>& region) {
    m_ahead.reset();
    m_cards.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    // Each card packed as soon as it is read: a million of them whole would take gigabytes.
    if (region)
        m_ahead = std::make_unique<interchange::NumbersAhead>(*region, &m_abandoned);
    const interchange::CardSink pack = [this](interchange::SourceCard&& card) {
        m_cards.push_back(card);
        if (m_ahead)
            m_ahead->added(m_cards);
    };
    interchange::SourceFile read = interchange::isPhoneBookFile(path, file)
                                       ? interchange::readPhoneBook(path, group, m_jetReader)
                                   : isCsv(path) ? interchange::readCsv(file, pack)
                                                 : interchange::readVcf(file, pack);
    for (interchange::SourceCard& card : read.cards)
        pack(std::move(card));
    read.cards = {};
    if (m_ahead)
        m_ahead->finish();
    m_problems = std::move(read.problems);
    if (!read.error.isEmpty()) {
        m_ahead.reset();
        m_cards.clear();
        return read.error;
    }
    if (!m_cards.empty())
        return {};
    return m_problems.empty()
               ? i18n::messages::importNoCards(lang)
               : i18n::messages::importUnreadable(m_problems.front().reason.text(lang), lang);
}

void ContactsImport::abandon() {
    m_abandoned = true;
}

QString ContactsImport::homeRegion(bool hebrewInterface) const {
    const shell::SettingsStore settings(m_settings);
    return interchange::homeRegion(settings.text(sSettings, sHomeRegion).value_or(QString()),
                                   QLocale::system(), hebrewInterface);
}

void ContactsImport::keepHomeRegion(const QString& region) {
    shell::SettingsStore(m_settings).setText(sSettings, sHomeRegion, region);
}

std::optional<std::vector<interchange::PlannedCard>>
ContactsImport::plan(store::ContactGroup group, const QString& region,
                     const std::function<bool(int, int)>& progress) const {
    std::optional<interchange::PlannedCards> plans = planPacked(group, region, progress);
    if (!plans)
        return std::nullopt;
    return plans->toVector();
}

std::optional<interchange::PlannedCards>
ContactsImport::planPacked(store::ContactGroup group, const QString& region,
                           const std::function<bool(int, int)>& progress) const {
    // One read of the file for every name asked about. A plan that fails leaves none whose
    // names the write could trust.
    m_planned.reset();
    store::Connection& db = m_db.connection();
    const store::Transaction snapshot(db, store::Transaction::Read);
    const interchange::BookState seen = interchange::bookState(db);
    const NamesHeld held(db, group);
    std::optional<interchange::PlannedCards> plans = interchange::planImport(
        m_cards, group, region,
        [&db, group, &held](const QString& name) {
            return held.mayHold(name) && store::NameTaken(db, group, name);
        },
        progress, m_ahead.get());
    if (!plans)
        return plans;
    m_planned = seen;
    // Another plan for this region reads its numbers itself, as one for another region does.
    if (m_ahead && m_ahead->region() == region) {
        m_ahead.reset();
        returnFreedMemory();
    }
    return plans;
}

std::optional<interchange::ImportTally>
ContactsImport::write(std::vector<interchange::PlannedCard>& plans,
                      const std::function<bool(int, int)>& progress) {
    return interchange::writeImport(m_db.connection(), plans, progress, m_planned);
}

std::optional<interchange::ImportTally>
ContactsImport::write(interchange::PlannedCards& plans,
                      const std::function<bool(int, int)>& progress) {
    // The plans hold all the write needs: the cards read are let go first.
    m_ahead.reset();
    m_cards.clear();
    returnFreedMemory();
    return interchange::writeImport(m_db.connection(), plans, progress, m_planned);
}

void returnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

ExportOutcome exportContacts(store::ContactDatabase& db, store::ContactGroup group,
                             const std::vector<qint64>& cardIds, const QString& path) {
    std::vector<store::ContactRecord> cards;
    cards.reserve(cardIds.size());
    for (const qint64 id : cardIds)
        if (auto card = store::ReadContact(db.connection(), group, id))
            cards.push_back(std::move(*card));
    const QByteArray bytes =
        isCsv(path) ? interchange::exportCsv(cards, group) : interchange::exportVcf(cards);
    return {int(cards.size()), interchange::writeWhole(path, bytes)};
}

} // namespace app
