#pragma once

#include <QString>

namespace app {

// The program folder for a working directory: always ends in `separator`; a folder whose
// name ends in "VB" or "VB98" (any case) is a development folder, and the program's files
// live below it in "My app/Orvenna/".
QString programFolderFor(const QString& workingDirectory, QChar separator);

} // namespace app
