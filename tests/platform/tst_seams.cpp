// The file dialogs and the desktop shell: the filter list as the dialog shows it, Qt's own
// dialog driven as a user would, programs started and links handed to the desktop.
#include "platform/QtFileDialogs.h"
#include "platform/QtShell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using platform::FileChoice;
using platform::FileRequest;
using platform::Overwrite;

namespace {
// Runs `step` on the modal widget of type W as soon as one is shown, while `watch` lives.
template <typename W> void whenShown(QObject& watch, std::function<void(W&)> step) {
    QTimer::singleShot(10, &watch, [&watch, step] {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget()))
            step(*w);
        else
            whenShown<W>(watch, step);
    });
}

// A file dialog driven as a user would, and what comes of it.
struct DialogCase {
    bool save;
    Overwrite overwrite;
    QString filters;
    int index;
    QString proposed;
    QString typed;          // null: the proposed name kept; "<cancel>"
    QString selectedFilter; // empty: no dialog is shown
    bool asked;             // whether the dialog asked before overwriting
    QString chosen;         // in the test's folder; empty: cancelled
};

// Receives the links the desktop would open.
class LinkCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> links;
public slots:
    void open(const QUrl& url) { links.append(url); }
};
} // namespace

class TestSeams : public QObject {
    Q_OBJECT

private slots:
    void filterListsAsTheDialogShowsThem_data() {
        QTest::addColumn<QString>("filters");
        QTest::addColumn<QStringList>("shown"); // empty: the list is refused
        QTest::newRow("two types")
            << "Microsoft Database (*.mdb)|*.mdb|Backup Database (*.old)|*.old"
            << QStringList{"Microsoft Database (*.mdb)", "Backup Database (*.old)"};
        QTest::newRow("patterns added")
            << "Pictures|*.png; *.jpg" << QStringList{"Pictures (*.png *.jpg)"};
        // The dialog filters by the last parentheses, which must hold the list's pattern.
        QTest::newRow("other patterns named")
            << "Old (*.mdb)|*.old" << QStringList{"Old (*.mdb) (*.old)"};
        QTest::newRow("no pattern") << "VCARD (*.vcf)" << QStringList{};
        QTest::newRow("empty pattern") << "VCARD| ; |x|*.x" << QStringList{};
    }
    void filterListsAsTheDialogShowsThem() {
        QFETCH(QString, filters);
        QTEST(platform::QtFileDialogs::nameFilters(filters).value_or(QStringList{}), "shown");
    }

    void qtDialogsDrivenAsByAUser_data() {
        QTest::addColumn<DialogCase>("c");
        const QString vcf = "VCARD (*.vcf)|*.vcf",
                      mdb = "Microsoft Database (*.mdb)|*.mdb|Backup Database (*.old)|*.old";
        const QString old = "old.vcf";
        QTest::newRow("open the second type, a name typed")
            << DialogCase{false,      Overwrite::Confirm,        mdb,   2,         "VESK.MDB",
                          "Vesk.old", "Backup Database (*.old)", false, "Vesk.old"};
        QTest::newRow("open cancelled") << DialogCase{false,      Overwrite::Confirm, vcf,   1, old,
                                                      "<cancel>", "VCARD (*.vcf)",    false, {}};
        QTest::newRow("save over a file, asked; index outside the list")
            << DialogCase{true, Overwrite::Confirm,           mdb,  7,         "VESK.MDB",
                          {},   "Microsoft Database (*.mdb)", true, "VESK.MDB"};
        QTest::newRow("save over a file, not asked") << DialogCase{
            true, Overwrite::DontConfirm, vcf, 1, old, {}, "VCARD (*.vcf)", false, old};
        QTest::newRow("a list without patterns fails")
            << DialogCase{true, Overwrite::Confirm, "VCARD", 1, old, {}, {}, false, {}};
    }
    void qtDialogsDrivenAsByAUser() {
        QFETCH(DialogCase, c);
        const auto& [save, overwrite, filters, index, proposed, typed, selectedFilter, asked,
                     chosen] = c;
        QTemporaryDir dir;
        for (const char* name : {"old.vcf", "VESK.MDB", "Vesk.old"})
            QVERIFY(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
        bool shown = false, askedToOverwrite = false;
        QObject watch;
        whenShown<QFileDialog>(watch, [&](QFileDialog& dialog) {
            shown = true;
            QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
            QCOMPARE(dialog.selectedNameFilter(), selectedFilter);
            auto* box = dialog.findChild<QLineEdit*>("fileNameEdit");
            QPushButton* accept = dialog.findChild<QDialogButtonBox*>()->button(
                save ? QDialogButtonBox::Save : QDialogButtonBox::Open);
            QCOMPARE(box->accessibleName(), "File name");
            QCOMPARE(accept->accessibleName(), save ? "Save" : "Open");
            if (typed == "<cancel>")
                return dialog.reject();
            if (!typed.isNull()) {
                // The dialog lets go of the proposed file only for a box that has the focus.
                QApplication::setActiveWindow(&dialog);
                box->setFocus();
                box->selectAll();
                QTest::keyClicks(box, typed);
            }
            whenShown<QMessageBox>(watch, [&](QMessageBox& question) {
                askedToOverwrite = true;
                question.button(QMessageBox::Yes)->click();
            });
            accept->click();
        });
        platform::QtFileDialogs dialogs;
        const FileRequest request{filters, index, dir.filePath(proposed)};
        const FileChoice choice = save ? dialogs.save(request, overwrite) : dialogs.open(request);
        QCOMPARE(shown, !selectedFilter.isEmpty());
        QCOMPARE(askedToOverwrite, asked);
        if (!shown) {
            QVERIFY(choice.isFailed());
            QVERIFY2(choice.description.contains(filters), qPrintable(choice.description));
        } else {
            QCOMPARE(choice, chosen.isEmpty() ? FileChoice::cancelled()
                                              : FileChoice::chosen(dir.filePath(chosen)));
        }
    }

    void linksGoToTheDesktopsHandlers() {
        LinkCatcher catcher;
        for (const char* scheme : {"mailto", "https", "file"})
            QDesktopServices::setUrlHandler(scheme, &catcher, "open");
        platform::QtShell shell;
        const QList<QUrl> links{QUrl("mailto:avi@example.com"), QUrl("https://example.com/a b")};
        for (const QUrl& link : links)
            QVERIFY(shell.openUrl(link));
        QVERIFY(!shell.openUrl(QUrl()));
        // Nothing but links: the desktop would open or run a local file.
        QVERIFY(!shell.openUrl(QUrl::fromLocalFile("/bin/sh")));
        for (const char* scheme : {"mailto", "https", "file"})
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(catcher.links, links);
    }

    void programsStartedByPath() {
        QTemporaryDir dir;
        const QString touch = QStandardPaths::findExecutable("touch");
        QVERIFY(!touch.isEmpty());
        platform::QtShell shell;
        const QString made = dir.filePath("made by touch");
        QVERIFY(shell.startProgram(touch, {made}));
        QTRY_VERIFY(QFile::exists(made));
        // A program is named by its path, never looked up in PATH.
        QVERIFY(!shell.startProgram("touch", {dir.filePath("not made")}));
        QVERIFY(!shell.startProgram(dir.filePath("missing")));
        QVERIFY(!shell.startProgram(QString()));
    }
};

QTEST_MAIN(TestSeams)
#include "tst_seams.moc"
