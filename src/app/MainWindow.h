#pragma once

#include "app/ContactList.h"
#include "app/DesignLayout.h"
#include "app/QtTranslation.h"
#include "shell/ContactGroup.h"
#include "shell/Services.h"
#include "shell/VeskHost.h"

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;

namespace mdlVesk {
struct Shared;
}
namespace interchange {
class PlannedCards;
}
namespace editor {
class RecordEditor;
struct EditRequest;
} // namespace editor
namespace search {
class SearchWindow;
}
namespace report {
class ReportPreview;
}
namespace about {
class AboutBox;
}
namespace update {
class VersionCheckWindow;
}
namespace dialer {
class DialerWindow;
}
namespace carddav {
class AutoSync;
class SyncController;
class SyncWindow;
struct Outcome;
} // namespace carddav

namespace app {

class ContactsImport;
class FlexGrid;
class LetterTabs;

// What the last fill listed (the group, the letter or none, the order, the cursor it opened)
// and the file's stamp just before it read; while the file has changed only by one write of
// this program's own, that write is brought into the list without reading it again.
struct ListBasis {
    bool valid = false;
    shell::ContactGroup group = shell::ContactGroup::None;
    std::optional<QString> prefix;
    QString sortOrder;
    const void* cursor = nullptr;
    FileStamp stamp;
};

// The main window's own list and grid state.
struct ListState {
    QString lastListQuery;    // the historic form of the query that filled the list
    int highlightedRow = 0;   // the grid row painted as selected; 0 for none
    QColor rowShade;          // the shade the highlighted row had before
    int rememberedColumn = 0; // the column of the last right press on the grid, or of a dial
    QString typedPrefix;      // what was typed into the grid since the last jump
    bool gridSorted = false;  // rows reordered by a heading since the fill
    ListBasis listed;
};

// The main window: the contact list of one group, the letter index, the commands. A command
// is one QAction, shared by the menu bar, the grid's context menu and the button.
class MainWindow final : public QMainWindow, public shell::VeskHost {
    Q_OBJECT
public:
    enum class LoadResult { Running, EndProgram };

    MainWindow(mdlVesk::Shared& shared, shell::Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start: the remembered settings and placement, the contact file, the language and
    // the first letter's list; then the window is shown, with its notification-area icon.
    LoadResult load();
    // The final release once the event loop has ended: the file closed, the icon removed.
    void shutDown();

    // shell::VeskHost
    QString groupText() const override;
    void refreshList() override;
    void refreshAfterWrite(qint64 cardId) override;

    // Back from the notification area or a minimised state, raised and active.
    void restore();
    // Hangs up a call being dialled and closes the dialer, as the program ends.
    void closeDialer();
    // The version window, made and loaded (not shown) on first use.
    update::VersionCheckWindow* loadVersionWindow();

    // What the tests look at.
    FlexGrid* grid() const { return m_grid; }
    LetterTabs* letterTabs() const { return m_letterTabs; }
    QComboBox* groupBox() const { return m_groupBox; }
    QLineEdit* indexBox() const { return m_indexBox; }
    QString panelText(int panel) const;
    ListState& listState() { return m_list; }
    const DesignLayout& layoutTwips() const { return m_layout; }
    const QTimer& delayTimer() const { return m_checkTimer; }
    // The other windows while they are open.
    QWidget* editorWindow() const;
    search::SearchWindow* searchWindow() const;
    report::ReportPreview* reportWindow() const;
    dialer::DialerWindow* dialerWindow() const;
    update::VersionCheckWindow* versionWindow() const;
    about::AboutBox* aboutWindow() const;
    // The sync: its controller, its automatic occasions and its window while open.
    carddav::SyncController* syncController() const { return m_sync; }
    carddav::AutoSync* autoSync() const { return m_autoSync; }
    carddav::SyncWindow* syncWindow() const;

signals:
    // The unload step has run: the program is to end.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    // The card commands (MainWindowCommands.cpp).
    void addCard();
    // The Edit button: asks about the current row, whatever it holds.
    void editCurrentRow();
    // The Edit menu item, a double click and Enter: only a row that shows a card.
    void editCurrentCard();
    void deleteCurrentCard();
    void showAllCards();
    void openSearch();
    void showQueryText();
    void dialCurrentCell();
    void mailCurrentCard();
    void printList();
    void exportVcard();
    void importVcard();
    void importAddressBook();
    void exportAddressBook();
    void exportDatabase();
    void importDatabase();
    void showAbout();
    void openSync();
    void enableLiveUpdate(bool enabled);
    void checkForUpdate();
    void startDelayedCheck();
    void switchToEnglish();
    void switchToHebrew();
    void listChosenLetter();

    // The grid's mouse and keyboard.
    void selectClickedCard();
    void sortOrEditClickedRow();
    void jumpToTypedName(QChar key);
    void forgetTypedPrefix();
    void showContextMenu(Qt::MouseButton button, QPoint globalPos);
    void actOnKey(int key);

    // The notification area.
    void hideIntoTray();
    void showTrayMenu(QPoint globalPos);

private:
    using Group = shell::ContactGroup;
    Group currentGroup() const;

    // Building (MainWindowUi.cpp, MainWindowActions.cpp).
    void buildControls();
    // The title, its lines and frames, and the letter tabs under them, in stacking order.
    void buildTitle();
    void buildActions();
    void buildMenus();
    // Shortcuts on the menu items, and the Latin Alt keys of the Hebrew menus.
    void buildKeys();
    void connectCommands();
    // The captions of the menus, the commands and the buttons in the language given.
    void captionCommands(int lang);
    void captionButtons(int lang);
    // Every card command's enabled state: those that need a card, a number in the selected
    // cell, an e-mail address on the card.
    void enableCardCommands(bool card, bool number, bool email);
    void applyLayout();
    int dpi() const;
    int widthTwips() const;
    int heightTwips() const;

    // Start and end (MainWindowLifecycle.cpp).
    void unload();
    void loadPlacement();
    void savePlacement();

    // The list (MainWindowList.cpp).
    void clearList();
    // The columns' widths, alignments and headings, the index box, the selection and the
    // commands as a fill sets them up, the rows left as they are.
    void setUpList();
    void showAll();
    void fillList(bool byLetter, bool countWithLabel);
    // The state a fill leaves after its rows: the current cell, the count and its text.
    void finishFill(bool countWithLabel);
    // What refreshList lists now: the group, and the letter (none for all cards).
    std::optional<QString> refreshPrefix() const;
    void setHeading(int col, int offset);
    void highlightRow(int row, int col);
    void showRowInIndex(int col);
    // What a click on a card does besides forgetting the typed prefix: the highlight, the
    // index box, the enabled commands, the dial and mail state.
    void selectCurrentCell();
    // Arrow, page, Home and End keys: the next current cell, selected.
    void moveByKey(int key, bool fromSelected);
    void scrollByWheel(int delta);
    void installWheelHook();
    void removeWheelHook();
    void openEditor(const editor::EditRequest& request);
    void writeImport(ContactsImport& import, interchange::PlannedCards& plans);

    // Language, layout and window state.
    void setLanguage(int lang);
    // The group names, the count's label and the group box in the language given.
    void nameGroups(int lang);
    // The designed arrangement is Hebrew's; English mirrors the letter tabs and what lies on
    // them, from the arrangement in force (the language applied before).
    void mirrorLayout(bool hebrew);
    void followResize();
    void followWindowState();
    bool trayIconVisible() const;
    void addTrayIcon();
    void showBackgroundMenu(Qt::MouseButton button, QPoint globalPos);

    // The sync (MainWindowSync.cpp): the controller and its automatic occasions, made once the
    // file is open (a fresh sync state after an upgrade); the status note of its last result.
    void startSync(bool upgraded);
    void afterDatabaseReplaced();
    void showSyncNote();
    void syncFinished(const carddav::Outcome& outcome);

    mdlVesk::Shared& m_shared;
    shell::Services m_services;
    ListState m_list;
    DesignLayout m_layout;
    // The size the layout was last fitted to, in twips.
    int m_lastWidth = 0;
    int m_lastHeight = 0;
    bool m_unloaded = false;
    bool m_shutDown = false;
    bool m_showMaximized = false;
    bool m_wheelHooked = false;
    // The placement the window had when it went into the notification area.
    QByteArray m_geometryBeforeTray;
    // The version check a while after the start.
    QTimer m_checkTimer;
    QtTranslation m_qtTranslation;

    // The controls, by their role.
    QWidget* m_client = nullptr;
    std::array<QFrame*, 2> m_titleRules{}; // the grey and the white line under the title
    std::array<QLabel*, 2> m_titles{};     // the title, and its white shadow
    QLabel* m_groupLabel = nullptr;
    QComboBox* m_groupBox = nullptr;
    QFrame* m_titleBar = nullptr;
    std::array<QFrame*, DesignLayout::ShapeCount> m_tabFrames{};
    QFrame* m_banner = nullptr;
    LetterTabs* m_letterTabs = nullptr;
    QToolButton* m_addButton = nullptr;
    QToolButton* m_editButton = nullptr;
    QToolButton* m_searchButton = nullptr;
    QToolButton* m_dialButton = nullptr;
    QToolButton* m_mailButton = nullptr;
    QToolButton* m_allButton = nullptr;
    QToolButton* m_deleteButton = nullptr;
    QToolButton* m_quitButton = nullptr;
    QLineEdit* m_indexBox = nullptr;
    FlexGrid* m_grid = nullptr;
    QFrame* m_statusBar = nullptr;
    std::array<QLabel*, 2> m_panels{};

    // The menu bar's menus, the grid's context menu and the notification-area menu.
    QMenu* m_fileMenu = nullptr;
    QMenu* m_optionMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    QMenu* m_languageMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QMenu* m_contextMenu = nullptr;
    QMenu* m_trayMenu = nullptr;
    // One action per command. Dialling has two: the menu bar's item stays enabled, while the
    // context menu's item and the button follow the selected cell. The notification-area
    // menu's Search has a caption of its own.
    struct Actions {
        QAction* add = nullptr;
        QAction* edit = nullptr;
        QAction* remove = nullptr;
        QAction* print = nullptr;
        QAction* exit = nullptr;
        QAction* importAddressBook = nullptr;
        QAction* exportAddressBook = nullptr;
        QAction* dial = nullptr;
        QAction* dialCell = nullptr;
        QAction* sendMail = nullptr;
        QAction* importVcard = nullptr;
        QAction* exportVcard = nullptr;
        QAction* importDatabase = nullptr;
        QAction* exportDatabase = nullptr;
        QAction* liveUpdate = nullptr;
        QAction* checkForUpdate = nullptr;
        QAction* showAll = nullptr;
        QAction* search = nullptr;
        QAction* hebrew = nullptr;
        QAction* english = nullptr;
        QAction* showQuery = nullptr;
        QAction* about = nullptr;
        QAction* synchronise = nullptr;
        QAction* restore = nullptr;
        QAction* traySearch = nullptr;
    } m_actions;
    // Alt and the English title's letter, for each menu while the titles are Hebrew.
    QList<QAction*> m_latinMenuKeys;

    // The other windows, one of each, deleted when closed.
    QPointer<editor::RecordEditor> m_editor;
    QPointer<search::SearchWindow> m_search;
    QPointer<report::ReportPreview> m_report;
    QPointer<update::VersionCheckWindow> m_versionWindow;
    QPointer<dialer::DialerWindow> m_dialer;
    QPointer<about::AboutBox> m_about;
    QPointer<carddav::SyncWindow> m_syncWindow;

    // The sync, once load() has opened the file, and its status note: the last result, said
    // again in the language of the moment, or that a sync is under way.
    carddav::SyncController* m_sync = nullptr;
    carddav::AutoSync* m_autoSync = nullptr;
    QLabel* m_syncPanel = nullptr;
    std::shared_ptr<const carddav::Outcome> m_lastSync;
    bool m_syncing = false;
};

} // namespace app
