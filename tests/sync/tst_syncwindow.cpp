// The sync window, driven as a user would, against a real server where it needs one.
#include "common/TestFiles.h"
#include "sync/Device.h"
#include "sync/SyncTexts.h"
#include "sync/SyncWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace synctest;
using store::ContactGroup;
using store::Role;

namespace {

template <typename T> T* child(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning("no %s", name);
    return found;
}

std::unique_ptr<carddav::SyncWindow> windowOn(Device& device, bool hebrew = false) {
    return std::make_unique<carddav::SyncWindow>(*device.controller, device.prompter, hebrew,
                                                 hebrew ? u8("פרטי") : QStringLiteral("Personal"),
                                                 hebrew ? u8("עבודה") : QStringLiteral("Work"),
                                                 nullptr);
}

} // namespace

class TestSyncWindow : public QObject {
    Q_OBJECT
private slots:
    void controlsNamedAndLabelled_data() {
        QTest::addColumn<bool>("hebrew");
        QTest::addColumn<QString>("caption"); // (the menu item: tst_syncapp)
        QTest::newRow("English") << false << QStringLiteral("Synchronise");
        QTest::newRow("Hebrew") << true << u8("סנכרון");
    }

    void controlsNamedAndLabelled() {
        QFETCH(bool, hebrew);
        QFETCH(QString, caption);
        Device device(QUrl(QStringLiteral("http://127.0.0.1:1/")));
        device.controller->setHebrew(hebrew);
        auto window = windowOn(device, hebrew);
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(window->layoutDirection(), hebrew ? Qt::RightToLeft : Qt::LeftToRight);
        // Every input has a label that names it, every button a name and words.
        QSet<QWidget*> labelled;
        for (QLabel* label : window->findChildren<QLabel*>())
            if (label->buddy())
                labelled.insert(label->buddy());
        for (QWidget* input : window->findChildren<QWidget*>()) {
            if (qobject_cast<QLineEdit*>(input) || qobject_cast<QComboBox*>(input) ||
                qobject_cast<QListWidget*>(input))
                QVERIFY2(labelled.contains(input) || !input->accessibleName().isEmpty(),
                         qPrintable(input->objectName()));
        }
        for (QPushButton* b : window->findChildren<QPushButton*>()) {
            QVERIFY(!b->objectName().isEmpty());
            QVERIFY(!b->text().isEmpty());
        }
        QCOMPARE(child<QLineEdit>(*window, "txtServer")->text(),
                 QStringLiteral("http://127.0.0.1:1/"));
        QCOMPARE(child<QLineEdit>(*window, "txtPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(child<QLabel>(*window, "lblResult")->text(),
                 carddav::text(carddav::Text::NeverSynced, hebrew));
    }

    void findBooksThenSync() {
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("Family"));
        Device device(QUrl(QStringLiteral("http://127.0.0.1:1/")));
        device.add(person(QStringLiteral("Noa"), QStringLiteral("03-555-0001")));
        auto window = windowOn(device);
        QLineEdit* address = child<QLineEdit>(*window, "txtServer");
        address->clear();
        QTest::keyClicks(address, server.url().toString());
        QTest::keyClicks(child<QLineEdit>(*window, "txtPassword"), Secret);
        QTest::mouseClick(child<QPushButton>(*window, "btnFindBooks"), Qt::LeftButton);
        QLabel* result = child<QLabel>(*window, "lblResult");
        QTRY_COMPARE_WITH_TIMEOUT(result->text(), QStringLiteral("1 address books found."), 20000);
        QComboBox* personal = child<QComboBox>(*window, "cboPersonalBook");
        QCOMPARE(personal->count(), 2);
        QCOMPARE(personal->itemText(1), QStringLiteral("Family"));
        personal->setCurrentIndex(1);

        QTest::mouseClick(child<QPushButton>(*window, "btnSyncNow"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(
            result->text(),
            QStringLiteral("Synchronised: 0 received, 1 sent, 0 deleted here, 0 "
                           "deleted on the server, 0 conflicts."),
            20000);
        QCOMPARE(server.cards(book).size(), 1);
        device.settings.sync();
        QCOMPARE(device.settings.value(QStringLiteral("Sync/PersonalBook")).toString(), book);
        QCOMPARE(device.settings.value(QStringLiteral("Sync/Server")).toString(),
                 server.url().toString());
        QVERIFY(device.prompter.messages().isEmpty());

        // A book made on the server for the Work list.
        QTest::mouseClick(child<QPushButton>(*window, "btnNewWorkBook"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(
            result->text(), QStringLiteral("The address book was created on the server."), 20000);
        QComboBox* work = child<QComboBox>(*window, "cboWorkBook");
        QCOMPARE(work->currentText(), QStringLiteral("Work"));
        QCOMPARE(device.controller->settings().workBook, work->currentData().toString());
    }

    void refusedPasswordAskedAgain() {
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        Device device(server.url(), book);
        auto window = windowOn(device);
        QTest::keyClicks(child<QLineEdit>(*window, "txtPassword"), QStringLiteral("wrong"));
        QTest::mouseClick(child<QPushButton>(*window, "btnSyncNow"), Qt::LeftButton);
        QLabel* result = child<QLabel>(*window, "lblResult");
        QTRY_COMPARE_WITH_TIMEOUT(
            result->text(), QStringLiteral("The server refused the user name or password."), 20000);
        QCOMPARE(device.prompter.messages(),
                 (QList<platform::Message>{{QStringLiteral("The server refused the user name or "
                                                           "password. Enter the password again and "
                                                           "press Sync now."),
                                            QStringLiteral("Synchronise"), platform::Buttons::Ok,
                                            platform::Icon::Exclamation}}));
        QVERIFY(child<QLineEdit>(*window, "txtPassword")->text().isEmpty());
    }

    void conflictsKeptOrDiscarded() {
        Device device(QUrl(QStringLiteral("http://127.0.0.1:1/")));
        const qint64 row = device.add(person(QStringLiteral("Tal"), QStringLiteral("03-555-0200")));
        {
            carddav::SyncState state(*device.db);
            store::ContactRecord mine =
                person(QStringLiteral("Tal"), QStringLiteral("03-555-0100"));
            mine.rowid = row;
            state.addConflict({-1, row, QStringLiteral("/alice/p/tal.vcf"), mine});
            mine[Role::Name] = QStringLiteral("Tal B");
            state.addConflict({-1, row, QStringLiteral("/alice/p/tal.vcf"), mine});
        }
        auto window = windowOn(device);
        QListWidget* list = child<QListWidget>(*window, "lstConflicts");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Personal: Tal, 03-555-0100"));
        QTest::mouseClick(child<QPushButton>(*window, "btnDiscard"), Qt::LeftButton);
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Personal: Tal B, 03-555-0100"));
        // Kept: our version back in the list (the sync that sends it has no server here).
        QTest::mouseClick(child<QPushButton>(*window, "btnKeep"), Qt::LeftButton);
        QCOMPARE(list->count(), 0);
        QCOMPARE(device.lines(), QStringList{"Tal B|03-555-0100|||||"});
        QVERIFY(!child<QPushButton>(*window, "btnKeep")->isEnabled());
    }
};

QTEST_MAIN(TestSyncWindow)
#include "tst_syncwindow.moc"
