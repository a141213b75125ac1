#pragma once

#include "shell/ContactGroup.h"
#include "shell/SecondaryWindow.h"

#include <QString>
#include <QStringList>

#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;

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

    // Rebuilds the list for the text in TxtStr.
    void TxtStr_Change();
    // Runs for every key typed into TxtStr, before the character reaches the box: '2'
    // steps the selection down the list.
    void TxtStr_KeyPress(QChar key);
    // Shows the heading and the details of the selected entry.
    void LstSearch_Click();
    void btnCancel_Click();
    // Shows the window again in its normal state, in front (the main window's Search command).
    void bringBack();

    // What the window shows.
    QStringList entries() const;
    int selectedEntry() const; // -1 when none
    QString searchText() const;
    QString headingText() const;
    QString detailText() const;

    // How an entry and a detail line are laid out in the fixed-pitch font.
    static QString entryText(const QString& trimmedName);
    static QString personalHeading();
    static QString workHeading();

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Group = shell::ContactGroup;

    // A detail line as text, and as painted: each value isolated, so that it reads in its
    // own direction and leaves its neighbours in their columns.
    struct DetailLine {
        QString text;
        QString shown;
    };

    Group hostGroup() const;
    static DetailLine detailLine(const store::ContactRecord& card);
    void select(int row);

    mdlVesk::Shared& m_shared;
    platform::Prompter& m_prompter;
    shell::VeskHost& m_host;

    // The table the list was read from and each entry's card, so that a chosen entry is
    // told apart from another card whose name differs only by blanks around it.
    QString m_listTable;
    std::vector<qint64> m_cardIds;
    // Set while the list is rebuilt or selected from code, when the list's own signals
    // must not run the click handler.
    bool m_quiet = false;

    QLabel* Label1 = nullptr;
    QLineEdit* TxtStr = nullptr;
    QListWidget* LstSearch = nullptr;
    QLabel* LblHdr = nullptr;
    QLabel* LblSel = nullptr;
    QToolButton* btnCancel = nullptr;
};

} // namespace search
