// Switching the main window between English and Hebrew.
#include "app/FlexGrid.h"
#include "app/LetterTabs.h"
#include "app/MainWindow.h"
#include "i18n/Letters.h"
#include "i18n/StringTable.h"
#include "shell/Shared.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace app {

namespace {

// Mirror distances, in twips.
constexpr int ContentShiftX = 680;
constexpr int ContentShiftY = 300;
constexpr int TabShiftX = 220;
constexpr int HebrewShapeGap = 240;
constexpr int EnglishShapeInset = 120;
constexpr int TabHeight = 300;
constexpr int TabMaxWidth = 500;

} // namespace

void MainWindow::SetLanguage(int lang) {
    using i18n::text;
    namespace off = i18n::off;
    const std::array<QToolButton*, 8> buttons = {btnAdd,  btnEdit, btnSearch, btnDial,
                                                 btnMail, btnAll,  btnDelete, btnQuit};
    for (size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->setText(text(lang, off::btnAdd + int(i)));
    for (size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->setToolTip(text(lang, off::tipAdd + int(i)));
    for (int c = 0; c < GridCols; ++c)
        MSHFlexGrid1->model().setHeading(c, text(lang, off::headName + c));

    captionMenus(lang);

    m_shared.GroupNamePersonal = text(lang, off::groupPersonal);
    m_shared.GroupNameWork = text(lang, off::groupWork);
    m_shared.TotalRecordsLabel = text(lang, off::totalRecords);
    m_panels[0]->setText(u' ' + m_shared.TotalRecordsLabel + u' ' +
                         QString::number(m_shared.ListCount));

    // The group box keeps its group; only the shown name changes language.
    if (cmbGroup->count() < 2)
        cmbGroup->addItems({QString(), QString()});
    const int selected = cmbGroup->currentIndex();
    cmbGroup->setItemText(0, m_shared.GroupNamePersonal);
    cmbGroup->setItemText(1, m_shared.GroupNameWork);
    cmbGroup->setCurrentIndex(selected >= 0 ? selected : 0);
    if (cmbGroup->currentText() == m_shared.GroupNameWork)
        MSHFlexGrid1->model().setHeading(4, text(lang, off::headDept));

    const bool hebrew = lang == i18n::LangHebrew;
    const int previousTab = TabVesk->currentIndex();
    QStringList captions;
    const int tabCount = hebrew ? i18n::HebrewTabCount : i18n::LatinTabCount;
    for (int i = 0; i < tabCount; ++i)
        captions << i18n::tabCaption(hebrew ? i18n::hebrewTabLetter(i) : i18n::latinTabLetter(i));
    TabVesk->setTabs(captions);
    setLayoutDirection(hebrew ? Qt::RightToLeft : Qt::LeftToRight);
    MSHFlexGrid1->setLayoutDirection(hebrew ? Qt::RightToLeft : Qt::LeftToRight);
    mnuLangHebrew->setChecked(hebrew);
    mnuLangEnglish->setChecked(!hebrew);
    TabVesk->setEdge(hebrew ? LetterTabs::Edge::Right : LetterTabs::Edge::Left);

    // The moves are relative, so they happen once per real change of arrangement; the
    // first Hebrew application finds the designed Hebrew arrangement and moves nothing.
    int dx = 0;
    int dy = 0;
    TwipsRect& tab = m_layout[QStringLiteral("TabVesk")];
    if (!hebrew) {
        dx = ContentShiftX;
        dy = ContentShiftY;
        tab.left -= TabShiftX;
        for (int i = 0; i < DesignLayout::ShapeCount; ++i) {
            TwipsRect& s = m_layout[QStringLiteral("Shape1(%1)").arg(i)];
            s.left = tab.left + tab.width - EnglishShapeInset;
            s.top += ContentShiftY;
        }
    } else if (m_shared.CurrentLang != i18n::LangNone) {
        dx = -ContentShiftX;
        dy = -ContentShiftY;
        tab.left += TabShiftX;
        for (int i = 0; i < DesignLayout::ShapeCount; ++i) {
            TwipsRect& s = m_layout[QStringLiteral("Shape1(%1)").arg(i)];
            s.left = tab.left - HebrewShapeGap;
            s.top -= ContentShiftY;
        }
    }
    for (const QString& name : DesignLayout::contentControls()) {
        m_layout[name].left += dx;
        m_layout[name].top += dy;
    }
    const Twips tw(dpi());
    TabVesk->setTabMetrics(tw.px(TabHeight), tw.px(TabMaxWidth));
    applyLayout();
    MSHFlexGrid1->setRow(0);
    MSHFlexGrid1->setCol(4);

    // Qt's own texts (the standard buttons) follow.
    m_qtTranslation.apply(lang);
    m_shared.CurrentLang = lang;

    // A Latin tab past the Hebrew alphabet no longer exists: start again from the first.
    if (previousTab >= tabCount)
        TabVesk->setCurrentIndex(0);
}

void MainWindow::captionMenus(int lang) {
    using i18n::text;
    namespace off = i18n::off;
    const std::pair<QMenu*, int> titles[] = {{mnuFile, off::mnuFile},
                                             {mnuOption, off::mnuOption},
                                             {mnuView, off::mnuView},
                                             {mnuSetLang, off::mnuSetLang},
                                             {mnuHelp, off::mnuHelp}};
    for (const auto& [menu, offset] : titles)
        menu->setTitle(text(lang, offset));
    for (QAction* key : m_latinMenuKeys)
        key->setEnabled(lang == i18n::LangHebrew);
    // Menu items in the order they are captioned.
    const std::pair<QAction*, int> captions[] = {
        {mnuAdd, off::mnuAdd},
        {mnuEdit, off::mnuEdit},
        {mnuDel, off::mnuDel},
        {mnuPrint, off::mnuPrint},
        {mnuExit, off::mnuExit},
        {mnuImportDB, off::mnuImportDB},
        {mnuExportDB, off::mnuExportDB},
        {mnuDialingNum, off::mnuDialingNum},
        {mnuSendMail, off::mnuSendMail},
        {mnuEnableLiveUpdate, off::mnuEnableLiveUpdate},
        {mnuCheckVersionUpdate, off::mnuCheckVersionUpdate},
        {mnuAll, off::mnuAll},
        {mnuSearch, off::mnuSearch},
        {mnuLangHebrew, off::mnuLangHebrew},
        {mnuLangEnglish, off::mnuLangEnglish},
        {mnuDbg, off::mnuDbg},
        {mnuAbout, off::mnuAbout},
        {mPopRestore, off::mPopRestore},
        {mpopSearch, off::mpopSearch},
        {mPopExit, off::mPopExit},
        {popAdd, off::mnuAdd},
        {popEdit, off::mnuEdit},
        {popDel, off::mnuDel},
        {popDialing, off::mnuDialingNum},
        {popSendMail, off::mnuSendMail},
        {popSearch, off::mnuSearch},
        {popPrint, off::mnuPrint},
        {mnuImportContacts, off::mnuImportContacts},
        {mnuExportContacts, off::mnuExportContacts},
    };
    for (const auto& [item, offset] : captions)
        item->setText(text(lang, offset));
}

void MainWindow::mnuLangEnglish_Click() {
    if (m_shared.CurrentLang == i18n::LangHebrew)
        SetLanguage(i18n::LangEnglish);
    else
        mnuLangEnglish->setChecked(m_shared.CurrentLang == i18n::LangEnglish);
}

void MainWindow::mnuLangHebrew_Click() {
    if (m_shared.CurrentLang == i18n::LangEnglish)
        SetLanguage(i18n::LangHebrew);
    else
        mnuLangHebrew->setChecked(m_shared.CurrentLang == i18n::LangHebrew);
}

} // namespace app
