// vartemo-sim: drives a ride of up to eight karts into the timing station
// through one kind of sensor and prints the true passing times.
//
// Output: "CODE kart code" per kart, then "START" at the start signal and
// "ORIGIN ns" with its CLOCK_MONOTONIC time, then
// "PASS kart sensor delivered began" per passing: ms (to the µs) since the
// start signal when the sending call returned and when it began. The passing
// left in between; on a virtual machine the call can be held for milliseconds
// after the bytes are out (waking the receiver on another processor).
// Karts can cross together: in bunches (--bunch) or by fractional lap times
// in a laps file.
#include "passingsender.h"
#include "rideplan.h"

#include "core/textfile.h"
#include "platform/threadpriority.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <ctime>

using namespace vartemo::sim;

namespace {

qint64 MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void SleepUntilNs(qint64 ns) {
    const timespec at{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

int Fail(const QString& message) {
    std::fprintf(stderr, "vartemo-sim: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vartemo-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Track simulator for the timing station"));
    parser.addHelpOption();
    const QCommandLineOption karts(QStringLiteral("karts"), QStringLiteral("Karts 1 to 8."), QStringLiteral("n"), QStringLiteral("8"));
    const QCommandLineOption laps(QStringLiteral("laps"), QStringLiteral("Laps per kart."), QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption lapMs(QStringLiteral("lap-ms"), QStringLiteral("Lap time of kart 1."), QStringLiteral("ms"), QStringLiteral("30000"));
    const QCommandLineOption paceStep(QStringLiteral("pace-step-ms"), QStringLiteral("Each next kart slower by."), QStringLiteral("ms"), QStringLiteral("400"));
    const QCommandLineOption spread(QStringLiteral("spread-ms"), QStringLiteral("Lap-to-lap variation."), QStringLiteral("ms"), QStringLiteral("1500"));
    const QCommandLineOption minGap(QStringLiteral("min-gap-ms"), QStringLiteral("Least time between passings of one sensor."), QStringLiteral("ms"), QStringLiteral("20"));
    const QCommandLineOption trackside(QStringLiteral("trackside"), QStringLiteral("Trackside sensors per lap."), QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed."), QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption lapsFile(QStringLiteral("laps-file"), QStringLiteral("Lap times from a file: \"kart ms ms ...\" per line."), QStringLiteral("path"));
    const QCommandLineOption udp(QStringLiteral("udp"), QStringLiteral("Send datagrams to host:port (127.0.0.0/8 only)."), QStringLiteral("host:port"));
    const QCommandLineOption serial(QStringLiteral("serial"), QStringLiteral("Write bursts of bytes into a serial device or pseudo-terminal."), QStringLiteral("path"));
    const QCommandLineOption ir(QStringLiteral("ir"), QStringLiteral("Write modem-status records of infrared frames."), QStringLiteral("path"));
    const QCommandLineOption irLine(QStringLiteral("ir-line"), QStringLiteral("Input line of the frames: 0 CTS, 1 DSR, 2 DCD."), QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption bunch(QStringLiteral("bunch"), QStringLiteral("Karts crossing together: bunches of n karts (1..n, n+1..), each driving its first kart's laps."), QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption bunchGap(QStringLiteral("bunch-gap-us"), QStringLiteral("In a bunch, each kart this far behind the one before."), QStringLiteral("us"), QStringLiteral("300"));
    const QCommandLineOption kartStops(QStringLiteral("kart-stops"), QStringLiteral("Kart k sends nothing after its n-th lap (a flat transmitter)."), QStringLiteral("k:n"));
    const QCommandLineOption sensorSilent(QStringLiteral("sensor-silent"), QStringLiteral("Sensor s (0: the lap sensor) sends nothing from ms after the start on (lost power)."), QStringLiteral("s:ms"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"), QStringLiteral("Print the plan at once; send nothing."));
    parser.addOptions({karts, laps, lapMs, paceStep, spread, minGap, trackside, seed, lapsFile, udp, serial, ir, irLine, bunch, bunchGap, kartStops, sensorSilent, dryRun});
    parser.process(app);

    auto number = [&](const QCommandLineOption& o, int low, int high, int* out) {
        bool ok = false;
        *out = parser.value(o).toInt(&ok);
        return ok && *out >= low && *out <= high;
    };
    RideModel model;
    int seedValue = 1;
    if (!number(karts, 1, 8, &model.karts) || !number(laps, 0, 10000, &model.laps) ||
        !number(lapMs, 1, 3'600'000, &model.lapMs) || !number(paceStep, 0, 600'000, &model.paceStepMs) ||
        !number(spread, 0, 600'000, &model.spreadMs) || !number(minGap, 0, 60'000, &model.minGapMs) ||
        !number(trackside, 0, 10, &model.trackside) || !number(seed, 0, INT_MAX, &seedValue) ||
        !number(bunch, 1, 8, &model.bunch) || !number(bunchGap, 0, 60'000'000, &model.bunchGapUs))
        return Fail(QStringLiteral("a numeric option is out of range (see --help)"));
    model.seed = unsigned(seedValue);

    std::vector<Passing> plan;
    if (parser.isSet(lapsFile)) {
        const auto lines = vartemo::textfile::readLines(parser.value(lapsFile));
        if (!lines)
            return Fail(QStringLiteral("cannot read %1").arg(parser.value(lapsFile)));
        QString error;
        auto fromFile = PlanRideFromLaps(*lines, model.trackside, model.minGapMs, &error);
        if (!fromFile)
            return Fail(error);
        plan = std::move(*fromFile);
    } else {
        plan = PlanRide(model);
    }

    // "a:b" with a in low..high and b in 0..bHigh.
    auto pair = [&](const QCommandLineOption& o, int low, int high, int bHigh, int* a, int* b) {
        const QStringList parts = parser.value(o).split(u':');
        bool okA = false, okB = false;
        if (parts.size() == 2) {
            *a = parts[0].toInt(&okA);
            *b = parts[1].toInt(&okB);
        }
        return okA && okB && *a >= low && *a <= high && *b >= 0 && *b <= bHigh;
    };
    if (parser.isSet(kartStops)) {
        int kart = 0, after = 0;
        if (!pair(kartStops, 1, 8, 10000, &kart, &after))
            return Fail(QStringLiteral("--kart-stops needs kart:laps"));
        SilenceKart(plan, kart, after);
    }
    if (parser.isSet(sensorSilent)) {
        int sensor = 0, fromMs = 0;
        if (!pair(sensorSilent, 0, 10, 3'600'000, &sensor, &fromMs))
            return Fail(QStringLiteral("--sensor-silent needs sensor:ms"));
        SilenceSensor(plan, sensor, qint64(fromMs) * 1000);
    }

    QString error;
    std::unique_ptr<PassingSender> sender;
    if (parser.isSet(udp)) {
        const QString target = parser.value(udp);
        const qsizetype colon = target.lastIndexOf(u':');
        bool ok = false;
        const int port = target.mid(colon + 1).toInt(&ok);
        if (colon < 0 || !ok || port < 1 || port > 65535)
            return Fail(QStringLiteral("--udp needs host:port"));
        sender = UdpPassingSender::create(QHostAddress(target.left(colon)), quint16(port), &error);
    } else if (parser.isSet(serial)) {
        sender = SerialPassingSender::create(parser.value(serial), &error);
    } else if (parser.isSet(ir)) {
        int line = 1;
        if (!number(irLine, 0, 2, &line))
            return Fail(QStringLiteral("--ir-line must be 0, 1 or 2"));
        sender = IrStreamPassingSender::create(parser.value(ir), line, &error);
    } else if (!parser.isSet(dryRun)) {
        return Fail(QStringLiteral("choose --udp, --serial, --ir or --dry-run"));
    }
    if (!parser.isSet(dryRun) && !sender)
        return Fail(error);

    for (int k = 1; k <= 8; ++k)
        std::printf("CODE %d %s %s\n", k, qPrintable(KartCode(k)),
                    qPrintable(IrStreamPassingSender::KartIrCode(k)));
    std::printf("START\n");
    std::fflush(stdout);

    // Passings leave on time even on a busy machine, where permitted.
    if (!parser.isSet(dryRun))
        vartemo::RaiseToRealtime();
    const qint64 start = MonotonicNs();
    // The start signal on the system's monotonic clock, which the station's
    // race clock also reads: ride times can be compared across the two.
    std::printf("ORIGIN %lld\n", static_cast<long long>(start));
    std::fflush(stdout);
    for (const Passing& p : plan) {
        if (parser.isSet(dryRun)) {
            const double planned = double(p.atUs) / 1e3;
            std::printf("PASS %d %d %.3f %.3f\n", p.kart, p.sensor, planned, planned);
            continue;
        }
        // An absolute sleep: on time without burning the CPU the station needs.
        SleepUntilNs(start + p.atUs * 1'000);
        const double began = double(MonotonicNs() - start) / 1e6;
        if (!sender->send(p, &error))
            return Fail(error);
        const double delivered = double(MonotonicNs() - start) / 1e6;
        std::printf("PASS %d %d %.3f %.3f\n", p.kart, p.sensor, delivered, began);
        std::fflush(stdout);
    }
    return 0;
}
