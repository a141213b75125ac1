// Sync with other devices and through harder conditions: vdirsyncer on a folder of .vcf
// files, a sync process killed midway, a self-signed certificate, no keychain service.
#include "common/TestFiles.h"
#include "sync/Device.h"
#include "sync/SyncTexts.h"

#include <QDir>
#include <QSslCertificate>
#include <QtTest>

using namespace synctest;
using carddav::Problem;
using store::ContactGroup;
using store::Role;
using testing::readFile;
using testing::writeFile;

namespace {

// A program run to its end, waited for on its signal.
int run(const QString& program, const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// vdirsyncer syncing a plain folder of .vcf files with one address book.
struct OtherDevice {
    OtherDevice(const QUrl& server, const QString& book) {
        QDir(dir.path()).mkpath(QStringLiteral("cards"));
        QUrl url = server;
        url.setPath(book);
        writeFile(dir.filePath(QStringLiteral("config")),
                  QStringLiteral("[general]\nstatus_path = \"%1/status/\"\n"
                                 "[pair contacts]\na = \"local\"\nb = \"remote\"\n"
                                 "collections = null\nconflict_resolution = \"b wins\"\n"
                                 "[storage local]\ntype = \"filesystem\"\npath = \"%2\"\n"
                                 "fileext = \".vcf\"\n"
                                 "[storage remote]\ntype = \"carddav\"\nurl = \"%3\"\n"
                                 "username = \"%4\"\npassword = \"%5\"\n")
                      .arg(dir.path(), folder(), url.toString(), User, Secret)
                      .toUtf8());
    }
    QString folder() const { return dir.filePath(QStringLiteral("cards")); }
    int vdirsyncer(const QString& command) {
        return run(QStringLiteral("vdirsyncer"),
                   {QStringLiteral("-c"), dir.filePath(QStringLiteral("config")), command},
                   "y\ny\n");
    }
    // The files of the folder by FN, each unfolded.
    QHash<QString, QString> files() const {
        QHash<QString, QString> out;
        for (const QFileInfo& f : QDir(folder()).entryInfoList({QStringLiteral("*.vcf")})) {
            QString text = QString::fromUtf8(readFile(f.filePath()));
            text.remove(u'\r').replace(QStringLiteral("\n "), QString());
            for (const QString& line : text.split(u'\n'))
                if (line.startsWith(QStringLiteral("FN:")))
                    out.insert(line.mid(3), f.filePath());
        }
        return out;
    }
    QTemporaryDir dir;
};

QString openssl(const QString& folder, const QString& name) {
    const QString key = folder + u'/' + name + QStringLiteral(".key");
    const QString cert = folder + u'/' + name + QStringLiteral(".pem");
    run(QStringLiteral("openssl"),
        {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
         "-keyout", key, "-out", cert, "-days", "2", "-subj", "/CN=127.0.0.1"});
    return cert;
}

QByteArray fingerprint(const QString& certificate) {
    return QSslCertificate::fromPath(certificate)
        .value(0)
        .digest(QCryptographicHash::Sha256)
        .toHex();
}

} // namespace

class TestSyncDevices : public QObject {
    Q_OBJECT
private slots:
    void vdirsyncerAsAnotherDevice() {
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        Device device(server.url(), book);
        device.add(person(QStringLiteral("Avi"), QStringLiteral("03-555-0001")));
        device.add(person(QStringLiteral("Batya"), QStringLiteral("03-555-0002")));
        QVERIFY(device.sync().ok());
        OtherDevice other(server.url(), book);
        QCOMPARE(other.vdirsyncer(QStringLiteral("discover")), 0);
        QCOMPARE(other.vdirsyncer(QStringLiteral("sync")), 0);
        QHash<QString, QString> files = other.files();
        QCOMPARE(files.size(), 2);

        // There: one edited, one deleted, one added.
        writeFile(files[QStringLiteral("Avi")],
                  readFile(files[QStringLiteral("Avi")]).replace("03-555-0001", "03-555-0101"));
        QFile::remove(files[QStringLiteral("Batya")]);
        writeFile(other.folder() + QStringLiteral("/carmel.vcf"),
                  vcard("carmel", {"FN:Carmel", "TEL;TYPE=CELL:052-555-0003"}));
        QCOMPARE(other.vdirsyncer(QStringLiteral("sync")), 0);
        QVERIFY(device.sync().ok());
        QCOMPARE(device.lines(), (QStringList{"Avi|03-555-0101|||||", "Carmel||052-555-0003||||"}));

        // Here: one edited, one added; the folder follows.
        QVERIFY(
            device.edit(QStringLiteral("Carmel"), Role::Address, QStringLiteral("1 Hill Road")));
        device.add(person(QStringLiteral("Dov"), QStringLiteral("03-555-0004")));
        QVERIFY(device.sync().ok());
        QCOMPARE(other.vdirsyncer(QStringLiteral("sync")), 0);
        files = other.files();
        QCOMPARE(files.size(), 3);
        const QByteArray carmel = readFile(files[QStringLiteral("Carmel")]);
        QVERIFY(carmel.contains("1 Hill Road"));
        QVERIFY(carmel.contains("UID:carmel"));
        QVERIFY(readFile(files[QStringLiteral("Dov")]).contains("03-555-0004"));
    }

    // A sync process killed while it sends cards loses nothing: the next sync sends the rest and
    // sends none twice.
    void killedSyncCompletesNextTime() {
        Radicale server;
        QVERIFY(server.start());
        const QString book = makeBook(server.url(), QStringLiteral("personal"));
        putCard(server.url(), book + QStringLiteral("far.vcf"),
                vcard("far", {"FN:Far Away", "TEL;TYPE=HOME:03-555-0999"}));
        Device device(server.url(), book);
        const int count = 60;
        for (int i = 0; i < count; ++i)
            device.add(person(QStringLiteral("Card %1").arg(i, 3, 10, QChar(u'0')),
                              QStringLiteral("03-555-%1").arg(i, 4, 10, QChar(u'0'))));
        QProcess syncing;
        syncing.start(QStringLiteral(SYNC_RUN), {device.dir.path(), Secret});
        QTRY_VERIFY_WITH_TIMEOUT(server.cards(book).size() >= 10, 60000);
        syncing.kill();
        QVERIFY(syncing.waitForFinished(10000));
        QVERIFY(server.cards(book).size() < count + 1);

        const carddav::Outcome o = device.sync();
        QVERIFY2(o.ok(), qPrintable(carddav::describe(o, false)));
        QCOMPARE(server.cards(book).size(), count + 1);
        QCOMPARE(device.cards().size(), size_t(count + 1));
        QVERIFY(device.controller->conflicts().empty());
        const carddav::Outcome again = device.sync();
        QCOMPARE(again.sent + again.received + again.conflicts, 0);
    }

    void selfSignedCertificatePinned_data() {
        QTest::addColumn<bool>("trust");
        QTest::newRow("trusted once, then pinned") << true;
        QTest::newRow("not trusted") << false;
    }

    void selfSignedCertificatePinned() {
        QFETCH(bool, trust);
        QTemporaryDir certs;
        const QString first = openssl(certs.path(), QStringLiteral("first"));
        const QString second = openssl(certs.path(), QStringLiteral("second"));
        auto server =
            std::make_unique<Radicale>(first, certs.filePath(QStringLiteral("first.key")));
        QVERIFY(server->start());
        const quint16 port = server->port();
        const QString book = makeBook(server->url(), QStringLiteral("personal"));
        Device device(server->url(), book);
        device.prompter.script({trust ? platform::Answer::Yes : platform::Answer::No});
        const carddav::Outcome o = device.sync();
        const platform::Message question{carddav::text(carddav::Text::TrustQuestion, false)
                                             .arg(QString::fromLatin1(fingerprint(first))),
                                         QStringLiteral("Synchronise"), platform::Buttons::YesNo,
                                         platform::Icon::Question};
        QCOMPARE(device.prompter.messages(), QList<platform::Message>{question});
        if (!trust) {
            QCOMPARE(o.problem, Problem::CertificateRefused);
            QCOMPARE(device.controller->lastResult(),
                     QStringLiteral(
                         "The server's certificate was not trusted: nothing was synchronised."));
            QVERIFY(
                device.settings.value(QStringLiteral("Sync/CertificatePin")).toString().isEmpty());
            return;
        }
        QVERIFY2(o.ok(), qPrintable(carddav::describe(o, false)));
        QCOMPARE(device.settings.value(QStringLiteral("Sync/CertificatePin")).toString().toLatin1(),
                 fingerprint(first));
        QVERIFY(device.sync().ok());
        QCOMPARE(device.prompter.messages().size(), 1); // asked once

        // Another certificate on the same address is refused without a question.
        server.reset();
        Radicale other(second, certs.filePath(QStringLiteral("second.key")));
        QVERIFY(other.start(port));
        QCOMPARE(device.sync().problem, Problem::CertificateChanged);
        QCOMPARE(
            device.controller->lastResult(),
            QStringLiteral("The server's certificate is not the one trusted before: nothing was "
                           "synchronised."));
        QCOMPARE(device.prompter.messages().size(), 1);
    }

    // Here no keychain service runs: the password is kept for this run, the user is told, and
    // the settings file never holds it.
    void noKeychainKeepsPasswordForThisRun() {
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        carddav::KeychainPasswordStore store;
        bool written = false;
        bool missing = false;
        store.write(QStringLiteral("alice@server"), Secret, [&](bool noKeychain) {
            written = true;
            missing = noKeychain;
        });
        QTRY_VERIFY_WITH_TIMEOUT(written, 30000);
        QVERIFY(missing);
        bool read = false;
        std::optional<QString> password;
        store.read(QStringLiteral("alice@server"), [&](std::optional<QString> p, bool noKeychain) {
            read = true;
            password = p;
            missing = noKeychain;
        });
        QTRY_VERIFY_WITH_TIMEOUT(read, 30000);
        QCOMPARE(password, std::optional<QString>(Secret));
        QVERIFY(missing);
        QCOMPARE(
            carddav::text(carddav::Text::NoKeychain, false),
            QStringLiteral("No keychain service is running: the password is kept only until the "
                           "program ends."));
    }
};

QTEST_GUILESS_MAIN(TestSyncDevices)
#include "tst_syncdevices.moc"
