#include "platform/HostKeyboardLayout.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

void HostKeyboardLayout::activateHebrew() {
#ifdef Q_OS_WIN
    ActivateKeyboardLayout(reinterpret_cast<HKL>(static_cast<quintptr>(0x040D040D)), 0);
#endif
}

} // namespace platform
