#pragma once

#include "shell/SecondaryWindow.h"
#include "shell/Services.h"

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
class QSaveFile;

namespace mdlVesk {
struct Shared;
}
namespace platform {
struct Message;
enum class Answer;
} // namespace platform

namespace update {

class Transfer;

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

    void Form_Load();
    void Form_Unload();
    void VersionCheck();
    void cmdVerCheck_Click();
    void cmdDownload_Click();
    void cmdCancel_Click();
    void cmdShow_Click();

    // The program's own version, as the page's version is compared with it.
    static QString ownVersion();
    QString statusText() const;
    int LastInetState() const { return m_lastInetState; }
    bool downloading() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildControls();
    void placeControls();
    void tmrDelay_Timer();
    void tmrAudit_Timer();
    void Inet1_StateChanged(int State);
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
    Transfer* Inet1 = nullptr;
    std::unique_ptr<QSaveFile> m_file;
    QString m_downloadUrl;
    QString m_fileName;
    bool m_unloaded = false;

    QString PageText;
    bool DetailsShown = false;
    int m_lastInetState = 0;
    int DotPhase = 1;
    bool CancelRequested = false;

    QLabel* lblHeading = nullptr;
    QPushButton* cmdVerCheck = nullptr;
    QPushButton* cmdDownload = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdShow = nullptr;
    QFrame* Frame1 = nullptr;
    std::array<QLineEdit*, 5> m_boxes{}; // txtAppName .. txtDownloadUrl
    QFrame* StatusBar1 = nullptr;
    QLabel* m_panel = nullptr;
    QTimer tmrDelay;
    QTimer tmrAudit;
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
