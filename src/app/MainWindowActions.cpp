// The main window's commands as actions: made once, placed in the menu bar, the grid's context
// menu, the notification-area menu and on the buttons, captioned in each language, enabled in
// one place, and connected to their handlers.
#include "app/FlexGrid.h"
#include "app/LetterTabs.h"
#include "app/MainWindow.h"
#include "i18n/StringTable.h"
#include "report/ReportPreview.h"
#include "sync/SyncTexts.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QToolButton>

namespace app {

namespace {

// Qt keeps one accessible interface per action, placed in the menu that first asked for it:
// an action in two menus would tell screen readers the other menu's place, visibility and
// focus. Before a menu shows, its items' interfaces are made anew, in that menu.
void claimAccessibleItems(QMenu* menu) {
    for (QAction* action : menu->actions()) {
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(action);
        QAccessibleInterface* owner = item ? item->parent() : nullptr;
        if (owner && owner->object() != menu)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(item));
    }
}

} // namespace

void MainWindow::buildActions() {
    // An action keeps the object name of its menu bar item, for assistive technology and tests.
    auto action = [this](const char* name, bool checkable = false) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(checkable);
        return a;
    };
    Actions& a = m_actions;
    a.add = action("mnuAdd");
    a.edit = action("mnuEdit");
    a.remove = action("mnuDel");
    a.print = action("mnuPrint");
    a.exit = action("mnuExit");
    a.importAddressBook = action("mnuImportContacts");
    a.exportAddressBook = action("mnuExportContacts");
    a.dial = action("mnuDialingNum");
    a.dialCell = action("popDialing");
    a.sendMail = action("mnuSendMail");
    a.importVcard = action("mnuImportVcard");
    a.exportVcard = action("mnuExportVcard");
    // The same words in both languages.
    a.importVcard->setText(QStringLiteral("Import vCard..."));
    a.exportVcard->setText(QStringLiteral("Export vCard..."));
    a.importDatabase = action("mnuImportDB");
    a.exportDatabase = action("mnuExportDB");
    a.liveUpdate = action("mnuEnableLiveUpdate", true);
    a.checkForUpdate = action("mnuCheckVersionUpdate");
    a.showAll = action("mnuAll");
    a.search = action("mnuSearch");
    a.hebrew = action("mnuLangHebrew", true);
    a.english = action("mnuLangEnglish", true);
    a.showQuery = action("mnuDbg", true);
    a.about = action("mnuAbout");
    a.synchronise = action("mnuSynchronise");
    a.restore = action("mPopRestore");
    a.traySearch = action("mpopSearch");

    // The buttons are the commands' own: the same action, showing the button's caption.
    const std::pair<QToolButton*, QAction*> buttons[] = {
        {m_addButton, a.add},       {m_searchButton, a.search}, {m_dialButton, a.dialCell},
        {m_mailButton, a.sendMail}, {m_allButton, a.showAll},   {m_deleteButton, a.remove},
        {m_quitButton, a.exit}};
    for (const auto& [button, command] : buttons)
        button->setDefaultAction(command);
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));
    auto menu = [bar](const QString& name) {
        QMenu* m = bar->addMenu(QString());
        m->setObjectName(name);
        m->menuAction()->setObjectName(name + QStringLiteral("Menu"));
        return m;
    };
    // Items in the order they are shown; null stands for a separator.
    auto fill = [](QMenu* m, std::initializer_list<QAction*> items) {
        for (QAction* item : items) {
            if (item)
                m->addAction(item);
            else
                m->addSeparator();
        }
    };
    const Actions& a = m_actions;
    m_fileMenu = menu(QStringLiteral("mnuFile"));
    fill(m_fileMenu, {a.add, a.edit, a.remove, nullptr, a.print, nullptr, a.exit, nullptr,
                      a.importAddressBook, a.exportAddressBook});
    m_optionMenu = menu(QStringLiteral("mnuOption"));
    fill(m_optionMenu,
         {a.dial, a.sendMail, nullptr, a.importVcard, a.exportVcard, nullptr, a.importDatabase,
          a.exportDatabase, nullptr, a.synchronise, nullptr, a.liveUpdate, a.checkForUpdate});
    m_viewMenu = menu(QStringLiteral("mnuView"));
    fill(m_viewMenu, {a.showAll, a.search, nullptr});
    m_languageMenu = m_viewMenu->addMenu(QString());
    m_languageMenu->setObjectName(QStringLiteral("mnuSetLang"));
    fill(m_languageMenu, {a.hebrew, a.english});
    fill(m_viewMenu, {nullptr, a.showQuery});
    m_helpMenu = menu(QStringLiteral("mnuHelp"));
    fill(m_helpMenu, {a.about});

    // The grid's context menu and the notification-area menu are shown as pop-ups only.
    m_contextMenu = new QMenu(QStringLiteral("&File"), this);
    m_contextMenu->setObjectName(QStringLiteral("popFile"));
    fill(m_contextMenu, {a.add, a.edit, a.remove, nullptr, a.dialCell, a.sendMail, nullptr,
                         a.search, nullptr, a.print});
    m_trayMenu = new QMenu(QStringLiteral("mPopupSys"), this);
    m_trayMenu->setObjectName(QStringLiteral("mPopupSys"));
    fill(m_trayMenu, {a.restore, a.traySearch, nullptr, a.exit});

    for (QMenu* m : {m_fileMenu, m_optionMenu, m_viewMenu, m_languageMenu, m_helpMenu,
                     m_contextMenu, m_trayMenu})
        connect(m, &QMenu::aboutToShow, m, [m] { claimAccessibleItems(m); });
}

void MainWindow::buildKeys() {
    // Shortcuts, shown beside the items of the menu bar's menus; the pop-up menus show the
    // items as they always have, without them.
    const Actions& a = m_actions;
    const std::pair<QAction*, QKeySequence> shortcuts[] = {
        {a.add, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {a.edit, QKeySequence(Qt::CTRL | Qt::Key_E)},
        {a.search, QKeySequence(Qt::CTRL | Qt::Key_F)},
        {a.print, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {a.exit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {a.about, QKeySequence(Qt::Key_F1)}};
    for (const auto& [item, keys] : shortcuts) {
        item->setShortcut(keys);
        item->setShortcutVisibleInContextMenu(false);
    }

    // The Hebrew titles carry Hebrew mnemonics, out of reach of a Latin keyboard: in Hebrew
    // the menus also open with Alt and the letter of their English title.
    namespace off = i18n::off;
    const std::pair<QMenu*, int> titles[] = {{m_fileMenu, off::mnuFile},
                                             {m_optionMenu, off::mnuOption},
                                             {m_viewMenu, off::mnuView},
                                             {m_helpMenu, off::mnuHelp}};
    for (const auto& [m, offset] : titles) {
        auto* key = new QAction(m);
        key->setObjectName(m->objectName() + QStringLiteral("LatinKey"));
        key->setShortcut(QKeySequence::mnemonic(i18n::text(i18n::LangEnglish, offset)));
        key->setEnabled(false);
        QWidget::addAction(key);
        connect(key, &QAction::triggered, this,
                [this, menu = m] { menuBar()->setActiveAction(menu->menuAction()); });
        m_latinMenuKeys.append(key);
    }
}

void MainWindow::connectCommands() {
    const Actions& a = m_actions;
    const std::pair<QAction*, void (MainWindow::*)()> handlers[] = {
        {a.add, &MainWindow::addCard},
        {a.edit, &MainWindow::editCurrentCard},
        {a.remove, &MainWindow::deleteCurrentCard},
        {a.print, &MainWindow::printList},
        {a.importAddressBook, &MainWindow::importAddressBook},
        {a.exportAddressBook, &MainWindow::exportAddressBook},
        {a.dial, &MainWindow::dialCurrentCell},
        {a.dialCell, &MainWindow::dialCurrentCell},
        {a.sendMail, &MainWindow::mailCurrentCard},
        {a.importVcard, &MainWindow::importVcard},
        {a.exportVcard, &MainWindow::exportVcard},
        {a.importDatabase, &MainWindow::importDatabase},
        {a.exportDatabase, &MainWindow::exportDatabase},
        {a.checkForUpdate, &MainWindow::checkForUpdate},
        {a.showAll, &MainWindow::showAllCards},
        {a.search, &MainWindow::openSearch},
        {a.traySearch, &MainWindow::openSearch},
        {a.hebrew, &MainWindow::switchToHebrew},
        {a.english, &MainWindow::switchToEnglish},
        {a.showQuery, &MainWindow::showQueryText},
        {a.about, &MainWindow::showAbout},
        {a.synchronise, &MainWindow::openSync},
        {a.restore, &MainWindow::restore}};
    for (const auto& [action, handler] : handlers)
        connect(action, &QAction::triggered, this, handler);
    connect(a.exit, &QAction::triggered, this, &QWidget::close);
    connect(a.liveUpdate, &QAction::triggered, this, &MainWindow::enableLiveUpdate);
    // Unlike the menu item, the button asks about any row it finds current.
    connect(m_editButton, &QToolButton::clicked, this, &MainWindow::editCurrentRow);

    connect(m_groupBox, &QComboBox::activated, this, &MainWindow::refreshList);
    connect(m_letterTabs, &LetterTabs::tabChanged, this, &MainWindow::listChosenLetter);
    connect(&m_checkTimer, &QTimer::timeout, this, &MainWindow::startDelayedCheck);
    connect(this, &MainWindow::unloaded, this, [this] {
        if (m_report)
            m_report->close(); // the preview goes with the main window
    });

    FlexGrid* g = m_grid;
    connect(g, &FlexGrid::leftPressed, this, &MainWindow::selectClickedCard);
    connect(g, &FlexGrid::leftDoubleClicked, this, &MainWindow::sortOrEditClickedRow);
    connect(g, &FlexGrid::characterTyped, this, &MainWindow::jumpToTypedName);
    connect(g, &FlexGrid::focusEntered, this, &MainWindow::forgetTypedPrefix);
    connect(g, &FlexGrid::otherButtonPressed, this, &MainWindow::showContextMenu);
    connect(g, &FlexGrid::commandKeyPressed, this, &MainWindow::actOnKey);
}

void MainWindow::captionCommands(int lang) {
    using i18n::text;
    namespace off = i18n::off;
    const std::pair<QMenu*, int> titles[] = {{m_fileMenu, off::mnuFile},
                                             {m_optionMenu, off::mnuOption},
                                             {m_viewMenu, off::mnuView},
                                             {m_languageMenu, off::mnuSetLang},
                                             {m_helpMenu, off::mnuHelp}};
    for (const auto& [menu, offset] : titles)
        menu->setTitle(text(lang, offset));
    for (QAction* key : m_latinMenuKeys)
        key->setEnabled(lang == i18n::LangHebrew);

    const Actions& a = m_actions;
    const std::pair<QAction*, int> captions[] = {
        {a.add, off::mnuAdd},
        {a.edit, off::mnuEdit},
        {a.remove, off::mnuDel},
        {a.print, off::mnuPrint},
        {a.exit, off::mnuExit},
        {a.importDatabase, off::mnuImportDB},
        {a.exportDatabase, off::mnuExportDB},
        {a.dial, off::mnuDialingNum},
        {a.dialCell, off::mnuDialingNum},
        {a.sendMail, off::mnuSendMail},
        {a.liveUpdate, off::mnuEnableLiveUpdate},
        {a.checkForUpdate, off::mnuCheckVersionUpdate},
        {a.showAll, off::mnuAll},
        {a.search, off::mnuSearch},
        {a.hebrew, off::mnuLangHebrew},
        {a.english, off::mnuLangEnglish},
        {a.showQuery, off::mnuDbg},
        {a.about, off::mnuAbout},
        {a.restore, off::mPopRestore},
        {a.traySearch, off::mpopSearch},
        {a.importAddressBook, off::mnuImportContacts},
        {a.exportAddressBook, off::mnuExportContacts},
    };
    for (const auto& [item, offset] : captions)
        item->setText(text(lang, offset));
    // The sync's words are its own, not the string table's.
    a.synchronise->setText(carddav::text(carddav::Text::MenuItem, lang == i18n::LangHebrew));
    captionButtons(lang);
}

void MainWindow::captionButtons(int lang) {
    using i18n::text;
    namespace off = i18n::off;
    const Actions& a = m_actions;
    // The buttons in their designed order, with their captions and tips; a button showing an
    // action takes them from the action's icon text and tip.
    const std::pair<QToolButton*, QAction*> buttons[] = {
        {m_addButton, a.add},       {m_editButton, nullptr},    {m_searchButton, a.search},
        {m_dialButton, a.dialCell}, {m_mailButton, a.sendMail}, {m_allButton, a.showAll},
        {m_deleteButton, a.remove}, {m_quitButton, a.exit}};
    for (int i = 0; i < int(std::size(buttons)); ++i) {
        const auto& [button, command] = buttons[i];
        const QString caption = text(lang, off::btnAdd + i);
        const QString tip = text(lang, off::tipAdd + i);
        if (command) {
            command->setIconText(caption);
            command->setToolTip(tip);
        } else {
            button->setText(caption);
            button->setToolTip(tip);
        }
    }
}

void MainWindow::enableCardCommands(bool card, bool number, bool email) {
    // The buttons showing an action follow it. The menu bar's Dial item is always enabled.
    m_actions.edit->setEnabled(card);
    m_editButton->setEnabled(card);
    m_actions.remove->setEnabled(card);
    m_actions.dialCell->setEnabled(number);
    m_actions.sendMail->setEnabled(email);
}

} // namespace app
