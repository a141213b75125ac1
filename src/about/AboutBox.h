#pragma once

#include "shell/SecondaryWindow.h"

#include <QString>

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

    // "major.minor.revision" of a version text, each number without leading zeros.
    static QString versionText(const QString& version);

private slots:
    void startSystemInfo();
    void openWebSite();
    void writeToSupport();

private:
    void buildControls(const QString& crlf);

    QString m_appTitle;
    platform::Prompter& m_prompter;
    platform::Shell* m_shell;

    QPushButton* m_webLink = nullptr;
    QPushButton* m_mailLink = nullptr;
};

} // namespace about
