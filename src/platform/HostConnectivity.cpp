#include "platform/HostConnectivity.h"

#include <QNetworkInformation>

namespace platform {

bool HostConnectivity::connected() {
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return true;
    const QNetworkInformation* info = QNetworkInformation::instance();
    return !info || info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

} // namespace platform
