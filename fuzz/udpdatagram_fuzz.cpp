// libFuzzer target: any bytes as a run of sensor datagrams handed to the
// datagram server as its socket hands them over: per datagram a byte of
// flags (which sender, learning or monitor, how many ms later), a length
// byte and the payload. Codes of eight karts are set, the race runs and the
// karts are polled as the 2 ms timer does. Nothing may crash; a datagram is
// at most one passing, and every lap line is a time the board can read back.
#include "fuzzsupport.h"

#include "engine/codelearner.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/raceboard.h"
#include "engine/timetext.h"
#include "sensors/udpsensorserver.h"

#include <QHostAddress>

using namespace vartemo;

namespace {

struct Learner final : CodeLearner {
    void learnCode(int, const QString& code) override { FUZZ_CHECK(!code.isNull()); }
    void showTestCode(const QString&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings settings;
    settings.minLapTime = 100;
    settings.lapSensor = QStringLiteral("127.0.0.1");
    for (int k = 1; k <= kKartCount; ++k) {
        settings.firstCode[size_t(k - 1)] = QStringLiteral("K%1").arg(k);
        settings.secondCode[size_t(k - 1)] = QStringLiteral("%1").arg(k * 11);
    }
    LapComputation laps(board, clock, settings);
    Learner learner;
    laps.setLearner(&learner);
    UdpSensorServer server(laps);
    QStringList memo;
    server.setMonitor([&memo](const QString& line) { memo << line; });
    laps.startRace();

    const QHostAddress senders[4] = {QHostAddress(QStringLiteral("127.0.0.1")), QHostAddress(QStringLiteral("10.0.0.7")),
                                     QHostAddress(QStringLiteral("::1")), QHostAddress()};
    const qsizetype datagrams = fuzz::ForEachRecord(data, size, [&](uint8_t flags, const QByteArray& payload) {
        const int learn = (flags >> 2) & 7;
        laps.setLearnSlot(learn == 7 ? kLearnMonitor : learn == 6 ? 11 : learn <= 2 ? kLearnNone : learn - 2);
        clock.advance(flags >> 5 << 6);
        // The kernel's stamp: mostly now, sometimes far off (a stepped clock).
        std::optional<TimeUs> stamp;
        if (flags & 0x80)
            stamp = UdpSensorServer::RaceClockTime(qint64(flags) << 40, qint64(payload.size()) << 30, clock.nowUs());
        server.IdUDPServer1UDPRead(payload, senders[flags & 3], quint16(flags * 257), 5000, stamp);
        laps.PollAll();
    });
    FUZZ_CHECK(memo.size() <= datagrams);
    for (int k = 1; k <= kKartCount; ++k) {
        FUZZ_CHECK(board.lines(k, BoardList::Lap).size() <= datagrams);
        for (const QString& line : board.lines(k, BoardList::Lap))
            FUZZ_CHECK(FormatTimeText(ParseTimeText(line)) == line);
    }
    return 0;
}
