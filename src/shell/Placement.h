#pragma once

#include <QList>
#include <QRect>

class QWidget;

namespace shell {

// Where windows go. The rules work on frame rectangles (what the user sees, title bar
// included) in desktop pixels, so they are tested without any window.

// A rectangle moved, and shrunk only where it cannot fit, so that it lies wholly in `area`.
QRect clampedTo(const QRect& frame, const QRect& area);

// A secondary window of `size` centred over its owner's frame, wholly on `area`.
QRect centredOver(const QSize& size, const QRect& owner, const QRect& area);

// The dialer's rule: its top-left corner at the owner's centre, wholly on `area`.
QRect atCentreOf(const QSize& size, const QRect& owner, const QRect& area);

// A remembered main-window placement checked against the screens' available areas now:
// kept when it lies on one, otherwise clamped to the area it overlaps most (the first area,
// the primary screen's, when it overlaps none: a monitor that is gone, another layout).
QRect rememberedOnScreens(const QRect& frame, const QList<QRect>& areas);

// The same rules applied to real windows, on the screen that holds the owner. A window not
// yet shown takes its owner's frame margins as its own.
void placeCentredOver(QWidget& window, const QWidget& owner);
void placeAtCentreOf(QWidget& window, const QWidget& owner);
// Keeps a top-level window's current placement when it lies on a screen, otherwise clamps it.
void keepOnScreen(QWidget& window);

} // namespace shell
