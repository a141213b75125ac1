#pragma once

#include "app/Twips.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace app {

// The main window's controls as rectangles in twips, keyed by control name; elements of a
// control array are "name(index)". The lines keep their width as the distance from their
// start to their end point.
class DesignLayout {
public:
    // The designed (Hebrew) arrangement, in a client area of 9345 x 5835 twips.
    static DesignLayout designed();

    static constexpr int ClientWidth = 9345;
    static constexpr int ClientHeight = 5835;
    static constexpr int ShapeCount = 2;

    TwipsRect& operator[](const QString& name) { return m_rects[name]; }
    TwipsRect at(const QString& name) const { return m_rects.value(name); }
    QStringList names() const { return m_rects.keys(); }
    int statusPanel2Width = 0;

    // The size-change layout: the list and the tab strip follow the window's size, the bars
    // along the top and bottom its width, the group box its right edge.
    void resize(int dW, int dH);

    bool operator==(const DesignLayout&) const = default;

    // Content controls, in the order the language mirror moves them.
    static const QStringList& contentControls();

private:
    QMap<QString, TwipsRect> m_rects;
};

} // namespace app
