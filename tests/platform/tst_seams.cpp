// The file dialogs and the desktop shell: the filter list as the dialog shows it, Qt's own
// dialog driven as a user would, programs started and links handed to the desktop.
#include "platform/QtFileDialogs.h"
#include "platform/QtShell.h"
#include "platform/testing/RecordingShell.h"
#include "platform/testing/ScriptedFileDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
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
using Outcome = FileChoice::Outcome;

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
        const QString mdb = QStringLiteral("Microsoft Database (*.mdb)");
        QTest::newRow("one type") << QStringLiteral("VCARD (*.vcf)|*.vcf")
                                  << QStringList{QStringLiteral("VCARD (*.vcf)")};
        QTest::newRow("two types")
            << QStringLiteral("Microsoft Database (*.mdb)|*.mdb|Backup Database (*.old)|*.old")
            << QStringList{mdb, QStringLiteral("Backup Database (*.old)")};
        QTest::newRow("patterns added") << QStringLiteral("Pictures|*.png; *.jpg")
                                        << QStringList{QStringLiteral("Pictures (*.png *.jpg)")};
        // The dialog filters by the last parentheses, which must hold the list's pattern.
        QTest::newRow("other patterns named") << QStringLiteral("Old (*.mdb)|*.old")
                                              << QStringList{QStringLiteral("Old (*.mdb) (*.old)")};
        QTest::newRow("no description")
            << QStringLiteral("|*.txt") << QStringList{QStringLiteral("(*.txt)")};
        QTest::newRow("no pattern") << QStringLiteral("VCARD (*.vcf)") << QStringList{};
        QTest::newRow("empty pattern")
            << QStringLiteral("VCARD (*.vcf)| ; |x|*.x") << QStringList{};
        QTest::newRow("empty list") << QString() << QStringList{};
    }
    void filterListsAsTheDialogShowsThem() {
        QFETCH(QString, filters);
        QFETCH(QStringList, shown);
        QCOMPARE(platform::QtFileDialogs::nameFilters(filters).value_or(QStringList{}), shown);
    }

    void theScriptedDialogsAnswerInTurnThenCancel() {
        platform::testing::ScriptedFileDialogs dialogs;
        dialogs.script({FileChoice::chosen(QStringLiteral("/a.vcf")),
                        FileChoice::failed(QStringLiteral("broken"))});
        const FileRequest vcf{QStringLiteral("VCARD (*.vcf)|*.vcf"), 1,
                              QStringLiteral("Avi Cohen.vcf")};
        QCOMPARE(dialogs.save(vcf, Overwrite::DontConfirm),
                 FileChoice::chosen(QStringLiteral("/a.vcf")));
        QCOMPARE(dialogs.open(vcf).description, QStringLiteral("broken"));
        QVERIFY(dialogs.open(vcf).isCancelled());
        using Kind = platform::testing::ScriptedFileDialogs::Kind;
        QCOMPARE(dialogs.calls().size(), 3);
        QVERIFY((dialogs.calls().first() ==
                 decltype(dialogs)::Call{Kind::Save, vcf, Overwrite::DontConfirm}));
        QVERIFY(dialogs.calls().last().kind == Kind::Open);
    }

    void qtDialogsDrivenAsByAUser_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<Overwrite>("overwrite");
        QTest::addColumn<QString>("filters");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>(
            "typed"); // null: the proposed name is kept; "<cancel>": cancelled
        QTest::addColumn<QString>("selectedFilter");
        QTest::addColumn<bool>("asked"); // whether the dialog asked before overwriting
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("chosen"); // the file name chosen, in the test's folder

        const QString vcf = QStringLiteral("VCARD (*.vcf)|*.vcf");
        const QString mdb =
            QStringLiteral("Microsoft Database (*.mdb)|*.mdb|Backup Database (*.old)|*.old");
        const auto confirm = Overwrite::Confirm;
        const auto chosen = int(Outcome::Chosen);
        QTest::newRow("open the name typed")
            << false << confirm << vcf << 1 << QStringLiteral("new.vcf")
            << QStringLiteral("old.vcf") << QStringLiteral("VCARD (*.vcf)") << false << chosen
            << QStringLiteral("old.vcf");
        QTest::newRow("open of the second type")
            << false << confirm << mdb << 2 << QStringLiteral("VESK.MDB")
            << QStringLiteral("Vesk.old") << QStringLiteral("Backup Database (*.old)") << false
            << chosen << QStringLiteral("Vesk.old");
        QTest::newRow("open cancelled")
            << false << confirm << vcf << 1 << QStringLiteral("old.vcf")
            << QStringLiteral("<cancel>") << QStringLiteral("VCARD (*.vcf)") << false
            << int(Outcome::Cancelled) << QString();
        QTest::newRow("save the proposed name, index out of range")
            << true << confirm << mdb << 7 << QStringLiteral("new.mdb") << QString()
            << QStringLiteral("Microsoft Database (*.mdb)") << false << chosen
            << QStringLiteral("new.mdb");
        QTest::newRow("save over a file, asked")
            << true << confirm << mdb << 1 << QStringLiteral("VESK.MDB") << QString()
            << QStringLiteral("Microsoft Database (*.mdb)") << true << chosen
            << QStringLiteral("VESK.MDB");
        QTest::newRow("save over a file, not asked")
            << true << Overwrite::DontConfirm << mdb << 1 << QStringLiteral("VESK.MDB") << QString()
            << QStringLiteral("Microsoft Database (*.mdb)") << false << chosen
            << QStringLiteral("VESK.MDB");
        QTest::newRow("a list without patterns fails")
            << true << confirm << QStringLiteral("VCARD") << 1 << QStringLiteral("a.vcf")
            << QString() << QString() << false << int(Outcome::Failed) << QString();
    }
    void qtDialogsDrivenAsByAUser() {
        QFETCH(bool, save);
        QFETCH(Overwrite, overwrite);
        QFETCH(QString, filters);
        QFETCH(int, index);
        QFETCH(QString, proposed);
        QFETCH(QString, typed);
        QFETCH(QString, selectedFilter);
        QFETCH(bool, asked);
        QFETCH(int, outcome);
        QFETCH(QString, chosen);

        QTemporaryDir dir;
        for (const char* name : {"old.vcf", "VESK.MDB", "Vesk.old"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        bool shown = false;
        bool askedToOverwrite = false;
        QObject watch;
        if (!selectedFilter.isEmpty()) {
            whenShown<QFileDialog>(watch, [&](QFileDialog& dialog) {
                shown = true;
                QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
                QCOMPARE(dialog.selectedNameFilter(), selectedFilter);
                auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                const auto role = save ? QDialogButtonBox::Save : QDialogButtonBox::Open;
                QPushButton* accept = dialog.findChild<QDialogButtonBox*>()->button(role);
                QCOMPARE(box->accessibleName(), QStringLiteral("File name"));
                QCOMPARE(accept->accessibleName(),
                         save ? QStringLiteral("Save") : QStringLiteral("Open"));
                if (typed == QStringLiteral("<cancel>"))
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
        }
        platform::QtFileDialogs dialogs;
        const FileRequest request{filters, index, dir.filePath(proposed)};
        const FileChoice choice = save ? dialogs.save(request, overwrite) : dialogs.open(request);
        QCOMPARE(int(choice.outcome), outcome);
        QCOMPARE(shown, !selectedFilter.isEmpty());
        QCOMPARE(askedToOverwrite, asked);
        QCOMPARE(choice.path, chosen.isEmpty() ? QString() : dir.filePath(chosen));
        QCOMPARE(choice.description.isEmpty(), outcome != int(Outcome::Failed));
    }

    void linksGoToTheDesktopsHandlers() {
        LinkCatcher catcher;
        for (const char* scheme : {"mailto", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
        platform::QtShell shell;
        const QList<QUrl> links{QUrl(QStringLiteral("mailto:avi@example.com")),
                                QUrl(QStringLiteral("https://example.com/a b"))};
        for (const QUrl& link : links)
            QVERIFY(shell.openUrl(link));
        QVERIFY(!shell.openUrl(QUrl()));
        for (const char* scheme : {"mailto", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        QCOMPARE(catcher.links, links);
    }

    void programsStartedByPath() {
        QTemporaryDir dir;
        const QString touch = QStandardPaths::findExecutable(QStringLiteral("touch"));
        QVERIFY(!touch.isEmpty());
        platform::QtShell shell;
        const QString made = dir.filePath(QStringLiteral("made by touch"));
        QVERIFY(shell.startProgram(touch, {made}));
        QTRY_VERIFY(QFile::exists(made));
        // A program is named by its path, never looked up in PATH.
        QVERIFY(!shell.startProgram(QStringLiteral("touch"),
                                    {dir.filePath(QStringLiteral("not made"))}));
        QVERIFY(!shell.startProgram(dir.filePath(QStringLiteral("missing"))));
        QVERIFY(!shell.startProgram(QString()));

        platform::testing::RecordingShell recording;
        recording.succeeds = false;
        QVERIFY(!recording.startProgram(touch, {made}) &&
                !recording.openUrl(QUrl(QStringLiteral("mailto:a@b"))));
        QCOMPARE(recording.programs,
                 (QList<platform::testing::RecordingShell::Program>{{touch, {made}}}));
        QCOMPARE(recording.urls, QList<QUrl>{QUrl(QStringLiteral("mailto:a@b"))});
    }
};

QTEST_MAIN(TestSeams)
#include "tst_seams.moc"
