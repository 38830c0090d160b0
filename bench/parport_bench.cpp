// One status-register read through each port backend this machine offers:
// the kart polls do four of them every 2 ms.

#include "platform/directportio.h"
#include "platform/portdriver.h"
#include "platform/ppdevportio.h"
#include "platform/simulatedport.h"
#include "sensors/lptinputs.h"
#include "sensors/portaddresses.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

void ReadStatus(benchmark::State& state, PortIo& io, quint16 address) {
    for (auto _ : state)
        benchmark::DoNotOptimize(io.Inp32(address));
}

void BM_ReadStatus_Simulated(benchmark::State& state) {
    QTemporaryDir dir;
    auto port = SimulatedPort::open(dir.filePath(QStringLiteral("port")));
    if (!port) {
        state.SkipWithError("the simulated port file cannot be made");
        return;
    }
    ReadStatus(state, *port, 0x379);
}
BENCHMARK(BM_ReadStatus_Simulated);

void BM_ReadStatus_Ppdev(benchmark::State& state) {
    auto io = PpdevPortIo::open({});
    if (!io) {
        state.SkipWithError("no /dev/parportN can be claimed here");
        return;
    }
    const auto base = PpdevPortIo::DiscoverPorts({}).begin()->first;
    ReadStatus(state, *io, quint16(base + 1));
}
BENCHMARK(BM_ReadStatus_Ppdev);

void BM_ReadStatus_Direct(benchmark::State& state) {
    HardwarePortAccess raw;
    QFile ioports(QStringLiteral("/proc/ioports"));
    ioports.open(QIODevice::ReadOnly);
    auto io = DirectPortIo::open(raw, QString::fromLatin1(ioports.readAll()));
    if (!io) {
        state.SkipWithError("no parallel port answers to direct I/O here");
        return;
    }
    ReadStatus(state, *io, 0x379);
}
BENCHMARK(BM_ReadStatus_Direct);

void BM_ReadStatus_NoPort(benchmark::State& state) {
    AbsentPortIo io;
    ReadStatus(state, io, 0x379);
}
BENCHMARK(BM_ReadStatus_NoPort);

// The whole kart input test of one poll: address, presence, read, polarity.
void BM_KartInputTest_Simulated(benchmark::State& state) {
    QTemporaryDir dir;
    auto port = SimulatedPort::open(dir.filePath(QStringLiteral("port")));
    if (!port) {
        state.SkipWithError("the simulated port file cannot be made");
        return;
    }
    FixedParallelPortSettings settings;
    PortAddresses addresses(settings);
    LptInputs inputs(*port, addresses, settings);
    int kart = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(inputs.kartInputActive(kart++ % 4 + 1));
}
BENCHMARK(BM_KartInputTest_Simulated);

} // namespace

BENCHMARK_MAIN();
