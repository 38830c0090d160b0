#include "engine/lapcomputation.h"
#include "engine/sensorhealth.h"
#include "engine/lapsettings.h"
#include "engine/tform1.h"
#include "sensors/ircodedelivery.h"

#include <QTest>
#include <gtest/gtest.h>
#include <thread>

using namespace vartemo;

// A decoder thread posts a code; the main window, found by its caption,
// hands it to the lap computation on the main thread.
TEST(IrCodeDelivery, DecoderThreadReachesTheLapComputationThroughTheMainWindow) {
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings settings;
    settings.firstCode[3] = QStringLiteral("306A"); // kart 4
    LapComputation laps(board, clock, settings);
    TForm1 window(board);
    IrCodeHandler handler(laps);
    window.installEventFilter(&handler);

    laps.startRace();
    // The frame began 3 s after the start; the code is delivered later.
    const TimeUs frameStart = clock.nowUs() + 3'000'400;
    clock.advance(3'040);
    std::thread decoder([frameStart] { PostIrCodeToMainWindow(0x306A, frameStart); });
    decoder.join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return laps.pendingKart() != 0; }, 2000));
    EXPECT_EQ(laps.pendingKart(), 4);
    laps.PollAll();
    EXPECT_EQ(board.lines(4, BoardList::Lap), QStringList{QStringLiteral("00:03:000")});

    // A window with another caption is not the main window: the code is lost.
    laps.setPendingKart(0);
    window.setWindowTitle(QStringLiteral("Vartemo Kestral verze 2.4"));
    PostIrCodeToMainWindow(0x306A);
    QTest::qWait(50);
    EXPECT_EQ(laps.pendingKart(), 0);
}

// The receiver that saw a code is told what it was: a kart's passing, a code
// of no kart.
TEST(IrCodeDelivery, EachReceiverIsToldWhatItsCodesWere) {
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings settings;
    settings.firstCode[3] = QStringLiteral("306A"); // kart 4
    LapComputation laps(board, clock, settings);
    SensorHealth health;
    TForm1 window(board);
    IrCodeHandler handler(laps, &health);
    window.installEventFilter(&handler);
    laps.startRace();

    PostIrCodeToMainWindow(0x306A, {}, 2);
    PostIrCodeToMainWindow(0x1234, {}, 2);
    PostIrCodeToMainWindow(0x1234, {}, 1);
    const SourceHealth& first = health.source(SensorHealth::infrared(1));
    const SourceHealth& second = health.source(SensorHealth::infrared(2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.sinceStart.rejectedTotal() == 1; }, 2000));
    EXPECT_EQ(second.sinceStart.passings, 1);
    EXPECT_EQ(second.sinceStart.rejectedOf(Rejection::UnknownCode), 1);
    EXPECT_EQ(first.sinceStart.passings, 0);
    EXPECT_EQ(laps.pendingKart(), 4);
}
