#pragma once

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
namespace store {
class Query;
}
namespace interchange {
struct PlannedCard;
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

namespace app {

class ContactsImport;
class FlexGrid;
class LetterTabs;

// The main window's own list and grid state.
struct ListState {
    QString LastListQuery;  // the historic form of the query that filled the list
    int HighlightedRow = 0; // the grid row painted as selected; 0 for none
    QColor RowShade;        // the shade the highlighted row had before
    int RememberedColumn = 0;
    QString TypedPrefix; // what was typed into the grid since the last jump
};

// The main window: the contact list of one group, the letter index, the commands.
class MainWindow final : public QMainWindow, public shell::VeskHost {
    Q_OBJECT
public:
    MainWindow(mdlVesk::Shared& shared, shell::Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    enum class LoadResult { Running, EndProgram };

    // Startup, shutdown and the final release.
    LoadResult Form_Load();
    void Form_Unload();
    void Form_Terminate();

    // The list.
    void InitViewList();
    void update_list() override;
    void ShowAll();
    void TabVesk_Click();
    void HighlightRow(int row, int col);
    void ShowRowInIndex(int col);

    // Commands.
    void btnAdd_Click();
    void btnEdit_Click();
    void btnAll_Click();
    void btnDelete_Click();
    void btnQuit_Click();
    void btnSearch_Click();
    void mnuDbg_Click();
    void cmbGroup_Click();
    // vCard export and import of one card (MainWindowVcard.cpp).
    void mnuExportVcard_Click();
    void mnuImportVcard_Click();
    // Address-book import and export (MainWindowInterchange.cpp).
    void mnuImportContacts_Click();
    void mnuExportContacts_Click();
    void importContacts(ContactsImport& import, std::vector<interchange::PlannedCard>& plans);

    // The grid.
    void MSHFlexGrid1_Click();
    void MSHFlexGrid1_DblClick();
    void MSHFlexGrid1_KeyPress(QChar key);
    void MSHFlexGrid1_GotFocus();
    void MSHFlexGrid1_MouseDown(Qt::MouseButton button, QPoint globalPos);
    void MSHFlexGrid1_KeyDown(int key);
    void MouseWheel(int zDelta);
    void InstallWheelHook();
    void RemoveWheelHook();

    // The modem dialer: the Dial button, its menu items, the dialer while it is open.
    void btnDial_Click();
    void popDialing_Click();
    dialer::DialerWindow* dialerWindow() const;
    // Hangs up a call being dialled and closes the dialer, as the program ends.
    void closeDialer();

    // The notification-area icon and its menu.
    void mPopRestore_Click();
    void mpopSearch_Click();
    void mPopExit_Click();
    void Form_MouseDown(Qt::MouseButton button, QPoint globalPos);

    // Language and layout.
    void SetLanguage(int lang);
    void mnuLangEnglish_Click();
    void mnuLangHebrew_Click();
    void ResizeForm();

    // The printed phone list: the print commands and the preview window while it is open.
    void mnuPrint_Click();
    void popPrint_Click();
    report::ReportPreview* reportWindow() const;
    // The live update: its two menu items and the version window, loaded on first use.
    void mnuEnableLiveUpdate_Click(bool checked);
    void mnuCheckVersionUpdate_Click();
    update::VersionCheckWindow* loadVersionWindow();
    update::VersionCheckWindow* versionWindow() const;

    // For the other windows and for tests.
    ListState& listState() { return m_list; }
    QString groupText() const override;
    FlexGrid* grid() const { return MSHFlexGrid1; }
    LetterTabs* tabs() const { return TabVesk; }
    QComboBox* groupBox() const { return cmbGroup; }
    QLineEdit* indexBox() const { return TxtIndex; }
    QString panelText(int panel) const;
    const DesignLayout& layoutTwips() const { return m_layout; }
    int LastWidth() const { return m_lastWidth; }
    int LastHeight() const { return m_lastHeight; }
    int widthTwips() const;
    int heightTwips() const;
    const QTimer& delayTimer() const { return tmrDelay; }
    QMenu* popupMenu() const { return popFile; }
    QMenu* trayMenu() const { return mPopupSys; }
    static QColor infoBackground();
    // The record editor and the search window while they are open.
    QWidget* editorWindow() const;
    search::SearchWindow* searchWindow() const;

signals:
    // The unload step has run: the program is to end.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    using Group = shell::ContactGroup;
    Group currentGroup() const;

    void buildControls();
    void buildMenus();
    void buildPopups();
    // Shortcuts on the menu items, and the Latin Alt keys of the Hebrew menus.
    void buildKeys();
    // The captions of the menus and their items in the language given.
    void captionMenus(int lang);
    QAction* addAction(QMenu* menu, const QString& name, const QString& caption = {});
    void applyLayout();
    int dpi() const;

    void loadPlacement();
    void savePlacement();
    void fillList(bool byLetter, bool countWithLabel);
    void setCardCommandsEnabled(bool enabled);
    void setHeading(int col, int offset);
    void tmrDelay_Timer();
    void wireCommands();
    void editCurrentRow();
    // What a click on a card does besides forgetting the typed prefix: the highlight, the
    // index box, the enabled commands, the dial and mail state.
    void selectCurrentCell();
    // Arrow, page, Home and End keys: the next current cell, selected.
    void moveByKey(int key, bool fromSelected);
    void openEditor(const editor::EditRequest& request);
    void Form_Resize();
    void hideIntoTray();
    bool trayIconVisible() const;
    void addTrayIcon();
    void showTrayMenu(QPoint globalPos);

    mdlVesk::Shared& m_shared;
    shell::Services m_services;
    ListState m_list;
    DesignLayout m_layout;
    int m_lastWidth = 0;
    int m_lastHeight = 0;
    bool m_unloaded = false;
    bool m_terminated = false;
    bool m_showMaximized = false;

    QWidget* m_client = nullptr;
    std::array<QFrame*, 2> Line1{};
    std::array<QLabel*, 2> lblHeader{};
    QLabel* Label2 = nullptr;
    QComboBox* cmbGroup = nullptr;
    QFrame* Shape2 = nullptr;
    std::array<QFrame*, DesignLayout::ShapeCount> Shape1{};
    QFrame* frmBannerPannel = nullptr;
    LetterTabs* TabVesk = nullptr;
    QToolButton* btnAdd = nullptr;
    QToolButton* btnEdit = nullptr;
    QToolButton* btnSearch = nullptr;
    QToolButton* btnDial = nullptr;
    QToolButton* btnMail = nullptr;
    QToolButton* btnAll = nullptr;
    QToolButton* btnDelete = nullptr;
    QToolButton* btnQuit = nullptr;
    QLineEdit* TxtIndex = nullptr;
    FlexGrid* MSHFlexGrid1 = nullptr;
    QFrame* StatusBar1 = nullptr;
    std::array<QLabel*, 2> m_panels{};
    QTimer tmrDelay;
    bool m_wheelHooked = false;
    QPointer<editor::RecordEditor> m_editor;
    QPointer<search::SearchWindow> m_search;
    QPointer<report::ReportPreview> m_report;
    QPointer<update::VersionCheckWindow> m_verCheck;
    QPointer<dialer::DialerWindow> m_dialer;
    QtTranslation m_qtTranslation;

    // The menu bar, the grid's context menu and the notification-area menu.
    QMenu* mnuFile = nullptr;
    QMenu* mnuOption = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuSetLang = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* popFile = nullptr;
    QMenu* mPopupSys = nullptr;
    QAction* mnuAdd = nullptr;
    QAction* mnuEdit = nullptr;
    QAction* mnuDel = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuDialingNum = nullptr;
    QAction* mnuSendMail = nullptr;
    QAction* mnuImportVcard = nullptr;
    QAction* mnuExportVcard = nullptr;
    QAction* mnuImportContacts = nullptr; // address-book import and export
    QAction* mnuExportContacts = nullptr;
    QAction* mnuImportDB = nullptr;
    QAction* mnuExportDB = nullptr;
    QAction* mnuEnableLiveUpdate = nullptr;
    QAction* mnuCheckVersionUpdate = nullptr;
    QAction* mnuAll = nullptr;
    QAction* mnuSearch = nullptr;
    QAction* mnuLangHebrew = nullptr;
    QAction* mnuLangEnglish = nullptr;
    QAction* mnuDbg = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* popAdd = nullptr;
    QAction* popEdit = nullptr;
    QAction* popDel = nullptr;
    QAction* popDialing = nullptr;
    QAction* popSendMail = nullptr;
    QAction* popSearch = nullptr;
    QAction* popPrint = nullptr;
    QAction* mPopRestore = nullptr;
    QAction* mpopSearch = nullptr;
    QAction* mPopExit = nullptr;
    // Alt and the English title's letter, for each menu while the titles are Hebrew.
    QList<QAction*> m_latinMenuKeys;
    // The placement the window had when it went into the notification area.
    QByteArray m_geometryBeforeTray;

    // Exporting and replacing the contact file, the about box and the mail command.
public:
    void mnuExportDB_Click();
    void mnuImportDB_Click();
    void mnuAbout_Click();
    void popSendMail_Click();
    about::AboutBox* aboutWindow() const;

private:
    QPointer<about::AboutBox> m_about;
};

} // namespace app
