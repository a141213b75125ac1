// The main window's vCard commands: the selected card to a file, a card from a file.
#include "app/FlexGrid.h"
#include "app/MainWindow.h"
#include "i18n/Messages.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"
#include "shell/Shared.h"
#include "store/Text.h"
#include "vcard/VCardCommands.h"

namespace app {

namespace {
vcard::Context vcardContext(mdlVesk::Shared& shared, const shell::Services& services,
                            shell::ContactGroup group, MainWindow& window) {
    return {shared.db, group, shared.AppTitle, services.prompter, *services.fileDialogs, [&window] {
                window.refreshList();
            }};
}
} // namespace

void MainWindow::exportVcard() {
    if (!m_services.fileDialogs)
        return;
    FlexGrid& g = *m_grid;
    g.setCurrentColumn(0);
    const QString selectedName = store::trimSpaces(g.currentText().right(20));
    const platform::Message ask{i18n::messages::confirmExportVcard(selectedName),
                                i18n::messages::systemMessage(), platform::Buttons::OkCancel,
                                platform::Icon::Question};
    if (m_services.prompter.ask(ask) != platform::Answer::Ok)
        return;
    // The card is reached by the identity its row carries, as the editor and the deletion do.
    vcard::ExportVcard(vcardContext(m_shared, m_services, currentGroup(), *this),
                       g.cardIdAt(g.currentRow()), g.cellText(g.currentRow(), 0));
}

void MainWindow::importVcard() {
    if (!m_services.fileDialogs)
        return;
    const platform::FileChoice choice =
        m_services.fileDialogs->open({QStringLiteral("VCARD (*.vcf)|*.vcf"), 1, {}});
    if (choice.isCancelled())
        return;
    if (choice.isFailed()) {
        m_services.prompter.tell(choice.description, m_shared.AppTitle,
                                 platform::Icon::Exclamation);
        return;
    }
    // The card goes to the list shown when the file was chosen.
    vcard::ImportVcard(vcardContext(m_shared, m_services, currentGroup(), *this), choice.path);
}

} // namespace app
