#include "interchange/ImportPreview.h"

#include "i18n/StringTable.h"
#include "interchange/PhoneFit.h"

#include <QCollator>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
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

ImportPreview::ImportPreview(std::vector<PlannedCard> plans,
                             const std::vector<FileProblem>& problems, const QString& region,
                             Replan replan, int lang, QWidget* parent)
    : QDialog(parent), m_plans(std::move(plans)), m_problems(problems), m_replan(std::move(replan)),
      m_lang(lang), m_region(new QComboBox(this)), m_hint(new QLabel(this)),
      m_list(new QTableWidget(this)) {
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
    m_list->setColumnCount(4);
    m_list->setHorizontalHeaderLabels(
        {i18n::text(lang, off::importHeadLine), i18n::text(lang, off::importHeadName),
         i18n::text(lang, off::importHeadOutcome), i18n::text(lang, off::importHeadDetails)});
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    fill();

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

QString ImportPreview::region() const {
    return m_region->currentData().toString();
}

void ImportPreview::fill() {
    m_list->clearContents();
    m_list->setRowCount(int(m_plans.size() + m_problems.size()));
    int row = 0;
    auto put = [this, &row](int line, const QString& name, const QString& outcome,
                            const QString& details) {
        const QString cells[] = {QString::number(line), name, outcome, details};
        for (int c = 0; c < 4; ++c)
            m_list->setItem(row, c, new QTableWidgetItem(cells[c]));
        ++row;
    };
    for (const PlannedCard& plan : m_plans)
        put(plan.line, plan.name, outcomeText(plan, m_lang), detailsText(plan, m_lang));
    for (const FileProblem& problem : m_problems)
        put(problem.line, QString(), i18n::text(m_lang, i18n::off::importRefused),
            problem.reason.text(m_lang));
    m_list->resizeColumnsToContents();
}

void ImportPreview::regionChosen() {
    std::optional<std::vector<PlannedCard>> replanned = m_replan(region());
    if (!replanned) {
        const QSignalBlocker quiet(m_region);
        m_region->setCurrentIndex(m_shownRegion);
        return;
    }
    m_plans = std::move(*replanned);
    m_shownRegion = m_region->currentIndex();
    fill();
}

} // namespace interchange
