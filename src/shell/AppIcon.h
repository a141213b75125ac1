#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QRectF>
#include <QString>

#include <vector>

namespace shell {

// The program's icon (window, notification area, desktop menus): a purple card with a white
// page of lines, a phone book. One description serves the painted sizes and the SVG file.
struct IconShape {
    QRectF rect;
    qreal radius = 0;
    QColor colour;
};
std::vector<IconShape> appIconShapes(qreal size);

// The icon painted at one size, and as an SVG document of the same shapes.
QImage appIconImage(int size);
QString appIconSvg(int size = 256);

// All the sizes desktops ask for.
QIcon appIcon();

} // namespace shell
