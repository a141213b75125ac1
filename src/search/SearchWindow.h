#pragma once

#include "shell/ContactGroup.h"
#include "shell/SecondaryWindow.h"

#include <QString>

#include <vector>

class QLabel;
class QLineEdit;
class QListView;

namespace mdlVesk {
struct Shared;
}
namespace platform {
class Prompter;
}
namespace shell {
class VeskHost;
}

namespace search {

class NameList;

// The incremental search: lists the names of the group the main window shows that begin
// with the text typed, and shows the details of the name chosen. Non-modal; minimising
// hides it, Cancel (or Esc) closes and deletes it; Enter shows the details of the entry
// chosen, or of the first one while none is.
class SearchWindow final : public shell::SecondaryWindow {
    Q_OBJECT
public:
    SearchWindow(mdlVesk::Shared& shared, platform::Prompter& prompter, shell::VeskHost& host,
                 QWidget* parent = nullptr);
    ~SearchWindow() override;

    // Lists again, from the open file, the names that begin with the text in the box.
    void relist();
    // Shows the window again in its normal state, in front (the main window's Search command).
    void bringBack();
    QString searchText() const;

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    // Shows the heading and the details of the selected entry.
    void showDetails();

private:
    using Group = shell::ContactGroup;

    Group hostGroup() const;
    // Runs for every key typed into the box, before the character reaches it: '2' steps the
    // selection down the list.
    void keyTyped(QChar key);
    int selectedEntry() const; // -1 when none
    void select(int row);

    mdlVesk::Shared& m_shared;
    platform::Prompter& m_prompter;
    shell::VeskHost& m_host;

    // The table the list was read from; the list knows each entry's card, so that a chosen
    // entry is told apart from another card whose name differs only by blanks around it.
    QString m_listTable;
    NameList* m_list = nullptr;
    // Set while the list is rebuilt or selected from code, when the list's own signals
    // must not show the details.
    bool m_quiet = false;

    QLineEdit* m_searchBox = nullptr;
    QListView* m_names = nullptr;
    QLabel* m_heading = nullptr;
    QLabel* m_details = nullptr;
};

} // namespace search
