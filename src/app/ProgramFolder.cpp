#include "app/ProgramFolder.h"

namespace app {

QString programFolderFor(const QString& workingDirectory, QChar separator) {
    QString path = workingDirectory;
    if (!path.endsWith(separator))
        path += separator;
    const QString upper = path.toUpper();
    if (upper.endsWith(QStringLiteral("VB") + separator) ||
        upper.endsWith(QStringLiteral("VB98") + separator))
        path += QStringLiteral("My app") + separator + QStringLiteral("Orvenna") + separator;
    return path;
}

} // namespace app
