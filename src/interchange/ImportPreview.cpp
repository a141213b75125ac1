#include "interchange/ImportPreview.h"

#include "i18n/StringTable.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace interchange {

QString outcomeText(const PlannedCard& plan, int lang) {
    namespace off = i18n::off;
    switch (plan.outcome) {
    case Outcome::New:
        return i18n::text(lang, plan.notKept.empty() ? off::importNew : off::importNotKept);
    case Outcome::Duplicate: return i18n::text(lang, off::importDuplicate);
    case Outcome::Refused: break;
    }
    return i18n::text(lang, off::importRefused);
}

QString detailsText(const PlannedCard& plan) {
    QStringList parts;
    if (!plan.reason.isEmpty())
        parts << plan.reason;
    for (const NotKept& n : plan.notKept)
        parts << n.number + QStringLiteral(": ") + n.reason;
    return parts.join(QStringLiteral("; "));
}

ImportPreview::ImportPreview(const std::vector<PlannedCard>& plans,
                             const std::vector<FileProblem>& problems, int lang, QWidget* parent)
    : QDialog(parent), m_list(new QTableWidget(this)) {
    namespace off = i18n::off;
    setObjectName(QStringLiteral("ImportPreview"));
    setWindowTitle(i18n::text(lang, off::importTitle));
    setLayoutDirection(lang == i18n::LangHebrew ? Qt::RightToLeft : Qt::LeftToRight);
    m_list->setObjectName(QStringLiteral("lstImportCards"));
    m_list->setAccessibleName(i18n::text(lang, off::importTitle));
    m_list->setColumnCount(4);
    m_list->setHorizontalHeaderLabels({i18n::text(lang, off::importHeadLine), i18n::text(lang, off::importHeadName),
                                       i18n::text(lang, off::importHeadOutcome),
                                       i18n::text(lang, off::importHeadDetails)});
    m_list->setRowCount(int(plans.size() + problems.size()));
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    int row = 0;
    auto put = [this, &row](int line, const QString& name, const QString& outcome, const QString& details) {
        const QString cells[] = {QString::number(line), name, outcome, details};
        for (int c = 0; c < 4; ++c)
            m_list->setItem(row, c, new QTableWidgetItem(cells[c]));
        ++row;
    };
    for (const PlannedCard& plan : plans)
        put(plan.line, plan.name, outcomeText(plan, lang), detailsText(plan));
    for (const FileProblem& problem : problems)
        put(problem.line, QString(), i18n::text(lang, off::importRefused), problem.reason);
    m_list->resizeColumnsToContents();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("btnsImport"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(720, 420);
}

} // namespace interchange
