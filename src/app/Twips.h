#pragma once

#include <QRect>

namespace app {

inline constexpr int TwipsPerInch = 1440;

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// Converts between twips and device pixels at a given logical DPI.
class Twips {
public:
    explicit Twips(int dpi) : m_dpi(dpi > 0 ? dpi : 96) {}
    int px(int twips) const;
    int fromPx(int px) const;
    QRect rect(const TwipsRect& r) const;

private:
    int m_dpi;
};

} // namespace app
