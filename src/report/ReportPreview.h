#pragma once

#include "report/PhoneListReport.h"

#include <QPrintPreviewDialog>

namespace platform {
class Prompter;
}

namespace report {

// The report's preview window, from which the user prints it or saves it as a PDF file. A
// non-modal window of the main window, deleted when it closes; the report and its table go
// with it.
class ReportPreview final : public QPrintPreviewDialog {
    Q_OBJECT
public:
    ReportPreview(platform::Prompter& prompter, const QString& appTitle, QWidget* owner);

    PhoneListReport& report() { return m_report; }
    // Shows the report as it is bound now: the pages laid out afresh, the window brought
    // forward.
    void showReport();
    // The pages the preview shows.
    int pageCount() const;
    // Paints the report on the preview's pages, a printer or a PDF file; a print that fails
    // is said to the user.
    void paintReport(QPrinter* printer);

private:
    platform::Prompter& m_prompter;
    QString m_appTitle;
    PhoneListReport m_report;
};

} // namespace report
