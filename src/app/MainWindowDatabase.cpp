// The main window's commands that export the contact file and replace it by another one.
#include "app/MainWindow.h"
#include "i18n/Messages.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"
#include "search/SearchWindow.h"
#include "shell/Shared.h"
#include "shell/StoreMessages.h"
#include "store/DatabaseCopy.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>

#include <optional>

namespace app {

namespace {

namespace messages = i18n::messages;
using platform::Buttons;
using platform::FileChoice;
using platform::Icon;

const QString mdbFilter = QStringLiteral("Microsoft Database (*.mdb)|*.mdb");
const QString oldFilter = QStringLiteral("Backup Database (*.old)|*.old");
const QString proposedName = QStringLiteral("VESK.MDB");

// The export proposes VESK.MDB in the user's documents folder (home when there is none): in
// the program folder that name is the open file itself.
QString exportProposal() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(proposedName);
}

// A dialog that failed shows why; a cancel ends the command without a word.
bool chosen(const FileChoice& choice, platform::Prompter& prompter, const QString& title) {
    if (choice.isFailed())
        prompter.tell(choice.description, title, Icon::Exclamation);
    return choice.isChosen();
}

} // namespace

void MainWindow::exportDatabase() {
    if (!m_services.fileDialogs)
        return;
    platform::Prompter& prompter = m_services.prompter;
    const QString& title = m_shared.AppTitle;
    // The command asks about an existing file in its own words, after trying without.
    const FileChoice choice = m_services.fileDialogs->save({mdbFilter, 1, exportProposal()},
                                                           platform::Overwrite::DontConfirm);
    if (!chosen(choice, prompter, title))
        return;
    const QString target = QDir::toNativeSeparators(choice.path);
    const QString database = m_shared.programFolder + proposedName;

    auto copy = [&](bool overwrite) {
        return store::ExportDatabase(m_shared.db, database, choice.path, overwrite);
    };
    std::optional<store::CopyFailure> failure = copy(false);
    // Only a file that is there is offered for overwriting; "No" leaves the export failed
    // with "File already exists".
    if (failure && failure->reason == store::CopyFailure::Reason::TargetExists) {
        const platform::Message ask{messages::overwriteQuestion(target), title, Buttons::YesNo,
                                    Icon::Question};
        if (prompter.ask(ask) == platform::Answer::Yes)
            failure = copy(true);
    }
    if (failure)
        prompter.tell(messages::exportFailed(shell::copyFailureReason(*failure)), title,
                      Icon::Exclamation);
    else
        prompter.tell(messages::exportSucceeded(target), title);
}

void MainWindow::importDatabase() {
    if (!m_services.fileDialogs)
        return;
    platform::Prompter& prompter = m_services.prompter;
    const QString& title = m_shared.AppTitle;
    const platform::Message warn{messages::importQuestion(m_shared.CrLf), messages::systemWarning(),
                                 Buttons::YesNo, Icon::Question};
    if (prompter.ask(warn) != platform::Answer::Yes)
        return;
    const FileChoice choice =
        m_services.fileDialogs->open({mdbFilter + u'|' + oldFilter, 1, proposedName});
    if (!chosen(choice, prompter, title))
        return;

    // The chosen file is checked before anything is replaced; a file that is no phone book
    // of this version leaves VESK.MDB and Vesk.old as they were, and the database open.
    const std::optional<store::CopyFailure> failure =
        store::ImportDatabase({m_shared.db, m_shared.programFolder, choice.path});
    m_indexBox->clear();
    refreshList();
    // An open search window lists the cards of the file now open, not those of the old one.
    if (m_search)
        m_search->relist();
    if (!failure)
        afterDatabaseReplaced();
    if (failure)
        prompter.tell(messages::importFailed(shell::copyFailureReason(*failure)), title,
                      Icon::Exclamation);
    else
        prompter.tell(messages::importSucceeded(QDir::toNativeSeparators(choice.path)), title);
}

} // namespace app
