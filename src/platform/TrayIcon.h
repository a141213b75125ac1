#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

class QIcon;

namespace platform {

// The program's icon in the desktop's notification area. Where the desktop has none (a bare
// X session, some Wayland desktops) add() says so and the window must stay reachable
// another way.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Shows the icon with its tip; false when there is no notification area to show it in.
    virtual bool add(const QIcon& icon, const QString& tip) = 0;
    virtual void remove() = 0;
    // True while the icon is actually shown.
    virtual bool isShown() const = 0;

signals:
    // The left button was double-clicked on the icon.
    void doubleClicked();
    // The right button was released on the icon, at this position on the screen.
    void menuRequested(QPoint globalPos);
};

} // namespace platform
