#pragma once
// What the sync benchmarks share: a Radicale of their own holding a book of `cards` cards, put
// there in one request and read once so that the server's own cache is warm, as it is for a
// server in use. What is measured is then this program's sync against a local server.
#include "sync/Device.h"
#include "sync/SyncTexts.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <memory>
#include <stdexcept>

namespace syncbench {

struct FilledServer {
    // The cards are written straight into the server's storage, one file each, as it keeps
    // them: putting 5,000 cards through its HTTP side takes it minutes.
    explicit FilledServer(int cards) {
        book = QStringLiteral("/alice/bench/");
        const QString folder = server.storage() + QStringLiteral("/collection-root") + book;
        QDir().mkpath(folder);
        writeFile(folder + QStringLiteral(".Radicale.props"), R"({"tag": "VADDRESSBOOK"})");
        for (int i = 0; i < cards; ++i)
            writeFile(
                folder + QStringLiteral("card-%1.vcf").arg(i),
                synctest::vcard(QStringLiteral("card-%1").arg(i),
                                {QStringLiteral("FN:Name %1").arg(i, 5, 10, QChar(u'0')),
                                 QStringLiteral("N:Name;%1;;;").arg(i),
                                 QStringLiteral("TEL;TYPE=HOME,VOICE:03-%1").arg(5000000 + i),
                                 QStringLiteral("TEL;TYPE=CELL,VOICE:050-%1").arg(5000000 + i),
                                 QStringLiteral("EMAIL;TYPE=INTERNET:user%1@example.org").arg(i),
                                 QStringLiteral("NOTE:kept on the server")}));
        if (!server.start())
            throw std::runtime_error("radicale did not start");
        // The server reads every file the first time: allow it more than the stall limit.
        synctest::Device warm(server.url(), book);
        warm.controller->setLimits({1 << 30, std::chrono::minutes(10)});
        const carddav::Outcome o = warm.sync(std::chrono::minutes(10));
        if (!o.ok())
            throw std::runtime_error(carddav::describe(o, false).toStdString());
    }
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write the server's storage");
    }
    synctest::Radicale server;
    QString book;
};

inline int run(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace syncbench
