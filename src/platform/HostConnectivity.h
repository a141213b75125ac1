#pragma once

#include "platform/Connectivity.h"

namespace platform {

// The host's own view of its network (QNetworkInformation): only a host that says it is
// disconnected counts as offline; no backend, or an unknown state, counts as connected.
class HostConnectivity final : public Connectivity {
public:
    bool connected() override;
};

} // namespace platform
