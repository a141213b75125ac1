#pragma once

#include "shell/SecondaryWindow.h"
#include "shell/Services.h"
#include "update/Transfer.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mdlVesk {
struct Shared;
}
namespace platform {
struct Message;
enum class Answer;
} // namespace platform

namespace update {

class InstallerFile;

// The live update's window: reads the vendor's version page, shows what it offers and
// downloads a newer installer into "Update" below the program folder. Shown from the main
// window's menu it checks by itself half a second after loading; loaded without being shown
// (the check a while after start) it says nothing unless a newer version exists. While it is
// loaded, the main window's menu item that opens it is disabled.
class VersionCheckWindow final : public shell::SecondaryWindow {
    Q_OBJECT
public:
    VersionCheckWindow(mdlVesk::Shared& shared, const shell::Services& services, QAction* menuItem,
                       QWidget* owner);
    ~VersionCheckWindow() override;

    // Disables the owner's menu item and checks half a second later.
    void load();
    // Fetches the version page and acts on what it offers, unless a fetch is under way.
    void checkVersion();

    // The last state the transfer reported.
    Transfer::State lastTransferState() const { return m_lastState; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private slots:
    // The delay's end, or the check button: the check runs now.
    void checkNow();
    void download();
    // Asks, then stops the download under way.
    void cancelDownload();
    void toggleDetails();
    // The dots after "Receiving data" while a download runs.
    void showReceivingProgress();
    void showTransferState(update::Transfer::State state);

private:
    // The details' boxes, in the order of the page's labels.
    enum Detail { AppName, AppVersion, VersionDate, VersionSize, DownloadUrl, DetailCount };

    void buildControls();
    void placeControls();
    // Stops the timers and any fetch, drops an unfinished download, enables the menu item.
    void unload();
    void pageArrived();
    void downloadArrived();
    void endDownload();
    void refuseDownload(const QString& reason);
    void setStatus(const QString& text);
    // A message box; none when the window was unloaded while the box was up.
    std::optional<platform::Answer> ask(const platform::Message& message);

    mdlVesk::Shared& m_shared;
    shell::Services m_services;
    QPointer<QAction> m_menuItem;
    QUrl m_base;
    Transfer* m_transfer = nullptr;
    std::unique_ptr<InstallerFile> m_file;
    QString m_downloadUrl;
    QString m_fileName;
    bool m_unloaded = false;

    bool m_detailsShown = false;
    Transfer::State m_lastState = Transfer::State::None;
    int m_dotPhase = 1;
    bool m_cancelRequested = false;

    QLabel* m_heading = nullptr;
    QPushButton* m_checkButton = nullptr;
    QPushButton* m_downloadButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_detailsButton = nullptr;
    QFrame* m_details = nullptr;
    std::array<QLineEdit*, DetailCount> m_boxes{}; // txtAppName .. txtDownloadUrl
    QFrame* m_statusBar = nullptr;
    QLabel* m_statusPanel = nullptr;
    QTimer m_delayTimer;
    QTimer m_progressTimer;
};

// The check a while after start: a version window loaded without being shown, from the
// loader its owner gives (the main window, which keeps the window as its own).
class HiddenVersionCheck final : public shell::VersionCheckHook {
public:
    using Loader = std::function<VersionCheckWindow*()>;
    void setLoader(Loader load) { m_load = std::move(load); }
    void VersionCheck() override;

private:
    Loader m_load;
};

} // namespace update
