#pragma once

#include "platform/KeyboardLayout.h"

namespace platform::testing {

class RecordingKeyboard final : public KeyboardLayout {
public:
    void activateHebrew() override { ++hebrewActivations; }
    int hebrewActivations = 0;
};

} // namespace platform::testing
