#include "config/inifile.h"
#include "config/settings.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

SoundHardware fullMixer() {
    SoundHardware hw;
    hw.hasMixer = hw.hasTreble = hw.hasBass = true;
    return hw;
}

// A complete vartemo.ini: every key Save writes, plus the UDP list.
QString completeFile() {
    Settings settings;
    settings.load(IniFile(), fullMixer());
    for (int k = 1; k <= 8; ++k) {
        settings.setText(NumberedSetting(SettingId::EdSekvence1, k), QStringLiteral("A%1B2C3").arg(k));
        settings.setText(NumberedSetting(SettingId::Text1, k), QStringLiteral("Řádek výsledků %1").arg(k));
    }
    IniFile ini;
    settings.save(ini);
    ini.writeInteger(QStringLiteral("UDP"), QStringLiteral("Polozek"), 10);
    for (int i = 1; i <= 10; ++i) {
        ini.writeString(QStringLiteral("UDP"), QStringLiteral("Port%1").arg(i), QString::number(5000 + i));
        ini.writeString(QStringLiteral("UDP"), QStringLiteral("Popis%1").arg(i), QStringLiteral("snímač"));
    }
    return ini.text();
}

// Start-up: read the file from disk into the settings model.
void BM_LoadCompleteFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vartemo.ini"));
    IniFile::fromText(completeFile()).save(path);
    for (auto _ : state) {
        Settings settings;
        settings.loadFile(path, fullMixer());
        benchmark::DoNotOptimize(settings.minLapTimeMs());
    }
}
BENCHMARK(BM_LoadCompleteFile);

// OK in the settings dialog: read the file, write every key, replace it atomically.
void BM_SaveCompleteFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vartemo.ini"));
    IniFile::fromText(completeFile()).save(path);
    Settings settings;
    settings.loadFile(path, fullMixer());
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.saveFile());
}
BENCHMARK(BM_SaveCompleteFile);

// The same two without the disk: parsing and writing in memory.
void BM_LoadFromText(benchmark::State& state) {
    const QString text = completeFile();
    for (auto _ : state) {
        Settings settings;
        settings.load(IniFile::fromText(text), fullMixer());
        benchmark::DoNotOptimize(settings.minLapTimeMs());
    }
}
BENCHMARK(BM_LoadFromText);

void BM_SaveToText(benchmark::State& state) {
    const QString text = completeFile();
    Settings settings;
    settings.load(IniFile::fromText(text), fullMixer());
    for (auto _ : state) {
        IniFile ini = IniFile::fromText(text);
        settings.save(ini);
        benchmark::DoNotOptimize(ini.text());
    }
}
BENCHMARK(BM_SaveToText);

} // namespace

BENCHMARK_MAIN();
