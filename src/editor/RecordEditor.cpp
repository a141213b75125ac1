#include "editor/RecordEditor.h"

#include "i18n/Messages.h"
#include "platform/Prompter.h"
#include "shell/Shared.h"
#include "shell/VeskHost.h"
#include "store/ContactDatabase.h"
#include "store/Recordset.h"
#include "store/StoreError.h"
#include "store/Text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace editor {

namespace {

using platform::Icon;

const QString errorCaption = i18n::messages::errorMessage();

// The boxes in the order of store::Role; the group decides which column each one writes.
struct BoxInfo {
    const char* name;
    const char16_t* label;
};

constexpr BoxInfo boxes[] = {
    {"TxtName", u": שם/חברה"},        {"TxtHome", u": טל' בבית"}, {"TxtPlp", u": פלאפון"},
    {"TxtWork", u": טל' בעבודה"},     {"TxtFax", u": מס' פקס"},   {"txtAddr", u": כתובת"},
    {"txtEmail", u": דואר אלקטרוני"},
};
static_assert(std::size(boxes) == store::RoleCount);

const QString noLongerThere = QStringLiteral(
    "The card being changed is no longer in the phone book; nothing has been written.");

QString str(const char16_t* s) {
    return QString::fromUtf16(s);
}

// The current row of a cursor on a group's table as a card.
store::ContactRecord cardAt(const store::Recordset& rs, shell::ContactGroup group) {
    store::ContactRecord card{group, rs.rowid(), {}};
    for (const store::CardField& f : store::fieldsOf(group))
        card[f.role] = rs.value(QString::fromUtf16(f.column));
    return card;
}

// Raised while loading or undoing when a field that must hold text holds Null.
struct NullField {};

} // namespace

RecordEditor::RecordEditor(mdlVesk::Shared& shared, platform::Prompter& prompter,
                           shell::VeskHost& host, const EditRequest& request, QWidget* parent)
    : SecondaryWindow(parent), m_shared(shared), m_prompter(prompter), m_host(host),
      m_request(request) {
    setObjectName(QStringLiteral("FrmNewPhn"));
    // The labels are Hebrew in both interface languages, so the window reads right to left.
    setLayoutDirection(Qt::RightToLeft);

    auto* outer = new QVBoxLayout(this);
    m_heading = new QLabel(QStringLiteral("Add/Modify Record"), this);
    m_heading->setObjectName(QStringLiteral("lblHeader"));
    QFont headerFont = m_heading->font();
    headerFont.setPointSize(headerFont.pointSize() + 4);
    headerFont.setBold(true);
    m_heading->setFont(headerFont);
    outer->addWidget(m_heading);
    auto* recordLabel = new QLabel(QStringLiteral("Phone Record"), this);
    recordLabel->setObjectName(QStringLiteral("lblRecord"));
    outer->addWidget(recordLabel);

    auto* grid = new QGridLayout;
    for (int b = 0; b < BoxCount; ++b) {
        auto* label = new QLabel(str(boxes[b].label), this);
        label->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(boxes[b].name));
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(boxes[b].name));
        label->setBuddy(box);
        box->setAccessibleName(store::trimSpaces(label->text().mid(1)));
        grid->addWidget(label, b, 0);
        grid->addWidget(box, b, 1);
        m_labels[size_t(b)] = label;
        m_boxes[size_t(b)] = box;
    }
    m_boxes[Name]->setToolTip(QStringLiteral("שם משפחה ופרטי או שם חברה"));
    m_boxes[Address]->setMinimumWidth(260);
    outer->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const char* caption, const char* tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(QString::fromLatin1(caption));
        b->setToolTip(QString::fromLatin1(tip));
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setMinimumWidth(70);
        buttons->addWidget(b);
        return b;
    };
    m_addButton = button("btnAdd", "Add", "Add new phone record");
    m_clearButton = button("btnClr", "Clear", "Clear new record");
    m_updateButton = button("btnUpdate", "Update", "Update current record");
    m_undoButton = button("btnUndo", "Undo", "Undo record changes");
    m_cancelButton = button("btnRtn", "Cancel", "Cancel & Quit");
    outer->addLayout(buttons);

    for (int b = 0; b + 1 < BoxCount; ++b)
        setTabOrder(m_boxes[size_t(b)], m_boxes[size_t(b + 1)]);

    connect(m_addButton, &QToolButton::clicked, this, &RecordEditor::addCard);
    connect(m_clearButton, &QToolButton::clicked, this, &RecordEditor::clearNameAndNumbers);
    connect(m_updateButton, &QToolButton::clicked, this, &RecordEditor::updateCard);
    connect(m_undoButton, &QToolButton::clicked, this, &RecordEditor::undoChanges);
    connect(m_cancelButton, &QToolButton::clicked, this, &RecordEditor::close);
}

RecordEditor::~RecordEditor() = default;

RecordEditor::Group RecordEditor::hostGroup() const {
    return shell::groupNamed(m_shared, m_host.groupText());
}

QString RecordEditor::boxText(int box) const {
    return store::trimSpaces(m_boxes[size_t(box)]->text());
}

void RecordEditor::showError(const QString& text) {
    m_prompter.tell(text, errorCaption, Icon::Critical);
}

bool RecordEditor::load() {
    const Group group = m_request.group;
    if (group == Group::Work)
        m_labels[Fax]->setText(QStringLiteral(": מחלקה"));
    else if (group == Group::Personal)
        m_labels[Fax]->setText(QStringLiteral(": פקס"));
    m_boxes[Fax]->setAccessibleName(store::trimSpaces(m_labels[Fax]->text().mid(1)));

    if (!m_request.updateMode) {
        setWindowTitle(QStringLiteral("Add New Phone Number"));
        m_heading->setText(QStringLiteral("Add Record"));
        m_updateButton->hide();
        m_undoButton->hide();
        show();
        return true;
    }

    setWindowTitle(QStringLiteral("Update Phone Number"));
    m_heading->setText(QStringLiteral("Modify Record"));
    m_addButton->hide();
    m_clearButton->hide();
    show();
    try {
        store::Recordset* rs = m_shared.db.CurrentRecordset.get();
        if (!rs)
            throw store::StoreError(store::StoreError::NotOpen,
                                    QStringLiteral("The database is not open"));
        // The selected card is found by its identity, wherever the grid's order put it.
        if (m_request.cardId < 0 || !rs->moveToRowid(m_request.cardId))
            throw store::StoreError(store::StoreError::NoCurrentRecord,
                                    QStringLiteral("No current record"));
        m_cardId = rs->rowid();
        // The values the grid showed, which an update must still find in the file.
        if (group != Group::None)
            m_loaded = cardAt(*rs, group);
        if (!m_request.selectedName.isEmpty() && m_loaded)
            fillFrom(*m_loaded);
    } catch (const store::StoreError&) {
        showError(QStringLiteral("The current record is non-valid"));
        return false;
    } catch (const NullField&) {
        showError(QStringLiteral("The current record is non-valid"));
        return false;
    }
    return true;
}

void RecordEditor::fillFrom(const store::ContactRecord& card) {
    for (int b = 0; b < BoxCount; ++b) {
        const store::Value& v = card[store::Role(b)];
        if (!v) {
            // An address or e-mail may be Null: the box is left empty (Undo empties it, so
            // nothing typed survives).
            if (b == Address || b == Email) {
                m_boxes[size_t(b)]->clear();
                continue;
            }
            throw NullField{};
        }
        m_boxes[size_t(b)]->setText(store::trimSpaces(*v));
    }
}

bool RecordEditor::validate(Group group) {
    auto fail = [this](const QString& text) {
        showError(text);
        return false;
    };
    if (boxText(Name).isEmpty())
        return fail(i18n::messages::nameEmpty());
    if (boxText(Home).isEmpty() && boxText(Mobile).isEmpty() && boxText(Work).isEmpty() &&
        boxText(Fax).isEmpty())
        return fail(i18n::messages::noNumber());
    for (int b = 0; b < BoxCount; ++b) {
        const store::CardField& field = store::fieldOf(group, store::Role(b));
        if (boxText(b).size() > field.longest)
            return fail(i18n::messages::fieldTooLong(QString::fromLatin1(field.word)));
    }
    return true;
}

bool RecordEditor::databaseOpen() {
    if (m_shared.db.isOpen())
        return true;
    m_prompter.tell(i18n::messages::failedToOpen(), m_shared.AppTitle);
    return false;
}

bool RecordEditor::nameTaken(Group group) {
    if (!store::NameTaken(m_shared.db.connection(), group, boxText(Name)))
        return false;
    showError(i18n::messages::nameUsed());
    return true;
}

store::ContactRecord RecordEditor::typedCard(Group group) const {
    store::ContactRecord card{group, m_cardId, {}};
    for (int b = 0; b < BoxCount; ++b) {
        QString text = boxText(b);
        if ((b == Address || b == Email) && text.isEmpty())
            text = QStringLiteral(" ");
        card[store::Role(b)] = text;
    }
    return card;
}

void RecordEditor::finish(const QString& done, qint64 cardId) {
    m_prompter.tell(done, m_shared.AppTitle);
    m_host.refreshAfterWrite(cardId);
    close();
}

void RecordEditor::addCard() {
    // The card goes to the group the main window shows now.
    const Group group = hostGroup();
    if (group == Group::None || !databaseOpen())
        return;
    if (!validate(group))
        return;
    qint64 cardId = -1;
    try {
        if (nameTaken(group))
            return;
        cardId = store::InsertContact(m_shared.db.connection(), typedCard(group));
    } catch (const store::StoreError& e) {
        // Refused by the store (a value too long for its field), or the file is locked.
        showError(e.description());
        return;
    }
    finish(i18n::messages::recordAdded(), cardId);
}

void RecordEditor::updateCard() {
    // The card loaded at opening is the one updated, whatever the main window lists now.
    if (!m_loaded) {
        showError(noLongerThere);
        return;
    }
    if (!databaseOpen())
        return;
    const QString stored = store::trimSpaces((*m_loaded)[store::Role::Name].value_or(QString()));
    try {
        const bool ok =
            validate(m_request.group) && (boxText(Name) == stored || !nameTaken(m_request.group));
        if (!ok) {
            m_boxes[Name]->setText(stored);
            return;
        }
        if (!store::UpdateContact(m_shared.db.connection(), *m_loaded,
                                  typedCard(m_request.group))) {
            // Deleted or changed meanwhile, or its identity now belongs to another card.
            showError(noLongerThere);
            m_host.refreshList();
            return;
        }
    } catch (const store::StoreError& e) {
        showError(e.description());
        return;
    }
    finish(QStringLiteral("The current record has been updated"), m_cardId);
}

void RecordEditor::undoChanges() {
    if (!m_loaded)
        return;
    try {
        fillFrom(*m_loaded);
    } catch (const NullField&) {
        showError(QStringLiteral("The current record is non-valid"));
    }
}

void RecordEditor::clearNameAndNumbers() {
    for (int b : {Name, Home, Mobile, Fax, Work})
        m_boxes[size_t(b)]->clear();
}

void RecordEditor::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // A button with the focus is the one pressed, as a click would; otherwise the default.
        auto* focused = qobject_cast<QAbstractButton*>(focusWidget());
        QAbstractButton* target = focused && focused->isVisible() ? focused
                                  : m_addButton->isVisible()      ? m_addButton
                                                                  : m_updateButton;
        target->click();
        return;
    }
    case Qt::Key_Escape:
        m_cancelButton->click();
        return;
    default:
        SecondaryWindow::keyPressEvent(event);
    }
}

} // namespace editor
