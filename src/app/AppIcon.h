#pragma once

#include <QIcon>

namespace app {

// The program's icon (window and notification area), drawn at the sizes desktops ask for.
QIcon appIcon();

} // namespace app
