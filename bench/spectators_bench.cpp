// The spectator views' costs: a live results snapshot built and published,
// the TV's race row updated with its repaint queued (it runs in the 2 ms
// poll), and the page server answering "/live.json" to keep-alive clients.
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/racecontrol.h"
#include "engine/racesettings.h"
#include "spectators/liveresults.h"
#include "spectators/liveresultsjson.h"
#include "spectators/liveresultsserver.h"
#include "spectators/ttv_out_frm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

BestTables fullTables() {
    BestTables t;
    for (int i = 1; i <= 20; ++i) {
        t.men.append({QString::number(i), QStringLiteral("Jezdec číslo %1").arg(i), QStringLiteral("00:%1:123").arg(30 + i)});
        t.women.append({QString::number(i), QStringLiteral("Jezdkyně číslo %1").arg(i), QStringLiteral("00:%1:456").arg(32 + i)});
    }
    return t;
}

// Each iteration: a display tick of a ride of 8 karts × 60 laps with both
// best tens, which rebuilds the document and publishes it.
void BM_SnapshotBuildAndPublish(benchmark::State& state) {
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings lapSettings;
    LapComputation laps(board, clock, lapSettings);
    FixedRaceSettings raceSettings;
    RaceControl race(board, laps, clock, raceSettings, {});
    LiveResults live(board, race);
    const BestTables tables = fullTables();
    live.setBestTables([&] { return tables; });
    live.setPublishing(true);
    for (int k = 1; k <= kKartCount; ++k)
        board.setDriverName(k, QStringLiteral("Řidič %1").arg(k));
    race.StartButton1Click();
    for (int lap = 0; lap <= 60; ++lap)
        for (int k = 1; k <= kKartCount; ++k)
            board.AddLapLine(k, 40'000 + k * 37 + lap * 11);
    int ms = 0;
    for (auto _ : state) {
        live.onClockShown(5, 12, ms = (ms + 259) % 1000);
        benchmark::DoNotOptimize(live.snapshot());
    }
    state.counters["bytes"] = double(live.snapshot()->json.size());
}
BENCHMARK(BM_SnapshotBuildAndPublish)->Unit(benchmark::kMicrosecond);

// Each iteration: one lap of a kart on the TV, its cells rewritten and the
// repaint queued (not run).
void BM_UpdateRaceRow(benchmark::State& state) {
    TTV_Out_Frm tv;
    std::array<QString, kKartCount> names;
    for (int k = 1; k <= kKartCount; ++k)
        names[size_t(k - 1)] = QStringLiteral("Řidič %1").arg(k);
    tv.ShowDriverNames(names);
    tv.show();
    QApplication::processEvents();
    int lap = 1;
    int kart = 0;
    for (auto _ : state) {
        kart = kart % kKartCount + 1;
        if (kart == 1)
            ++lap;
        tv.UpdateRaceRow(kart, names[size_t(kart - 1)], lap, 40'000 + (lap * 7919 + kart * 104729) % 3000);
    }
}
BENCHMARK(BM_UpdateRaceRow)->Unit(benchmark::kMicrosecond);


// 32 keep-alive clients (8 per address is the server's cap, so they come
// from four) each asking again as soon as an answer is in.
void BM_LiveJsonKeepAliveClients(benchmark::State& state) {
    LiveSnapshotSlot slot;
    LiveRide ride;
    const QByteArray json = LiveResultsJson(ride, BestTablesJson(fullTables()), 1);
    slot.publish(std::make_shared<const LiveSnapshot>(LiveSnapshot{1, json, "\"1\""}));
    LiveResultsServer server(slot, {});
    QString error;
    if (!server.start(QStringLiteral("127.0.0.1"), 0, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    const int clients = int(state.range(0));
    std::vector<pollfd> fds;
    for (int i = 0; i < clients; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(0x7F000002 + uint32_t(i / 8));
        ::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(server.port());
        inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
        ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
        fds.push_back({fd, POLLIN, 0});
    }
    const QByteArray request = "GET /live.json HTTP/1.1\r\nHost: x\r\n\r\n";
    const qsizetype answerSize = [&] {
        char buf[65536];
        ::send(fds[0].fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
        qsizetype got = 0;
        QByteArray in;
        while (!in.contains(json)) {
            const ssize_t n = ::recv(fds[0].fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            in.append(buf, n);
            got += n;
        }
        return got;
    }();
    std::vector<qsizetype> pending(fds.size(), 0);
    qint64 answers = 0;
    char buf[65536];
    for (auto _ : state) {
        for (size_t i = 0; i < fds.size(); ++i) {
            ::send(fds[i].fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
            pending[i] = answerSize;
        }
        size_t open = fds.size();
        while (open > 0) {
            if (::poll(fds.data(), fds.size(), 2000) <= 0)
                break;
            for (size_t i = 0; i < fds.size(); ++i) {
                if (!(fds[i].revents & POLLIN) || pending[i] <= 0)
                    continue;
                const ssize_t n = ::recv(fds[i].fd, buf, sizeof buf, 0);
                if (n <= 0) {
                    pending[i] = 0;
                    --open;
                    continue;
                }
                pending[i] -= n;
                if (pending[i] <= 0) {
                    --open;
                    ++answers;
                }
            }
        }
    }
    state.SetItemsProcessed(answers);
    for (const pollfd& p : fds)
        ::close(p.fd);
}
BENCHMARK(BM_LiveJsonKeepAliveClients)->Arg(32)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
