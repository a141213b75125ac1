#pragma once

#include <QString>

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
};

} // namespace shell
