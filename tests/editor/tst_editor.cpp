// The record editor opened from the real main window on a real file: its modes, its
// checks and messages, what it stores, and whom it writes to while the main window moves on.
#include "common/Fixture.h"

#include "editor/RecordEditor.h"

#include <QLabel>
#include <QLineEdit>

using app::MainWindow;
using editor::RecordEditor;
using platform::Answer;
using platform::Message;

namespace {
const QString added = QStringLiteral("A new record has been added");
const QString updated = QStringLiteral("The current record has been updated");
const Message nameTaken = failure(QStringLiteral("The current name is used all-ready"));

QString tooLong(const char* word) {
    return QStringLiteral("The length of the '%1' field is too long").arg(QLatin1String(word));
}
// A card whose first number (Phone) is `phone`.
QString phoneCard(const QString& name, const char* phone) {
    return card(name, QStringLiteral("'%1','','','',' ',' '").arg(QLatin1String(phone)));
}

RecordEditor* editorOf(MainWindow& w) {
    return qobject_cast<RecordEditor*>(w.editorWindow());
}
RecordEditor& opened(MainWindow& w) {
    RecordEditor* e = editorOf(w);
    if (!e)
        qFatal("the editor did not open");
    return *e;
}
RecordEditor& openAdd(MainWindow& w) {
    w.findChild<QAction*>(QStringLiteral("mnuAdd"))->trigger();
    return opened(w);
}
// Selects a grid row, answers OK to the question and returns the editor on that card.
RecordEditor& openUpdate(Fixture& f, int row) {
    f.clickCell(row, 0);
    f.prompter.script({Answer::Ok});
    f.button("btnEdit")->click();
    f.prompter.clear();
    return opened(*f.window);
}

QLineEdit* box(RecordEditor& e, const char* name) {
    return e.findChild<QLineEdit*>(QString::fromLatin1(name));
}
void type(RecordEditor& e, const char* name, const QString& text) {
    box(e, name)->setText(text);
}
void fill(RecordEditor& e, const QString& texts) { // the boxes' texts, separated by '|'
    const QStringList parts = texts.split(u'|');
    for (int i = 0; i < parts.size(); ++i)
        box(e, boxNames[i])->setText(parts[i]);
}
QString boxes(RecordEditor& e) {
    QStringList out;
    for (const char* n : boxNames)
        out << box(e, n)->text();
    return out.join(u'|');
}
void click(RecordEditor& e, const char* name) {
    QTest::mouseClick(e.findChild<QToolButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}
QWidget* nextFocusable(QWidget* w) {
    do
        w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus));
    return w;
}
} // namespace

class TestEditor : public QObject {
    Q_OBJECT

private slots:
    // Each mode's caption and buttons; the main window's close takes the editor along. Clear
    // keeps the address and the e-mail.
    void eachModeShowsItsCaptionAndButtons() {
        Fixture f;
        MainWindow& w = f.open({phoneCard(QStringLiteral("Avi"), "1")});
        f.trigger("mnuAll");
        for (const bool update : {false, true}) {
            RecordEditor& e = update ? openUpdate(f, 1) : openAdd(w);
            QCOMPARE(e.windowTitle() + u'/' + e.findChild<QLabel*>("lblHeader")->text(),
                     update ? "Update Phone Number/Modify Record"
                            : "Add New Phone Number/Add Record");
            QStringList shown;
            for (QToolButton* b : e.findChildren<QToolButton*>())
                if (b->isVisible())
                    shown << b->objectName();
            QCOMPARE(shown.join(u' '),
                     update ? "btnUpdate btnUndo btnRtn" : "btnAdd btnClr btnRtn");
            // The boxes follow one another in the order of the card.
            for (int i = 1; i < 7; ++i)
                QCOMPARE(nextFocusable(box(e, boxNames[i - 1])), box(e, boxNames[i]));
            if (update) {
                w.close();
                QTRY_VERIFY(!w.editorWindow());
                break;
            }
            fill(e, u8("אבי|1|2|3|4|Haifa|a@b.c"));
            click(e, "btnClr");
            QCOMPARE(boxes(e), QStringLiteral("|||||Haifa|a@b.c"));
            e.close();
            QTRY_VERIFY(!w.editorWindow());
        }
    }

    // What Add stores: trimmed, an empty number as an empty string, an empty address or
    // e-mail as one blank, in the fields of the group the main window shows at the click.
    // A name is taken only by the same name, trimmed, in the same list. Or what it refuses:
    // the checks in their order, each with its own words, then what the store refuses (the
    // editor lets eleven characters of line through; Personal keeps ten, Work four); nothing
    // is stored then and the editor stays open.
    void addStoresTheTrimmedCardInTheGroupShownAtTheClick_data() {
        QTest::addColumn<int>("openedOver");
        QTest::addColumn<int>("addedTo");
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QString>("stored"); // none: refused
        QTest::addColumn<Message>("said");
        const auto stores = [](const char* name, int openedOver, int addedTo, const QString& boxes,
                               const QString& stored) {
            QTest::newRow(name) << openedOver << addedTo << boxes << stored << notice(added);
        };
        const auto refuses = [](const char* name, int group, const QString& boxes,
                                const QString& said) {
            QTest::newRow(name) << group << group << boxes << QString() << failure(said);
        };
        const QString name20 = u8("אבגדהוזחטיכלמנסעפצקר");
        const QString full = QStringLiteral("|1234567890|12345678901||1234567890|") +
                             QString(50, u'a') + u'|' + QString(40, u'e');
        stores("personal", 0, 0, u8("  אבי כהן  | 03-5551234|||09"),
               u8("אבי כהן|03-5551234|||09| | "));
        // Limits are counted after trimming: twenty characters, 50 of address and 40 of e-mail fit.
        stores("personal, every box full", 0, 0, u8("  ") + name20 + u8(" ") + full, name20 + full);
        stores("work", 1, 1, u8("חברה|03||1234|מכירות"), u8("חברה|1234||03|מכירות| | "));
        stores("opened over personal", 0, 1, u8("חברה|1"), u8("חברה|||1|| | "));
        stores("a name in another case", 0, 0, u8("avi|2"), u8("avi|2|||| | "));
        stores("a name of the other list", 1, 1, u8("Avi|2"), u8("Avi|||2|| | "));
        refuses("no name", 0, u8("   |1"), QStringLiteral("The field Name cannot be empty"));
        // An address and an e-mail are no number.
        refuses("no number", 0, u8("אבי|||||Haifa|a@b.c"),
                QStringLiteral("There is no phone/fax/line/mobile number"));
        refuses("name", 0, name20 + u8("ש|1"), tooLong("Name"));
        refuses("phone", 0, u8("אבי|12345678901"), tooLong("Phone"));
        refuses("mobile", 0, u8("אבי||123456789012"), tooLong("Mobile"));
        refuses("line", 0, u8("אבי|||123456789012"), tooLong("Line"));
        refuses("fax", 0, u8("אבי||||12345678901"), tooLong("Fax"));
        refuses("address", 0, u8("אבי|1||||") + QString(51, u'x'), tooLong("Address"));
        refuses("email", 0, u8("אבי|1|||||") + QString(41, u'x'), tooLong("Email"));
        refuses("work dept", 1, u8("חברה||||12345678901"), tooLong("Fax")); // not 'Dept'
        refuses("work phone in the store", 1, u8("חברה|03||12345|מכירות"),
                QStringLiteral("Field 'Phone' takes at most 4 characters"));
        // The stored name is compared trimmed.
        QTest::newRow("name taken") << 0 << 0 << u8("  Avi|2") << QString() << nameTaken;
    }
    void addStoresTheTrimmedCardInTheGroupShownAtTheClick() {
        QFETCH(int, openedOver);
        QFETCH(int, addedTo);
        QFETCH(QString, boxes);
        QFETCH(QString, stored);
        QFETCH(Message, said);
        Fixture f;
        MainWindow& w = f.open({phoneCard(QStringLiteral("Avi "), "1")});
        f.trigger("mnuAll");
        f.chooseGroup(openedOver);
        RecordEditor& e = openAdd(w);
        QCOMPARE(e.findChild<QLabel*>(QStringLiteral("lblTxtFax"))->text(),
                 openedOver ? u8(": מחלקה") : u8(": פקס"));
        f.chooseGroup(addedTo);
        fill(e, boxes);
        click(e, "btnAdd");
        QCOMPARE(f.prompter.messages(), QList<Message>{said});
        testing::RawDb raw(f.mdb());
        if (stored.isEmpty()) {
            QVERIFY(w.editorWindow());
            QCOMPARE(raw.scalar(QStringLiteral(
                         "SELECT (SELECT count(*) FROM Vesk) + (SELECT count(*) FROM Work)")),
                     QStringLiteral("1"));
            return;
        }
        QTRY_VERIFY(!w.editorWindow());
        QCOMPARE(raw.rows(QStringLiteral("SELECT * FROM %1 WHERE Name <> 'Avi '")
                              .arg(addedTo ? "Work" : "Vesk")),
                 QStringList{stored});
        QCOMPARE(raw.scalar(QStringLiteral("SELECT count(*) FROM ") + (addedTo ? "Vesk" : "Work")),
                 QString::number(addedTo));
        const QString name = stored.section(u'|', 0, 0);
        QVERIFY(w.grid()->cellText(1, 0) == name || w.grid()->cellText(2, 0) == name); // refilled
    }

    // Update mode fills the boxes from the card, Undo puts them back and Update writes them;
    // only a changed name is checked against the other cards.
    void updateModeFillsTheBoxesAndUndoRestoresThem() {
        Fixture f;
        MainWindow& w = f.open(
            {phoneCard(u8("אבי"), "1"), phoneCard(u8("אבי "), "2"), phoneCard(u8("אגם"), "3")},
            {card(u8("אורט"), QStringLiteral("' 12 ','050','03','מכירות',NULL,'x@y.z '"))});
        f.chooseGroup(1);
        RecordEditor& work = openUpdate(f, 1);
        // Work: Home, Mobil, Phone and Dept go to the home, mobile, work and fax boxes; a Null
        // address leaves its box empty.
        const QString loaded = u8("אורט|03|050|12|מכירות||x@y.z");
        QCOMPARE(boxes(work), loaded);
        fill(work, QStringLiteral("X|9|9|9|9|9|9"));
        click(work, "btnUndo");
        QCOMPARE(boxes(work), loaded);
        QVERIFY(f.prompter.messages().isEmpty());

        type(work, "TxtWork", QStringLiteral("4321"));
        type(work, "txtAddr", QString());
        click(work, "btnUpdate");
        QCOMPARE(f.prompter.messages(), QList<Message>{notice(updated)});
        QTRY_VERIFY(!w.editorWindow());
        QCOMPARE(testing::RawDb(f.mdb()).rows(QStringLiteral("SELECT * FROM Work")),
                 QStringList{u8("אורט|4321|050|03|מכירות| |x@y.z")});
        QCOMPARE(w.grid()->cellText(1, 3), QStringLiteral("4321"));

        // Updating under the same name does not scan; another name does. Two cards' names differ
        // only by a trailing blank, as an older program could leave them.
        f.chooseGroup(0);
        RecordEditor& e = openUpdate(f, 1);
        type(e, "TxtHome", QStringLiteral("11"));
        click(e, "btnUpdate");
        QCOMPARE(f.prompter.texts(), QStringList{updated});
        QTRY_VERIFY(!w.editorWindow());

        // Taking another card's name is refused and the stored name comes back; the rest stays.
        RecordEditor& e2 = openUpdate(f, 3);
        type(e2, "TxtName", u8("אבי"));
        type(e2, "TxtHome", QStringLiteral("33"));
        click(e2, "btnUpdate");
        QCOMPARE(f.prompter.messages(), QList<Message>{nameTaken});
        QCOMPARE(boxes(e2).section(u'|', 0, 1), u8("אגם|33"));
        // A validation failure also puts the stored name back.
        type(e2, "TxtName", u8("אגמון"));
        type(e2, "TxtHome", QStringLiteral("12345678901"));
        f.prompter.clear();
        click(e2, "btnUpdate");
        QCOMPARE(f.prompter.messages(), QList<Message>{failure(tooLong("Phone"))});
        QCOMPARE(box(e2, "TxtName")->text(), u8("אגם"));
        QCOMPARE(testing::RawDb(f.mdb()).rows(
                     QStringLiteral("SELECT Name, Phone FROM Vesk ORDER BY rowid")),
                 (QStringList{u8("אבי|11"), u8("אבי |2"), u8("אגם|3")}));
    }

    // The main window moves on while the editor is open on Ccc: it deletes another card and
    // turns to the Work list, and the editor still writes the card it loaded. When the card
    // itself goes nothing is written and the grid is refilled (the store's tests show the
    // same for a card whose identity another program gave to a new one).
    void theEditorWritesOnlyTheCardItLoaded_data() {
        QTest::addColumn<bool>("other"); // another card deleted, or Ccc itself
        QTest::addColumn<QStringList>("left");
        QTest::newRow("another card deleted, Work shown") << true << QStringList{"Bbb|2", "Ccc|99"};
        QTest::newRow("deleted here") << false << QStringList{"Aaa|1", "Bbb|2"};
    }
    void theEditorWritesOnlyTheCardItLoaded() {
        QFETCH(bool, other);
        QFETCH(QStringList, left);
        Fixture f;
        MainWindow& w =
            f.open({phoneCard(QStringLiteral("Aaa"), "1"), phoneCard(QStringLiteral("Bbb"), "2"),
                    phoneCard(QStringLiteral("Ccc"), "3")},
                   {phoneCard(QStringLiteral("Ddd"), "4")});
        f.trigger("mnuAll");
        RecordEditor& e = openUpdate(f, 3);
        testing::RawDb raw(f.mdb());
        f.clickCell(other ? 1 : 3, 0);
        f.prompter.script({Answer::Ok});
        f.trigger("mnuDel");
        if (other)
            f.chooseGroup(1);
        f.prompter.clear();
        type(e, "TxtHome", QStringLiteral("99"));
        click(e, "btnUpdate");
        QCOMPARE(f.prompter.messages(),
                 QList<Message>{other
                                    ? notice(updated)
                                    : failure(QStringLiteral(
                                          "The card being changed is no longer in the phone book; "
                                          "nothing has been written."))});
        // Refused, the editor stays open over a refilled list.
        if (!other) {
            QVERIFY(w.editorWindow());
            QCOMPARE(f.shared->ListCount, 2);
            QCOMPARE(w.grid()->cellText(3, 0), QString());
        }
        QCOMPARE(raw.rows(QStringLiteral("SELECT Name, Phone FROM Vesk ORDER BY Name")), left);
        QCOMPARE(raw.rows(QStringLiteral("SELECT Name, Phone FROM Work")),
                 QStringList{QStringLiteral("Ddd|4")});
    }

    void aCardWithANullNumberCannotBeLoaded() {
        Fixture f;
        MainWindow& w = f.open({card(u8("אבי"), QStringLiteral("NULL,'050',NULL,NULL,NULL,NULL"))});
        f.clickCell(1, 0);
        f.prompter.script({Answer::Ok});
        f.button("btnEdit")->click();
        QCOMPARE(f.prompter.messages().mid(1),
                 QList<Message>{failure(QStringLiteral("The current record is non-valid"))});
        // The window stays open, filled up to the Null.
        RecordEditor* partly = editorOf(w);
        QVERIFY(partly);
        QVERIFY(partly->isVisible());
        QCOMPARE(boxes(*partly), u8("אבי||||||"));
    }

    // Enter presses the visible default button (Add, or Update), or the button that has the
    // focus; Esc is Cancel. The key goes to the box being typed in. While another program
    // holds the file, a write reports the engine's own words (not a closed database, not a
    // vanished card) and the editor stays; once the file is free, the same key succeeds.
    void enterAndEscFromTheKeyboard_data() {
        QTest::addColumn<bool>("update");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("held");
        QTest::addColumn<QString>("said"); // none: the card stays as it was
        QTest::newRow("enter adds") << false << int(Qt::Key_Return) << "TxtHome" << false << added;
        QTest::newRow("enter updates")
            << true << int(Qt::Key_Enter) << "TxtName" << false << updated;
        QTest::newRow("esc cancels")
            << false << int(Qt::Key_Escape) << "TxtHome" << false << QString();
        QTest::newRow("enter on Cancel")
            << true << int(Qt::Key_Return) << "btnRtn" << false << QString();
        QTest::newRow("add, file held exclusively")
            << false << int(Qt::Key_Return) << "TxtHome" << true << added;
        QTest::newRow("update, file held exclusively")
            << true << int(Qt::Key_Return) << "TxtHome" << true << updated;
    }
    void enterAndEscFromTheKeyboard() {
        QFETCH(bool, update);
        QFETCH(int, key);
        QFETCH(QString, focus);
        QFETCH(bool, held);
        QFETCH(QString, said);
        Fixture f;
        MainWindow& w = f.open({card(u8("אב"), QStringLiteral("'1',NULL,NULL,NULL,NULL,NULL"))});
        RecordEditor& e = update ? openUpdate(f, 1) : openAdd(w);
        const QString typed = update ? u8("אב|9") : u8("אבי|9");
        fill(e, typed);
        QWidget* target = e.findChild<QWidget*>(focus);
        target->setFocus();
        if (held) {
            testing::RawDb other(f.mdb());
            other.exec(QStringLiteral("BEGIN EXCLUSIVE"));
            QTest::keyClick(target, Qt::Key(key));
            QCOMPARE(f.prompter.messages(),
                     QList<Message>{failure(QStringLiteral("database is locked"))});
            QVERIFY(w.editorWindow());
            other.exec(QStringLiteral("ROLLBACK"));
            f.prompter.clear();
        }
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(f.prompter.texts(), said.isEmpty() ? QStringList() : QStringList{said});
        QTRY_VERIFY(!w.editorWindow());
        QCOMPARE(testing::RawDb(f.mdb()).rows(
                     QStringLiteral("SELECT Name, Phone FROM Vesk ORDER BY rowid DESC LIMIT 1")),
                 QStringList{said.isEmpty() ? u8("אב|1") : typed});
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
