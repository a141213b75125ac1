#pragma once

#include "platform/KeyboardLayout.h"

namespace platform {

// On Windows activates the Hebrew input locale (0x040D040D); elsewhere the desktop owns the
// keyboard layout and this does nothing.
class HostKeyboardLayout final : public KeyboardLayout {
public:
    void activateHebrew() override;
};

} // namespace platform
