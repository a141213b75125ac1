// The main window's address-book commands: many cards in from a vCard or CSV file, with a
// preview first, and the list shown out to one. The reading, planning and writing are
// ContactsImport's and exportContacts'; the window asks, previews, shows progress and tells.
#include "app/ContactsTransfer.h"
#include "app/FlexGrid.h"
#include "app/MainWindow.h"
#include "i18n/Messages.h"
#include "i18n/StringTable.h"
#include "interchange/ImportPreview.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"
#include "shell/Shared.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <memory>

namespace app {

namespace {

// The busy cursor while a file is read or its cards planned.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The progress of a long step of the import, with Qt's own Cancel button, in the language of
// the interface, shown once the step has taken `delay`.
void setUpProgress(QProgressDialog& progress, int lang, int total,
                   std::chrono::milliseconds delay) {
    progress.setObjectName(QStringLiteral("ImportProgress"));
    progress.setLabelText(i18n::messages::importProgress(lang));
    // Named like the preview it follows, for screen readers as for the eye.
    progress.setWindowTitle(i18n::text(lang, i18n::off::importTitle));
    auto* bar = new QProgressBar(&progress);
    bar->setAccessibleName(i18n::messages::importProgress(lang));
    progress.setBar(bar);
    progress.setRange(0, total);
    // Reaching the end does not reset the window, which would forget a Cancel pressed while
    // the last progress was told; it is reset once the step is over.
    progress.setAutoReset(false);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(int(delay.count()));
}

} // namespace

void MainWindow::importAddressBook() {
    if (!m_services.fileDialogs)
        return;
    const platform::FileChoice choice = m_services.fileDialogs->open(
        {QStringLiteral("Contacts (*.vcf *.csv *.mdb)|*.vcf;*.csv;*.mdb|vCard (*.vcf)|*.vcf|CSV "
                        "(*.csv)|*.csv|Phone book (*.mdb)|*.mdb"),
         1,
         {}});
    const Group group = currentGroup();
    if (choice.isCancelled() || group == Group::None)
        return;
    auto import = std::make_shared<ContactsImport>(m_shared.db, m_services.settings);
    std::optional<BusyCursor> busy(std::in_place); // from the first moment, until a message
    // The numbers are read for the home region while the file is read.
    const QString region = import->homeRegion(m_shared.CurrentLang == i18n::LangHebrew);
    QString unreadable = choice.description;
    if (!choice.isFailed()) {
        // The file is read on a thread of its own, the window alive meanwhile with the
        // progress window, whose Cancel leaves the reading to end unheard.
        auto read = std::make_shared<QString>();
        QThread* reader =
            QThread::create([import, read, path = choice.path, lang = m_shared.CurrentLang, group,
                             region] { *read = import->read(path, lang, group, region); });
        QProgressDialog progress(this);
        setUpProgress(progress, m_shared.CurrentLang, 0, m_services.progressDelay);
        QEventLoop waiting;
        bool ended = false;
        connect(reader, &QThread::finished, &waiting, [&waiting, &ended] {
            ended = true;
            waiting.quit();
        });
        connect(reader, &QThread::finished, reader, &QObject::deleteLater);
        connect(&progress, &QProgressDialog::canceled, &waiting, &QEventLoop::quit);
        reader->start();
        // Until the progress window shows, the main window takes no input, as while it was
        // busy: nothing can be done there meanwhile that the import does not expect.
        QTimer::singleShot(m_services.progressDelay, &waiting, &QEventLoop::quit);
        waiting.exec(QEventLoop::ExcludeUserInputEvents);
        if (!ended) {
            progress.show(); // window-modal: its Cancel ends the waiting
            waiting.exec();
        }
        if (!ended) {
            import->abandon(); // its numbers no longer read ahead on every core
            return;
        }
        unreadable = *read;
    }
    busy.reset();
    if (!unreadable.isEmpty()) {
        m_services.prompter.tell(unreadable, m_shared.AppTitle, platform::Icon::Exclamation);
        return;
    }
    auto plan = [this, import,
                 group](const QString& home) -> std::optional<interchange::PlannedCards> {
        try {
            const BusyCursor busy;
            // Over the preview when it asks again for another region.
            QWidget* over = QApplication::activeModalWidget();
            QProgressDialog progress(over ? over : this);
            setUpProgress(progress, m_shared.CurrentLang, 0, m_services.progressDelay);
            return import->planPacked(group, home, [&progress](int done, int total) {
                progress.setMaximum(total);
                progress.setValue(done); // lets the window's events, the cancel among them, run
                return !progress.wasCanceled();
            });
        } catch (const store::StoreError& e) {
            m_services.prompter.tell(e.description(), i18n::messages::errorMessage(),
                                     platform::Icon::Critical);
            return std::nullopt;
        }
    };
    std::optional<interchange::PlannedCards> plans = plan(region);
    if (!plans)
        return;
    // The preview is window-modal and does not block. Its OK takes the cards as last planned
    // and keeps a region chosen there; the import itself runs once the preview has closed
    // (queued: the progress window lets events through, the preview's own deletion among
    // them, while the preview is still emitting its signals).
    auto* preview = new interchange::ImportPreview(std::move(*plans), import->problems(), region,
                                                   plan, m_shared.CurrentLang, this);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    connect(preview, &QDialog::accepted, this, [this, preview, import, region] {
        if (preview->region() != region)
            import->keepHomeRegion(preview->region());
        auto chosen = std::make_shared<interchange::PlannedCards>(preview->takePlans());
        QMetaObject::invokeMethod(
            this, [this, import, chosen] { writeImport(*import, *chosen); }, Qt::QueuedConnection);
    });
    preview->open();
}

void MainWindow::writeImport(ContactsImport& import, interchange::PlannedCards& plans) {
    QProgressDialog progress(this);
    setUpProgress(progress, m_shared.CurrentLang, int(plans.size()), m_services.progressDelay);
    std::optional<interchange::ImportTally> tally;
    try {
        tally = import.write(plans, [&progress](int done, int) {
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
    plans = {}; // written: the list filled again need not share the memory with them
    returnFreedMemory();
    refreshList();
    m_services.prompter.tell(interchange::importSummary(*tally, m_shared.CurrentLang),
                             m_shared.AppTitle);
}

void MainWindow::exportAddressBook() {
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
    std::vector<qint64> cardIds;
    const FlexGrid& g = *m_grid;
    for (int row = 1; row < g.rowCount(); ++row)
        if (g.isCardRow(row))
            cardIds.push_back(g.cardIdAt(row));
    ExportOutcome exported;
    try {
        exported = exportContacts(m_shared.db, group, cardIds, choice.path);
    } catch (const store::StoreError& e) {
        m_services.prompter.tell(e.description(), i18n::messages::errorMessage(),
                                 platform::Icon::Critical);
        return;
    }
    if (exported.failure.isEmpty())
        m_services.prompter.tell(i18n::messages::contactsExported(exported.cards, choice.path),
                                 m_shared.AppTitle);
    else
        m_services.prompter.tell(
            i18n::messages::contactsExportFailed(choice.path, exported.failure), m_shared.AppTitle,
            platform::Icon::Exclamation);
}

} // namespace app
