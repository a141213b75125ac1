#include "platform/QtTrayIcon.h"

#include <QCursor>
#include <QSystemTrayIcon>

namespace platform {

bool QtTrayIcon::add(const QIcon& icon, const QString& tip) {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(this);
        // No context menu is attached: the owner shows its own, after raising its window.
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::DoubleClick)
                        emit doubleClicked();
                    else if (reason == QSystemTrayIcon::Context)
                        emit menuRequested(QCursor::pos());
                });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(tip);
    m_icon->show();
    return true;
}

void QtTrayIcon::remove() {
    delete m_icon;
    m_icon = nullptr;
}

bool QtTrayIcon::isShown() const {
    return m_icon && m_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace platform
