#include "app/Twips.h"

#include <cmath>

namespace app {

int Twips::px(int twips) const {
    return int(std::lround(double(twips) * m_dpi / TwipsPerInch));
}

int Twips::fromPx(int px) const {
    return int(std::lround(double(px) * TwipsPerInch / m_dpi));
}

QRect Twips::rect(const TwipsRect& r) const {
    // Edges are converted, not sizes, so that neighbouring controls stay flush.
    const int l = px(r.left);
    const int t = px(r.top);
    return QRect(l, t, px(r.left + r.width) - l, px(r.top + r.height) - t);
}

} // namespace app
