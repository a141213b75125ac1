#pragma once

#include "store/ContactRecord.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPrinter;

namespace report {

// The cards the report prints, in their order, made afresh by every print command. Every
// text is printed whole: a Work department (up to 20 characters) or a long address is never
// cut to fit the report.
using ReportTable = std::vector<store::ContactRecord>;

// The printed phone list: a report header with the title on the first page, a page header
// with the column captions on every page, and one band per record below it, the columns
// running from right to left. Each band grows to show a text that needs more than one line
// in its field; a band that does not fit goes to the next page.
class PhoneListReport {
public:
    PhoneListReport();

    void setTitle(const QString& title) { m_title = title; }
    QString title() const { return m_title; }
    // The fifth column: the fax (the Personal list), or the department (the Work list), which
    // takes a wider column. The fax until set.
    enum class Fifth { Fax, Department };
    void setFifthColumn(Fifth fifth);
    // The records to print; none binds an empty list.
    void bind(std::shared_ptr<const ReportTable> table);
    const ReportTable& table() const { return *m_table; }

    // Paints every page on the device. False when the device cannot be painted on (a file
    // that cannot be written, a printer gone).
    bool print(QPagedPaintDevice& device) const;

private:
    QString m_title;
    QStringList m_headings;
    Fifth m_fifth = Fifth::Fax;
    std::shared_ptr<const ReportTable> m_table;
};

// The page the report asks of a printer: A4 where the printer has no paper of its own (a PDF
// file), margins of 15 mm, or the printer's own where they are wider.
void preparePrinter(QPrinter& printer);

} // namespace report
