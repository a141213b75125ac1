// The search window over the real main window and a real file: what it lists for the text
// typed, the '2' key, the details shown for a chosen name, and a database that fails.
#include "common/Fixture.h"

#include "search/SearchWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>

using platform::Message;
using search::SearchWindow;

namespace {
// A card whose first number (Phone) is `phone`.
QString phoneCard(const QString& name, const char* phone = "1") {
    return ::card(name, QStringLiteral("'%1','','','','',''").arg(QString::fromLatin1(phone)));
}

// The name as the list shows it: right-aligned in 22 characters.
QString entry(const QString& name) {
    return QString(22 - name.size(), u' ') + name;
}
// The end of a Personal detail line for a card made by phoneCard(): the Phone column, then the
// name.
QString ending(const char* phone, const QString& name) {
    return u' ' + QString::fromLatin1(phone).leftJustified(11) + name.rightJustified(17);
}

QLineEdit* box(SearchWindow& s) {
    return s.findChild<QLineEdit*>(QStringLiteral("TxtStr"));
}
void retype(SearchWindow& s, const QString& text) {
    box(s)->clear();
    QTest::keyClicks(box(s), text);
}
QListView* list(SearchWindow& s) {
    return s.findChild<QListView*>(QStringLiteral("LstSearch"));
}
void click(SearchWindow& s, int row) {
    QListView* l = list(s);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                      l->visualRect(l->model()->index(row, 0)).center());
}
// What the window shows: the list, the entry chosen (-1 when none) and the two labels.
QStringList entries(SearchWindow& s) {
    QStringList out;
    const QAbstractItemModel& m = *list(s)->model();
    for (int i = 0; i < m.rowCount(); ++i)
        out << m.index(i, 0).data().toString();
    return out;
}
int chosen(SearchWindow& s) {
    const QModelIndexList rows = list(s)->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}
QString heading(SearchWindow& s) {
    return s.findChild<QLabel*>(QStringLiteral("LblHdr"))->text();
}
QString details(SearchWindow& s) {
    return s.findChild<QLabel*>(QStringLiteral("LblSel"))->text();
}
// The first column of a widget's picture holding a dark pixel.
int firstInk(QWidget& w) {
    const QImage image = w.grab().toImage();
    for (int i = 0; i < image.width() * image.height(); ++i)
        if (qGray(image.pixel(i / image.height(), i % image.height())) < 128)
            return i / image.height();
    return -1;
}
} // namespace

class TestSearch : public QObject {
    Q_OBJECT

    static SearchWindow& open(Fixture& f, const QStringList& vesk, const QStringList& work = {}) {
        f.start(vesk, work);
        auto* s = new SearchWindow(*f.shared, f.prompter, *f.window, f.window.get());
        s->show();
        return *s;
    }

private slots:
    // The list for the text typed; the details of a name chosen, each card's own even where
    // two names differ by a trailing blank; a name gone, or not of the group the group box
    // shows at the click, leaves the labels as they were.
    void listsTheNamesThatBeginWithTheTextAsTyped() {
        Fixture f;
        SearchWindow& s = open(f,
                               {phoneCard("Avi"), phoneCard("Dana"), phoneCard("avi"),
                                phoneCard("Abcdefghijklmnopqrst"), phoneCard("O'Brien", "5"),
                                phoneCard(u8("ג'ודי"), "7"), phoneCard("Ben"),
                                phoneCard("Ben ", "2"), phoneCard("Bob")},
                               {phoneCard("Orit"), phoneCard("Bob", "9")});
        QTest::keyClicks(box(s), QStringLiteral("x"));
        QTest::keyClick(box(s), Qt::Key_Backspace);
        // Every name of the group, Latin letters without regard to case, Hebrew after them.
        QCOMPARE(entries(s), (QStringList{"  Abcdefghijklmnopqrst", entry("Avi"), entry("avi"),
                                          entry("Ben"), entry("Ben"), entry("Bob"), entry("Dana"),
                                          entry("O'Brien"), entry(u8("ג'ודי"))}));
        click(s, 4);
        QVERIFY(details(s).endsWith(ending("2", QStringLiteral("Ben"))));
        click(s, 3);
        const QString shown = heading(s) + details(s);
        QVERIFY(shown.endsWith(ending("1", QStringLiteral("Ben"))));
        testing::RawDb(f.mdb()).exec(QStringLiteral("DELETE FROM Vesk WHERE Name = 'Dana'"));
        click(s, 6);
        QCOMPARE(heading(s) + details(s), shown);
        // The group box is read at the click: Avi is no Work name, Bob is one.
        f.chooseGroup(1);
        click(s, 1);
        QCOMPARE(heading(s) + details(s), shown);
        click(s, 5);
        QVERIFY(heading(s).endsWith(u8("מחלקה")));
        QVERIFY(details(s).endsWith(QStringLiteral("9") + QString(11 + 12 + 11 + 14, u' ') +
                                    QStringLiteral("Bob")));
        f.chooseGroup(0);

        // The query matches without case; the list keeps the exact beginnings only.
        retype(s, QStringLiteral("a"));
        QCOMPARE(entries(s), QStringList{entry(QStringLiteral("avi"))});
        retype(s, QStringLiteral("Avi "));
        QVERIFY(entries(s).isEmpty());
        QVERIFY(f.prompter.messages().isEmpty());
    }

    // '2' steps through the list before it is typed; Enter shows the details of the entry
    // chosen, or the first; Esc closes the window.
    void theDigitTwoEnterAndEsc() {
        Fixture f;
        SearchWindow& s =
            open(f, {phoneCard("Dana", "3"), phoneCard("Dan", "1"), phoneCard("Dan2x", "2")});
        QPointer<SearchWindow> p(&s);
        retype(s, QStringLiteral("Dan"));
        // The first entry of the list as it was is chosen, then the list follows "Dan2".
        QTest::keyClick(box(s), Qt::Key_2);
        QVERIFY(details(s).endsWith(ending("1", QStringLiteral("Dan"))));
        QCOMPARE(QStringList{box(s)->text()} + entries(s),
                 (QStringList{"Dan2", entry(QStringLiteral("Dan2x"))}));
        QTest::keyClick(box(s), Qt::Key_2);
        QVERIFY(details(s).endsWith(ending("2", QStringLiteral("Dan2x"))));
        QVERIFY(entries(s).isEmpty());

        // With an entry chosen, '2' moves to the next one and stays on the last. The box is
        // full here, so the '2' is not typed and the list stays as it is.
        box(s)->setText(QStringLiteral("Dan"));
        box(s)->setMaxLength(3);
        click(s, 1);
        QTest::keyClick(box(s), Qt::Key_2);
        QCOMPARE(chosen(s), 2);
        QVERIFY(details(s).endsWith(ending("3", QStringLiteral("Dana"))));
        QTest::keyClick(box(s), Qt::Key_2);
        QCOMPARE(chosen(s), 2);
        box(s)->setMaxLength(32767);

        // In the text box with nothing chosen, Enter shows the first entry.
        retype(s, QStringLiteral("Da"));
        QTest::keyClick(box(s), Qt::Key_Return);
        QVERIFY(details(s).endsWith(ending("1", QStringLiteral("Dan"))));
        // In the list, the entry the keyboard stands on, chosen or not.
        QListView* names = list(s);
        names->setFocus();
        names->selectionModel()->setCurrentIndex(names->model()->index(2, 0),
                                                 QItemSelectionModel::Clear);
        QCOMPARE(chosen(s), -1);
        QTest::keyClick(names, Qt::Key_Enter);
        QVERIFY(details(s).endsWith(ending("3", QStringLiteral("Dana"))));
        QCOMPARE(chosen(s), 2);
        QTest::keyClick(names, Qt::Key_Escape);
        QTRY_VERIFY(!p);
    }

    void detailsOfEachGroupInTheirColumns() {
        Fixture f;
        SearchWindow& s =
            open(f, {QStringLiteral("'Avi Cohen','03-5551234','050-1234567','04-123',NULL,'',''")},
                 {QStringLiteral("'Orit','1234','','03-9876543','Sales and Marketing','',''")});
        QTest::keyClicks(box(s), QStringLiteral("A"));
        click(s, 0);
        QCOMPARE(heading(s), u8(" שם/חברה          טל' בבית      פלאפון      טל' בעבודה    פקס"));
        // Fax (Null), line, mobile, phone left-aligned; the name right-aligned at the end.
        QCOMPARE(
            details(s),
            QStringLiteral("            04-123      050-1234567 03-5551234         Avi Cohen"));

        f.chooseGroup(1);
        retype(s, QStringLiteral("O"));
        click(s, 0);
        QCOMPARE(heading(s), u8(" שם/חברה          טל' בבית      פלאפון      טל' בעבודה   מחלקה"));
        // Department, phone, mobile, home; a value wider than its column is not cut.
        QCOMPARE(details(s),
                 QStringLiteral(
                     " Sales and Marketing1234                    03-9876543              Orit"));

        // Both lines read from the left edge: the heading's leading blank stays on the left
        // although the text begins, for the bidirectional algorithm, with a Hebrew letter.
        auto* header = s.findChild<QLabel*>(QStringLiteral("LblHdr"));
        QVERIFY(QFontInfo(header->font()).fixedPitch());
        const int withBlank = firstInk(*header);
        header->setText(heading(s).mid(1));
        QVERIFY(withBlank - firstInk(*header) >=
                QFontMetrics(header->font()).horizontalAdvance(u' ') - 1);
    }

    // (Hiding when minimised and coming back: the notification-area test.)
    void aFailingQueryIsReportedAndCancelDeletesTheWindow() {
        Fixture f;
        SearchWindow& s = open(f, {phoneCard(QStringLiteral("Avi"))});
        QPointer<SearchWindow> p(&s);
        QTest::keyClicks(box(s), QStringLiteral("A"));
        testing::RawDb(f.mdb()).exec(QStringLiteral("DROP TABLE Vesk"));
        click(s, 0); // the details cannot be read: nothing is said
        QTest::keyClicks(box(s), QStringLiteral("v"));
        // OK only, no icon.
        const Message failed{QStringLiteral("Failed to open connection to database..."),
                             QStringLiteral("Orvenna")};
        QCOMPARE(f.prompter.messages(), QList<Message>{failed});
        QVERIFY(heading(s).isEmpty());
        QVERIFY(entries(s).isEmpty());
        QVERIFY(s.isVisible());
        QTest::mouseClick(s.findChild<QToolButton*>(QStringLiteral("btnCancel")), Qt::LeftButton);
        QTRY_VERIFY(!p);
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
