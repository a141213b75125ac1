#pragma once

#include "shell/ContactGroup.h"
#include "shell/SecondaryWindow.h"
#include "store/ContactRecord.h"

#include <QString>

#include <array>
#include <optional>

class QLabel;
class QLineEdit;
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

namespace editor {

// What the main window opens the editor on.
struct EditRequest {
    bool updateMode = false; // true: change the selected card; false: add one
    QString selectedName;    // the name the grid offers for that card; empty when adding
    qint64 cardId = -1;      // its identity (rowid)
    shell::ContactGroup group = shell::ContactGroup::None; // the list the main window shows
};

// The record editor: adds a card to the group the main window shows, or changes the card
// selected there. Non-modal; it deletes itself when it closes. Enter presses the visible
// default button (Add, or Update) or the button that has the focus; Esc is Cancel.
class RecordEditor final : public shell::SecondaryWindow {
    Q_OBJECT
public:
    RecordEditor(mdlVesk::Shared& shared, platform::Prompter& prompter, shell::VeskHost& host,
                 const EditRequest& request, QWidget* parent = nullptr);
    ~RecordEditor() override;

    // Sets the window up for the request's mode, shows it and, when updating, fills the boxes
    // from the selected card. False when the card could not be read (the window stays open,
    // partly filled, as the user was told).
    bool load();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void addCard();
    void updateCard();
    // Puts the loaded card back in the boxes.
    void undoChanges();
    // Empties the name and number boxes; the address and the e-mail stay.
    void clearNameAndNumbers();

private:
    using Group = shell::ContactGroup;
    // The boxes, in the order of store::Role.
    enum Box { Name, Home, Mobile, Work, Fax, Address, Email, BoxCount };

    Group hostGroup() const;
    QString boxText(int box) const;
    bool validate(Group group);
    // The database to write to; false, with the message shown, when none is open.
    bool databaseOpen();
    // True when the current group's table already holds the trimmed name typed (case counts);
    // the duplicate message is shown.
    bool nameTaken(Group group);
    void fillFrom(const store::ContactRecord& card);
    // The card as the boxes give it: trimmed text, a blank for an empty address or e-mail.
    store::ContactRecord typedCard(Group group) const;
    // Says `done`, has the main window list again with `cardId` (the card written) and
    // closes.
    void finish(const QString& done, qint64 cardId);
    void showError(const QString& text);

    mdlVesk::Shared& m_shared;
    platform::Prompter& m_prompter;
    shell::VeskHost& m_host;
    const EditRequest m_request;

    // The card loaded in update mode: its identity and the values it held when it was shown.
    // An update writes only over exactly these values, in the request's group.
    qint64 m_cardId = -1;
    std::optional<store::ContactRecord> m_loaded;

    std::array<QLineEdit*, BoxCount> m_boxes{};
    std::array<QLabel*, BoxCount> m_labels{};
    QLabel* m_heading = nullptr;
    QToolButton* m_addButton = nullptr;
    QToolButton* m_clearButton = nullptr;
    QToolButton* m_updateButton = nullptr;
    QToolButton* m_undoButton = nullptr;
    QToolButton* m_cancelButton = nullptr;
};

} // namespace editor
