#include "app/AppIcon.h"

#include <QPainter>
#include <QPixmap>

namespace app {

namespace {

// A purple card with a white page of lines: a phone book.
QPixmap drawIcon(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x80, 0x00, 0x80));
    p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.18, s * 0.18);
    p.setBrush(Qt::white);
    const QRectF page(s * 0.22, s * 0.16, s * 0.56, s * 0.68);
    p.drawRoundedRect(page, s * 0.05, s * 0.05);
    p.setBrush(QColor(0x80, 0x00, 0x80));
    const qreal line = std::max(1.0, s * 0.07);
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(page.left() + s * 0.08, page.top() + s * 0.1 + i * s * 0.14, page.width() - s * 0.16, line));
    return pm;
}

} // namespace

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace app
