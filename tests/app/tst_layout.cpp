// Pure layout rules: the program folder, twips, the size-change layout, where windows go.
#include "app/DesignLayout.h"
#include "app/ProgramFolder.h"
#include "app/Twips.h"
#include "shell/Placement.h"
#include "shell/Settings.h"

#include <QtTest>

using namespace app;
using shell::singleToText;
using shell::textToSingle;

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void programFolder_data() {
        QTest::addColumn<QString>("cwd");
        QTest::addColumn<QString>("sep");
        QTest::addColumn<QString>("folder");
        const auto row = [](const char* name, const char* cwd, const char* sep,
                            const char* folder) {
            QTest::newRow(name) << QString(cwd) << QString(sep) << QString(folder);
        };
        row("drive root", "C:\\", "\\", "C:\\");
        row("unix folder", "/home/dana/phones", "/", "/home/dana/phones/");
        row("VB", "C:\\Dev\\VB", "\\", "C:\\Dev\\VB\\My app\\Orvenna\\");
        row("vb98 lower", "C:\\vb98", "\\", "C:\\vb98\\My app\\Orvenna\\");
        row("MyVB", "/src/MyVB/", "/", "/src/MyVB/My app/Orvenna/");
        row("VB in the middle", "/src/VB/app", "/", "/src/VB/app/");
        row("VB9", "/src/VB9", "/", "/src/VB9/");
    }
    void programFolder() {
        QFETCH(QString, cwd);
        QFETCH(QString, sep);
        QFETCH(QString, folder);
        QCOMPARE(programFolderFor(cwd, sep.at(0)), folder);
    }

    void twipsConvertAtTheScreensDpi() {
        QCOMPARE(Twips(96).px(1440), 96);
        QCOMPARE(Twips(96).fromPx(623), 9345);
        const Twips t144(144);
        QCOMPARE(t144.px(9345), 935);
        // Edges, not sizes, are rounded: neighbours stay flush.
        QCOMPARE(t144.rect({0, 0, 735, 100}).right() + 1, t144.rect({735, 0, 735, 100}).left());
    }

    void resizeMovesExactlyWhatFollowsTheWindow() {
        DesignLayout layout = DesignLayout::designed();
        const DesignLayout before = layout;
        layout.resize(1000, 500);
        // How each control follows the window's growth, by edge (left, top, width, height);
        // every other control stays where it was.
        const QMap<QString, TwipsRect> follows{
            {"MSHFlexGrid1", {0, 0, 1, 1}},    {"TabVesk", {0, 0, 1, 1}},
            {"TxtIndex", {0, 0, 1, 0}},        {"Shape2", {0, 0, 1, 0}},
            {"frmBannerPannel", {0, 1, 1, 0}}, {"StatusBar1", {0, 1, 1, 0}},
            {"Line1(0)", {0, 0, 1, 0}},        {"Line1(1)", {0, 0, 1, 0}},
            {"cmbGroup", {1, 0, 0, 0}}};
        for (const QString& n : before.names()) {
            const TwipsRect a = before.at(n), d = follows.value(n);
            QVERIFY2(
                (layout.at(n) == TwipsRect{a.left + 1000 * d.left, a.top + 500 * d.top,
                                           a.width + 1000 * d.width, a.height + 500 * d.height}),
                qPrintable(n));
        }
        // There is no minimum: shrinking back restores the design exactly.
        layout.resize(-1000, -500);
        QCOMPARE(layout, before);
        layout.resize(-2000, -1000);
        QCOMPARE(layout.at(QStringLiteral("MSHFlexGrid1")).width, 7095 - 2000);
    }

    // A secondary window over its owner: centred (or the dialer's top-left at the owner's
    // centre), then moved wholly onto the owner's screen, shrunk only when too large for it.
    // The remembered main window (no owner) against the screens there are now, the primary
    // first: kept on the one it overlaps most, else brought onto the primary.
    void placement_data() {
        QTest::addColumn<bool>("dialer");
        QTest::addColumn<QRect>("window"); // its size only, over an owner
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QRect>("expected");
        const QRect editor(0, 0, 300, 200), none;
        QTest::newRow("centred") << false << editor << QRect(100, 100, 700, 500)
                                 << QRect(300, 250, 300, 200);
        QTest::newRow("owner off the left")
            << false << editor << QRect(-600, 100, 700, 500) << QRect(0, 250, 300, 200);
        QTest::newRow("owner past the bottom right")
            << false << editor << QRect(1500, 900, 700, 500) << QRect(1620, 980, 300, 200);
        QTest::newRow("owner on the screen beside")
            << false << editor << QRect(2000, 100, 700, 500) << QRect(1620, 250, 300, 200);
        QTest::newRow("taller than the screen")
            << false << QRect(0, 0, 300, 1500) << QRect(100, 100, 700, 500)
            << QRect(300, 0, 300, 1180);
        QTest::newRow("dialer") << true << editor << QRect(100, 100, 700, 500)
                                << QRect(450, 350, 300, 200);
        QTest::newRow("dialer at the corner")
            << true << editor << QRect(1300, 800, 600, 400) << QRect(1600, 980, 300, 200);
        QTest::newRow("remembered, fits")
            << false << QRect(80, 60, 600, 400) << none << QRect(80, 60, 600, 400);
        QTest::newRow("on the second screen")
            << false << QRect(1400, 100, 600, 400) << none << QRect(1400, 100, 600, 400);
        QTest::newRow("across both, mostly the second")
            << false << QRect(1000, 100, 600, 400) << none << QRect(1280, 100, 600, 400);
        QTest::newRow("a monitor that is gone")
            << false << QRect(4000, 2000, 600, 400) << none << QRect(680, 584, 600, 400);
        QTest::newRow("above the top")
            << false << QRect(100, -300, 600, 400) << none << QRect(100, 0, 600, 400);
        QTest::newRow("grown at a higher dpi")
            << false << QRect(200, 100, 1500, 1100) << none << QRect(0, 0, 1280, 984);
    }
    void placement() {
        QFETCH(bool, dialer);
        QFETCH(QRect, window);
        QFETCH(QRect, owner);
        QFETCH(QRect, expected);
        const QRect screen(0, 0, 1920, 1200 - 20); // a panel along the bottom
        const QList<QRect> screens{QRect(0, 0, 1280, 1024 - 40), QRect(1280, 0, 800, 600)};
        const QRect placed = owner.isNull() ? shell::rememberedOnScreens(window, screens)
                             : dialer       ? shell::atCentreOf(window.size(), owner, screen)
                                            : shell::centredOver(window.size(), owner, screen);
        QCOMPARE(placed, expected);
    }

    void singlesRoundTripAsText() {
        QCOMPARE(singleToText(1200.0f), QStringLiteral("1200"));
        QCOMPARE(singleToText(9345.5f), QStringLiteral("9345.5"));
        QCOMPARE(textToSingle(QStringLiteral("6000")), std::optional<float>(6000.0f));
        QCOMPARE(textToSingle(QStringLiteral("wide")), std::optional<float>());
    }
};

QTEST_GUILESS_MAIN(TestLayout)
#include "tst_layout.moc"
