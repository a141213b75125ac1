// The processor time the dialer takes while it waits for the modem's "OK": the wait sleeps
// until the port has something to say, so a silent modem costs (almost) nothing, and what a
// talkative one says is looked at once and not kept.
#include "BenchSupport.h"

#include "common/SimulatedModem.h"
#include "dialer/Modem.h"
#include "platform/QtSerialPorts.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const timeval& u = usage.ru_utime;
    const timeval& s = usage.ru_stime;
    return double(u.tv_sec + s.tv_sec) + double(u.tv_usec + s.tv_usec) / 1e6;
}

// Dials on a pseudo-terminal whose simulated modem answers with `reply`, its pieces `pace` ms
// apart; the counters are the process's processor time over the wall time of the waits, in
// percent of one core (the simulated modem in the same process included), and the peak
// resident size.
void dialThrough(benchmark::State& state, int pace, const QList<QByteArray>& reply) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    testing::SimulatedModem modem{pace};
    modem.dialReply = reply;
    settings.setValue(QStringLiteral("Dialer/COM1"), modem.device);
    platform::QtSerialPorts ports(settings);
    dialer::Modem dialer;
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const std::unique_ptr<QIODevice> port = ports.open(1);
        if (!port) {
            state.SkipWithError("the pseudo-terminal did not open");
            break;
        }
        QElapsedTimer clock;
        clock.start();
        const double before = cpuSeconds();
        const auto result = dialer.dial(*port, dialer::dialCommand(QStringLiteral("97235551234")));
        cpu += cpuSeconds() - before;
        wall += double(clock.nsecsElapsed()) / 1e9;
        if (result != dialer::Modem::DialResult::Answered)
            state.SkipWithError("no OK from the modem");
        dialer::Modem::hangUp(*port);
    }
    state.counters["cpu_percent_of_core"] = wall > 0 ? 100.0 * cpu / wall : 0.0;
    state.counters["peak_rss_mb"] = bench::peakRssMb();
}

// A silent modem that says "OK" after range(0) ms.
void BM_WaitForOk(benchmark::State& state) {
    dialThrough(state, int(state.range(0)), {QByteArrayLiteral("OK\r\n")});
}

// A modem that first sends range(0) pieces of about 1 KB of answers that are not "OK", one a
// millisecond (about 1 MB a second), then "OK".
void BM_WaitThroughFlood(benchmark::State& state) {
    QList<QByteArray> reply(state.range(0), QByteArray("NO DIALTONE\r\n").repeated(79));
    reply.append(QByteArrayLiteral("OK\r\n"));
    dialThrough(state, 1, reply);
}

} // namespace

BENCHMARK(BM_WaitForOk)->Arg(2000)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaitThroughFlood)
    ->Arg(3000)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::run(argc, argv, [] {});
}
