#include "about/SysInfo.h"

#include "i18n/Messages.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace about {

namespace {

#ifdef Q_OS_WIN
// One value of a key under HKEY_LOCAL_MACHINE; empty when the key or the value is missing.
QString registryValue(const QString& keyName, const QString& valueName) {
    const QSettings key(QStringLiteral("HKEY_LOCAL_MACHINE\\") + keyName, QSettings::NativeFormat);
    return key.value(valueName).toString();
}

QString findTool(const QStringList&) {
    const QString path = registryValue(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                       QStringLiteral("PATH"));
    if (!path.isEmpty())
        return path;
    const QString folder = registryValue(
        QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"));
    const QString tool = folder + QStringLiteral("\\MSINFO32.EXE");
    return !folder.isEmpty() && QFileInfo::exists(tool) ? tool : QString();
}
#else
QString findTool(const QStringList& searchPath) {
    for (const QString& name : sysInfoTools()) {
        const QString path = QStandardPaths::findExecutable(name, searchPath);
        if (!path.isEmpty())
            return path;
    }
    return {};
}
#endif

} // namespace

QStringList sysInfoTools() {
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("mate-system-monitor")};
}

void startSysInfo(platform::Shell& shell, platform::Prompter& prompter, const QString& title,
                  const QStringList& searchPath) {
    const QString tool = findTool(searchPath);
    if (tool.isEmpty() || !shell.startProgram(tool))
        prompter.tell(i18n::messages::sysInfoUnavailable(), title);
}

} // namespace about
