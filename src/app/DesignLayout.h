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

    // A designed control's rectangle. An unknown name is a programming error: it asserts in
    // a debug build; otherwise the answer is a scratch rectangle, and nothing is added.
    TwipsRect& operator[](const QString& name);
    TwipsRect at(const QString& name) const;
    QStringList names() const { return m_rects.keys(); }
    int statusPanel2Width = 0;

    // The size-change layout: the list and the tab strip follow the window's size, the bars
    // along the top and bottom its width, the group box its right edge.
    void resize(int dW, int dH);

    bool operator==(const DesignLayout& o) const {
        return m_rects == o.m_rects && statusPanel2Width == o.statusPanel2Width;
    }

    // Content controls, in the order the language mirror moves them.
    static const QStringList& contentControls();

private:
    QMap<QString, TwipsRect> m_rects;
    TwipsRect m_scratch;
};

} // namespace app
