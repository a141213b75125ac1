#pragma once

#include <QString>
#include <QtGlobal>

namespace shell {

// What the secondary windows (editor, search, ...) need from the main window. MainWindow
// implements it; tests of those windows may fake it.
class VeskHost {
public:
    virtual ~VeskHost() = default;
    // The text the group box shows now; compared with the group names at each use.
    virtual QString groupText() const = 0;
    // Refill the grid for the current group and letter (reopens CurrentRecordset).
    virtual void refreshList() = 0;
    // The same after this program wrote one card (added, changed or deleted it): the host may
    // bring just that card into its list, as long as the result is what a refill would show.
    virtual void refreshAfterWrite(qint64 cardId) {
        Q_UNUSED(cardId);
        refreshList();
    }
};

} // namespace shell
