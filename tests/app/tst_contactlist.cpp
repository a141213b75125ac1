// Filling the contact grid: rows, shades, counts, headings, the letter index, selection paint.
#include "common/Fixture.h"

#include "app/ContactList.h"
#include "app/LetterTabs.h"
#include "i18n/Letters.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QTabBar>

#include <optional>

using app::GridAlign;
using app::GridModel;
using app::MainWindow;

namespace {
const QColor white(Qt::white);

// Column texts of grid rows 1..N (the card rows), each row's cells joined by '|'.
QStringList cardRows(const MainWindow& w) {
    QStringList out;
    const app::FlexGrid& g = *w.grid();
    for (int r = 1; r < g.rowCount() - 1; ++r) {
        QStringList cells;
        for (int c = 0; c < app::GridCols; ++c)
            cells << g.cellText(r, c);
        out << cells.join(u'|');
    }
    return out;
}

// A letter tab chosen in this language (after a switch to English), by these keys or a click.
// A reading of the list without the window: group, prefix (none: every card), order; the
// query's text and the cards, each its identity and cells joined by '|' (none: not opened).
struct ReadCase {
    store::ContactGroup group;
    std::optional<QString> prefix;
    QString order;
    QString query;
    std::optional<QStringList> rows;
};

struct TabCase {
    int lang;
    bool switchToEnglish;
    QList<int> keys;
    int tab;
    bool thenHebrew; // and then a switch to Hebrew
    QString filter;
    QStringList names;
};
} // namespace

class TestContactList : public QObject {
    Q_OBJECT

private slots:
    void anEmptyTableShowsOneEmptyRowAndOffersNoCardCommands() {
        Fixture f;
        MainWindow& w = f.start({});
        QCOMPARE(QList<int>({w.grid()->rowCount(), w.grid()->model().count(), f.shared->ListCount}),
                 QList<int>({2, 1, 0}));
        for (const char* n : {"btnEdit", "btnDelete", "btnDial", "btnMail", "popDialing", "mnuEdit",
                              "mnuDel", "mnuSendMail"})
            QVERIFY2(!f.enabled(n), n);
        QVERIFY(f.enabled("mnuDialingNum"));
    }

    // The letter filter tests the stored text: a name stored with leading blanks is not under
    // its letter, but every name shows trimmed and a Null field empty.
    void theFirstTabListsItsLetterInNameOrderWithAlternatingShades() {
        Fixture f;
        MainWindow& w = f.start({u8("'בני','1',NULL,NULL,NULL,NULL,NULL"),
                                 u8("'אבנר   ','2','2','3','4','רחוב 5','a@b.c'"),
                                 u8("'אבי','3',NULL,NULL,NULL,NULL,NULL"),
                                 u8("'  אורי  ','03-1',' 050 ','02','04',NULL,NULL")});
        const QStringList letter{u8("אבי|3|||||"), u8("אבנר|2|2|3|4|a@b.c|רחוב 5")};
        QCOMPARE(cardRows(w), letter);
        QCOMPARE(w.panelText(1), u8(" ס\"כ רשומות 2"));
        const GridModel& m = w.grid()->model();
        QCOMPARE(QList({m.row(0).back, m.row(1).back}), QList({white, app::infoBackground()}));
        QCOMPARE(f.window->listState().lastListQuery,
                 u8("select * from Vesk where Name like 'א*' order by Name ASC"));
        // Each row knows its card, and the open cursor walks the same cards in the same order.
        store::Recordset& rs = *f.shared->db.CurrentRecordset;
        QCOMPARE(rs.size(), 2);
        rs.first();
        QCOMPARE(m.row(0).cardId, rs.rowid());
        QCOMPARE(QList<qint64>({m.row(0).cardId, m.row(1).cardId, m.row(2).cardId}),
                 QList<qint64>({3, 2, -1}));
        f.trigger("mnuAll");
        QCOMPARE(cardRows(w),
                 QStringList{u8("אורי|03-1|050|02|04||")} + letter + QStringList{u8("בני|1|||||")});
        QCOMPARE(w.panelText(1), QStringLiteral(" Total Records 4"));
    }

    // The Work list shows the department in column four; the name column is aligned to the
    // reading side, the others centred.
    void theWorkListShowsDepartmentInColumnFour() {
        Fixture f;
        MainWindow& w = f.start({u8("'אבא','1','2','3','פקס',NULL,NULL")},
                                {u8("'אגף','12','3','4','מחלקה','כתובת','x@y.z'")});
        const GridModel& m = w.grid()->model();
        QCOMPARE(QList({m.alignment(0), m.alignment(6)}),
                 QList({GridAlign::Right, GridAlign::Centre}));
        QCOMPARE(cardRows(w), QStringList{u8("אבא|1|2|3|פקס||")});
        f.chooseGroup(1);
        QCOMPARE(cardRows(w), QStringList{u8("אגף|4|3|12|מחלקה|x@y.z|כתובת")});
        QCOMPARE(w.panelText(1), QStringLiteral(" Total Records 1"));
        f.trigger("mnuLangEnglish");
        w.refreshList();
        QCOMPARE(m.alignment(0), GridAlign::Left);
    }

    // A letter tab chosen by a click or from the keyboard lists its letter: Hebrew tabs
    // their letter, Latin tabs theirs without regard to case. A click on the tab already
    // selected applies it again: after a switch to English the Hebrew filter stays in force
    // under a selected "A" until the user asks for "A". A Latin tab past the Hebrew alphabet
    // starts Hebrew from its first letter.
    void letterTabsSelectTheirLetter_data() {
        QTest::addColumn<TabCase>("c");
        const QList<int> click; // no keys: a click on the tab
        const QStringList b{"bella", "Ben"}, alice{"Alice"};
        QTest::newRow("last Hebrew tab")
            << TabCase{200, false, click, 21, false, u8("ת"), {u8("תמר")}};
        QTest::newRow("Latin B") << TabCase{100, false, click, 1, false, "B", b};
        QTest::newRow("the selected tab again") << TabCase{200, true, click, 0, false, "A", alice};
        QTest::newRow("Enter on the selected tab")
            << TabCase{200, true, {Qt::Key_Return}, 0, false, "A", alice};
        QTest::newRow("down to the next tab")
            << TabCase{100, false, {Qt::Key_Down}, 1, false, "B", b};
        QTest::newRow("end") << TabCase{100, false, {Qt::Key_End}, 25, false, "Z", {}};
        QTest::newRow("Latin O, a name with an apostrophe")
            << TabCase{100, false, click, 14, false, "O", {"O'Brien"}};
        QTest::newRow("Latin Y") << TabCase{100, false, click, 24, false, "Y", {"Yael"}};
        QTest::newRow("Latin Y, then Hebrew") << TabCase{100, false, click, 24, true, u8("א"), {}};
    }
    void letterTabsSelectTheirLetter() {
        QFETCH(TabCase, c);
        const auto& [lang, switchToEnglish, keys, tab, thenHebrew, filter, names] = c;
        Fixture f;
        MainWindow& w = f.start({card(u8("תמר")), card(u8("כרמל")), card("bella"), card("Ben"),
                                 card("Alice"), card("O'Brien"), card("Yael")},
                                {}, lang);
        if (switchToEnglish)
            f.action("mnuLangEnglish")->trigger();
        QTabBar* bar = w.letterTabs()->bar();
        if (keys.isEmpty()) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        } else {
            bar->setFocus();
            for (int key : keys)
                QTest::keyClick(bar, Qt::Key(key));
        }
        if (thenHebrew)
            f.action("mnuLangHebrew")->trigger();
        QCOMPARE(w.letterTabs()->currentIndex(), thenHebrew ? 0 : tab);
        QCOMPARE(f.shared->LetterFilter, filter);
        QCOMPARE(f.listed(), names);
        QCOMPARE(w.panelText(1),
                 u' ' + f.shared->TotalRecordsLabel + u' ' + QString::number(names.size()));
    }

    // The list's reading hands back each card's identity and cells by list column; a query
    // that cannot run (the table is gone) keeps its text and gives no cards.
    void theListIsReadWithoutTheWindow_data() {
        QTest::addColumn<ReadCase>("c");
        using G = store::ContactGroup;
        const QString ben = "1|Ben||||||", ali = "3|O'Ali|9|||||";
        const QString eli = u8("2|אלי|1|2|3|4|6|5");
        const auto row = [](const char* name, G group, std::optional<QString> prefix,
                            const char* order, const QString& query,
                            std::optional<QStringList> rows) {
            QTest::newRow(name) << ReadCase{group, prefix, order, query, rows};
        };
        row("every card, descending", G::Personal, {}, "DESC",
            "select * from Vesk order by Name DESC", {{eli, ali, ben}});
        row("an empty prefix takes every card", G::Personal, "", "ASC",
            "select * from Vesk where Name like '*' order by Name ASC", {{ben, ali, eli}});
        row("an apostrophe is a character", G::Personal, "O'", "ASC",
            "select * from Vesk where Name like 'O'*' order by Name ASC", {{ali}});
        row("Work columns", G::Work, {}, "ASC", "select * from Work order by Name ASC",
            {{u8("1|דנה|3|2|1|4|6|5")}});
        row("no table", G::Work, u8("ד"), "ASC",
            u8("select * from Work where Name like 'ד*' order by Name ASC"), {});
    }
    void theListIsReadWithoutTheWindow() {
        QFETCH(ReadCase, c);
        Fixture f;
        f.start({card("Ben"), card(u8("אלי "), "'1','2','3','4','5','6'"),
                 card("O'Ali", "'9',NULL,NULL,NULL,NULL,NULL")},
                {card(u8("דנה"), "'1','2','3','4','5','6'")});
        if (!c.rows)
            testing::RawDb(f.mdb()).exec("DROP TABLE Work");
        const app::Listing listing =
            app::ContactList(f.shared->db).read(c.group, c.prefix, c.order);
        QCOMPARE(listing.queryText, c.query);
        QCOMPARE(listing.opened, c.rows.has_value());
        QStringList rows;
        for (const app::ListedCard& card : listing.cards())
            rows << QString::number(card.cardId) + u'|' +
                        QStringList(card.cells.begin(), card.cells.end()).join(u'|');
        QCOMPARE(rows, c.rows.value_or(QStringList{}));
    }

    void highlightingPaintsOneRowAndRestoresThePrevious() {
        Fixture f;
        MainWindow& w =
            f.start({u8("'אבי','1','2','3','4','5','6'"), u8("'אבנר','7','8','9','10','11','12'"),
                     u8("'אדם',NULL,NULL,NULL,NULL,NULL,NULL")});
        const GridModel& m = w.grid()->model();
        const QColor info = app::infoBackground();
        // The chosen cell dark, the rest of its row light with white text; the shade is kept.
        f.clickCell(2, 3);
        QCOMPARE(QList({m.cellBackground(1, 3), m.cellBackground(1, 0), m.row(1).fore,
                        f.window->listState().rowShade}),
                 QList({GridModel::darkBlue(), GridModel::lightBlue(), white, info}));
        f.clickCell(1, 0);
        QCOMPARE(QList({m.cellBackground(1, 3), m.row(1).fore, m.cellBackground(0, 0),
                        m.cellBackground(0, 6)}),
                 QList({info, QColor(Qt::black), GridModel::darkBlue(), GridModel::lightBlue()}));
        QCOMPARE(f.window->listState().rowShade, white);
        // A refill keeps the model sound and forgets the selection: no row of the new list is
        // repainted.
        QAbstractItemModelTester tester(&w.grid()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        w.refreshList();
        QCOMPARE(m.rowCount(), 4);
        QCOMPARE(f.window->listState().highlightedRow, 0);
        QCOMPARE(w.indexBox()->text(), QString());
        QCOMPARE(m.cellBackground(0, 0), white);
    }

    void aListLongerThanSixteenBitsCounts() {
        Fixture f;
        f.seed({});
        testing::RawDb(f.mdb()).exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
            "INSERT INTO Vesk (Name, Phone) SELECT printf('א%05d', i), i FROM n"));
        f.load();
        MainWindow& w = *f.window;
        QCOMPARE(QStringList({QString::number(f.shared->ListCount),
                              QString::number(w.grid()->rowCount()), w.grid()->cellText(40000, 0),
                              w.grid()->cellText(32768, 1), w.panelText(1)}),
                 QStringList({"40000", "40002", u8("א40000"), "32768", u8(" ס\"כ רשומות 40000")}));
        QTest::keyClick(w.grid(), Qt::Key_End);
        QCOMPARE(f.window->listState().highlightedRow, 40000);
    }
};

QTEST_MAIN(TestContactList)
#include "tst_contactlist.moc"
