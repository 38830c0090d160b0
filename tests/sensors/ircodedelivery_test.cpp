#include "engine/lapcomputation.h"
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
