#pragma once

namespace platform {

// Switches the program's input language where the host supports it.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    virtual void activateHebrew() = 0;
};

// On Windows activates the Hebrew input locale (0x040D040D); elsewhere the desktop owns the
// keyboard layout and this does nothing.
class HostKeyboardLayout final : public KeyboardLayout {
public:
    void activateHebrew() override;
};

} // namespace platform
