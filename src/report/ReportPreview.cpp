#include "report/ReportPreview.h"

#include "i18n/Messages.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QPrintPreviewWidget>
#include <QPrinter>

namespace report {

ReportPreview::ReportPreview(platform::Prompter& prompter, const QString& appTitle, QWidget* owner)
    : QPrintPreviewDialog(owner), m_prompter(prompter), m_appTitle(appTitle) {
    setObjectName(QStringLiteral("DataReport1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    preparePrinter(*printer());
    connect(this, &QPrintPreviewDialog::paintRequested, this, &ReportPreview::paintReport);
}

void ReportPreview::showReport() {
    setWindowTitle(m_report.title());
    setAccessibleName(m_report.title());
    // The first showing lays the pages out; a report shown already is laid out again.
    if (isVisible()) {
        if (auto* pages = findChild<QPrintPreviewWidget*>())
            pages->updatePreview();
    } else {
        show();
    }
    raise();
    activateWindow();
}

int ReportPreview::pageCount() const {
    const auto* pages = findChild<QPrintPreviewWidget*>();
    return pages ? pages->pageCount() : 0;
}

void ReportPreview::paintReport(QPrinter* printer) {
    if (m_report.print(*printer))
        return;
    const QString target = printer->outputFileName().isEmpty()
                               ? printer->printerName()
                               : QDir::toNativeSeparators(printer->outputFileName());
    m_prompter.tell(i18n::messages::reportNotPrinted(target), m_appTitle,
                    platform::Icon::Exclamation);
}

} // namespace report
