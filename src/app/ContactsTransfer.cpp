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
    std::optional<interchange::PlannedCards> plans = interchange::planImport(
        m_cards, group, region, interchange::nameTakenIn(db, group), progress, m_ahead.get());
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
