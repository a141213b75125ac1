#include "search/SearchWindow.h"

#include "i18n/Messages.h"
#include "platform/Prompter.h"
#include "shell/Shared.h"
#include "shell/TextDirection.h"
#include "shell/VeskHost.h"
#include "store/ContactRecord.h"
#include "store/Recordset.h"
#include "store/StoreError.h"
#include "store/Text.h"

#include <QAbstractListModel>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QTextOption>
#include <QToolButton>
#include <QVBoxLayout>

namespace search {

namespace {

constexpr int entryWidth = 22;

// A column of the detail line: what it shows of a card and its width in characters.
struct Column {
    store::Role role;
    int width;
};
constexpr Column columns[] = {
    {store::Role::Fax, 11},
    {store::Role::Work, 12},
    {store::Role::Mobile, 12},
    {store::Role::Home, 11},
};
constexpr int nameWidth = 17;

QString blanks(qsizetype n) {
    return n > 0 ? QString(n, u' ') : QString();
}

// The list and the labels are laid out in columns of characters, so the font must really
// be fixed-pitch, with Hebrew letters of the same width: the first of these that resolves
// to one.
QFont fixedPitch() {
    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QStringList families{QStringLiteral("Courier New"),
                               QStringLiteral("Miriam Mono CLM"),
                               system.family(),
                               QStringLiteral("DejaVu Sans Mono"),
                               QStringLiteral("Liberation Mono"),
                               QStringLiteral("Nimbus Mono PS"),
                               QStringLiteral("Noto Mono")};
    for (const QString& family : families) {
        QFont font = system;
        font.setFamilies({family});
        font.setStyleHint(QFont::TypeWriter);
        // A fixed-pitch Latin font may take its Hebrew letters from another, wider font.
        const QFontMetricsF metrics(font);
        if (QFontInfo(font).fixedPitch() && metrics.inFont(u'א') &&
            metrics.horizontalAdvance(u'א') == metrics.horizontalAdvance(u'M'))
            return font;
    }
    return system;
}

// A line of fixed-pitch columns, laid out left to right from its left edge whatever letter
// it begins with: the heading is Hebrew in logical order, shown reversed as one run so that
// each word stands over its column of the detail line, and a label would take a text
// beginning with a Hebrew letter for a right-to-left paragraph. A line may be painted from
// another text than the one it holds (the detail line with its values isolated).
class LineLabel final : public QLabel {
public:
    using QLabel::QLabel;

    void setLine(const QString& text, const QString& shown) {
        m_text = text;
        m_shown = shown;
        setText(text);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
        QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
        option.setTextDirection(Qt::LeftToRight);
        option.setWrapMode(QTextOption::NoWrap);
        painter.drawText(QRectF(contentsRect()), text() == m_text ? m_shown : text(), option);
    }

private:
    QString m_text;
    QString m_shown;
};

// An entry of the list: the trimmed name right-aligned in its column.
QString entryText(const QString& trimmedName) {
    return blanks(entryWidth - trimmedName.size()) + trimmedName;
}

QString personalHeading() {
    return QStringLiteral(" שם/חברה          טל' בבית      פלאפון      טל' בעבודה    פקס");
}

QString workHeading() {
    return QStringLiteral(" שם/חברה          טל' בבית      פלאפון      טל' בעבודה   מחלקה");
}

// A detail line as text, and as painted: each value isolated, so that it reads in its own
// direction and leaves its neighbours in their columns.
struct DetailLine {
    QString text;
    QString shown;
};

DetailLine detailLine(const store::ContactRecord& card) {
    DetailLine line{QStringLiteral(" "), QStringLiteral(" ")};
    for (const Column& c : columns) {
        const QString value = store::trimSpaces(card[c.role].value_or(QString()));
        line.text += value + blanks(c.width - value.size());
        line.shown += shell::isolated(value) + blanks(c.width - value.size());
    }
    const QString name = store::trimSpaces(card[store::Role::Name].value_or(QString()));
    line.text += blanks(nameWidth - name.size()) + name;
    line.shown += blanks(nameWidth - name.size()) + shell::isolated(name);
    return line;
}

} // namespace

// The entries: the names a cursor read that pass the list's filter, kept in the cursor's
// store; an entry's text is made when it is shown.
class NameList final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_slots.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount() ||
            (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
            return {};
        return entryText(name(index.row()));
    }

    // The names of `rows`, in `order`, whose trimmed text begins with `typed` exactly.
    void show(std::shared_ptr<const store::RowStore> rows, const std::vector<int>& order,
              int nameField, const QString& typed) {
        beginResetModel();
        m_rows = std::move(rows);
        m_nameField = nameField;
        m_slots.clear();
        const QByteArray prefix = typed.toUtf8();
        for (int slot : order) {
            if (store::trimSpaces(m_rows->utf8(slot, nameField)).startsWith(prefix))
                m_slots.push_back(slot);
        }
        endResetModel();
    }
    void clear() {
        beginResetModel();
        m_rows.reset();
        m_slots.clear();
        endResetModel();
    }
    QString name(int row) const {
        const QByteArrayView bytes =
            store::trimSpaces(m_rows->utf8(m_slots[size_t(row)], m_nameField));
        return QString::fromUtf8(bytes.data(), bytes.size());
    }
    qint64 cardId(int row) const { return m_rows->rowid(m_slots[size_t(row)]); }

private:
    std::shared_ptr<const store::RowStore> m_rows;
    int m_nameField = 0;
    std::vector<int> m_slots;
};

SearchWindow::SearchWindow(mdlVesk::Shared& shared, platform::Prompter& prompter,
                           shell::VeskHost& host, QWidget* parent)
    : SecondaryWindow(parent), m_shared(shared), m_prompter(prompter), m_host(host) {
    setObjectName(QStringLiteral("SearchFrm"));
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    setWindowTitle(QStringLiteral("Record Searching..."));
    const QFont fixed = fixedPitch();

    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* searchLabel = new QLabel(QStringLiteral("Searching Againt according to Names"), this);
    searchLabel->setObjectName(QStringLiteral("Label1"));
    m_searchBox = new QLineEdit(this);
    m_searchBox->setObjectName(QStringLiteral("TxtStr"));
    searchLabel->setBuddy(m_searchBox);
    m_searchBox->setAccessibleName(searchLabel->text());
    top->addWidget(searchLabel);
    top->addWidget(m_searchBox, 1);
    outer->addLayout(top);

    m_names = new QListView(this);
    m_list = new NameList(m_names);
    m_names->setModel(m_list);
    m_names->setObjectName(QStringLiteral("LstSearch"));
    m_names->setAccessibleName(QStringLiteral("Names found"));
    m_names->setFont(fixed);
    m_names->setUniformItemSizes(true);
    // Each entry is laid out from the left edge like the labels; its name reads in its own
    // direction.
    m_names->setItemDelegate(new shell::PaddedLineDelegate(m_names));
    m_names->setSelectionMode(QAbstractItemView::SingleSelection);
    m_names->setMinimumSize(QFontMetrics(fixed).horizontalAdvance(QString(entryWidth + 4, u'M')),
                            200);
    outer->addWidget(m_names, 1);

    auto label = [&](const char* name) {
        auto* l = new LineLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(fixed);
        l->setTextFormat(Qt::PlainText);
        l->setLayoutDirection(Qt::LeftToRight);
        l->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
        l->setTextInteractionFlags(Qt::NoTextInteraction);
        outer->addWidget(l);
        return l;
    };
    m_heading = label("LblHdr");
    m_details = label("LblSel");

    auto* cancelButton = new QToolButton(this);
    cancelButton->setObjectName(QStringLiteral("btnCancel"));
    cancelButton->setText(QStringLiteral("Cancel"));
    cancelButton->setToolTip(QStringLiteral("Cancel searching process"));
    cancelButton->setAutoRaise(true);
    cancelButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    cancelButton->setMinimumWidth(70);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    outer->addLayout(buttons);

    setTabOrder(m_searchBox, m_names);
    setTabOrder(m_names, cancelButton);

    // The key filter sees each key before the box inserts its character.
    m_searchBox->installEventFilter(this);
    connect(m_searchBox, &QLineEdit::textChanged, this, &SearchWindow::relist);
    connect(m_names->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_quiet)
            showDetails();
    });
    connect(cancelButton, &QToolButton::clicked, this, &SearchWindow::close);
}

SearchWindow::~SearchWindow() = default;

SearchWindow::Group SearchWindow::hostGroup() const {
    return shell::groupNamed(m_shared, m_host.groupText());
}

void SearchWindow::relist() {
    const QString typed = m_searchBox->text();
    const Group group = hostGroup();
    bool failed = false;

    m_quiet = true;
    m_names->setUpdatesEnabled(false);
    m_list->clear();
    m_listTable.clear();
    if (group != Group::None) {
        const QString table = shell::tableOf(group);
        try {
            const std::unique_ptr<store::Recordset> rs = m_shared.db.openRecordset(
                store::Query::namePrefix(table, typed, m_shared.SortOrder));
            const int nameField = rs->fieldIndex(store::columnOf(group, store::Role::Name));
            if (nameField < 0)
                throw store::StoreError(store::StoreError::NoSuchField,
                                        QStringLiteral("Item not found in this collection"));
            // The query matches without regard to case; the list keeps only the names that
            // begin with the text exactly as typed.
            m_list->show(rs->rows(), rs->order(), nameField, typed);
            m_listTable = table;
        } catch (const store::StoreError&) {
            m_list->clear();
            failed = true;
        }
    }
    m_names->setUpdatesEnabled(true);
    m_quiet = false;

    if (failed)
        m_prompter.tell(i18n::messages::failedToOpen(), m_shared.AppTitle);
}

void SearchWindow::keyTyped(QChar key) {
    if (key != u'2')
        return;
    const int row = selectedEntry();
    const int count = m_list->rowCount();
    if (row < 0) {
        if (count > 0)
            select(0);
    } else if (row < count - 1) {
        select(row + 1);
    }
}

void SearchWindow::select(int row) {
    m_quiet = true;
    m_names->setCurrentIndex(m_list->index(row));
    m_quiet = false;
    showDetails();
}

void SearchWindow::showDetails() {
    const int row = selectedEntry();
    if (row < 0)
        return;
    const Group group = hostGroup();
    if (group == Group::None) {
        m_heading->clear();
        m_details->clear();
        return;
    }
    const QString table = shell::tableOf(group);
    const QString name = m_list->name(row);
    // The entry's own card, when it still has its name and the list came from this table.
    const qint64 cardId =
        table == m_listTable && row < m_list->rowCount() ? m_list->cardId(row) : -1;

    // A card gone, renamed or of the other group meanwhile leaves the labels as they are.
    try {
        store::Connection& db = m_shared.db.connection();
        // A name stored with blanks around it equals the entry only once trimmed.
        std::optional<store::ContactRecord> card;
        if (cardId >= 0)
            card = store::ReadContact(db, group, cardId);
        if (!card || store::trimSpaces((*card)[store::Role::Name].value_or(QString())) != name) {
            // Else the first card of this name.
            const std::unique_ptr<store::Recordset> named =
                m_shared.db.openRecordset(store::Query::nameEquals(table, name));
            named->first();
            card = named->atEnd() ? std::nullopt : store::ReadContact(db, group, named->rowid());
        }
        if (!card)
            return;
        const DetailLine detail = detailLine(*card);
        m_heading->setText(group == Group::Work ? workHeading() : personalHeading());
        static_cast<LineLabel*>(m_details)->setLine(detail.text, detail.shown);
    } catch (const store::StoreError&) {
    }
}

void SearchWindow::bringBack() {
    showNormal();
    raise();
    activateWindow();
}

int SearchWindow::selectedEntry() const {
    const QModelIndex current = m_names->currentIndex();
    return current.isValid() && m_names->selectionModel()->isSelected(current) ? current.row() : -1;
}

QString SearchWindow::searchText() const {
    return m_searchBox->text();
}

void SearchWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const int current = m_names->currentIndex().row();
        if (current >= 0)
            select(current);
        else if (m_list->rowCount() > 0)
            select(0);
        return;
    }
    case Qt::Key_Escape:
        close();
        return;
    default:
        SecondaryWindow::keyPressEvent(event);
    }
}

void SearchWindow::changeEvent(QEvent* event) {
    SecondaryWindow::changeEvent(event);
    // A minimised search window leaves the task bar; the Search command brings it back.
    // The hide is queued: showMinimized() shows the window again after announcing the state.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isMinimized())
                    hide();
            },
            Qt::QueuedConnection);
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_searchBox && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty())
            keyTyped(text.at(0));
    }
    return SecondaryWindow::eventFilter(watched, event);
}

} // namespace search
