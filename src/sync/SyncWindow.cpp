#include "sync/SyncWindow.h"

#include "platform/Prompter.h"
#include "sync/SyncTexts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace carddav {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLabel* buddyLabel(QWidget* parent, const char* name, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    return label;
}

} // namespace

SyncWindow::SyncWindow(SyncController& controller, platform::Prompter& prompter, bool hebrew,
                       const QString& personalName, const QString& workName, QWidget* owner)
    : shell::SecondaryWindow(owner), m_controller(controller), m_prompter(prompter),
      m_hebrew(hebrew), m_personalName(personalName), m_workName(workName) {
    setObjectName(QStringLiteral("frmSync"));
    setWindowTitle(textOf(Text::Caption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setLayoutDirection(hebrew ? Qt::RightToLeft : Qt::LeftToRight);
    buildControls();
    loadSettings();
    m_controller.setPasswordPrompt(this);
    connect(btnFindBooks, &QPushButton::clicked, this, &SyncWindow::findBooks);
    connect(btnNewPersonalBook, &QPushButton::clicked, this,
            [this] { newBook(store::ContactGroup::Personal); });
    connect(btnNewWorkBook, &QPushButton::clicked, this,
            [this] { newBook(store::ContactGroup::Work); });
    connect(btnSyncNow, &QPushButton::clicked, this, &SyncWindow::syncNow);
    connect(btnKeep, &QPushButton::clicked, this, &SyncWindow::keepSelected);
    connect(btnDiscard, &QPushButton::clicked, this, &SyncWindow::discardSelected);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_controller, &SyncController::started, this, [this] {
        btnSyncNow->setEnabled(false);
        lblResult->setText(textOf(Text::Syncing));
    });
    connect(&m_controller, &SyncController::finished, this,
            [this] { btnSyncNow->setEnabled(true); });
    connect(&m_controller, &SyncController::resultChanged, this, &SyncWindow::showResult);
    connect(&m_controller, &SyncController::conflictsChanged, this, &SyncWindow::fillConflicts);
    connect(&m_controller, &SyncController::keychainMissing, this, [this](const QString& line) {
        m_prompter.tell(line, textOf(Text::Caption), platform::Icon::Information);
    });
    fillConflicts();
}

SyncWindow::~SyncWindow() {
    m_controller.setPasswordPrompt(nullptr);
}

QString SyncWindow::textOf(Text id) const {
    return text(id, m_hebrew);
}

void SyncWindow::buildControls() {
    txtServer = new QLineEdit(this);
    txtServer->setObjectName(QStringLiteral("txtServer"));
    txtServer->setPlaceholderText(QStringLiteral("https://"));
    txtUser = new QLineEdit(this);
    txtUser->setObjectName(QStringLiteral("txtUser"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    cboPersonalBook = new QComboBox(this);
    cboPersonalBook->setObjectName(QStringLiteral("cboPersonalBook"));
    cboWorkBook = new QComboBox(this);
    cboWorkBook->setObjectName(QStringLiteral("cboWorkBook"));
    btnFindBooks = button(this, "btnFindBooks", textOf(Text::FindBooks));
    btnNewPersonalBook = button(this, "btnNewPersonalBook", textOf(Text::NewBook));
    btnNewPersonalBook->setAccessibleName(textOf(Text::NewBook).remove(u'&') + u' ' +
                                          m_personalName);
    btnNewWorkBook = button(this, "btnNewWorkBook", textOf(Text::NewBook));
    btnNewWorkBook->setAccessibleName(textOf(Text::NewBook).remove(u'&') + u' ' + m_workName);
    btnSyncNow = button(this, "btnSyncNow", textOf(Text::SyncNow));
    btnSyncNow->setDefault(true);
    lblResult = new QLabel(textOf(Text::NeverSynced), this);
    lblResult->setObjectName(QStringLiteral("lblResult"));
    lblResult->setWordWrap(true);
    lblResult->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lstConflicts = new QListWidget(this);
    lstConflicts->setObjectName(QStringLiteral("lstConflicts"));
    btnKeep = button(this, "btnKeep", textOf(Text::KeepThis));
    btnDiscard = button(this, "btnDiscard", textOf(Text::Discard));
    btnClose = button(this, "btnClose", textOf(Text::Close));

    auto* form = new QFormLayout;
    form->addRow(buddyLabel(this, "lblServer", textOf(Text::Server), txtServer), txtServer);
    form->addRow(buddyLabel(this, "lblUser", textOf(Text::User), txtUser), txtUser);
    form->addRow(buddyLabel(this, "lblPassword", textOf(Text::Password), txtPassword), txtPassword);
    auto bookRow = [this](QComboBox* box, QPushButton* make) {
        auto* row = new QHBoxLayout;
        row->addWidget(box, 1);
        row->addWidget(make);
        return row;
    };
    form->addRow(buddyLabel(this, "lblPersonalBook", textOf(Text::PersonalBook), cboPersonalBook),
                 bookRow(cboPersonalBook, btnNewPersonalBook));
    form->addRow(buddyLabel(this, "lblWorkBook", textOf(Text::WorkBook), cboWorkBook),
                 bookRow(cboWorkBook, btnNewWorkBook));
    auto* actions = new QHBoxLayout;
    actions->addWidget(btnFindBooks);
    actions->addStretch();
    actions->addWidget(btnSyncNow);
    auto* resultCaption = new QLabel(textOf(Text::LastResult), this);
    resultCaption->setObjectName(QStringLiteral("lblLastResult"));
    auto* conflictButtons = new QHBoxLayout;
    conflictButtons->addWidget(btnKeep);
    conflictButtons->addWidget(btnDiscard);
    conflictButtons->addStretch();
    conflictButtons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(actions);
    layout->addWidget(resultCaption);
    layout->addWidget(lblResult);
    layout->addWidget(buddyLabel(this, "lblConflicts", textOf(Text::Conflicts), lstConflicts));
    layout->addWidget(lstConflicts, 1);
    layout->addLayout(conflictButtons);
    resize(520, 460);
}

void SyncWindow::loadSettings() {
    const SyncSettings s = m_controller.settings();
    txtServer->setText(s.server);
    txtUser->setText(s.user);
    fillBooks({});
    if (!m_controller.lastResult().isEmpty())
        lblResult->setText(m_controller.lastResult());
}

// Each box: none, then the books found, and the book chosen before even when not found now.
void SyncWindow::fillBooks(const std::vector<AddressBook>& books) {
    const SyncSettings s = m_controller.settings();
    for (auto [box, chosen] :
         {std::pair{cboPersonalBook, s.personalBook}, std::pair{cboWorkBook, s.workBook}}) {
        const QString current = box->count() ? box->currentData().toString() : chosen;
        box->clear();
        box->addItem(QString(), QString());
        for (const AddressBook& b : books)
            box->addItem(b.displayName.isEmpty() ? b.href : b.displayName, b.href);
        if (!current.isEmpty() && box->findData(current) < 0)
            box->addItem(current, current);
        box->setCurrentIndex(std::max(0, box->findData(current)));
    }
}

void SyncWindow::saveFields() {
    SyncSettings s = m_controller.settings();
    s.server = txtServer->text().trimmed();
    s.user = txtUser->text().trimmed();
    s.personalBook = cboPersonalBook->currentData().toString();
    s.workBook = cboWorkBook->currentData().toString();
    m_controller.saveSettings(s);
    if (!txtPassword->text().isEmpty())
        m_controller.setPassword(txtPassword->text());
}

void SyncWindow::findBooks() {
    saveFields();
    btnFindBooks->setEnabled(false);
    m_controller.discover([self = QPointer<SyncWindow>(this)](const Discovered& found) {
        if (!self)
            return;
        self->btnFindBooks->setEnabled(true);
        if (!found.outcome.ok())
            return self->showResult(describe(found.outcome, self->m_hebrew));
        self->fillBooks(found.books);
        self->showResult(self->textOf(Text::BooksFound).arg(found.books.size()));
    });
}

void SyncWindow::newBook(store::ContactGroup group) {
    saveFields();
    const bool work = group == store::ContactGroup::Work;
    m_controller.createBook(
        work ? m_workName : m_personalName,
        [self = QPointer<SyncWindow>(this), work](const Outcome& o, const AddressBook& book) {
            if (!self)
                return;
            if (!o.ok())
                return self->showResult(describe(o, self->m_hebrew));
            QComboBox* box = work ? self->cboWorkBook : self->cboPersonalBook;
            box->addItem(book.displayName, book.href);
            box->setCurrentIndex(box->count() - 1);
            self->saveFields();
            self->showResult(self->textOf(Text::BookCreated));
        });
}

void SyncWindow::syncNow() {
    saveFields();
    m_controller.syncNow();
}

void SyncWindow::showResult(const QString& line) {
    lblResult->setText(line);
}

void SyncWindow::fillConflicts() {
    lstConflicts->clear();
    for (const Conflict& c : m_controller.conflicts()) {
        const QString list =
            c.local.group == store::ContactGroup::Work ? m_workName : m_personalName;
        QStringList values;
        for (const store::Value& v : c.local.values)
            if (v && !v->trimmed().isEmpty())
                values << v->trimmed();
        auto* item = new QListWidgetItem(
            textOf(Text::ConflictLine).arg(list, values.join(QStringLiteral(", "))), lstConflicts);
        item->setData(Qt::UserRole, c.id);
    }
    if (lstConflicts->count())
        lstConflicts->setCurrentRow(0);
    btnKeep->setEnabled(lstConflicts->count() > 0);
    btnDiscard->setEnabled(lstConflicts->count() > 0);
}

void SyncWindow::keepSelected() {
    if (QListWidgetItem* item = lstConflicts->currentItem())
        m_controller.keepLocal(item->data(Qt::UserRole).toLongLong());
}

void SyncWindow::discardSelected() {
    if (QListWidgetItem* item = lstConflicts->currentItem())
        m_controller.discard(item->data(Qt::UserRole).toLongLong());
}

std::optional<QString> SyncWindow::askAgain(const QString&, const QString&) {
    m_prompter.tell(textOf(Text::PasswordAgain), textOf(Text::Caption),
                    platform::Icon::Exclamation);
    txtPassword->clear();
    txtPassword->setFocus();
    return std::nullopt;
}

} // namespace carddav
