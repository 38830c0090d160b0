// Decoding cost of one infrared frame, the latency from a datagram on
// loopback to its lap line with the real 2 ms poll, and how exact the laps
// of eight karts crossing in pairs are over UDP, on an idle and a loaded
// machine.
#include "irsignal.h"
#include "rideplan.h"
#include "senderloop.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/racecontrol.h"
#include "engine/racesettings.h"
#include "engine/ridejournal.h"
#include "engine/timetext.h"
#include "platform/modemstatusport.h"
#include "platform/registrystore.h"
#include "sensors/irdecoder.h"
#include "sensors/receivers.h"
#include "sensors/udpsensorserver.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <atomic>
#include <random>
#include <cmath>
#include <ctime>
#include <map>
#include <thread>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

void DecodeStream(benchmark::State& state, const QByteArray& stream, int bitMask) {
    IrDecoder decoder;
    decoder.BitMask = bitMask;
    quint32 last = 0;
    decoder.post = [&](quint32 code, auto) { last = code; };
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

// Binds the server to a port free on loopback now; 0 when it cannot.
quint16 ListenOnAFreePort(UdpSensorServer& server) {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    const quint16 port = probe.localPort();
    probe.close();
    server.BindUdpPorts({QString::number(port)});
    return server.activate() ? port : 0;
}

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
    const quint16 port = ListenOnAFreePort(server);
    if (port == 0) {
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

// Eight karts in four pairs, the two karts of a pair 0.3 ms apart, over UDP
// into the station's lap path: the datagram server, race control's poll and
// the lap computation on the real clock. Every lap line is compared with the
// sender's truth: each datagram left between the monotonic times read just
// before and just after its send, so a lap's truth lies in an interval, and
// the error is the lap text's distance from that interval (a sender thread
// pre-empted around its send widens the interval instead of faking an error;
// the widths are reported as bracket_p99_us).
// Arguments: busy threads spinning beside it (0: idle machine), whether
// the 2 ms poll of the parallel port runs all the time, and whether the ride
// is journaled (its records written and synced by the journal's thread).
void BM_EightKartsInPairsLapErrorOverUdp(benchmark::State& state) {
    const int busyThreads = int(state.range(0));
    constexpr int kLaps = 16;
    constexpr qint64 kLapNs = 400'000'000;
    constexpr qint64 kPairGapNs = 20'000'000;
    constexpr qint64 kInPairNs = 300'000;

    RaceBoard board;
    SteadyClock clock;
    FixedLapSettings lapSettings;
    lapSettings.minLapTime = 300;
    lapSettings.lapSensor = QStringLiteral("127.0.0.1");
    for (int k = 1; k <= kKartCount; ++k)
        lapSettings.firstCode[size_t(k - 1)] = sim::KartCode(k);
    LapComputation laps(board, clock, lapSettings);
    FixedRaceSettings raceSettings;
    raceSettings.parallelPort = state.range(1) != 0;
    RaceControl control(board, laps, clock, raceSettings, {});
    QTemporaryDir journalDir;
    RideJournal journal(journalDir.filePath(QStringLiteral("jizdy")));
    if (state.range(2) != 0)
        control.setJournal(&journal);
    UdpSensorServer server(laps);
    const quint16 port = ListenOnAFreePort(server);
    if (port == 0) {
        state.SkipWithError("cannot bind the server");
        return;
    }

    std::atomic<bool> stopBusy{false};
    std::vector<std::thread> busy;
    for (int i = 0; i < busyThreads; ++i)
        busy.emplace_back([&] {
            volatile double x = 1;
            while (!stopBusy)
                x = std::sqrt(x + 1.0);
        });

    std::vector<double> errorsUs;
    std::vector<double> bracketsUs;
    qint64 lost = 0;
    for (auto _ : state) {
        control.StartButton1Click(); // START: the race clock runs
        std::map<int, std::vector<std::pair<qint64, qint64>>> truth; // before, after the send
        std::atomic<bool> done{false};
        const qint64 start = MonotonicNs();
        std::thread sensor([&] {
            QUdpSocket socket;
            for (int lap = 1; lap <= kLaps; ++lap) {
                for (int k = 1; k <= kKartCount; ++k) {
                    const qint64 at = start + lap * kLapNs + ((k - 1) / 2) * kPairGapNs +
                                      ((k - 1) % 2) * kInPairNs;
                    const timespec ts{time_t(at / 1'000'000'000), long(at % 1'000'000'000)};
                    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
                    }
                    const qint64 before = MonotonicNs();
                    socket.writeDatagram(sim::KartCode(k).toLatin1(), QHostAddress::LocalHost, port);
                    truth[k].emplace_back(before, MonotonicNs());
                }
            }
            done = true;
        });
        RunEventsUntilSent(done, sensor);
        for (int k = 1; k <= kKartCount; ++k) {
            const QStringList lines = board.lines(k, BoardList::Lap);
            const auto& t = truth[k];
            lost += qint64(t.size()) - lines.size();
            // The first line runs from the start signal; the rest are laps.
            for (qsizetype i = 1; i < lines.size() && size_t(i) < t.size(); ++i) {
                const auto [from, fromAfter] = t[size_t(i - 1)];
                const auto [to, toAfter] = t[size_t(i)];
                const double shortestMs = double(to - fromAfter) / 1e6;
                const double longestMs = double(toAfter - from) / 1e6;
                const double lapMs = double(ParseTimeText(lines[i]));
                errorsUs.push_back(std::max({0.0, shortestMs - lapMs, lapMs - longestMs}) * 1000.0);
                bracketsUs.push_back(double(toAfter - to) / 1000.0);
            }
        }
        control.StartButton1Click(); // STOP
    }
    stopBusy = true;
    for (std::thread& t : busy)
        t.join();
    std::sort(errorsUs.begin(), errorsUs.end());
    if (!errorsUs.empty()) {
        state.counters["laps"] = double(errorsUs.size());
        state.counters["p50_us"] = errorsUs[errorsUs.size() / 2];
        state.counters["p99_us"] = errorsUs[std::min(errorsUs.size() - 1, errorsUs.size() * 99 / 100)];
        state.counters["max_us"] = errorsUs.back();
        std::sort(bracketsUs.begin(), bracketsUs.end());
        state.counters["bracket_p99_us"] = bracketsUs[bracketsUs.size() * 99 / 100];
    }
    state.counters["lost"] = double(lost);
}
BENCHMARK(BM_EightKartsInPairsLapErrorOverUdp)
    ->ArgNames({"busy_threads", "lpt_poll", "journal"})
    ->Args({0, 0, 0})
    ->Args({0, 0, 1})
    ->Args({0, 1, 0})
    ->Args({4, 0, 0})
    ->Args({4, 0, 1})
    ->Args({4, 1, 0})
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

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
