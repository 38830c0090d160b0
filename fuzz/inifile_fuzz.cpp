// libFuzzer target: any bytes as vartemo.ini must load into the settings
// model and survive a write, without crashing or reading out of bounds.
#include "config/inifile.h"
#include "config/settings.h"
#include "core/textfile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vartemo;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IniFile ini = IniFile::fromText(textfile::decode(bytes));
    SoundHardware sound;
    sound.hasMixer = sound.hasTreble = sound.hasBass = true;
    Settings settings;
    settings.load(ini, sound);
    settings.save(ini);
    ini.writeString(QStringLiteral("Po spusteni"), QStringLiteral("Start"), QStringLiteral("1"));
    if (ini.readInteger(QStringLiteral("Po Spusteni"), QStringLiteral("START"), 0) != 1)
        __builtin_trap(); // a written key must read back
    (void)ini.text();
    return 0;
}
