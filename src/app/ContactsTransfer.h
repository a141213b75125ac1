#pragma once

#include "interchange/ImportPlan.h"
#include "interchange/ImportWriter.h"
#include "store/ContactRecord.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSettings;

namespace store {
class ContactDatabase;
}

namespace app {

// An address book (a vCard or CSV file, or a whole phone book) brought into the open contact
// file: read, its cards planned for a group, the chosen ones written in one transaction. No
// widgets: the window asks for the file and shows the preview, the progress and every message.
// Errors of the store come as StoreError.
class ContactsImport {
public:
    ContactsImport(store::ContactDatabase& db, QSettings& settings);

    // Reads the file: a phone book by its header (the old program's Access file or this
    // program's own, whose cards of `group`'s table are read), else CSV by its extension, else
    // vCard. What to tell the user when it gives no card to import: why it cannot be read, or
    // that it holds no card, in the interface's language `lang`; empty when it does.
    // With a region, the numbers are read for it as the file is read, on every core, so that
    // a plan for that region need not read them.
    QString read(const QString& path, int lang,
                 store::ContactGroup group = store::ContactGroup::Personal,
                 const std::optional<QString>& region = std::nullopt);
    // From any thread, while `read` runs on another: the cards will not be planned, so their
    // numbers are no longer read ahead (the reading itself ends as it would).
    void abandon();
    // The program that reads Access (Jet) files; by default the one beside the program.
    void setJetReader(const QString& program) { m_jetReader = program; }
    // The file's lines that belong to no card.
    const std::vector<interchange::FileProblem>& problems() const { return m_problems; }

    // The region whose numbers are written in national form: the one kept from the last
    // import, else the system's, else Israel while the interface is Hebrew.
    QString homeRegion(bool hebrewInterface) const;
    // Keeps a region chosen in the preview for the imports to come.
    void keepHomeRegion(const QString& region);

    // The cards read, fitted to the group's fields for the region and checked against the
    // names the group holds, in one read of the file; `progress(done, total)` is told as
    // planImport tells it. Nothing when it cancels.
    std::optional<std::vector<interchange::PlannedCard>>
    plan(store::ContactGroup group, const QString& region,
         const std::function<bool(int, int)>& progress) const;
    // The same, the plans kept packed (a million cards' plans whole would take gigabytes).
    // The numbers read with the file are let go once a plan for their region took them.
    std::optional<interchange::PlannedCards>
    planPacked(store::ContactGroup group, const QString& region,
               const std::function<bool(int, int)>& progress) const;
    // Writes the new cards of the plan; nothing when `progress(done, total)` cancels, and
    // then nothing is written. The names are checked again only when the file changed since
    // the last plan.
    std::optional<interchange::ImportTally> write(std::vector<interchange::PlannedCard>& plans,
                                                  const std::function<bool(int, int)>& progress);
    // The same for packed plans; the cards read are let go first, so that no other plan can
    // be made of them.
    std::optional<interchange::ImportTally> write(interchange::PlannedCards& plans,
                                                  const std::function<bool(int, int)>& progress);

private:
    store::ContactDatabase& m_db;
    QSettings& m_settings;
    interchange::SourceCards m_cards; // packed as they are read
    std::atomic<bool> m_abandoned = false;
    // Their numbers, read as they came; let go once a plan took them.
    mutable std::unique_ptr<interchange::NumbersAhead> m_ahead;
    std::vector<interchange::FileProblem> m_problems;
    QString m_jetReader;
    mutable std::optional<interchange::BookState> m_planned; // what the last plan checked
};

// The memory freed since the last call given back to the system: glibc keeps freed blocks
// resident, and those of a long import would stay so while the list is filled again.
void returnFreedMemory();

struct ExportOutcome {
    int cards = 0;   // how many were written
    QString failure; // why the file could not be written; empty when it was
};

// The group's cards with these identities, read in this order (one no longer stored is left
// out), written whole to a vCard file, or a CSV file by the extension.
ExportOutcome exportContacts(store::ContactDatabase& db, store::ContactGroup group,
                             const std::vector<qint64>& cardIds, const QString& path);

} // namespace app
