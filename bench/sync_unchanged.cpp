// A sync when nothing changed on either side: one sync-collection REPORT and a look at the
// lists, against a book of 5,000 cards already in step.
#include "SyncBench.h"

namespace {

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

BENCHMARK(BM_SyncUnchanged)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return syncbench::run(argc, argv);
}
