#include "app/MainWindow.h"

#include "app/FlexGrid.h"
#include "app/LetterTabs.h"
#include "editor/RecordEditor.h"
#include "shell/AppIcon.h"
#include "shell/Shared.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>

namespace app {

MainWindow::MainWindow(mdlVesk::Shared& shared, shell::Services services, QWidget* parent)
    : QMainWindow(parent), m_shared(shared), m_services(std::move(services)),
      m_layout(DesignLayout::designed()) {
    setObjectName(QStringLiteral("frmVesk"));
    setWindowTitle(m_shared.AppTitle);
    setWindowIcon(shell::appIcon());
    buildControls();
    buildActions();
    buildMenus();
    buildKeys();
    applyLayout();

    // The designed window: a client area of 9345 x 5835 twips below the menu bar.
    const Twips tw(dpi());
    resize(tw.px(DesignLayout::ClientWidth),
           tw.px(DesignLayout::ClientHeight) + menuBar()->sizeHint().height());
    m_lastWidth = widthTwips();
    m_lastHeight = heightTwips();

    m_checkTimer.setObjectName(QStringLiteral("tmrDelay"));
    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(0);
    connectCommands();
}

MainWindow::~MainWindow() = default;

int MainWindow::dpi() const {
    return logicalDpiX();
}
int MainWindow::widthTwips() const {
    return Twips(dpi()).fromPx(width());
}
int MainWindow::heightTwips() const {
    return Twips(dpi()).fromPx(height());
}

QString MainWindow::panelText(int panel) const {
    if (panel < 1 || panel > int(m_panels.size()))
        return {};
    return m_panels[size_t(panel - 1)]->text();
}

MainWindow::Group MainWindow::currentGroup() const {
    return shell::groupNamed(m_shared, m_groupBox->currentText());
}

QString MainWindow::groupText() const {
    return m_groupBox->currentText();
}

QWidget* MainWindow::editorWindow() const {
    return m_editor.data();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    followResize();
}

void MainWindow::followResize() {
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
