// Bidirectional text: each grid cell and search entry reads in its own text's
// direction inside the right-to-left windows, and a text too long for its cell loses its end.
#include "common/Fixture.h"

#include "search/SearchFrm.h"
#include "shell/TextDirection.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTextLayout>

namespace {
// The option an item is painted with, from what its view hands to the delegate.
QStyleOptionViewItem shownOption(QAbstractItemView& view, const QModelIndex& index) {
    QStyleOptionViewItem base;
    base.initFrom(view.viewport());
    base.rect = view.visualRect(index);
    base.widget = &view;
    base.font = view.font();
    base.fontMetrics = view.fontMetrics();
    base.textElideMode = view.textElideMode();
    auto* delegate = dynamic_cast<shell::OwnDirectionDelegate*>(view.itemDelegate());
    if (!delegate)
        qFatal("the view paints its items without regard to their direction");
    return delegate->paintOption(base, index);
}

// Where the characters of a line stand: x of the cursor at each position.
qreal cursorX(const QStyleOptionViewItem& option, int position) {
    QTextLayout layout(option.text, option.font);
    QTextOption textOption;
    textOption.setTextDirection(option.direction);
    layout.setTextOption(textOption);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return line.cursorToX(position);
}
} // namespace

class TestTextDirection : public QObject {
    Q_OBJECT

private slots:
    void eachCellReadsInItsOwnDirection_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::newRow("Latin address") << QStringLiteral("1 Industry Rd") << true << Qt::LeftToRight;
        QTest::newRow("Hebrew address") << u8("הרצל 12") << true << Qt::RightToLeft;
        QTest::newRow("digits before Hebrew") << u8("12 הרצל") << true << Qt::RightToLeft;
        QTest::newRow("phone number") << QStringLiteral("03-555 1234") << true << Qt::LeftToRight;
        QTest::newRow("empty") << QString() << true << Qt::LeftToRight;
        QTest::newRow("e-mail cut") << QStringLiteral("avi.cohen@example.com") << false << Qt::LeftToRight;
        QTest::newRow("Hebrew cut") << u8("רחוב הרצל 12 תל אביב") << false << Qt::RightToLeft;
    }
    void eachCellReadsInItsOwnDirection() {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        QFETCH(Qt::LayoutDirection, direction);
        app::FlexGrid grid;
        grid.setLayoutDirection(Qt::RightToLeft);
        app::GridRow row;
        row.cells[0] = text;
        grid.model().setRows({row});
        grid.model().setAlignment(0, app::GridAlign::Right);
        grid.setColumnWidth(0, fits ? 400 : grid.fontMetrics().horizontalAdvance(text) / 2);
        grid.resize(600, 200);

        const QStyleOptionViewItem option = shownOption(grid, grid.model().index(0, 0));
        QCOMPARE(option.direction, direction);
        // The column's alignment stays absolute: right is the right edge for every text.
        QCOMPARE(option.displayAlignment, Qt::AlignRight | Qt::AlignVCenter | Qt::AlignAbsolute);
        if (fits) {
            QCOMPARE(option.text, text);
        } else {
            // The beginning is kept and the end cut, in the text's own reading order.
            QVERIFY2(option.text.endsWith(u'…') && text.startsWith(option.text.chopped(1)), qPrintable(option.text));
        }
    }

    // The real windows in Hebrew: the grid's cells; the search list, whose names stay
    // right-aligned in their 22 characters whichever way they read.
    void theHebrewWindowsUseIt() {
        Fixture f;
        app::frmVesk& w = f.open({card(u8("אבי"), QStringLiteral("'1','','','','1 Industry Rd',''")),
                                  card(u8("אורית"), u8("'2','','','','הרצל 12',''")), card(QStringLiteral("Avi")),
                                  card(u8("3 אחים"))});
        app::FlexGrid& grid = *w.grid();
        QCOMPARE(grid.layoutDirection(), Qt::RightToLeft);
        QCOMPARE(shownOption(grid, grid.model().index(0, 6)).direction, Qt::LeftToRight);
        QCOMPARE(shownOption(grid, grid.model().index(1, 6)).direction, Qt::RightToLeft);
        w.btnSearch_Click();
        QListWidget* list = w.searchWindow()->findChild<QListWidget*>(QStringLiteral("LstSearch"));
        w.searchWindow()->findChild<QLineEdit*>(QStringLiteral("TxtStr"))->setText(QStringLiteral("A"));
        w.searchWindow()->findChild<QLineEdit*>(QStringLiteral("TxtStr"))->clear();
        QCOMPARE(list->count(), 4);
        for (int i = 0; i < list->count(); ++i) {
            const QString name = list->item(i)->text().trimmed();
            const QStyleOptionViewItem option = shownOption(*list, list->model()->index(i, 0));
            QCOMPARE(option.displayAlignment, Qt::AlignLeft | Qt::AlignVCenter | Qt::AlignAbsolute);
            // After the first letter, and before the last (inside the isolated name).
            const int first = 22 - int(name.size()) + 2;
            const qreal afterFirst = cursorX(option, first);
            const qreal beforeLast = cursorX(option, first + int(name.size()) - 2);
            QCOMPARE(afterFirst > beforeLast, shell::directionOf(name) == Qt::RightToLeft);
            // The letters stand between the padding and the end of the 22 characters.
            const qreal padding =
                QFontMetricsF(option.font).horizontalAdvance(QString(22 - name.size(), u' '));
            const qreal end = QFontMetricsF(option.font).horizontalAdvance(QString(22, u'M'));
            for (qreal x : {afterFirst, beforeLast})
                QVERIFY2(x > padding - 0.5 && x < end + 0.5, qPrintable(name));
        }
    }
};

QTEST_MAIN(TestTextDirection)
#include "tst_textdirection.moc"
