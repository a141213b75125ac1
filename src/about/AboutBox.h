#pragma once

#include "shell/SecondaryWindow.h"

#include <QStringList>

class QLabel;
class QPushButton;

namespace platform {
class Prompter;
class Shell;
} // namespace platform

namespace about {

// The about box: the program's title and version, what it is, the vendor's web site and
// support address (each a link), OK and "&System Info...". Non-modal, one at a time; OK and
// Esc close it.
class AboutBox final : public shell::SecondaryWindow {
    Q_OBJECT
public:
    // Without a shell the links and the system information tool are unavailable.
    AboutBox(const QString& appTitle, const QString& crlf, platform::Prompter& prompter,
             platform::Shell* shell, QWidget* owner);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void lblWeb_Click();
    void lblMail_Click();

    // Where the system information tool is looked for; the folders of PATH unless set.
    void setToolSearchPath(const QStringList& folders) { m_toolPath = folders; }

    // "major.minor.revision" of a version text, each number without leading zeros.
    static QString versionText(const QString& version);

private:
    void buildControls();

    QString m_title;
    QString m_crlf;
    platform::Prompter& m_prompter;
    platform::Shell* m_shell;
    QStringList m_toolPath;

    QLabel* lblTitle = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* lblWeb = nullptr;
    QPushButton* lblMail = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
};

} // namespace about
