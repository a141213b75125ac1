#include "interchange/ImportPreview.h"

#include "i18n/StringTable.h"
#include "interchange/PhoneFit.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace interchange {

QString outcomeText(const PlannedCard& plan, int lang) {
    namespace off = i18n::off;
    switch (plan.outcome) {
    case Outcome::New:
        return i18n::text(lang, plan.notKept.empty() ? off::importNew : off::importNotKept);
    case Outcome::Duplicate:
        return i18n::text(lang, off::importDuplicate);
    case Outcome::Refused:
        break;
    }
    return i18n::text(lang, off::importRefused);
}

QString detailsText(const PlannedCard& plan, int lang) {
    QStringList parts;
    if (!plan.reason.isEmpty())
        parts << plan.reason.text(lang);
    for (const NotKept& n : plan.notKept)
        parts << QChar(0x2068) + n.number + QChar(0x2069) + QStringLiteral(": ") +
                     n.reason.text(lang);
    return parts.join(QStringLiteral("; "));
}

QString regionEntry(const QString& region, int lang) {
    // The code is isolated left to right: "+972" after a Hebrew name would read "972+".
    return regionName(region, lang) + u' ' + QChar(0x2066) + u'+' +
           QString::number(callingCode(region)) + QChar(0x2069);
}

// The preview's rows, their texts made as the view asks for them: a hundred thousand cards
// cost the list nothing until they are scrolled into sight.
class ImportPreview::Rows : public QAbstractTableModel {
public:
    explicit Rows(const ImportPreview& preview)
        : QAbstractTableModel(nullptr), m_preview(preview) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_preview.m_plans.size() + m_preview.m_problems.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 4;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        const size_t row = size_t(index.row());
        const int lang = m_preview.m_lang;
        if (row < m_preview.m_plans.size()) {
            const PlannedCard plan = m_preview.m_plans.at(row);
            switch (index.column()) {
            case 0:
                return QString::number(plan.line);
            case 1:
                return plan.name;
            case 2:
                return outcomeText(plan, lang);
            default:
                return detailsText(plan, lang);
            }
        }
        const FileProblem& problem = m_preview.m_problems[row - m_preview.m_plans.size()];
        switch (index.column()) {
        case 0:
            return QString::number(problem.line);
        case 1:
            return QString();
        case 2:
            return i18n::text(lang, i18n::off::importRefused);
        default:
            return problem.reason.text(lang);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        namespace off = i18n::off;
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        const int heads[] = {off::importHeadLine, off::importHeadName, off::importHeadOutcome,
                             off::importHeadDetails};
        return i18n::text(m_preview.m_lang, heads[qBound(0, section, 3)]);
    }
    // The preview's plans replaced by these.
    PlannedCards renew(PlannedCards& plans, PlannedCards with) {
        beginResetModel();
        std::swap(plans, with);
        endResetModel();
        return with;
    }

private:
    const ImportPreview& m_preview;
};

ImportPreview::ImportPreview(PlannedCards plans, const std::vector<FileProblem>& problems,
                             const QString& region, Replan replan, int lang, QWidget* parent)
    : QDialog(parent), m_plans(std::move(plans)), m_problems(problems), m_replan(std::move(replan)),
      m_lang(lang), m_region(new QComboBox(this)), m_hint(new QLabel(this)),
      m_rows(new Rows(*this)), m_list(new QTableView(this)) {
    namespace off = i18n::off;
    setObjectName(QStringLiteral("ImportPreview"));
    setWindowTitle(i18n::text(lang, off::importTitle));
    setLayoutDirection(lang == i18n::LangHebrew ? Qt::RightToLeft : Qt::LeftToRight);

    // "Israel +972", ... in the interface's alphabetical order; an empty first entry when
    // nothing named a region.
    m_region->setObjectName(QStringLiteral("cboHomeRegion"));
    if (region.isEmpty())
        m_region->addItem(QString(), QString());
    std::vector<std::pair<QString, QString>> entries; // shown, code
    for (const QString& code : phoneRegions())
        entries.emplace_back(regionEntry(code, lang), code);
    const QCollator order(QLocale(lang == i18n::LangHebrew ? QLocale::Hebrew : QLocale::English));
    std::sort(entries.begin(), entries.end(),
              [&order](const auto& a, const auto& b) { return order(a.first, b.first); });
    for (const auto& [shown, code] : entries)
        m_region->addItem(shown, code);
    m_shownRegion = std::max(0, m_region->findData(region));
    m_region->setCurrentIndex(m_shownRegion);
    auto* regionLabel = new QLabel(i18n::text(lang, off::importRegion), this);
    regionLabel->setBuddy(m_region);
    m_hint->setObjectName(QStringLiteral("lblHomeRegionHint"));
    m_hint->setText(i18n::text(lang, off::importRegionHint));
    m_hint->setWordWrap(true);
    m_region->setAccessibleDescription(m_hint->text());
    connect(m_region, &QComboBox::currentIndexChanged, this, &ImportPreview::regionChosen);

    m_list->setObjectName(QStringLiteral("lstImportCards"));
    m_list->setAccessibleName(i18n::text(lang, off::importTitle));
    m_rows->setParent(m_list);
    m_list->setModel(m_rows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->verticalHeader()->hide();
    // Every row as high as the font: no row is measured.
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->horizontalHeader()->setStretchLastSection(true);
    // The widths from the first rows, as many as a screen shows and more, not from every row.
    m_list->horizontalHeader()->setResizeContentsPrecision(200);
    m_list->resizeColumnsToContents();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("btnsImport"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* regionRow = new QHBoxLayout;
    regionRow->addWidget(regionLabel);
    regionRow->addWidget(m_region);
    regionRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(regionRow);
    layout->addWidget(m_hint);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(720, 420);
}

ImportPreview::~ImportPreview() {
    // The list outlives the plans its rows read: it reads none once they are gone.
    m_list->setModel(nullptr);
}

QString ImportPreview::region() const {
    return m_region->currentData().toString();
}

PlannedCards ImportPreview::takePlans() {
    return m_rows->renew(m_plans, {});
}

void ImportPreview::regionChosen() {
    std::optional<PlannedCards> replanned = m_replan(region());
    if (!replanned) {
        const QSignalBlocker quiet(m_region);
        m_region->setCurrentIndex(m_shownRegion);
        return;
    }
    m_rows->renew(m_plans, std::move(*replanned));
    m_shownRegion = m_region->currentIndex();
    m_list->resizeColumnsToContents();
}

} // namespace interchange
