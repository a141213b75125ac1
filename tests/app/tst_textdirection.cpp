// Bidirectional text: each grid cell and search entry reads in its own text's
// direction inside the right-to-left windows, and a text too long for its cell loses its end.
#include "common/Fixture.h"

#include "search/SearchWindow.h"
#include "shell/TextDirection.h"

#include <QLineEdit>
#include <QListView>
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

} // namespace

class TestTextDirection : public QObject {
    Q_OBJECT

private slots:
    void eachCellReadsInItsOwnDirection_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::newRow("Latin address")
            << QStringLiteral("1 Industry Rd") << true << Qt::LeftToRight;
        QTest::newRow("Hebrew address") << u8("הרצל 12") << true << Qt::RightToLeft;
        QTest::newRow("digits before Hebrew") << u8("12 הרצל") << true << Qt::RightToLeft;
        QTest::newRow("phone number") << QStringLiteral("03-555 1234") << true << Qt::LeftToRight;
        QTest::newRow("empty") << QString() << true << Qt::LeftToRight;
        QTest::newRow("e-mail cut")
            << QStringLiteral("avi.cohen@example.com") << false << Qt::LeftToRight;
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
            QVERIFY2(option.text.endsWith(u'…') && text.startsWith(option.text.chopped(1)),
                     qPrintable(option.text));
        }
    }

    // The real windows in Hebrew: the grid's cells; the search list, laid out from the left
    // with its padding first and each name isolated to read in its own direction.
    void theHebrewWindowsUseIt() {
        Fixture f;
        app::MainWindow& w =
            f.open({card(u8("אבי"), QStringLiteral("'1','','','','1 Industry Rd',''")),
                    card(u8("אורית"), u8("'2','','','','הרצל 12',''"))});
        app::FlexGrid& grid = *w.grid();
        QCOMPARE(grid.layoutDirection(), Qt::RightToLeft);
        QCOMPARE(shownOption(grid, grid.model().index(0, 6)).direction, Qt::LeftToRight);
        QCOMPARE(shownOption(grid, grid.model().index(1, 6)).direction, Qt::RightToLeft);
        f.press("btnSearch");
        QListView* list = w.searchWindow()->findChild<QListView*>(QStringLiteral("LstSearch"));
        w.searchWindow()->findChild<QLineEdit*>(QStringLiteral("TxtStr"))->setText(u8("א"));
        QCOMPARE(list->model()->rowCount(), 2);
        for (int i = 0; i < list->model()->rowCount(); ++i) {
            const QString name = list->model()->index(i, 0).data().toString().trimmed();
            const QStyleOptionViewItem option = shownOption(*list, list->model()->index(i, 0));
            QCOMPARE(option.direction, Qt::LeftToRight);
            QCOMPARE(option.displayAlignment, Qt::AlignLeft | Qt::AlignVCenter | Qt::AlignAbsolute);
            QCOMPARE(option.text,
                     QString(22 - name.size(), u' ') + QChar(0x2068) + name + QChar(0x2069));
        }
    }

    // The line above the grid shows the selected card's fields side by side; a Latin name with
    // a Hebrew word, then its numbers, must not have the numbers drawn inside the name.
    void theIndexLineKeepsEachFieldTogether() {
        Fixture f;
        const QString name = u8("IBM ישראל");
        f.open({card(name, QStringLiteral("'03-9270001','03-9270000',NULL,NULL,NULL,NULL"))});
        f.trigger("mnuAll");
        f.clickCell(1, 0);
        const QString text = f.window->indexBox()->text();
        QVERIFY(text.contains(name));
        for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            QTextLayout layout(text, f.window->indexBox()->font());
            QTextOption option;
            option.setTextDirection(direction);
            layout.setTextOption(option);
            layout.beginLayout();
            QTextLine line = layout.createLine();
            layout.endLayout();
            // The span each field's letters are drawn over.
            auto span = [&](const QString& field) {
                const int at = int(text.indexOf(field));
                qreal low = 1e9, high = -1e9;
                for (int i = at; i <= at + field.size(); ++i) {
                    low = std::min(low, line.cursorToX(i));
                    high = std::max(high, line.cursorToX(i));
                }
                return std::pair{low, high};
            };
            const auto [nameLow, nameHigh] = span(name);
            for (const QString number : {"03-9270001", "03-9270000"}) {
                const auto [low, high] = span(number);
                QVERIFY2(high <= nameLow + 0.5 || low >= nameHigh - 0.5, qPrintable(number));
            }
        }
    }
};

QTEST_MAIN(TestTextDirection)
#include "tst_textdirection.moc"
