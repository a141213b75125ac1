#include "shell/Placement.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>

namespace shell {

QRect clampedTo(const QRect& frame, const QRect& area) {
    if (area.isEmpty())
        return frame;
    QRect r(frame.topLeft(), frame.size().boundedTo(area.size()));
    if (r.right() > area.right())
        r.moveRight(area.right());
    if (r.bottom() > area.bottom())
        r.moveBottom(area.bottom());
    if (r.left() < area.left())
        r.moveLeft(area.left());
    if (r.top() < area.top())
        r.moveTop(area.top());
    return r;
}

QRect centredOver(const QSize& size, const QRect& owner, const QRect& area) {
    QRect r(QPoint(), size);
    r.moveCenter(owner.center());
    return clampedTo(r, area);
}

QRect atCentreOf(const QSize& size, const QRect& owner, const QRect& area) {
    return clampedTo(QRect(owner.topLeft() + QPoint(owner.width() / 2, owner.height() / 2), size),
                     area);
}

QRect rememberedOnScreens(const QRect& frame, const QList<QRect>& areas) {
    if (areas.isEmpty())
        return frame;
    qsizetype best = 0;
    qint64 bestOverlap = -1;
    for (qsizetype i = 0; i < areas.size(); ++i) {
        if (areas[i].contains(frame))
            return frame;
        const QRect overlap = areas[i].intersected(frame);
        const qint64 size = overlap.isEmpty() ? 0 : qint64(overlap.width()) * overlap.height();
        if (size > bestOverlap) {
            bestOverlap = size;
            best = i;
        }
    }
    return clampedTo(frame, areas[best]);
}

namespace {

QMargins frameMargins(const QWidget& w) {
    const QRect frame = w.frameGeometry();
    const QRect inner = w.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

QRect availableAreaOf(const QWidget& owner) {
    QScreen* screen = QGuiApplication::screenAt(owner.frameGeometry().center());
    if (!screen)
        screen = owner.screen();
    return screen ? screen->availableGeometry() : QRect();
}

// Places `window` by `rule` over `owner`, resizing it only when the screen is too small.
template <class Rule> void place(QWidget& window, const QWidget& owner, Rule rule) {
    window.ensurePolished();
    if (!window.testAttribute(Qt::WA_Resized))
        window.adjustSize();
    const QMargins margins = window.isVisible() ? frameMargins(window) : frameMargins(owner);
    const QSize frameSize = window.size().grownBy(margins);
    const QRect target = rule(frameSize, owner.frameGeometry(), availableAreaOf(owner));
    if (target.size() != frameSize)
        window.resize(target.size().shrunkBy(margins));
    window.move(target.topLeft());
}

} // namespace

void placeCentredOver(QWidget& window, const QWidget& owner) {
    place(window, owner, centredOver);
}

void placeAtCentreOf(QWidget& window, const QWidget& owner) {
    place(window, owner, atCentreOf);
}

void keepOnScreen(QWidget& window) {
    QList<QRect> areas;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        areas.append(primary->availableGeometry());
    for (QScreen* s : QGuiApplication::screens())
        if (s != QGuiApplication::primaryScreen())
            areas.append(s->availableGeometry());
    const QMargins margins = frameMargins(window);
    const QRect frame(window.pos(), window.size().grownBy(margins));
    const QRect target = rememberedOnScreens(frame, areas);
    if (target.size() != frame.size())
        window.resize(target.size().shrunkBy(margins));
    if (target.topLeft() != frame.topLeft())
        window.move(target.topLeft());
}

} // namespace shell
