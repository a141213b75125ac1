#pragma once

#include "interchange/ImportPlan.h"

#include <QDialog>

class QTableWidget;

namespace interchange {

// Lists what an import would do with each card before anything is written: new, duplicate
// (skipped), new with numbers not kept (each with its reason), refused (with the reason),
// and the file's lines that belong to no card. OK imports, Cancel leaves the file alone.
class ImportPreview : public QDialog {
    Q_OBJECT
public:
    ImportPreview(const std::vector<PlannedCard>& plans, const std::vector<FileProblem>& problems,
                  int lang, QWidget* parent);

    QTableWidget* list() const { return m_list; }

private:
    QTableWidget* m_list;
};

// What the preview says of one card, in the language given, and its details.
QString outcomeText(const PlannedCard& plan, int lang);
QString detailsText(const PlannedCard& plan);

} // namespace interchange
