// The first sync of a new program folder with a book of 5,000 cards: the listing, the cards
// fetched in batches, fitted to the list and written in one transaction.
#include "SyncBench.h"

namespace {

void BM_SyncFirst(benchmark::State& state) {
    const int cards = int(state.range(0));
    syncbench::FilledServer filled(cards);
    for (auto _ : state) {
        state.PauseTiming();
        auto device = std::make_unique<synctest::Device>(filled.server.url(), filled.book);
        state.ResumeTiming();
        const carddav::Outcome o = device->sync(std::chrono::minutes(10));
        state.PauseTiming();
        if (!o.ok() || o.received != cards)
            state.SkipWithError("the sync did not receive every card");
        state.counters["requests"] = device->controller->requestsSent();
        device.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_SyncFirst)->Arg(5000)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return syncbench::run(argc, argv);
}
