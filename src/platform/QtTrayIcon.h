#pragma once

#include "platform/TrayIcon.h"

class QSystemTrayIcon;

namespace platform {

// The icon as Qt Widgets shows it in the notification area.
class QtTrayIcon final : public TrayIcon {
    Q_OBJECT
public:
    using TrayIcon::TrayIcon;
    bool add(const QIcon& icon, const QString& tip) override;
    void remove() override;
    bool isShown() const override;

private:
    QSystemTrayIcon* m_icon = nullptr;
};

} // namespace platform
