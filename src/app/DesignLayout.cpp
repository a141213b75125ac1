#include "app/DesignLayout.h"

namespace app {

TwipsRect& DesignLayout::operator[](const QString& name) {
    const auto it = m_rects.find(name);
    Q_ASSERT_X(it != m_rects.end(), "DesignLayout", qPrintable(name));
    if (it == m_rects.end()) {
        m_scratch = {};
        return m_scratch;
    }
    return *it;
}

TwipsRect DesignLayout::at(const QString& name) const {
    Q_ASSERT_X(m_rects.contains(name), "DesignLayout", qPrintable(name));
    return m_rects.value(name);
}

DesignLayout DesignLayout::designed() {
    DesignLayout layout;
    QMap<QString, TwipsRect>& d = layout.m_rects;
    d[QStringLiteral("Line1(0)")] = {0, 0, 9360, 15};
    d[QStringLiteral("Line1(1)")] = {0, 20, 9360, 15};
    d[QStringLiteral("lblHeader(1)")] = {690, 120, 4335, 615};
    d[QStringLiteral("lblHeader(0)")] = {720, 150, 4335, 495};
    d[QStringLiteral("Label2")] = {5520, 270, 1335, 375};
    d[QStringLiteral("cmbGroup")] = {7080, 240, 2175, 315};
    d[QStringLiteral("Shape2")] = {240, 630, 6615, 135};
    d[QStringLiteral("TabVesk")] = {360, 840, 8895, 4935};
    d[QStringLiteral("btnAdd")] = {7080, 960, 735, 735};
    d[QStringLiteral("btnEdit")] = {6240, 960, 735, 735};
    d[QStringLiteral("btnSearch")] = {5400, 960, 735, 735};
    d[QStringLiteral("btnDial")] = {4560, 960, 735, 735};
    d[QStringLiteral("btnMail")] = {3720, 960, 735, 735};
    d[QStringLiteral("btnAll")] = {2880, 960, 735, 735};
    d[QStringLiteral("btnDelete")] = {2040, 960, 735, 735};
    d[QStringLiteral("btnQuit")] = {840, 960, 735, 735};
    d[QStringLiteral("TxtIndex")] = {840, 1800, 7095, 405};
    d[QStringLiteral("MSHFlexGrid1")] = {840, 2160, 7095, 2895};
    d[QStringLiteral("StatusBar1")] = {840, 5040, 7095, 255};
    // Decoration: a thin strip along the bottom edge and two marks beside the tab strip,
    // whose left edge sits 240 twips left of the strip's.
    d[QStringLiteral("frmBannerPannel")] = {0, 5775, 9345, 60};
    d[QStringLiteral("Shape1(0)")] = {120, 960, 75, 4575};
    d[QStringLiteral("Shape1(1)")] = {120, 840, 75, 75};
    layout.statusPanel2Width = 7095 - 2400;
    return layout;
}

const QStringList& DesignLayout::contentControls() {
    static const QStringList names = {
        QStringLiteral("btnQuit"),      QStringLiteral("btnAdd"),    QStringLiteral("btnAll"),
        QStringLiteral("btnDial"),      QStringLiteral("btnEdit"),   QStringLiteral("btnMail"),
        QStringLiteral("btnDelete"),    QStringLiteral("btnSearch"), QStringLiteral("TxtIndex"),
        QStringLiteral("MSHFlexGrid1"), QStringLiteral("StatusBar1")};
    return names;
}

void DesignLayout::resize(int dW, int dH) {
    for (const char* n : {"TabVesk", "MSHFlexGrid1"}) {
        TwipsRect& r = (*this)[QString::fromLatin1(n)];
        r.width += dW;
        r.height += dH;
    }
    for (const char* n :
         {"TxtIndex", "Shape2", "frmBannerPannel", "StatusBar1", "Line1(0)", "Line1(1)"})
        (*this)[QString::fromLatin1(n)].width += dW;
    statusPanel2Width += dW;
    (*this)[QStringLiteral("cmbGroup")].left += dW;
    (*this)[QStringLiteral("frmBannerPannel")].top += dH;
    (*this)[QStringLiteral("StatusBar1")].top += dH;
}

} // namespace app
