#pragma once

#include "platform/Shell.h"

namespace platform {

// Links through the desktop's URL handlers (QDesktopServices); programs started detached.
class QtShell final : public Shell {
public:
    bool openUrl(const QUrl& url) override;
    bool startProgram(const QString& path, const QStringList& arguments = {}) override;
};

} // namespace platform
