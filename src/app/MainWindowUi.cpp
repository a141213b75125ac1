// Building the main window's controls and menus, and placing them from the twips table.
#include "app/FlexGrid.h"
#include "app/LetterTabs.h"
#include "app/MainWindow.h"
#include "i18n/StringTable.h"
#include "shell/Shared.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
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

void MainWindow::buildControls() {
    m_client = named(new QWidget(this), QStringLiteral("frmVeskClient"));
    setCentralWidget(m_client);

    Line1[0] = decoration(m_client, QStringLiteral("Line1"), QColor(0x80, 0x80, 0x80));
    Line1[1] = decoration(m_client, QStringLiteral("Line1"), Qt::white);
    frmBannerPannel =
        decoration(m_client, QStringLiteral("frmBannerPannel"), QColor(0x80, 0x00, 0x80));
    Shape2 = decoration(m_client, QStringLiteral("Shape2"), QColor(0x80, 0x00, 0x80));

    TabVesk =
        named(new LetterTabs(m_client), QStringLiteral("TabVesk"), QStringLiteral("Letter index"));
    for (size_t i = 0; i < Shape1.size(); ++i)
        Shape1[i] = decoration(m_client, QStringLiteral("Shape1"), QColor(0x80, 0x00, 0x80));

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
        lblHeader[size_t(i)] = l;
    }
    lblHeader[1]->setAccessibleName(QString());

    // Alt+G reaches the group box from the keyboard.
    Label2 =
        named(new QLabel(QStringLiteral("&Group Selection"), m_client), QStringLiteral("Label2"));
    cmbGroup = named(new QComboBox(m_client), QStringLiteral("cmbGroup"),
                     QStringLiteral("Group Selection"));
    Label2->setBuddy(cmbGroup);

    auto button = [this](const QString& name) {
        auto* b = named(new QToolButton(m_client), name);
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return b;
    };
    btnAdd = button(QStringLiteral("btnAdd"));
    btnEdit = button(QStringLiteral("btnEdit"));
    btnSearch = button(QStringLiteral("btnSearch"));
    btnDial = button(QStringLiteral("btnDial"));
    btnMail = button(QStringLiteral("btnMail"));
    btnAll = button(QStringLiteral("btnAll"));
    btnDelete = button(QStringLiteral("btnDelete"));
    btnQuit = button(QStringLiteral("btnQuit"));

    TxtIndex =
        named(new QLineEdit(m_client), QStringLiteral("TxtIndex"), QStringLiteral("Selected card"));
    MSHFlexGrid1 = named(new FlexGrid(m_client), QStringLiteral("MSHFlexGrid1"),
                         QStringLiteral("Contact list"));

    StatusBar1 =
        named(new QFrame(m_client), QStringLiteral("StatusBar1"), QStringLiteral("Status"));
    StatusBar1->setFrameShape(QFrame::NoFrame);
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i] = named(new QLabel(StatusBar1), QStringLiteral("Panel%1").arg(i + 1),
                            QStringLiteral("Status panel %1").arg(i + 1));
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
    }

    // The tab strip lies under the controls on its face.
    TabVesk->lower();
    for (QFrame* s : Shape1)
        s->lower();
}

QAction* MainWindow::addAction(QMenu* menu, const QString& name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));
    auto menu = [](QMenuBar* b, const QString& name) {
        QMenu* m = b->addMenu(QString());
        m->setObjectName(name);
        m->menuAction()->setObjectName(name + QStringLiteral("Menu"));
        return m;
    };
    auto checkable = [](QAction* a) {
        a->setCheckable(true);
        return a;
    };

    mnuFile = menu(bar, QStringLiteral("mnuFile"));
    mnuAdd = addAction(mnuFile, QStringLiteral("mnuAdd"));
    mnuEdit = addAction(mnuFile, QStringLiteral("mnuEdit"));
    mnuDel = addAction(mnuFile, QStringLiteral("mnuDel"));
    mnuFile->addSeparator();
    mnuPrint = addAction(mnuFile, QStringLiteral("mnuPrint"));
    mnuFile->addSeparator();
    mnuExit = addAction(mnuFile, QStringLiteral("mnuExit"));
    mnuFile->addSeparator();
    mnuImportContacts = addAction(mnuFile, QStringLiteral("mnuImportContacts"));
    mnuExportContacts = addAction(mnuFile, QStringLiteral("mnuExportContacts"));

    mnuOption = menu(bar, QStringLiteral("mnuOption"));
    mnuDialingNum = addAction(mnuOption, QStringLiteral("mnuDialingNum"));
    mnuSendMail = addAction(mnuOption, QStringLiteral("mnuSendMail"));
    mnuOption->addSeparator();
    mnuImportVcard =
        addAction(mnuOption, QStringLiteral("mnuImportVcard"), QStringLiteral("Import vCard..."));
    mnuExportVcard =
        addAction(mnuOption, QStringLiteral("mnuExportVcard"), QStringLiteral("Export vCard..."));
    mnuOption->addSeparator();
    mnuImportDB = addAction(mnuOption, QStringLiteral("mnuImportDB"));
    mnuExportDB = addAction(mnuOption, QStringLiteral("mnuExportDB"));
    mnuOption->addSeparator();
    mnuEnableLiveUpdate = checkable(addAction(mnuOption, QStringLiteral("mnuEnableLiveUpdate")));
    mnuCheckVersionUpdate = addAction(mnuOption, QStringLiteral("mnuCheckVersionUpdate"));

    mnuView = menu(bar, QStringLiteral("mnuView"));
    mnuAll = addAction(mnuView, QStringLiteral("mnuAll"));
    mnuSearch = addAction(mnuView, QStringLiteral("mnuSearch"));
    mnuView->addSeparator();
    mnuSetLang = mnuView->addMenu(QString());
    mnuSetLang->setObjectName(QStringLiteral("mnuSetLang"));
    mnuLangHebrew = checkable(addAction(mnuSetLang, QStringLiteral("mnuLangHebrew")));
    mnuLangEnglish = checkable(addAction(mnuSetLang, QStringLiteral("mnuLangEnglish")));
    mnuView->addSeparator();
    mnuDbg = checkable(addAction(mnuView, QStringLiteral("mnuDbg")));

    mnuHelp = menu(bar, QStringLiteral("mnuHelp"));
    mnuAbout = addAction(mnuHelp, QStringLiteral("mnuAbout"));
    buildPopups();
}

void MainWindow::buildPopups() {
    // The grid's context menu and the notification-area menu are shown as pop-ups only.
    popFile = new QMenu(QStringLiteral("&File"), this);
    popFile->setObjectName(QStringLiteral("popFile"));
    popAdd = addAction(popFile, QStringLiteral("popAdd"));
    popEdit = addAction(popFile, QStringLiteral("popEdit"));
    popDel = addAction(popFile, QStringLiteral("popDel"));
    popFile->addSeparator();
    popDialing = addAction(popFile, QStringLiteral("popDialing"));
    popSendMail = addAction(popFile, QStringLiteral("popSendMail"));
    popFile->addSeparator();
    popSearch = addAction(popFile, QStringLiteral("popSearch"));
    popFile->addSeparator();
    popPrint = addAction(popFile, QStringLiteral("popPrint"));

    mPopupSys = new QMenu(QStringLiteral("mPopupSys"), this);
    mPopupSys->setObjectName(QStringLiteral("mPopupSys"));
    mPopRestore = addAction(mPopupSys, QStringLiteral("mPopRestore"));
    mpopSearch = addAction(mPopupSys, QStringLiteral("mpopSearch"));
    mPopupSys->addSeparator();
    mPopExit = addAction(mPopupSys, QStringLiteral("mPopExit"));
}

void MainWindow::buildKeys() {
    // Shortcuts, shown beside the items in both languages.
    const std::pair<QAction*, QKeySequence> shortcuts[] = {
        {mnuAdd, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {mnuEdit, QKeySequence(Qt::CTRL | Qt::Key_E)},
        {mnuSearch, QKeySequence(Qt::CTRL | Qt::Key_F)},
        {mnuPrint, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {mnuExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {mnuAbout, QKeySequence(Qt::Key_F1)}};
    for (const auto& [item, keys] : shortcuts)
        item->setShortcut(keys);

    // The Hebrew titles carry Hebrew mnemonics, out of reach of a Latin keyboard: in Hebrew
    // the menus also open with Alt and the letter of their English title.
    namespace off = i18n::off;
    const std::pair<QMenu*, int> titles[] = {{mnuFile, off::mnuFile},
                                             {mnuOption, off::mnuOption},
                                             {mnuView, off::mnuView},
                                             {mnuHelp, off::mnuHelp}};
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

void MainWindow::applyLayout() {
    const Twips tw(dpi());
    auto place = [&](QWidget* w, const QString& name) {
        w->setGeometry(tw.rect(m_layout.at(name)));
    };
    for (size_t i = 0; i < 2; ++i) {
        place(Line1[i], QStringLiteral("Line1(%1)").arg(i));
        place(lblHeader[i], QStringLiteral("lblHeader(%1)").arg(i));
    }
    for (size_t i = 0; i < Shape1.size(); ++i)
        place(Shape1[i], QStringLiteral("Shape1(%1)").arg(i));
    const std::pair<QWidget*, const char*> controls[] = {
        {Label2, "Label2"},         {cmbGroup, "cmbGroup"},
        {Shape2, "Shape2"},         {TabVesk, "TabVesk"},
        {btnAdd, "btnAdd"},         {btnEdit, "btnEdit"},
        {btnSearch, "btnSearch"},   {btnDial, "btnDial"},
        {btnMail, "btnMail"},       {btnAll, "btnAll"},
        {btnDelete, "btnDelete"},   {btnQuit, "btnQuit"},
        {TxtIndex, "TxtIndex"},     {MSHFlexGrid1, "MSHFlexGrid1"},
        {StatusBar1, "StatusBar1"}, {frmBannerPannel, "frmBannerPannel"}};
    for (const auto& [w, name] : controls)
        place(w, QString::fromLatin1(name));
    // The label keeps its designed box; its font gives way where the text would be cut.
    QFont labelFont = font();
    const QString labelText = QString(Label2->text()).remove(u'&');
    while (QFontMetrics(labelFont).horizontalAdvance(labelText) > Label2->width() &&
           labelFont.pointSizeF() > 6)
        labelFont.setPointSizeF(labelFont.pointSizeF() - 0.5);
    Label2->setFont(labelFont);

    // Panel 1 keeps its width; panel 2 takes what the status bar grows by.
    const int h = StatusBar1->height();
    const int p2 = tw.px(m_layout.statusPanel2Width);
    const int p1 = std::max(0, StatusBar1->width() - p2);
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    m_panels[0]->setGeometry(rtl ? StatusBar1->width() - p1 : 0, 0, p1, h);
    m_panels[1]->setGeometry(rtl ? 0 : p1, 0, p2, h);
}

} // namespace app
