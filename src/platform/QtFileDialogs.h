#pragma once

#include "platform/FileDialogs.h"

#include <QStringList>

#include <optional>

class QFileDialog;
class QWidget;

namespace platform {

// The file dialogs on screen: Qt's own dialog rather than the desktop's, so that screen
// readers and UI automation reach every part of it. Modal to the given parent.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    FileChoice open(const FileRequest& request) override;
    FileChoice save(const FileRequest& request, Overwrite overwrite = Overwrite::Confirm) override;

    // A description|pattern filter list in the form the dialog takes ("VCARD (*.vcf)"), or
    // nothing when the list is not made of pairs with a pattern each.
    static std::optional<QStringList> nameFilters(const QString& filters);

private:
    FileChoice run(QFileDialog& dialog, const FileRequest& request);

    QWidget* m_parent;
};

} // namespace platform
