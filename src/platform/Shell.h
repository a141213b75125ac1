#pragma once

#include <QStringList>
#include <QUrl>

namespace platform {

// What the desktop does for the program: open a link with the user's program for it, and
// start another program.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a web address (http, https) or a mailto: link; false for any other address, and
    // when nothing on the desktop took it.
    virtual bool openUrl(const QUrl& url) = 0;
    // Starts the program at this path in a process of its own, which outlives ours; false
    // when it could not be started.
    virtual bool startProgram(const QString& path, const QStringList& arguments = {}) = 0;
};

} // namespace platform
