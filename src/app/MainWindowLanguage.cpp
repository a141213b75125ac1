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

void MainWindow::setLanguage(int lang) {
    using i18n::text;
    namespace off = i18n::off;
    for (int c = 0; c < GridCols; ++c)
        m_grid->model().setHeading(c, text(lang, off::headName + c));

    captionCommands(lang);

    nameGroups(lang);

    const bool hebrew = lang == i18n::LangHebrew;
    const int previousTab = m_letterTabs->currentIndex();
    QStringList captions;
    const int tabCount = hebrew ? i18n::HebrewTabCount : i18n::LatinTabCount;
    for (int i = 0; i < tabCount; ++i)
        captions << i18n::tabCaption(hebrew ? i18n::hebrewTabLetter(i) : i18n::latinTabLetter(i));
    m_letterTabs->setTabs(captions);
    setLayoutDirection(hebrew ? Qt::RightToLeft : Qt::LeftToRight);
    m_grid->setLayoutDirection(hebrew ? Qt::RightToLeft : Qt::LeftToRight);
    m_actions.hebrew->setChecked(hebrew);
    m_actions.english->setChecked(!hebrew);
    m_letterTabs->setEdge(hebrew ? LetterTabs::Edge::Right : LetterTabs::Edge::Left);

    mirrorLayout(hebrew);
    const Twips tw(dpi());
    m_letterTabs->setTabMetrics(tw.px(TabHeight), tw.px(TabMaxWidth));
    applyLayout();
    m_grid->setCurrentRow(0);
    m_grid->setCurrentColumn(4);

    // Qt's own texts (the standard buttons) follow.
    m_qtTranslation.apply(lang);
    m_shared.CurrentLang = lang;
    showSyncNote();

    // A Latin tab past the Hebrew alphabet no longer exists: start again from the first.
    if (previousTab >= tabCount)
        m_letterTabs->setCurrentIndex(0);
}

void MainWindow::nameGroups(int lang) {
    using i18n::text;
    namespace off = i18n::off;
    m_shared.GroupNamePersonal = text(lang, off::groupPersonal);
    m_shared.GroupNameWork = text(lang, off::groupWork);
    m_shared.TotalRecordsLabel = text(lang, off::totalRecords);
    m_panels[0]->setText(u' ' + m_shared.TotalRecordsLabel + u' ' +
                         QString::number(m_shared.ListCount));

    // The group box keeps its group; only the shown name changes language.
    if (m_groupBox->count() < 2)
        m_groupBox->addItems({QString(), QString()});
    const int selected = m_groupBox->currentIndex();
    m_groupBox->setItemText(0, m_shared.GroupNamePersonal);
    m_groupBox->setItemText(1, m_shared.GroupNameWork);
    m_groupBox->setCurrentIndex(selected >= 0 ? selected : 0);
    if (m_groupBox->currentText() == m_shared.GroupNameWork)
        m_grid->model().setHeading(4, text(lang, off::headDept));
}

void MainWindow::mirrorLayout(bool hebrew) {
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
}

void MainWindow::switchToEnglish() {
    if (m_shared.CurrentLang == i18n::LangHebrew)
        setLanguage(i18n::LangEnglish);
    else
        m_actions.english->setChecked(m_shared.CurrentLang == i18n::LangEnglish);
}

void MainWindow::switchToHebrew() {
    if (m_shared.CurrentLang == i18n::LangEnglish)
        setLanguage(i18n::LangHebrew);
    else
        m_actions.hebrew->setChecked(m_shared.CurrentLang == i18n::LangHebrew);
}

} // namespace app
