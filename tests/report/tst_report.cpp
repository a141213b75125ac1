// The printed phone list: the grid's rows through the print commands into the report, read
// back from a PDF file.
#include "common/Fixture.h"

#include "app/FlexGrid.h"
#include "report/ReportPreview.h"

#include <QPrinter>
#include <QProcess>
#include <QtTest>

namespace {
// Paints the open preview's report into a PDF file as its print command does; the file's
// text, a form feed after each page.
QString printToPdf(report::ReportPreview& preview, const QString& file) {
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(file);
    report::preparePrinter(pdf);
    emit preview.paintRequested(&pdf);
    QProcess text;
    text.start("pdftotext", {"-layout", "-enc", "UTF-8", file, "-"});
    return text.waitForFinished() ? QString::fromUtf8(text.readAllStandardOutput()) : QString();
}

// The lines naming each card, in page order; every card must be on a line of its own.
QStringList cardLines(const QString& text, const QStringList& names) {
    QStringList found;
    for (const QString& line : text.split(u'\n')) {
        QStringList on;
        for (const QString& n : names)
            if (line.contains(n))
                on << n;
        found << (on.size() > 1 ? QStringList{QStringLiteral("two on one line: ") + line} : on);
    }
    return found;
}
} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void printsTheGridAsItShows_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<bool>("debug");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QStringList>("line"); // the longest texts, apart and whole, left to right
        const QStringList carl{"050-12345678", "09-12345678", "Carl"};
        QTest::newRow("personal by name")
            << 0 << -1 << false << QStringList{"Carl", "אבי", "בני"} << carl;
        QTest::newRow("sorted by home phone, debug on")
            << 0 << 1 << true << QStringList{"בני", "אבי", "Carl"} << carl;
        QTest::newRow("work, department whole")
            << 1 << -1 << false << QStringList{"Dana", "Eli"}
            << QStringList{"Research Development", "11", "Dana"};
    }
    void printsTheGridAsItShows() {
        QFETCH(int, group);
        QFETCH(int, sortColumn);
        QFETCH(bool, debug);
        QFETCH(QStringList, order);
        QFETCH(QStringList, line);
        Fixture f;
        app::MainWindow& w =
            f.start({card("בני", "'03-1',NULL,NULL,'04-1',NULL,NULL"),
                     card("Carl", "'09-12345678','050-12345678',NULL,NULL,NULL,'c@x.org'"),
                     card("אבי", "'03-5',NULL,NULL,NULL,NULL,NULL")},
                    {card("Eli", "'12',NULL,NULL,'Sales',NULL,NULL"),
                     card("Dana", "'11',NULL,NULL,'Research Development',NULL,NULL")});
        f.trigger("mnuAll");
        f.chooseGroup(group);
        if (sortColumn >= 0)
            w.grid()->sortRows(sortColumn);
        if (debug)
            f.action("mnuDbg")->trigger();
        f.action("mnuPrint")->trigger();
        QPointer<report::ReportPreview> preview = w.reportWindow();
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QVERIFY(!preview->isModal());
        QCOMPARE(w.panelText(2), debug ? w.listState().lastListQuery : QString());
        const QString text = printToPdf(*preview, f.dir.filePath("list.pdf"));
        for (const QString caption :
             {"שם\\חברה", "בית", "פלאפון", "עבודה", group == 1 ? "מחלקה" : "פקס", "Email"})
            QVERIFY2(text.contains(caption), qPrintable(caption));
        QCOMPARE(cardLines(text, order), order);
        for (QString& part : line)
            part = QRegularExpression::escape(part);
        QVERIFY(text.contains(QRegularExpression(line.join(QStringLiteral("\\W*\\s\\W*")))));
        // Printing again (the context menu's item too) fills the same window.
        f.trigger("mnuPrint");
        QCOMPARE(w.reportWindow(), preview.data());
        QVERIFY(f.prompter.messages().isEmpty());
    }

    void pagesFollowTheList_data() {
        QTest::addColumn<int>("cards");
        QTest::addColumn<int>("pages");
        QTest::newRow("empty list") << 0 << 1;
        QTest::newRow("one card") << 1 << 1;
        QTest::newRow("200 cards") << 200 << 4;
    }
    void pagesFollowTheList() {
        QFETCH(int, cards);
        QFETCH(int, pages);
        QStringList rows, names;
        for (int i = 1; i <= cards; ++i) {
            names << QStringLiteral("Card %1").arg(i, 3, 10, QLatin1Char('0'));
            rows << card(names.back());
        }
        Fixture f;
        app::MainWindow& w = f.start(rows);
        f.trigger("mnuAll");
        f.action("mnuPrint")->trigger();
        QPointer<report::ReportPreview> preview = w.reportWindow();
        QCOMPARE(preview->pageCount(), pages);
        const QString text = printToPdf(*preview, f.dir.filePath("list.pdf"));
        QCOMPARE(text.count(u'\f'), pages);
        QCOMPARE(text.count("Email"), pages); // the page header on every page
        QCOMPARE(text.count("Orvenna Report"), 1);
        QCOMPARE(cardLines(text, names), names);

        // A file that cannot be written is said, not taken for printed.
        const QString missing = f.dir.filePath("gone/list.pdf");
        QCOMPARE(printToPdf(*preview, missing), QString());
        const QString failed =
            "The report could not be printed to " + QDir::toNativeSeparators(missing) + u'.';
        QCOMPARE(f.prompter.messages(), QList{notice(failed, platform::Icon::Exclamation)});
        // The preview goes with the main window.
        w.close();
        QTRY_VERIFY(!preview);
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
