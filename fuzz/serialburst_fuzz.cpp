// libFuzzer target: any bytes as what a serial receiver sends, cut into
// bursts where the line paused: per burst a byte of flags (learning, how
// long the pause before it was) and a length byte, then the burst's bytes.
// Each burst goes to the receiver as its port's reader hands one over, the
// karts are polled as the 2 ms timer does. Nothing may crash; every code is
// a printable text of at most 255 characters, a burst is at most one passing.
#include "fuzzsupport.h"

#include "engine/codelearner.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/raceboard.h"
#include "sensors/receiversettings.h"
#include "sensors/serialreceiver.h"

using namespace vartemo;

namespace {

struct Learner final : CodeLearner {
    QStringList shown;
    void learnCode(int, const QString&) override {}
    void showTestCode(const QString& code) override { shown << code; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnsureApplication();
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings settings;
    settings.minLapTime = 100;
    for (int k = 1; k <= kKartCount; ++k) {
        settings.firstCode[size_t(k - 1)] = QStringLiteral("%1").arg(QChar(u'A' + k - 1));
        settings.secondCode[size_t(k - 1)] = QStringLiteral("1%1").arg(k);
    }
    LapComputation laps(board, clock, settings);
    Learner learner;
    laps.setLearner(&learner);
    FixedReceiverSettings receiverSettings;
    receiverSettings.com = true;
    SerialReceiver receiver(laps, receiverSettings);
    QStringList codes;
    QObject::connect(&receiver, &SerialReceiver::codeReceived, [&codes](const QString& code) { codes << code; });
    laps.startRace();

    const qsizetype bursts = fuzz::ForEachRecord(data, size, [&](uint8_t flags, const QByteArray& burst) {
        laps.setLearnSlot((flags & 3) == 3 ? 1 + (flags >> 2) % 8 : kLearnNone);
        clock.advance(SerialReceiver::BurstPauseMs(flags * 37) * (flags >> 4));
        receiver.ComPort1RxChar(burst, (flags & 4) ? std::optional<TimeUs>(clock.nowUs() - 1000) : std::nullopt);
        laps.PollAll();
    });
    FUZZ_CHECK(codes.size() == bursts);
    for (const QString& code : codes) {
        FUZZ_CHECK(code.size() <= PassingEvent::kMaxLength);
        for (const QChar c : code)
            FUZZ_CHECK(c.unicode() >= 0x20);
    }
    for (int k = 1; k <= kKartCount; ++k)
        FUZZ_CHECK(board.lines(k, BoardList::Lap).size() <= bursts);
    return 0;
}
