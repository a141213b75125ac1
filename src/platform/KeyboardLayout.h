#pragma once

namespace platform {

// Switches the program's input language where the host supports it.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    virtual void activateHebrew() = 0;
};

} // namespace platform
