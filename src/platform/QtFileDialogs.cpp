#include "platform/QtFileDialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

namespace platform {

namespace {

// A label's text as a name: no mnemonic marker, no colon at the end.
QString plainLabel(QString text) {
    text.remove(u'&');
    while (text.endsWith(u':') || text.endsWith(u' '))
        text.chop(1);
    return text;
}

// The file name box and the accept button are named by their own labels, whatever the
// style or the translation does to them.
void nameParts(QFileDialog& dialog) {
    if (auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        box->setAccessibleName(plainLabel(dialog.labelText(QFileDialog::FileName)));
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
        const auto accept = dialog.acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                           : QDialogButtonBox::Open;
        if (QPushButton* button = buttons->button(accept))
            button->setAccessibleName(plainLabel(dialog.labelText(QFileDialog::Accept)));
    }
}

} // namespace

std::optional<QStringList> QtFileDialogs::nameFilters(const QString& filters) {
    const QStringList parts = filters.split(u'|');
    if (parts.size() % 2 != 0)
        return std::nullopt;
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        patterns.removeAll(QString());
        if (patterns.isEmpty())
            return std::nullopt;
        // The dialog reads the patterns from the last parentheses of the text: keep a
        // description that already ends with them, otherwise add them.
        const QString shown = u'(' + patterns.join(u' ') + u')';
        if (description.isEmpty())
            out.append(shown);
        else if (description.endsWith(shown))
            out.append(description);
        else
            out.append(description + u' ' + shown);
    }
    return out;
}

FileChoice QtFileDialogs::run(QFileDialog& dialog, const FileRequest& request) {
    const std::optional<QStringList> filters = nameFilters(request.filters);
    if (!filters)
        return FileChoice::failed(
            QStringLiteral("Invalid file type list: \"%1\"").arg(request.filters));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(*filters);
    // An index outside the list shows the first type, as no type is preselected then.
    const int index = request.filterIndex >= 1 && request.filterIndex <= filters->size()
                          ? request.filterIndex
                          : 1;
    dialog.selectNameFilter(filters->at(index - 1));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    nameParts(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return FileChoice::cancelled();
    return FileChoice::chosen(dialog.selectedFiles().constFirst());
}

FileChoice QtFileDialogs::open(const FileRequest& request) {
    QFileDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("OpenFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog, request);
}

FileChoice QtFileDialogs::save(const FileRequest& request, Overwrite overwrite) {
    QFileDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("SaveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, overwrite == Overwrite::DontConfirm);
    return run(dialog, request);
}

} // namespace platform
