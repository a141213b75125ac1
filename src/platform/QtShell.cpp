#include "platform/QtShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace platform {

bool QtShell::openUrl(const QUrl& url) {
    // Only links: a file: or other address would have the desktop open or run a local file.
    const QString scheme = url.scheme().toLower();
    const bool link = scheme == u"http" || scheme == u"https" || scheme == u"mailto";
    return url.isValid() && link && QDesktopServices::openUrl(url);
}

bool QtShell::startProgram(const QString& path, const QStringList& arguments) {
    // A program is named by its path; it is never looked up in PATH or run by a shell.
    return !path.isEmpty() &&
           QProcess::startDetached(QFileInfo(path).absoluteFilePath(), arguments);
}

} // namespace platform
