#include "shell/TextDirection.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace shell {

namespace {
constexpr QChar firstStrongIsolate(0x2068);
constexpr QChar popDirectionalIsolate(0x2069);
} // namespace

Qt::LayoutDirection directionOf(const QString& text) {
    return text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
}

QString isolated(const QString& text) {
    return text.isEmpty() ? text : firstStrongIsolate + text + popDirectionalIsolate;
}

QString isolatedAfterPadding(const QString& line) {
    qsizetype n = 0;
    while (n < line.size() && line.at(n) == u' ')
        ++n;
    return line.left(n) + isolated(line.mid(n));
}

void OwnDirectionDelegate::initStyleOption(QStyleOptionViewItem* option,
                                           const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->direction = directionOf(option->text);
}

QStyleOptionViewItem OwnDirectionDelegate::paintOption(const QStyleOptionViewItem& option,
                                                       const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (!(opt.features & QStyleOptionViewItem::HasDisplay) || opt.textElideMode == Qt::ElideNone)
        return opt;
    // The style would elide too, but on the side of the view's direction; cut the end of the
    // text here, in the same text area the style draws into (less its margins).
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const int width =
        style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).width() - 2 * margin;
    opt.text = opt.fontMetrics.elidedText(opt.text, Qt::ElideRight, std::max(width, 0));
    opt.textElideMode = Qt::ElideNone;
    return opt;
}

void OwnDirectionDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const QStyleOptionViewItem opt = paintOption(option, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}

void PaddedLineDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->direction = Qt::LeftToRight;
    option->displayAlignment = Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter;
    option->text = isolatedAfterPadding(option->text);
}

} // namespace shell
