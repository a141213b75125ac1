#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class Prompter;
class Shell;
} // namespace platform

namespace about {

// The desktop's system information tools, in the order they are looked for.
QStringList sysInfoTools();

// Starts the system information tool: on Windows the one the registry names; elsewhere the
// first of sysInfoTools() found in `searchPath` (the folders of PATH unless given). When
// none is found or it does not start, says "System Information Is Unavailable At This Time"
// under `title`.
void startSysInfo(platform::Shell& shell, platform::Prompter& prompter, const QString& title,
                  const QStringList& searchPath = {});

} // namespace about
