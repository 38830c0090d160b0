// The settings dialog: its first showing (the pages are built then) and OK
// with the parallel port (the file written, the decoders kept, the value
// after start written to the port).

#include "config/settings.h"
#include "config/settingslapsettings.h"
#include "config/tnastavdlg.h"
#include "engine/lapcomputation.h"
#include "engine/raceboard.h"
#include "platform/portio.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

// The receivers of a station timing from the parallel port: nothing open.
struct IdleReceivers final : DialogReceivers {
    void applySourceChoice(bool) override {}
    bool serialPortOpen() const override { return false; }
    void openSerialPort() override {}
    void closeSerialPort() override {}
    bool receiverConnected() const override { return false; }
    void setRts(bool) override {}
    void setDtr(bool) override {}
    bool decoderOpen(int) const override { return false; }
    void openDecoder(int) override {}
    void closeDecoder(int) override {}
    DecoderChoice decoderChoice(int) const override { return {QStringLiteral("COM1")}; }
    void setDecoderChoice(int, const DecoderChoice&, bool) override {}
    void networkOn(bool) override {}
    void networkOff() override {}
    bool networkActive() const override { return false; }
    void rebindNetwork() override {}
    void setNetworkMonitor(std::function<void(const QString&)>) override {}
};

struct Parts {
    QTemporaryDir dir;
    Settings settings{dir.path()};
    RaceBoard board;
    SteadyClock clock;
    SettingsLapSettings lapSettings{settings};
    LapComputation laps{board, clock, lapSettings};
    IdleReceivers receivers;
    AbsentPortIo port;
    Parts() { settings.loadFile(dir.filePath(QStringLiteral("vartemo.ini"))); }
};

void BM_SettingsDialogFirstShow(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto parts = std::make_unique<Parts>();
        auto dialog = std::make_unique<TNastavDlg>(
            TNastavDlg::Parts{parts->settings, parts->laps, parts->receivers, parts->port, parts->dir.path()});
        state.ResumeTiming();
        dialog->show();
        QApplication::processEvents();
        state.PauseTiming();
        dialog.reset();
        parts.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SettingsDialogFirstShow)->Unit(benchmark::kMillisecond);

void BM_SettingsOkWithParallelPort(benchmark::State& state) {
    Parts parts;
    TNastavDlg dialog({parts.settings, parts.laps, parts.receivers, parts.port, parts.dir.path()});
    for (auto _ : state) {
        state.PauseTiming();
        dialog.show();
        QApplication::processEvents();
        state.ResumeTiming();
        dialog.OK_BitBtnClick();
    }
}
BENCHMARK(BM_SettingsOkWithParallelPort)->Unit(benchmark::kMillisecond);

} // namespace
