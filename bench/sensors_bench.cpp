// Decoding cost of one infrared frame, and the latency from a datagram on
// loopback to its lap line with the real 2 ms poll.
#include "irsignal.h"
#include "rideplan.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "platform/modemstatusport.h"
#include "platform/registrystore.h"
#include "sensors/irdecoder.h"
#include "sensors/receivers.h"
#include "sensors/udpsensorserver.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <atomic>
#include <random>
#include <thread>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

void DecodeStream(benchmark::State& state, const QByteArray& stream, int bitMask) {
    IrDecoder decoder;
    decoder.BitMask = bitMask;
    quint32 last = 0;
    decoder.post = [&](quint32 code) { last = code; };
    for (auto _ : state) {
        decoder.CollectEdges(stream);
        decoder.DecodeFrame();
        benchmark::DoNotOptimize(last);
    }
    state.SetBytesProcessed(qint64(state.iterations()) * stream.size());
}

void BM_CollectAndDecodeBiPhaseFrame(benchmark::State& state) {
    DecodeStream(state, sim::ModemStatusStream(sim::BiPhaseFrame(false, 12, 34)), 16);
}
BENCHMARK(BM_CollectAndDecodeBiPhaseFrame);

void BM_CollectAndDecodePulseDistanceFrame(benchmark::State& state) {
    DecodeStream(state, sim::ModemStatusStream(sim::PulseDistanceFrame(0x20DF10EFu)), 0);
}
BENCHMARK(BM_CollectAndDecodePulseDistanceFrame);

// Each iteration: one datagram from the lap sensor, then the event loop runs
// (with the 2 ms poll timer) until its lap line is on the board.
void BM_DatagramToLapLine(benchmark::State& state) {
    RaceBoard board;
    SteadyClock clock;
    FixedLapSettings settings;
    settings.minLapTime = 0;
    settings.lapSensor = QStringLiteral("127.0.0.1");
    settings.firstCode[0] = sim::KartCode(1);
    LapComputation laps(board, clock, settings);
    UdpSensorServer server(laps);
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    const quint16 port = probe.localPort();
    probe.close();
    server.BindUdpPorts({QString::number(port)});
    if (!server.activate()) {
        state.SkipWithError("cannot bind the server");
        return;
    }
    const QByteArray code = sim::KartCode(1).toLatin1();

    // The station's own way: an event loop with the 2 ms poll timer.
    QEventLoop loop;
    std::atomic<qint64> sentAt{0};
    QElapsedTimer clockNs;
    clockNs.start();
    int before = 0;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        laps.PollAll();
        if (board.lapCount(1) != before)
            loop.quit();
    });
    laps.startRace();
    poll.start();

    std::vector<double> micros;
    std::mt19937 random(5);
    std::uniform_int_distribution<int> offsetUs(0, 4000);
    for (auto _ : state) {
        before = board.lapCount(1);
        // The sensor is another thread: it sends at a random moment of the
        // poll period, as a real one does.
        const int offset = offsetUs(random);
        std::thread sensor([&] {
            QUdpSocket socket;
            std::this_thread::sleep_for(std::chrono::microseconds(offset));
            sentAt = clockNs.nsecsElapsed();
            socket.writeDatagram(code, QHostAddress::LocalHost, port);
        });
        loop.exec();
        sensor.join();
        const double us = double(clockNs.nsecsElapsed() - sentAt) / 1000.0;
        micros.push_back(us);
        state.SetIterationTime(us / 1e6);
        if (board.lapCount(1) > 1000)
            board.ClearLists();
    }
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
    }
}
BENCHMARK(BM_DatagramToLapLine)->Iterations(2000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The start poll's share of the network receiver, every 200 ms while the
// station waits, with one listed port held by another program: before a
// retry is allowed it only looks; a START binds again what is missing.
struct HeldPortReceivers {
    RaceBoard board;
    SteadyClock clock;
    FixedLapSettings lapSettings;
    LapComputation laps{board, clock, lapSettings};
    FixedReceiverSettings settings;
    MemoryRegistryStore registry;
    QUdpSocket occupant;
    int failures = 0;
    Receivers receivers{{.laps = laps,
                         .settings = settings,
                         .registry = registry,
                         .infrared = {},
                         .makeModemPort = [] { return std::make_unique<FakeModemStatusPort>(); },
                         .reportFailure = [this](const QString&, const QString&) { ++failures; }}};

    HeldPortReceivers() {
        occupant.bind(QHostAddress::AnyIPv4, 0);
        QUdpSocket probe;
        probe.bind(QHostAddress::LocalHost, 0);
        settings.udpPorts = {QString::number(probe.localPort()), QString::number(occupant.localPort())};
        probe.close();
        receivers.activateNetwork(true);
    }
};

void BM_StartPollTickWithHeldPort(benchmark::State& state) {
    HeldPortReceivers station;
    for (auto _ : state)
        station.receivers.activateNetwork(false);
    state.counters["messages"] = station.failures;
}
BENCHMARK(BM_StartPollTickWithHeldPort);

void BM_StartRebindWithHeldPort(benchmark::State& state) {
    HeldPortReceivers station;
    for (auto _ : state) {
        station.receivers.allowRetry();
        station.receivers.activateNetwork(true);
    }
    state.counters["messages"] = station.failures;
}
BENCHMARK(BM_StartRebindWithHeldPort)->Unit(benchmark::kMicrosecond);

} // namespace
