// The main window's address-book commands: many cards in from a vCard or CSV file, with a
// preview first, and the list shown out to one.
#include "app/FlexGrid.h"
#include "app/MainWindow.h"
#include "i18n/Messages.h"
#include "i18n/StringTable.h"
#include "interchange/CsvReader.h"
#include "interchange/Export.h"
#include "interchange/ImportPreview.h"
#include "interchange/ImportWriter.h"
#include "interchange/PhoneFit.h"
#include "interchange/VcfReader.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"
#include "shell/Shared.h"
#include "store/ContactDatabase.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

#include <QFile>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSettings>

#include <memory>

namespace app {

namespace {
bool isCsv(const QString& path) {
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}
} // namespace

void MainWindow::mnuImportContacts_Click() {
    if (!m_services.fileDialogs)
        return;
    const platform::FileChoice choice = m_services.fileDialogs->open(
        {QStringLiteral("Contacts (*.vcf *.csv)|*.vcf;*.csv|vCard (*.vcf)|*.vcf|CSV (*.csv)|*.csv"),
         1,
         {}});
    const Group group = currentGroup();
    if (choice.isCancelled() || group == Group::None)
        return;
    QFile file(choice.path);
    if (choice.isFailed() || !file.open(QIODevice::ReadOnly)) {
        m_services.prompter.tell(choice.isFailed() ? choice.description : file.errorString(),
                                 m_shared.AppTitle, platform::Icon::Exclamation);
        return;
    }
    interchange::SourceFile read =
        isCsv(choice.path) ? interchange::readCsv(file) : interchange::readVcf(file);
    if (!read.error.isEmpty() || read.cards.empty()) {
        const int lang = m_shared.CurrentLang;
        const QString text =
            !read.error.isEmpty() ? read.error
            : read.problems.empty()
                ? i18n::messages::importNoCards(lang)
                : i18n::messages::importUnreadable(read.problems.front().reason.text(lang), lang);
        m_services.prompter.tell(text, m_shared.AppTitle, platform::Icon::Exclamation);
        return;
    }
    const QString region = interchange::homeRegion(
        m_services.settings.value(QStringLiteral("Settings/HomeRegion")).toString(),
        QLocale::system(), m_shared.CurrentLang == i18n::LangHebrew);
    auto cards = std::make_shared<std::vector<interchange::SourceCard>>(std::move(read.cards));
    auto plan = [this, cards, group](
                    const QString& home) -> std::optional<std::vector<interchange::PlannedCard>> {
        try {
            // One read of the file for every name asked about.
            store::Connection& db = m_shared.db.connection();
            const store::Transaction snapshot(db, store::Transaction::Read);
            return interchange::planImport(*cards, group, home, [&db, group](const QString& name) {
                return store::NameTaken(db, group, name);
            });
        } catch (const store::StoreError& e) {
            m_services.prompter.tell(e.description(), i18n::messages::errorMessage(),
                                     platform::Icon::Critical);
            return std::nullopt;
        }
    };
    std::optional<std::vector<interchange::PlannedCard>> plans = plan(region);
    if (!plans)
        return;
    // The preview is window-modal and does not block. Its OK takes the cards as last planned
    // and keeps a region chosen there; the import itself runs once the preview has closed
    // (queued: the progress window lets events through, the preview's own deletion among
    // them, while the preview is still emitting its signals).
    auto* preview = new interchange::ImportPreview(std::move(*plans), read.problems, region, plan,
                                                   m_shared.CurrentLang, this);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    connect(preview, &QDialog::accepted, this, [this, preview, region] {
        if (preview->region() != region)
            m_services.settings.setValue(QStringLiteral("Settings/HomeRegion"), preview->region());
        auto chosen = std::make_shared<std::vector<interchange::PlannedCard>>(preview->plans());
        QMetaObject::invokeMethod(
            this, [this, chosen] { importContacts(*chosen); }, Qt::QueuedConnection);
    });
    preview->open();
}

void MainWindow::importContacts(std::vector<interchange::PlannedCard>& plans) {
    // Qt's own Cancel button, in the language of the interface.
    QProgressDialog progress(this);
    progress.setObjectName(QStringLiteral("ImportProgress"));
    progress.setLabelText(i18n::messages::importProgress(m_shared.CurrentLang));
    // Named like the preview it follows, for screen readers as for the eye.
    progress.setWindowTitle(i18n::text(m_shared.CurrentLang, i18n::off::importTitle));
    auto* bar = new QProgressBar(&progress);
    bar->setAccessibleName(i18n::messages::importProgress(m_shared.CurrentLang));
    progress.setBar(bar);
    progress.setRange(0, int(plans.size()));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(int(m_services.progressDelay.count()));
    std::optional<interchange::ImportTally> tally;
    try {
        tally =
            interchange::writeImport(m_shared.db.connection(), plans, [&progress](int done, int) {
                progress.setValue(done); // lets the window's events, the cancel among them, run
                return !progress.wasCanceled();
            });
    } catch (const store::StoreError& e) {
        m_services.prompter.tell(e.description(), i18n::messages::errorMessage(),
                                 platform::Icon::Critical);
        return;
    }
    progress.reset();
    if (!tally) {
        m_services.prompter.tell(i18n::messages::importCancelled(m_shared.CurrentLang),
                                 m_shared.AppTitle);
        return;
    }
    update_list();
    m_services.prompter.tell(interchange::importSummary(*tally, m_shared.CurrentLang),
                             m_shared.AppTitle);
}

void MainWindow::mnuExportContacts_Click() {
    if (!m_services.fileDialogs)
        return;
    const Group group = currentGroup();
    const platform::FileChoice choice =
        m_services.fileDialogs->save({QStringLiteral("vCard 3.0 (*.vcf)|*.vcf|CSV (*.csv)|*.csv"),
                                      1, QStringLiteral("contacts.vcf")});
    if (choice.isCancelled() || group == Group::None)
        return;
    if (choice.isFailed()) {
        m_services.prompter.tell(choice.description, m_shared.AppTitle,
                                 platform::Icon::Exclamation);
        return;
    }
    // The cards as the grid shows them: its group, letter and order.
    std::vector<store::ContactRecord> cards;
    const FlexGrid& g = *MSHFlexGrid1;
    try {
        for (int row = 1; row < g.Rows(); ++row) {
            if (!g.isCardRow(row))
                continue;
            if (auto card = store::ReadContact(m_shared.db.connection(), group, g.cardIdAt(row)))
                cards.push_back(*card);
        }
    } catch (const store::StoreError& e) {
        m_services.prompter.tell(e.description(), i18n::messages::errorMessage(),
                                 platform::Icon::Critical);
        return;
    }
    const QByteArray bytes =
        isCsv(choice.path) ? interchange::exportCsv(cards, group) : interchange::exportVcf(cards);
    const QString failure = interchange::writeWhole(choice.path, bytes);
    if (failure.isEmpty())
        m_services.prompter.tell(i18n::messages::contactsExported(int(cards.size()), choice.path),
                                 m_shared.AppTitle);
    else
        m_services.prompter.tell(i18n::messages::contactsExportFailed(choice.path, failure),
                                 m_shared.AppTitle, platform::Icon::Exclamation);
}

} // namespace app
