#include "app/FrmVesk.h"

#include "app/FlexGrid.h"
#include "app/LetterTabs.h"
#include "editor/FrmNewPhn.h"
#include "shell/AppIcon.h"
#include "shell/Shared.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPalette>
#include <QToolTip>

namespace app {

frmVesk::frmVesk(mdlVesk::Shared& shared, shell::Services services, QWidget* parent)
    : QMainWindow(parent), m_shared(shared), m_services(std::move(services)),
      m_layout(DesignLayout::designed()) {
    setObjectName(QStringLiteral("frmVesk"));
    setWindowTitle(m_shared.AppTitle);
    setWindowIcon(shell::appIcon());
    buildControls();
    buildMenus();
    buildKeys();
    applyLayout();

    // The designed window: a client area of 9345 x 5835 twips below the menu bar.
    const Twips tw(dpi());
    resize(tw.px(DesignLayout::ClientWidth),
           tw.px(DesignLayout::ClientHeight) + menuBar()->sizeHint().height());
    m_lastWidth = widthTwips();
    m_lastHeight = heightTwips();

    tmrDelay.setObjectName(QStringLiteral("tmrDelay"));
    tmrDelay.setSingleShot(true);
    tmrDelay.setInterval(0);
    connect(&tmrDelay, &QTimer::timeout, this, &frmVesk::tmrDelay_Timer);
    connect(TabVesk, &LetterTabs::tabChanged, this, &frmVesk::TabVesk_Click);
    connect(mnuLangEnglish, &QAction::triggered, this, &frmVesk::mnuLangEnglish_Click);
    connect(mnuLangHebrew, &QAction::triggered, this, &frmVesk::mnuLangHebrew_Click);
    wireCommands();
}

frmVesk::~frmVesk() = default;

int frmVesk::dpi() const {
    return logicalDpiX();
}
int frmVesk::widthTwips() const {
    return Twips(dpi()).fromPx(width());
}
int frmVesk::heightTwips() const {
    return Twips(dpi()).fromPx(height());
}

QString frmVesk::panelText(int panel) const {
    if (panel < 1 || panel > int(m_panels.size()))
        return {};
    return m_panels[size_t(panel - 1)]->text();
}

QColor frmVesk::infoBackground() {
    return QGuiApplication::palette().color(QPalette::Inactive, QPalette::ToolTipBase);
}

frmVesk::Group frmVesk::currentGroup() const {
    return shell::groupNamed(m_shared, cmbGroup->currentText());
}

QString frmVesk::currentTable() const {
    return shell::tableOf(currentGroup());
}

void frmVesk::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmVesk::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ResizeForm();
}

void frmVesk::ResizeForm() {
    if (isMinimized())
        return;
    const int w = widthTwips();
    const int h = heightTwips();
    const int dW = w - m_lastWidth;
    const int dH = h - m_lastHeight;
    if (dW != 0 || dH != 0) {
        m_layout.resize(dW, dH);
        applyLayout();
    }
    m_lastWidth = w;
    m_lastHeight = h;
}

} // namespace app
