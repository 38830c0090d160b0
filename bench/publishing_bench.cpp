// Sending result files to a loopback FTP server, the main thread's longest
// stall meanwhile, and the cost of a sound call on the main thread.

#include "publishing/ftppublishing.h"
#include "sound/defaultsounds.h"
#include "sound/soundplayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace vartemo {
namespace {

// pyftpdlib on 127.0.0.1 in a folder of its own; port 0 when it did not start.
struct LoopbackServer {
    QTemporaryDir dir;
    QProcess process;
    int port = 0;
    LoopbackServer() {
        QDir(dir.path()).mkpath(QStringLiteral("root"));
        process.start(QStringLiteral(VARTEMO_FTP_PYTHON),
                      {QStringLiteral(VARTEMO_FTP_SERVER_PY), QStringLiteral("--root"), dir.filePath(QStringLiteral("root")),
                       QStringLiteral("--user"), QStringLiteral("u"), QStringLiteral("--password"), QStringLiteral("p")});
        while (process.waitForReadyRead(10000)) {
            while (process.canReadLine()) {
                const QByteArray line = process.readLine().trimmed();
                if (line.startsWith("FTP "))
                    port = line.mid(4).toInt();
                if (line == "READY")
                    return;
            }
        }
    }
    ~LoopbackServer() {
        process.kill();
        process.waitForFinished();
    }
};

// A 1 ms tick on the main thread that keeps the longest gap between two ticks
// while it runs.
struct StallMeter {
    qint64 longest = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    StallMeter() {
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [this] {
            longest = std::max(longest, sinceTick.nsecsElapsed());
            sinceTick.start();
        });
    }
    void start() {
        sinceTick.start();
        tick.start();
    }
    void report(benchmark::State& state) const {
        state.counters["longest_main_thread_stall_ms"] = double(longest) / 1e6;
    }
};

void BM_EightFilesOf100kB(benchmark::State& state) {
    LoopbackServer server;
    if (!server.port) {
        state.SkipWithError("no FTP server");
        return;
    }
    QTemporaryDir local;
    FtpUploads uploads;
    for (int i = 0; i < 7; ++i) {
        const QString path = local.filePath(QStringLiteral("soubor%1.txt").arg(i));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(100 * 1024, char('a' + i)));
        uploads[size_t(i)] = FtpUpload{path, QString(), QStringLiteral("soubor%1.txt").arg(i), {}};
    }
    // The eighth: the seven slots of a run, then one more run of one file.
    FtpUploads last;
    last[0] = FtpUpload{local.filePath(QStringLiteral("soubor0.txt")), QString(), QStringLiteral("soubor7.txt"), {}};
    FtpEndpoint endpoint;
    endpoint.host = QStringLiteral("127.0.0.1:%1").arg(server.port);
    endpoint.user = QStringLiteral("u");
    endpoint.password = QStringLiteral("p");

    FtpClient client;
    FtpPublishing run(client);
    StallMeter stalls;
    for (auto _ : state) {
        for (const FtpUploads* batch : {&uploads, &last}) {
            QEventLoop loop;
            QObject::connect(&run, &FtpPublishing::finished, &loop, &QEventLoop::quit);
            stalls.start();
            run.start(endpoint, *batch);
            loop.exec();
            stalls.tick.stop();
        }
    }
    stalls.report(state);
}
BENCHMARK(BM_EightFilesOf100kB)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// The same 1 ms tick with nothing being sent: what the machine's own
// scheduling stalls the main thread by, for comparison.
void BM_IdleMainThreadStall(benchmark::State& state) {
    StallMeter stalls;
    for (auto _ : state) {
        QEventLoop loop;
        QTimer::singleShot(64, &loop, &QEventLoop::quit);
        stalls.start();
        loop.exec();
        stalls.tick.stop();
    }
    stalls.report(state);
}
BENCHMARK(BM_IdleMainThreadStall)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

void BM_SoundCallOnTheMainThread(benchmark::State& state) {
    QTemporaryDir dir;
    WriteDefaultSounds(dir.path());
    const QString damaged = dir.filePath(QStringLiteral("damaged.wav"));
    QFile file(damaged);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16) + QByteArray(300, '\x7f'));
    file.close();
    const QString files[] = {SuccessSoundPath(dir.path()), dir.filePath(QStringLiteral("missing.wav")), damaged};
    SoundPlayer player;
    size_t i = 0;
    for (auto _ : state) {
        player.prepare(files[i++ % 3]);
        player.play();
        state.PauseTiming();
        player.waitIdle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SoundCallOnTheMainThread)->Unit(benchmark::kMicrosecond)->Iterations(30)->UseRealTime();

} // namespace
} // namespace vartemo
