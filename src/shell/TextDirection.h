#pragma once

#include <QStyledItemDelegate>

namespace shell {

// Bidirectional text in the windows. Every text reads in the direction of its first letter
// that has one (Hebrew right to left, Latin left to right), whatever the direction of the
// window around it; a text without such a letter, a phone number say, reads left to right.

Qt::LayoutDirection directionOf(const QString& text);

// The text wrapped in a first-strong isolate: inside a line of the other direction it reads
// in its own and leaves the characters around it where they are.
QString isolated(const QString& text);

// A fixed-pitch line whose leading blanks pad the text after them: the blanks stay at the
// line's left edge and the text after them reads in its own direction.
QString isolatedAfterPadding(const QString& line);

// Item views: each item's text reads in its own direction and, when it does not fit, loses
// its end, with the ellipsis at the end in its own direction. The item's alignment stays as
// the model gives it (absolute left or right stays so).
class OwnDirectionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The option an item is painted with: its direction, and its text already elided to
    // fit the text area of option.rect.
    QStyleOptionViewItem paintOption(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// Item views whose items are padded fixed-pitch lines (the search window's list): each line
// is laid out from the view's left edge, its padding on the left, its text in its own
// direction.
class PaddedLineDelegate final : public OwnDirectionDelegate {
public:
    using OwnDirectionDelegate::OwnDirectionDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace shell
