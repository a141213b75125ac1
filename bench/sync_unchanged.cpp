// A sync when nothing changed on either side: one getctag PROPFIND, equal to the last one, and
// a look at the lists, against a book of 5,000 cards already in step. The anchors are the
// server's own answers, asked by hand: the sync-collection REPORT a sync would send without
// the getctag, and that Depth 0 PROPFIND.
#include "SyncBench.h"

#include <QRegularExpression>

namespace {

QUrl bookUrl(const syncbench::FilledServer& filled) {
    QUrl url = filled.server.url();
    url.setPath(filled.book);
    return url;
}

QByteArray report(const QString& token) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><d:sync-collection xmlns:d=\"DAV:\">"
           "<d:sync-token>" +
           token.toUtf8() +
           "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop>"
           "</d:sync-collection>";
}

void BM_ServerReport(benchmark::State& state) {
    const syncbench::FilledServer filled(int(state.range(0)));
    const QHash<QByteArray, QByteArray> depth{{"Depth", "1"}, {"Content-Type", "application/xml"}};
    const synctest::Answer first = synctest::http("REPORT", bookUrl(filled), report({}), depth);
    const QString token = QRegularExpression(QStringLiteral("<[^>]*sync-token>([^<]+)<"))
                              .match(QString::fromUtf8(first.body))
                              .captured(1);
    if (token.isEmpty())
        state.SkipWithError("no sync token");
    for (auto _ : state) {
        const synctest::Answer a = synctest::http("REPORT", bookUrl(filled), report(token), depth);
        if (a.status != 207 || a.body.contains("getetag>"))
            state.SkipWithError("the book changed");
    }
}

void BM_ServerCtag(benchmark::State& state) {
    const syncbench::FilledServer filled(int(state.range(0)));
    const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?><d:propfind "
                            "xmlns:d=\"DAV:\" xmlns:cs=\"http://calendarserver.org/ns/\">"
                            "<d:prop><cs:getctag/></d:prop></d:propfind>";
    for (auto _ : state) {
        const synctest::Answer a =
            synctest::http("PROPFIND", bookUrl(filled), body,
                           {{"Depth", "0"}, {"Content-Type", "application/xml"}});
        if (a.status != 207 || !a.body.contains("getctag>"))
            state.SkipWithError("no getctag");
    }
}

void BM_SyncUnchanged(benchmark::State& state) {
    syncbench::FilledServer filled(int(state.range(0)));
    synctest::Device device(filled.server.url(), filled.book);
    if (!device.sync(std::chrono::minutes(10)).ok() || !device.sync().ok())
        state.SkipWithError("the first syncs failed");
    int requests = 0;
    int syncs = 0;
    for (auto _ : state) {
        const int before = device.controller->requestsSent();
        const carddav::Outcome o = device.sync();
        if (!o.ok() || o.received + o.sent != 0)
            state.SkipWithError("the sync found changes");
        requests += device.controller->requestsSent() - before;
        ++syncs;
    }
    state.counters["requests"] = double(requests) / std::max(1, syncs);
}

BENCHMARK(BM_ServerReport)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServerCtag)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyncUnchanged)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return syncbench::run(argc, argv);
}
