#pragma once

#include "platform/SerialPorts.h"

class QSettings;

namespace platform {

// The host's serial ports through Qt SerialPort. COM1..COM4 are /dev/ttyS0..3 on Linux and
// COM1..COM4 on Windows; the settings may name another device per port (section "Dialer",
// keys "COM1".."COM4", e.g. COM3=/dev/ttyACM0), read afresh at every opening, so a change
// takes effect at the next dial.
class QtSerialPorts final : public SerialPorts {
public:
    explicit QtSerialPorts(QSettings& settings) : m_settings(settings) {}

    std::unique_ptr<QIODevice> open(int port) override;
    // The device COM`port` stands for now.
    QString deviceOf(int port) const;

private:
    QSettings& m_settings;
};

} // namespace platform
