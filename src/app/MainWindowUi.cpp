// Building the main window's controls, and placing them from the twips table.
#include "app/FlexGrid.h"
#include "app/LetterTabs.h"
#include "app/MainWindow.h"
#include "shell/Shared.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace app {

namespace {

template <class W> W* named(W* w, const QString& name, const QString& accessible = {}) {
    w->setObjectName(name);
    if (!accessible.isEmpty())
        w->setAccessibleName(accessible);
    return w;
}

QFrame* decoration(QWidget* parent, const QString& name, const QColor& color) {
    auto* f = named(new QFrame(parent), name);
    f->setAutoFillBackground(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, color);
    f->setPalette(pal);
    f->setAccessibleName(QString()); // decoration: nothing for a screen reader to say
    return f;
}

} // namespace

void MainWindow::buildTitle() {
    m_titleRules[0] = decoration(m_client, QStringLiteral("Line1"), QColor(0x80, 0x80, 0x80));
    m_titleRules[1] = decoration(m_client, QStringLiteral("Line1"), Qt::white);
    m_banner = decoration(m_client, QStringLiteral("frmBannerPannel"), QColor(0x80, 0x00, 0x80));
    m_titleBar = decoration(m_client, QStringLiteral("Shape2"), QColor(0x80, 0x00, 0x80));

    m_letterTabs =
        named(new LetterTabs(m_client), QStringLiteral("TabVesk"), QStringLiteral("Letter index"));
    for (QFrame*& frame : m_tabFrames)
        frame = decoration(m_client, QStringLiteral("Shape1"), QColor(0x80, 0x00, 0x80));

    // The title twice, the white one 30 twips up and left of the purple one.
    for (int i : {1, 0}) {
        auto* l = named(new QLabel(m_shared.AppTitle, m_client), QStringLiteral("lblHeader"));
        QFont f = l->font();
        f.setPointSize(18);
        f.setBold(true);
        l->setFont(f);
        l->setStyleSheet(i == 0 ? QStringLiteral("color: #800080")
                                : QStringLiteral("color: white"));
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter | Qt::AlignAbsolute);
        m_titles[size_t(i)] = l;
    }
    m_titles[1]->setAccessibleName(QString());
}

void MainWindow::buildControls() {
    m_client = named(new QWidget(this), QStringLiteral("frmVeskClient"));
    setCentralWidget(m_client);

    buildTitle();

    // Alt+G reaches the group box from the keyboard.
    m_groupLabel =
        named(new QLabel(QStringLiteral("&Group Selection"), m_client), QStringLiteral("Label2"));
    m_groupBox = named(new QComboBox(m_client), QStringLiteral("cmbGroup"),
                       QStringLiteral("Group Selection"));
    m_groupLabel->setBuddy(m_groupBox);

    auto button = [this](const QString& name) {
        auto* b = named(new QToolButton(m_client), name);
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return b;
    };
    m_addButton = button(QStringLiteral("btnAdd"));
    m_editButton = button(QStringLiteral("btnEdit"));
    m_searchButton = button(QStringLiteral("btnSearch"));
    m_dialButton = button(QStringLiteral("btnDial"));
    m_mailButton = button(QStringLiteral("btnMail"));
    m_allButton = button(QStringLiteral("btnAll"));
    m_deleteButton = button(QStringLiteral("btnDelete"));
    m_quitButton = button(QStringLiteral("btnQuit"));

    m_indexBox =
        named(new QLineEdit(m_client), QStringLiteral("TxtIndex"), QStringLiteral("Selected card"));
    m_grid = named(new FlexGrid(m_client), QStringLiteral("MSHFlexGrid1"),
                   QStringLiteral("Contact list"));

    m_statusBar =
        named(new QFrame(m_client), QStringLiteral("StatusBar1"), QStringLiteral("Status"));
    m_statusBar->setFrameShape(QFrame::NoFrame);
    for (size_t i = 0; i < m_panels.size(); ++i) {
        // A screen reader reads a label's text; its place is said in its description, never
        // by a name that would hide the text.
        m_panels[i] = named(new QLabel(m_statusBar), QStringLiteral("Panel%1").arg(i + 1));
        m_panels[i]->setAccessibleDescription(QStringLiteral("Status panel %1").arg(i + 1));
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
    }
    // The sync's note, there once a server is set up (MainWindowSync.cpp).
    m_syncPanel = named(new QLabel(m_statusBar), QStringLiteral("Panel3"));
    m_syncPanel->setAccessibleDescription(QStringLiteral("Status panel 3"));
    m_syncPanel->setFrameShape(QFrame::Panel);
    m_syncPanel->setFrameShadow(QFrame::Sunken);
    m_syncPanel->hide();

    // The tab strip lies under the controls on its face.
    m_letterTabs->lower();
    for (QFrame* frame : m_tabFrames)
        frame->lower();
}

void MainWindow::applyLayout() {
    const Twips tw(dpi());
    auto place = [&](QWidget* w, const QString& name) {
        w->setGeometry(tw.rect(m_layout.at(name)));
    };
    for (size_t i = 0; i < 2; ++i) {
        place(m_titleRules[i], QStringLiteral("Line1(%1)").arg(i));
        place(m_titles[i], QStringLiteral("lblHeader(%1)").arg(i));
    }
    for (size_t i = 0; i < m_tabFrames.size(); ++i)
        place(m_tabFrames[i], QStringLiteral("Shape1(%1)").arg(i));
    const std::pair<QWidget*, const char*> controls[] = {
        {m_groupLabel, "Label2"},      {m_groupBox, "cmbGroup"},      {m_titleBar, "Shape2"},
        {m_letterTabs, "TabVesk"},     {m_addButton, "btnAdd"},       {m_editButton, "btnEdit"},
        {m_searchButton, "btnSearch"}, {m_dialButton, "btnDial"},     {m_mailButton, "btnMail"},
        {m_allButton, "btnAll"},       {m_deleteButton, "btnDelete"}, {m_quitButton, "btnQuit"},
        {m_indexBox, "TxtIndex"},      {m_grid, "MSHFlexGrid1"},      {m_statusBar, "StatusBar1"},
        {m_banner, "frmBannerPannel"}};
    for (const auto& [w, name] : controls)
        place(w, QString::fromLatin1(name));
    // The label keeps its designed box; its font gives way where the text would be cut.
    QFont labelFont = font();
    const QString labelText = QString(m_groupLabel->text()).remove(u'&');
    while (QFontMetrics(labelFont).horizontalAdvance(labelText) > m_groupLabel->width() &&
           labelFont.pointSizeF() > 6)
        labelFont.setPointSizeF(labelFont.pointSizeF() - 0.5);
    m_groupLabel->setFont(labelFont);

    // Panel 1 keeps its width; panel 2 takes what the status bar grows by, and gives its far
    // half to the sync's note while that is shown.
    const int h = m_statusBar->height();
    int p2 = tw.px(m_layout.statusPanel2Width);
    const int p1 = std::max(0, m_statusBar->width() - p2);
    const int p3 = m_syncPanel->isHidden() ? 0 : p2 / 2;
    p2 -= p3;
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    m_panels[0]->setGeometry(rtl ? m_statusBar->width() - p1 : 0, 0, p1, h);
    m_panels[1]->setGeometry(rtl ? p3 : p1, 0, p2, h);
    m_syncPanel->setGeometry(rtl ? 0 : p1 + p2, 0, p3, h);
}

} // namespace app
