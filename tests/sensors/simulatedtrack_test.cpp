// The parallel port end to end on a simulated port: another mapping of the
// port file plays the vartemo-port tool, the lap computation is polled by a
// real 2 ms timer, and the laps land in the main window's lists.

#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/raceboardview.h"
#include "engine/tform1.h"
#include "platform/simulatedport.h"
#include "sensors/parallelport.h"
#include "sensors/semaforframe.h"
#include "ui/lamp.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

constexpr int kWaitMs = 10000; // generous: only a hang fails, never slowness

struct SimulatedTrack : ::testing::Test {
    QTemporaryDir dir;
    QString portFile = dir.filePath(QStringLiteral("port"));
    SteadyClock clock;
    RaceBoard board;
    FixedLapSettings lapSettings;
    FixedParallelPortSettings portSettings;
    LapComputation laps{board, clock, lapSettings};
    std::unique_ptr<ParallelPort> parport;
    std::unique_ptr<SimulatedPort> tool;
    TForm1 form{board};
    SemaforFrame* frame = new SemaforFrame(&form);
    QTimer pollTimer;

    SimulatedTrack() {
        lapSettings.parallelPort = true;
        lapSettings.hwControl = true;
        lapSettings.minLapTime = 200;
        portSettings.red = 0x01;
        portSettings.orange = 0x02;
        portSettings.green = 0x04;
        portSettings.log1 = 1000; // a high phase long enough to be seen from here
        PortDriver::Options options;
        options.simulatedPortPath = portFile;
        parport = std::make_unique<ParallelPort>(PortDriver::Open(options), portSettings);
        tool = SimulatedPort::open(portFile);
        parport->lights().setLampsChanged([this](LitLamp lit) { frame->showLamp(lit); });
        laps.setHooks(parport->lapHooks());
        pollTimer.setTimerType(Qt::PreciseTimer);
        pollTimer.setInterval(2);
        QObject::connect(&pollTimer, &QTimer::timeout, [this] { laps.PollAll(); });
        laps.startRace();
        pollTimer.start();
    }

    QListWidget* lapList(int kart) {
        return form.findChild<QListWidget*>(QStringLiteral("Kola_mezicas%1").arg(kart));
    }
    void kart1(bool inSensor) { tool->changeStatusBits(0x378, 0x08, inSensor); }
    bool pin8() { return tool->data(0x378) & 0x40; }
};

} // namespace

TEST_F(SimulatedTrack, KartOnePassesAndGetsItsLapsAndPulses) {
    ASSERT_EQ(parport->driver().backend, PortDriver::Backend::Simulated);
    ASSERT_TRUE(tool);
    QListWidget* list = lapList(1);
    ASSERT_NE(list, nullptr);

    kart1(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->count() == 1; }, kWaitMs));
    kart1(false);
    // The counted lap raises pin 8 after LOG0 and drops it after LOG1.
    ASSERT_TRUE(QTest::qWaitFor([&] { return pin8(); }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pin8(); }, kWaitMs));

    kart1(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->count() == 2; }, kWaitMs));
    kart1(false);
    QTest::qWait(300); // longer than the minimum lap: no lap without the kart
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(board.lapCount(1), 2);
    for (int k = 2; k <= kKartCount; ++k)
        EXPECT_EQ(lapList(k)->count(), 0) << k;
}

TEST_F(SimulatedTrack, TheToolSeesTheLightsGoRedOrangeGreen) {
    const struct {
        int state;
        quint8 lines;
        Lamp* lit;
    } steps[] = {
        {kLightsRed, 0x01, frame->redLamp()},
        {kLightsOrange, 0x02, frame->orangeLamp()},
        {kLightsGreen, 0x04, frame->greenLamp()},
        {kLightsRedOff, 0x04, nullptr},
    };
    for (const auto& s : steps) {
        parport->lights().SetLights(s.state);
        EXPECT_EQ(tool->data(0x378), s.lines) << s.state;
        for (Lamp* lamp : {frame->redLamp(), frame->orangeLamp(), frame->greenLamp()})
            EXPECT_EQ(lamp->isLit(), lamp == s.lit)
                << s.state << " " << lamp->objectName().toStdString();
    }
}

TEST(SemaforFrame, NamesItsLampsAfterTheLights) {
    SemaforFrame frame;
    EXPECT_EQ(frame.title(), QStringLiteral(" Semafor "));
    EXPECT_EQ(frame.findChild<Lamp*>(QStringLiteral("Led_cervena")), frame.redLamp());
    EXPECT_EQ(frame.findChild<Lamp*>(QStringLiteral("LED_oranzova")), frame.orangeLamp());
    EXPECT_EQ(frame.findChild<Lamp*>(QStringLiteral("Led_zelena")), frame.greenLamp());
}
