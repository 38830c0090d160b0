#include "support/pseudoterminal.h"
#include "recordinglearner.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "platform/comportname.h"
#include "engine/sensorhealth.h"
#include "sensors/serialreceiver.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vartemo;

namespace {

struct Serial : ::testing::Test {
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings lapSettings;
    LapComputation laps{board, clock, lapSettings};
    vartemo::testing::RecordingLearner learner;
    FixedReceiverSettings settings;
    PseudoTerminal pty;
    SerialReceiver receiver{laps, settings};
    QSignalSpy codes{&receiver, &SerialReceiver::codeReceived};

    Serial() {
        laps.setLearner(&learner);
        laps.startRace();
        settings.port.port = pty.slavePath;
        lapSettings.firstCode[1] = QStringLiteral("ABC"); // kart 2
    }
    void SetUp() override {
        ASSERT_FALSE(pty.slavePath.isEmpty());
        QString error;
        ASSERT_TRUE(receiver.open(&error)) << error.toStdString();
    }
    // Writes one burst and waits until its code is delivered.
    void burst(const QByteArray& bytes) {
        const auto before = codes.size();
        pty.write(bytes);
        ASSERT_TRUE(QTest::qWaitFor([&] { return codes.size() > before; }, 2000));
    }
    QStringList received() const {
        QStringList list;
        for (const auto& args : codes)
            list << args.at(0).toString();
        return list;
    }
};

} // namespace

TEST(SerialCodeText, EveryByteBecomesOnePrintableCharacter) {
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {QByteArray("ABC"), QStringLiteral("ABC")},
        {QByteArray("\x01\x02", 2), QStringLiteral("!\"")},
        {QByteArray("\x0D", 1), QStringLiteral("-")},
        {QByteArray("\x00\x1F", 2), QStringLiteral(" ?")},
        {QByteArray("\x20\x7E", 2), QStringLiteral(" ~")},
        {QByteArray("\x80", 1), QStringLiteral("!")},
        {QByteArray("\xFF", 1), QString(QChar(0xA0))},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SerialReceiver::CodeText(c.bytes), c.text) << c.bytes.toHex().toStdString();
}

TEST(SerialPortName, ComNamesMapToSerialDevices) {
    EXPECT_EQ(ComPortDevicePath(QStringLiteral("COM1")), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(ComPortDevicePath(QStringLiteral("com12")), QStringLiteral("/dev/ttyS11"));
    EXPECT_EQ(ComPortDevicePath(QStringLiteral("/dev/ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(ComPortDevicePath(QStringLiteral("COM0")), QStringLiteral("COM0"));
    EXPECT_EQ(SerialReceiver::BurstPauseMs(9600), SerialReceiver::kBurstPauseMs);
    EXPECT_EQ(SerialReceiver::BurstPauseMs(1200), 25);
}

TEST_F(Serial, BurstsThroughAPseudoTerminalBecomeCodes) {
    burst(QByteArray("ABC"));
    EXPECT_EQ(laps.pendingKart(), 2);
    burst(QByteArray("\x01\x02\x0D", 3));
    EXPECT_EQ(received(), (QStringList{QStringLiteral("ABC"), QStringLiteral("!\"-")}));
}

TEST_F(Serial, TracksideIdentifierInTheBurstGivesASplit) {
    clock.advance(7250);
    burst(QByteArray("\x31\x30\x41\x42\x43", 5));
    EXPECT_EQ(laps.pendingKart(), 0);
    EXPECT_EQ(board.lines(2, BoardList::Track), QStringList{QStringLiteral("10 00:07:250")});
}

TEST_F(Serial, BurstWithAPauseInsideGivesTwoCodes) {
    burst(QByteArray("AB"));
    QTest::qWait(3 * SerialReceiver::kBurstPauseMs);
    burst(QByteArray("C"));
    EXPECT_EQ(received(), (QStringList{QStringLiteral("AB"), QStringLiteral("C")}));
    EXPECT_EQ(laps.pendingKart(), 0);
    EXPECT_TRUE(board.lines(2, BoardList::Track).isEmpty());
}

TEST_F(Serial, BytesArrivingCloseTogetherFormOneCode) {
    pty.write(QByteArray("A"));
    ::usleep(2000);
    pty.write(QByteArray("B"));
    ::usleep(2000);
    burst(QByteArray("C"));
    EXPECT_EQ(received(), QStringList{QStringLiteral("ABC")});
    EXPECT_EQ(laps.pendingKart(), 2);
}

TEST_F(Serial, LearningTakesTheCodeAndShowsIt) {
    laps.setLearnSlot(5);
    burst(QByteArray("XYZ"));
    ASSERT_EQ(learner.learnt.size(), 1);
    EXPECT_EQ(learner.learnt[0], std::make_pair(5, QStringLiteral("XYZ")));
    EXPECT_EQ(learner.shown, QStringList{QStringLiteral("XYZ")});
    // Learning is over: the next code is timed.
    burst(QByteArray("ABC"));
    EXPECT_EQ(laps.pendingKart(), 2);
    EXPECT_EQ(learner.learnt.size(), 1);
}

TEST_F(Serial, ClosedPortDropsNothingHalfwayAndMissingPortReportsAnError) {
    receiver.close();
    EXPECT_FALSE(receiver.isOpen());
    pty.write(QByteArray("ABC"));
    QTest::qWait(50);
    EXPECT_TRUE(codes.isEmpty());

    settings.port.port = QStringLiteral("/dev/vartemo-no-such-port");
    QString error;
    EXPECT_FALSE(receiver.open(&error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("/dev/vartemo-no-such-port: "))) << error.toStdString();
}

// The station's clock is moved by hand while the burst is still arriving:
// the passing is when its first byte came, not when the burst was complete.
TEST_F(Serial, TheBurstIsStampedAtItsFirstByte) {
    receiver.close();
    settings.port.baudRate = QStringLiteral("300"); // a pause of 100 ms ends a burst
    ASSERT_TRUE(receiver.open());
    clock.advance(5'000);
    pty.write(QByteArray("A"));
    QTest::qWait(30);
    clock.advance(40);
    burst(QByteArray("BC"));
    ASSERT_EQ(received(), QStringList{QStringLiteral("ABC")});
    laps.PollAll();
    EXPECT_EQ(board.lines(2, BoardList::Lap), QStringList{QStringLiteral("00:05:000")});
}

namespace {

// What each burst was reaches the receiver's health: a kart's code, a code
// of no kart (listed from its third sighting), a burst that ran over the
// longest code, and codes heard while the settings learn.
TEST_F(Serial, BurstsAreToldToTheHealthModel) {
    SensorHealth health;
    receiver.setHealth(&health);
    const int slot = SensorHealth::serial();
    burst("ABC");
    for (int i = 0; i < 3; ++i)
        burst("XYZ");
    burst(QByteArray(300, 'Q'));
    const SourceHealth& s = health.source(slot);
    EXPECT_EQ(s.ride.passings, 1);
    EXPECT_EQ(s.ride.rejectedOf(Rejection::UnknownCode), 3);
    EXPECT_EQ(s.ride.rejectedOf(Rejection::FailedCheck), 1);
    int listed = 0;
    const auto codes = health.listedUnknownCodes(&listed);
    ASSERT_EQ(listed, 1);
    EXPECT_EQ(codes[0]->code, QStringLiteral("XYZ"));
    EXPECT_EQ(health.lamp(slot, clock.nowUs()), SourceLamp::Red) << "4 rejected against 1 passing";

    laps.setLearnSlot(5);
    burst("K05");
    EXPECT_EQ(s.sinceStart.passings + s.sinceStart.rejectedTotal(), 5) << "learning counts neither way";
    EXPECT_TRUE(s.lastHeard.has_value());
}

} // namespace
