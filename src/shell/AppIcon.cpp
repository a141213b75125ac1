#include "shell/AppIcon.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace shell {

std::vector<IconShape> appIconShapes(qreal s) {
    const QColor purple(0x80, 0x00, 0x80);
    std::vector<IconShape> shapes;
    shapes.push_back({QRectF(0.5, 0.5, s - 1, s - 1), s * 0.18, purple});
    const QRectF page(s * 0.22, s * 0.16, s * 0.56, s * 0.68);
    shapes.push_back({page, s * 0.05, Qt::white});
    const qreal line = std::max(1.0, s * 0.07);
    for (int i = 0; i < 4; ++i)
        shapes.push_back({QRectF(page.left() + s * 0.08, page.top() + s * 0.1 + i * s * 0.14,
                                 page.width() - s * 0.16, line),
                          0, purple});
    return shapes;
}

QImage appIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (const IconShape& shape : appIconShapes(size)) {
        p.setBrush(shape.colour);
        if (shape.radius > 0)
            p.drawRoundedRect(shape.rect, shape.radius, shape.radius);
        else
            p.drawRect(shape.rect);
    }
    return image;
}

QString appIconSvg(int size) {
    const auto number = [](qreal v) { return QString::number(v, 'g', 6); };
    QString svg =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                       "viewBox=\"0 0 %1 %1\">\n")
            .arg(size);
    for (const IconShape& shape : appIconShapes(size)) {
        svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"")
                   .arg(number(shape.rect.x()), number(shape.rect.y()), number(shape.rect.width()),
                        number(shape.rect.height()));
        if (shape.radius > 0)
            svg += QStringLiteral(" rx=\"%1\"").arg(number(shape.radius));
        svg += QStringLiteral(" fill=\"%1\"/>\n").arg(shape.colour.name());
    }
    return svg + QStringLiteral("</svg>\n");
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(appIconImage(size)));
    return icon;
}

} // namespace shell
