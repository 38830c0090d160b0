// The spectator views' costs: a live results snapshot built and published,
// the TV's race row updated with its repaint queued (it runs in the 2 ms
// poll), the page server answering "/live.json" to keep-alive clients, and
// the datagram-to-lap-line latency while clients poll the page flat out.
#include "senderloop.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/racecontrol.h"
#include "engine/racesettings.h"
#include "spectators/liveresults.h"
#include "spectators/liveresultsjson.h"
#include "spectators/liveresultsserver.h"
#include "spectators/ttv_out_frm.h"
#include "sensors/udpsensorserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <random>
#include <thread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
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

// Clients that ask for "/live.json" flat out on keep-alive connections, 8
// from each of the loopback addresses 127.0.0.2 up (the server's cap per
// address), each asking again the moment its answer is whole. One thread
// serves them all with poll(), at the lowest priority.
class FlatOutClients {
public:
    FlatOutClients(quint16 port, int count) : port_(port), count_(count) {
        if (count_ > 0)
            thread_ = std::thread([this] { run(); });
    }
    ~FlatOutClients() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    qint64 answers() const { return answers_; }

private:
    struct Connection {
        int fd = -1;
        QByteArray in;
    };
    static constexpr char kRequest[] = "GET /live.json HTTP/1.1\r\nHost: station\r\n\r\n";

    void open(Connection& c, int index) {
        if (c.fd >= 0)
            ::close(c.fd);
        c.in.clear();
        c.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(0x7F000002 + uint32_t(index / 8));
        ::bind(c.fd, reinterpret_cast<sockaddr*>(&from), sizeof from);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port_);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(c.fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
        ::send(c.fd, kRequest, sizeof kRequest - 1, MSG_NOSIGNAL);
    }
    // Takes the answers that are whole; true while the connection lives.
    bool take(Connection& c) {
        char buf[16384];
        const ssize_t n = ::recv(c.fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK))
            return false;
        if (n > 0)
            c.in.append(buf, n);
        for (;;) {
            const qsizetype head = c.in.indexOf("\r\n\r\n");
            if (head < 0)
                return true;
            const qsizetype at = c.in.left(head).toLower().indexOf("content-length:");
            const qsizetype length =
                at < 0 ? 0 : c.in.mid(at + 15, c.in.indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
            if (c.in.size() < head + 4 + length)
                return true;
            c.in.remove(0, head + 4 + length);
            ++answers_;
            ::send(c.fd, kRequest, sizeof kRequest - 1, MSG_NOSIGNAL);
        }
    }
    void run() {
        // The clients stand for phones elsewhere: their own work here takes
        // the least share, so what the figure shows is the server's cost.
        setpriority(PRIO_PROCESS, id_t(gettid()), 19);
        std::vector<Connection> connections(static_cast<size_t>(count_));
        std::vector<pollfd> fds(static_cast<size_t>(count_));
        for (int i = 0; i < count_; ++i)
            open(connections[size_t(i)], i);
        while (!stop_) {
            for (int i = 0; i < count_; ++i)
                fds[size_t(i)] = {connections[size_t(i)].fd, POLLIN, 0};
            if (::poll(fds.data(), fds.size(), 100) <= 0)
                continue;
            for (int i = 0; i < count_; ++i)
                if (fds[size_t(i)].revents && !take(connections[size_t(i)]))
                    open(connections[size_t(i)], i); // closed by the server: again
        }
        for (Connection& c : connections)
            ::close(c.fd);
    }

    const quint16 port_;
    const int count_;
    std::atomic<bool> stop_{false};
    std::atomic<qint64> answers_{0};
    std::thread thread_;
};

// The station's lap path with the page on: datagrams from the lap sensor
// (one kart after another, 3 to 8 ms apart, from a thread of their own)
// through the UDP server, race control's 2 ms poll and the lap computation
// to the lap line on the board, while the live results follow the ride and
// rebuild on each clock showing and the page server answers the clients.
// Latency: from the monotonic time read just before a datagram's send to
// the moment its line is appended. Argument: clients polling flat out (0:
// the page on, nobody asking).
void BM_DatagramToLapLineWhilePagePolled(benchmark::State& state) {
    const int clients = int(state.range(0));
    constexpr int kDatagrams = 1500;

    RaceBoard board;
    SteadyClock clock;
    FixedLapSettings lapSettings;
    lapSettings.minLapTime = 0;
    lapSettings.lapSensor = QStringLiteral("127.0.0.1");
    for (int k = 1; k <= kKartCount; ++k)
        lapSettings.firstCode[size_t(k - 1)] = QStringLiteral("K%1").arg(k, 2, 10, QLatin1Char('0'));
    LapComputation laps(board, clock, lapSettings);
    FixedRaceSettings raceSettings;
    RaceControl race(board, laps, clock, raceSettings, {});
    UdpSensorServer udp(laps);
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    const quint16 udpPort = probe.localPort();
    probe.close();
    udp.BindUdpPorts({QString::number(udpPort)});
    if (!udp.activate()) {
        state.SkipWithError("cannot bind the UDP server");
        return;
    }
    LiveResults live(board, race);
    const BestTables tables = fullTables();
    live.setBestTables([&] { return tables; });
    live.setPublishing(true);
    LiveResultsServer http(live.published(), {});
    QString error;
    if (!http.start(QStringLiteral("127.0.0.1"), 0, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }

    std::array<std::vector<qint64>, kKartCount> sentAt;   // before each send
    std::array<std::vector<qint64>, kKartCount> appendedAt;
    QObject::connect(&board, &RaceBoard::lineAppended, [&](int kart, BoardList list, const QString&) {
        if (list == BoardList::Lap)
            appendedAt[size_t(kart - 1)].push_back(MonotonicNs());
    });

    std::vector<double> micros;
    qint64 answers = 0;
    double seconds = 0;
    for (auto _ : state) {
        for (auto& v : sentAt)
            v.clear();
        for (auto& v : appendedAt)
            v.clear();
        board.ClearLists();
        race.StartButton1Click(); // START: the poll and the race clock run
        FlatOutClients asking(http.port(), clients);
        const qint64 begin = MonotonicNs();
        std::atomic<bool> done{false};
        std::thread sensor([&] {
            QUdpSocket socket;
            std::mt19937 random(11);
            std::uniform_int_distribution<int> gapUs(3000, 8000);
            for (int i = 0; i < kDatagrams; ++i) {
                std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
                const int kart = i % kKartCount + 1;
                const QByteArray code = QStringLiteral("K%1").arg(kart, 2, 10, QLatin1Char('0')).toLatin1();
                sentAt[size_t(kart - 1)].push_back(MonotonicNs());
                socket.writeDatagram(code, QHostAddress::LocalHost, udpPort);
            }
            done = true;
        });
        RunEventsUntilSent(done, sensor);
        seconds += double(MonotonicNs() - begin) / 1e9;
        answers += asking.answers();
        race.StartButton1Click(); // STOP
        for (size_t k = 0; k < sentAt.size(); ++k)
            for (size_t i = 0; i < std::min(sentAt[k].size(), appendedAt[k].size()); ++i)
                micros.push_back(double(appendedAt[k][i] - sentAt[k][i]) / 1000.0);
    }
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["laps"] = double(micros.size());
        state.counters["p50_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
        state.counters["max_us"] = micros.back();
    }
    state.counters["answers_per_s"] = seconds > 0 ? double(answers) / seconds : 0;
}
BENCHMARK(BM_DatagramToLapLineWhilePagePolled)
    ->ArgName("clients")
    ->Arg(0)
    ->Arg(64)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
