// libFuzzer target: any bytes as what an infrared receiver's port delivers:
// the decoder's settings from the first four bytes (input and timer line,
// every N-th frame, bit mask), then reads of the modem-status record stream,
// each two bytes of length (the top bit: the newest record's time is known)
// and its bytes.
// Nothing may crash or read outside the edge tables; every posted code is
// the 32-bit value of the decoder's LastCode, and a frame never starts
// after the read that ended it.
#include "fuzzsupport.h"

#include "sensors/irdecoder.h"

#include <QFile>

using namespace vartemo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    IrDecoder decoder;
    decoder.InputSignal = data[0] & 3;
    decoder.TimerSignal = (data[0] >> 2) & 3;
    decoder.CommandOrder = int8_t(data[1]) % 4;
    decoder.BitMask = int8_t(data[2]) % 40;
    decoder.LogToFile = data[3] & 1;
    decoder.logPath = fuzz::ScratchPath(QStringLiteral("log.txt"));
    QFile::remove(decoder.logPath);

    TimeUs readAt = 5'000'000;
    int posted = 0;
    decoder.post = [&](quint32 code, std::optional<TimeUs> frameStart) {
        ++posted;
        bool ok = false;
        FUZZ_CHECK(decoder.LastCode.toULongLong(&ok, 16) == code && ok);
        FUZZ_CHECK(!frameStart || *frameStart <= readAt);
    };

    size_t at = 4;
    while (at + 2 <= size) {
        const size_t length = std::min<size_t>(data[at] | (data[at + 1] & 0x7F) << 8, size - at - 2);
        const QByteArray bytes = fuzz::Bytes(data + at + 2, length);
        const bool timed = data[at + 1] & 0x80;
        at += 2 + length;
        readAt += 1000 + TimeUs(length) * 100;
        decoder.ProcessRead(bytes, timed ? std::optional<TimeUs>(readAt) : std::nullopt);
        FUZZ_CHECK(decoder.LastEdge < IrDecoder::kMaxEdges);
    }
    FUZZ_CHECK(posted <= int(size));
    return 0;
}
