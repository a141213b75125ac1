#pragma once

#include "shell/SecondaryWindow.h"
#include "sync/SyncController.h"
#include "sync/SyncTexts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace platform {
class Prompter;
}

namespace carddav {

// The sync window: the server, the user and the password; for each list the address book it
// syncs with, chosen among those found on the server or made there; "Sync now", the last
// result and the conflicts, each kept ("Keep this one") or let go ("Discard").
class SyncWindow final : public shell::SecondaryWindow, private PasswordPrompt {
    Q_OBJECT
public:
    // `personalName` and `workName` are the lists' names in the interface's language.
    SyncWindow(SyncController& controller, platform::Prompter& prompter, bool hebrew,
               const QString& personalName, const QString& workName, QWidget* owner);
    ~SyncWindow() override;

    void findBooks();
    void newBook(store::ContactGroup group);
    void syncNow();
    void keepSelected();
    void discardSelected();

private:
    std::optional<QString> askAgain(const QString& user, const QString& server) override;
    void buildControls();
    void loadSettings();
    void saveFields();
    void fillBooks(const std::vector<AddressBook>& books);
    void fillConflicts();
    void showResult(const QString& line);
    QString textOf(Text id) const;

    SyncController& m_controller;
    platform::Prompter& m_prompter;
    bool m_hebrew;
    QString m_personalName;
    QString m_workName;

    QLineEdit* txtServer = nullptr;
    QLineEdit* txtUser = nullptr;
    QLineEdit* txtPassword = nullptr;
    QComboBox* cboPersonalBook = nullptr;
    QComboBox* cboWorkBook = nullptr;
    QPushButton* btnFindBooks = nullptr;
    QPushButton* btnNewPersonalBook = nullptr;
    QPushButton* btnNewWorkBook = nullptr;
    QPushButton* btnSyncNow = nullptr;
    QLabel* lblResult = nullptr;
    QListWidget* lstConflicts = nullptr;
    QPushButton* btnKeep = nullptr;
    QPushButton* btnDiscard = nullptr;
    QPushButton* btnClose = nullptr;
};

} // namespace carddav
