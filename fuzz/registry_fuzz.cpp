// libFuzzer target: any bytes as the per-user registry.ini, read as both
// infrared receivers read their settings, then a receiver's settings and
// some values written back. Nothing may crash; every value written reads
// back as written, and the values the receivers took survive the write.
#include "fuzzsupport.h"

#include "platform/fileregistrystore.h"
#include "platform/modemstatusport.h"
#include "sensors/tcommthread.h"

using namespace vartemo;

namespace {

template <typename Receiver>
void LoadAndSave(RegistryStore& registry) {
    Receiver receiver(registry, std::make_unique<FakeModemStatusPort>(), {});
    receiver.LoadSettings();
    FUZZ_CHECK(receiver.ComName.size() <= 10);
    FUZZ_CHECK(receiver.BitMask >= 0);
    receiver.SaveSettings();
    Receiver again(registry, std::make_unique<FakeModemStatusPort>(), {});
    again.LoadSettings();
    FUZZ_CHECK(again.ComName == receiver.ComName && again.InputSignal == receiver.InputSignal &&
                again.TimerSignal == receiver.TimerSignal && again.CommandOrder == receiver.CommandOrder &&
                again.BitMask == receiver.BitMask && again.PriorityLevel == receiver.PriorityLevel);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString path = fuzz::ScratchPath(QStringLiteral("registry.ini"));
    fuzz::WriteFile(path, bytes);
    FileRegistryStore registry(path);

    // Whatever a key or value of the file says, reading is safe.
    const QString key = QStringLiteral("Software\\vartemo_kestral\\ir\\nastaveni1");
    (void)registry.readString(key, QStringLiteral("ComName"));
    (void)registry.readBinary(key, QStringLiteral("CommandOrder"));
    LoadAndSave<TCommThread>(registry);
    LoadAndSave<TCommThread1>(registry);

    // A value under a key of the input's own words reads back as written.
    // (Characters of the file's own code page: the station writes no others.)
    static const char alphabet[] = "Software\\vartemo ;=[]#\t\r\n\"'AZaz09_.";
    QString own;
    for (const char c : bytes.left(24))
        own += QLatin1Char(alphabet[uchar(c) % (sizeof alphabet - 1)]);
    const QByteArray binary = bytes.left(8);
    if (registry.writeBinary(own, QStringLiteral("Hodnota"), binary)) {
        FUZZ_CHECK(registry.readBinary(own, QStringLiteral("Hodnota")) == binary);
        FUZZ_CHECK(registry.writeString(own, QStringLiteral("Text"), QStringLiteral("COM3")));
        FUZZ_CHECK(registry.readString(own, QStringLiteral("Text")) == QStringLiteral("COM3"));
        FUZZ_CHECK(registry.readBinary(own, QStringLiteral("Hodnota")) == binary);
        FUZZ_CHECK(registry.deleteValue(own, QStringLiteral("Hodnota")));
        FUZZ_CHECK(!registry.readBinary(own, QStringLiteral("Hodnota")));
    }
    return 0;
}
