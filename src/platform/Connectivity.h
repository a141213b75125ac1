#pragma once

namespace platform {

// Whether the host is on a network at all. A host that cannot tell counts as connected:
// the transfer itself then decides.
class Connectivity {
public:
    virtual ~Connectivity() = default;
    virtual bool connected() = 0;
};

} // namespace platform
