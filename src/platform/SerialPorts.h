#pragma once

#include <QIODevice>

#include <memory>

namespace platform {

// The serial ports COM1 to COM4, for the modem dialer.
class SerialPorts {
public:
    virtual ~SerialPorts() = default;
    // Opens COM`port` (1 to 4) for reading and writing at "9600,N,8,1", with nothing waiting
    // to be read; null when the port is missing or in use. Closing (or destroying) the device
    // releases the port.
    virtual std::unique_ptr<QIODevice> open(int port) = 0;
};

} // namespace platform
