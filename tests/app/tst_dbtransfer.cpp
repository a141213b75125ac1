// The Export DB and Import DB commands as a user meets them: dialogs, questions, messages and
// the list afterwards.
#include "common/DesktopFixture.h"

#include "app/FlexGrid.h"

#include <QAction>
#include <QtTest>

using platform::Answer;
using platform::FileChoice;
using platform::Message;
using B = platform::Buttons;
using I = platform::Icon;
using Call = platform::testing::ScriptedFileDialogs::Call;
using Kind = platform::testing::ScriptedFileDialogs::Kind;

class TestDbTransfer : public QObject {
    Q_OBJECT
private slots:
    void exportThenImport() {
        DesktopFixture f;
        app::frmVesk& w = f.startDesktop({card("Avi"), card("Ben")});
        auto run = [&](const char* command, FileChoice choice, QList<Answer> answers = {}) {
            f.dialogs.script({choice});
            for (Answer a : answers)
                f.prompter.script({a});
            w.findChild<QAction*>(command)->trigger();
        };
        auto listed = [&] {
            QStringList names;
            for (int r = 1; w.grid()->isCardRow(r); ++r)
                names << w.grid()->TextMatrix(r, 0).trimmed();
            return names;
        };
        auto file = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadWrite) ? f.readAll() : QByteArray();
        };
        const QString copy = f.dir.filePath("copy.mdb"), text = f.dir.filePath("text.mdb"),
                      mdb = f.mdb();
        run("mnuExportDB", FileChoice::chosen(copy));
        run("mnuExportDB", FileChoice::chosen(copy), {Answer::No});
        run("mnuExportDB", FileChoice::chosen(copy), {Answer::Yes});
        run("mnuExportDB", FileChoice::cancelled());
        const QString exported = "Export DB to " + copy + " has succeeded!";
        const Message ask{"Do you want to overwrite " + copy + "?", "Orvenna", B::YesNo,
                          I::Question};
        QCOMPARE(f.prompter.messages(),
                 (QList<Message>{
                     notice(exported), ask,
                     notice("Failed to export database! File already exists", I::Exclamation), ask,
                     notice(exported)}));
        const Call save{Kind::Save,
                        {"Microsoft Database (*.mdb)|*.mdb", 1, "VESK.MDB"},
                        platform::Overwrite::DontConfirm};
        QCOMPARE(f.dialogs.calls(), (QList<Call>{save, save, save, save}));

        testing::RawDb(mdb).exec("INSERT INTO Vesk (Name) VALUES ('Added')");
        w.update_list();
        f.prompter.clear();
        f.dialogs.clear();
        run("mnuImportDB", FileChoice::cancelled(), {Answer::No});
        QCOMPARE(f.dialogs.calls(), QList<Call>{}); // no dialog after No
        f.dialogs.clear();
        file(text); // an empty file: no phone book
        const QByteArray before = file(mdb);
        run("mnuImportDB", FileChoice::chosen(text));
        QCOMPARE(file(mdb), before);
        QCOMPARE(listed(), (QStringList{"Added", "Avi", "Ben"}));
        // The card added since goes, the file replaced stays aside until restored.
        run("mnuImportDB", FileChoice::chosen(copy));
        QCOMPARE(listed(), (QStringList{"Avi", "Ben"}));
        const QString old = f.dir.filePath("Vesk.old");
        QCOMPARE(file(old), before);
        run("mnuImportDB", FileChoice::chosen(old));
        QCOMPARE(listed(), (QStringList{"Added", "Avi", "Ben"}));
        QCOMPARE(file(old), before);
        const Message warn{"This will import an external database\r\ninto Orvenna, continue?",
                           "System Warning", B::YesNo, I::Question};
        const QString notOurs = "The file is not an Orvenna phone book: it has no table 'Vesk'";
        auto done = [](const QString& path) {
            return notice("Import DB from " + path + " has succeeded!");
        };
        QCOMPARE(f.prompter.messages(),
                 (QList<Message>{warn, warn,
                                 notice("Failed to import database! " + notOurs, I::Exclamation),
                                 warn, done(copy), warn, done(old)}));
        const Call open{
            Kind::Open,
            {"Microsoft Database (*.mdb)|*.mdb|Backup Database (*.old)|*.old", 1, "VESK.MDB"},
            platform::Overwrite::Confirm};
        QCOMPARE(f.dialogs.calls(), (QList<Call>{open, open, open}));
    }
};

QTEST_MAIN(TestDbTransfer)
#include "tst_dbtransfer.moc"
