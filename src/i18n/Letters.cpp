#include "i18n/Letters.h"

namespace i18n {

namespace {
constexpr char16_t hebrew[HebrewTabCount + 1] = u"אבגדהוזחטיכלמנסעפצקרשת";
}

QString hebrewTabLetter(int position) {
    if (position < 0 || position >= HebrewTabCount)
        return QString();
    return QString(QChar(hebrew[position]));
}

QString latinTabLetter(int position) {
    if (position < 0 || position >= LatinTabCount)
        return QString();
    return QString(QChar(u'A' + position));
}

QString tabCaption(const QString& letter) {
    return letter + QString(10, u' ') + letter;
}

} // namespace i18n
