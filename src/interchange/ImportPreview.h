#pragma once

#include "interchange/ImportPlan.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QTableView;

namespace interchange {

// Lists what an import would do with each card before anything is written: new, duplicate
// (skipped), new with numbers not kept (each with its reason), refused (with the reason),
// and the file's lines that belong to no card, all in the language of the interface. The
// home region, whose numbers are written in national form, can be chosen here by its name,
// a line below saying what the choice does: the cards are planned again for it. OK imports,
// Cancel leaves the file alone.
class ImportPreview : public QDialog {
    Q_OBJECT
public:
    // The cards planned for a region; nothing when they cannot be (the caller said why).
    using Replan = std::function<std::optional<PlannedCards>(const QString& region)>;

    ImportPreview(PlannedCards plans, const std::vector<FileProblem>& problems,
                  const QString& region, Replan replan, int lang, QWidget* parent);
    ~ImportPreview() override;

    // One row per card, then one per line of the file that belongs to no card; the cells'
    // texts are made when shown.
    QTableView* list() const { return m_list; }
    QComboBox* regionBox() const { return m_region; }
    QLabel* regionHint() const { return m_hint; }
    const PlannedCards& plans() const { return m_plans; }
    // The plans, moved out when OK was pressed; the list is empty then.
    PlannedCards takePlans();
    QString region() const;

private:
    class Rows;
    void regionChosen();

    PlannedCards m_plans;
    std::vector<FileProblem> m_problems;
    Replan m_replan;
    int m_lang;
    int m_shownRegion = 0;
    QComboBox* m_region;
    QLabel* m_hint;
    Rows* m_rows;
    QTableView* m_list;
};

// What the preview says of one card, in the language given, and its details: why it is
// refused, each number not kept (isolated, so that it reads left to right in a Hebrew line)
// and why.
QString outcomeText(const PlannedCard& plan, int lang);
QString detailsText(const PlannedCard& plan, int lang);

// A region as the preview lists it: its name and calling code ("Israel +972").
QString regionEntry(const QString& region, int lang);

} // namespace interchange
