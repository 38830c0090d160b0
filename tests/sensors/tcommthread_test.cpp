#include "irsignal.h"
#include "platform/modemstatusport.h"
#include "platform/registrystore.h"
#include "sensors/prioritylevel.h"
#include "sensors/tcommthread.h"

#include <QTest>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

using namespace vartemo;

namespace {

// What the thread posted and showed, collected across threads.
struct Outside {
    std::mutex lock;
    std::vector<quint32> codes;
    std::vector<std::optional<TimeUs>> frameStarts;
    QStringList errors;
    // While closed, a post waits here (to hold the thread inside Posting).
    std::condition_variable gateChanged;
    bool gateOpen = true;

    TCommThread::Environment environment() {
        return {.postIrCode =
                    [this](quint32 code, std::optional<TimeUs> frameStart) {
                        std::unique_lock guard(lock);
                        gateChanged.wait(guard, [this] { return gateOpen; });
                        codes.push_back(code);
                        frameStarts.push_back(frameStart);
                    },
                .showError =
                    [this](const QString& text, const QString& caption) {
                        std::lock_guard guard(lock);
                        errors << text + u'|' + caption;
                    },
                .logPath = {}};
    }
    size_t codeCount() {
        std::lock_guard guard(lock);
        return codes.size();
    }
    void setGate(bool open) {
        {
            std::lock_guard guard(lock);
            gateOpen = open;
        }
        gateChanged.notify_all();
    }
};

struct Receiver : ::testing::Test {
    MemoryRegistryStore registry;
    Outside outside;
    FakeModemStatusPort* port = nullptr;
    std::unique_ptr<TCommThread> thread;

    Receiver() {
        auto fake = std::make_unique<FakeModemStatusPort>();
        port = fake.get();
        thread = std::make_unique<TCommThread>(registry, std::move(fake), outside.environment());
        thread->ComName = QStringLiteral("COM3");
    }
    ~Receiver() override {
        outside.setGate(true);
        EXPECT_TRUE(thread->Shutdown());
    }
    void frame(bool toggle, int address, int command) {
        port->feed(sim::ModemStatusStream(sim::BiPhaseFrame(toggle, address, command)));
    }
    bool waitForCodes(size_t n) {
        return QTest::qWaitFor([&] { return outside.codeCount() >= n; }, 5000);
    }
};

quint32 BiPhaseCode(bool toggle, int address, int command) {
    quint32 v = 0;
    const auto bits = sim::BiPhaseBits(toggle, address, command);
    for (size_t i = 0; i < bits.size(); ++i)
        v = (v << 1) | ((i != 2 && bits[i]) ? 1 : 0);
    return v;
}

} // namespace

TEST_F(Receiver, OpenDecodePostAndClose) {
    EXPECT_FALSE(thread->started());     // created suspended
    ASSERT_TRUE(thread->OpenPort());
    EXPECT_TRUE(thread->PortOpen);
    EXPECT_EQ(port->openedDevice, QStringLiteral("/dev/ttyS2"));
    frame(true, 6, 17);
    ASSERT_TRUE(waitForCodes(1));
    EXPECT_EQ(outside.codes[0], BiPhaseCode(false, 6, 17));
    EXPECT_EQ(thread->LastCode(), QStringLiteral("%1").arg(BiPhaseCode(false, 6, 17), 4, 16, QLatin1Char('0')).toUpper());

    EXPECT_TRUE(thread->OpenPort());     // already open: acknowledged again
    EXPECT_EQ(port->opens, 1);
    EXPECT_TRUE(thread->ClosePort());
    EXPECT_FALSE(port->isOpen);
    EXPECT_TRUE(thread->ClosePort());    // closing a closed port is acknowledged too
    frame(false, 6, 17);                 // nobody reads a closed port
    QTest::qWait(50);
    EXPECT_EQ(outside.codeCount(), 1u);
}

// The frame takes about 25 ms to arrive and is read 13 ms after its last
// edge; the passing is its first edge, counted back on the timer line from
// the moment the newest record was captured.
TEST_F(Receiver, ThePassingIsTheFramesFirstEdge) {
    ASSERT_TRUE(thread->OpenPort());
    const sim::IrSignal signal = sim::BiPhaseFrame(false, 3, 9);
    double seconds = 0;
    for (const sim::IrSpan& span : signal)
        seconds += span.seconds;
    constexpr double kTail = 0.02; // quiet input after the frame, still in the read
    constexpr TimeUs capturedAt = 7'000'000'000;
    port->feed(sim::ModemStatusStream(signal, 1, 2, 0.02, kTail), capturedAt);
    ASSERT_TRUE(waitForCodes(1));
    std::lock_guard guard(outside.lock);
    ASSERT_TRUE(outside.frameStarts[0].has_value());
    const double expected = double(capturedAt) - (seconds + kTail) * 1e6;
    EXPECT_NEAR(double(*outside.frameStarts[0]), expected, 2 * 1e6 / 9600.0); // two timer ticks
}

TEST_F(Receiver, PortThatCannotBeOpenedOrCapturedShowsItsBox) {
    const struct {
        ModemStatusPort::OpenResult result;
        const char* box;
    } cases[] = {{ModemStatusPort::OpenResult::Busy, "COM port je obsazen|COM3"},
                 {ModemStatusPort::OpenResult::CaptureFailed, "Chyba COM portu|COM3"}};
    for (const auto& c : cases) {
        outside.errors.clear();
        port->result = c.result;
        EXPECT_FALSE(thread->OpenPort());
        EXPECT_FALSE(thread->PortOpen);
        EXPECT_FALSE(port->isOpen);
        EXPECT_EQ(outside.errors, QStringList{QString::fromUtf8(c.box)});
    }
    // The thread is idle again and opens once the port is free.
    port->result = ModemStatusPort::OpenResult::Opened;
    EXPECT_TRUE(thread->OpenPort());
}

TEST_F(Receiver, WhilePostingTheOwnerDoesNotWait) {
    ASSERT_TRUE(thread->OpenPort());
    outside.setGate(false);
    frame(false, 1, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return thread->Posting.load(); }, 5000));
    // Neither call waits for the busy thread: the close is not acknowledged
    // and the shutdown reports that the object must not be freed yet.
    EXPECT_FALSE(thread->ClosePort());
    EXPECT_FALSE(thread->Shutdown());
    outside.setGate(true);
    ASSERT_TRUE(waitForCodes(1));
    EXPECT_TRUE(thread->Shutdown());
    EXPECT_FALSE(port->isOpen);
}

TEST_F(Receiver, FrameCounterStartsAgainAtEachOpening) {
    thread->CommandOrder = 2;
    ASSERT_TRUE(thread->OpenPort());
    frame(false, 2, 2);
    QTest::qWait(60);
    ASSERT_TRUE(thread->ClosePort());
    ASSERT_TRUE(thread->OpenPort());
    frame(false, 2, 3);
    QTest::qWait(60);
    EXPECT_EQ(outside.codeCount(), 0u);  // the first frame of the new opening
    frame(false, 2, 4);
    ASSERT_TRUE(waitForCodes(1));
    EXPECT_EQ(outside.codes[0], BiPhaseCode(false, 2, 4));
}

TEST_F(Receiver, ShutdownOfAThreadNeverStartedEndsAtOnce) {
    EXPECT_TRUE(thread->Shutdown());
    EXPECT_FALSE(thread->OpenPort());    // an ended thread opens nothing
}

TEST(ReceiverSettings, SavedAndLoadedUnderEachReceiversKey) {
    MemoryRegistryStore registry;
    TCommThread first(registry, std::make_unique<FakeModemStatusPort>(), {});
    TCommThread1 second(registry, std::make_unique<FakeModemStatusPort>(), {});
    first.ComName = QStringLiteral("COM2");
    first.InputSignal = 0;
    first.TimerSignal = 1;
    first.CommandOrder = -3;
    first.BitMask = 0x01020304;
    first.PriorityLevel = 8;
    first.SaveSettings();
    EXPECT_EQ(registry.readBinary(QStringLiteral("Software\\vartemo_kestral\\ir\\nastaveni1"),
                                  QStringLiteral("BitMask")),
              QByteArray("\x04\x03\x02\x01", 4));
    EXPECT_EQ(registry.readBinary(first.registryKey(), QStringLiteral("CommandOrder")),
              QByteArray("\xFD\xFF\xFF\xFF", 4));

    second.LoadSettings();               // its own key: still the defaults
    EXPECT_EQ(second.registryKey(), QStringLiteral("Software\\vartemo_kestral\\ir\\nastaveni2"));
    EXPECT_EQ(second.ComName, QString());
    EXPECT_EQ(second.BitMask, 16);

    TCommThread again(registry, std::make_unique<FakeModemStatusPort>(), {});
    again.LoadSettings();
    EXPECT_EQ(again.ComName, QStringLiteral("COM2"));
    EXPECT_EQ(again.InputSignal, 0);
    EXPECT_EQ(again.TimerSignal, 1);
    EXPECT_EQ(again.CommandOrder, -3);
    EXPECT_EQ(again.BitMask, 0x01020304);
    EXPECT_EQ(again.PriorityLevel, 8);
}

TEST(ReceiverSettings, ValuesThatDoNotFitKeepTheDefaults) {
    MemoryRegistryStore registry;
    TCommThread thread(registry, std::make_unique<FakeModemStatusPort>(), {});
    const QString key = thread.registryKey();
    registry.writeString(key, QStringLiteral("ComName"), QStringLiteral("/dev/ttyUSB10")); // 12 characters
    registry.writeBinary(key, QStringLiteral("InputSignal"), QByteArray("\x02\x00", 2));
    registry.writeBinary(key, QStringLiteral("BitMask"), QByteArray("\x08", 1));
    thread.LoadSettings();
    EXPECT_EQ(thread.ComName, QString());
    EXPECT_EQ(thread.InputSignal, 1);
    EXPECT_EQ(thread.BitMask, 8);        // a shorter value fills the low bytes
    EXPECT_EQ(thread.PriorityLevel, 6);
}

TEST(ReceiverSettings, NegativeBitMaskReadsAsTheDefault) {
    struct Case {
        QByteArray stored;
        qint32 loaded;
    };
    const Case cases[] = {
        {QByteArray("\xFF\xFF\xFF\xFF", 4), 16},  // -1
        {QByteArray("\x00\x00\x00\x80", 4), 16},  // the most negative value
        {QByteArray("\xF0\xFF\xFF\xFF", 4), 16},  // -16
        {QByteArray("\x00\x00\x00\x00", 4), 0},   // 0 keeps every bit
        {QByteArray("\x40\x00\x00\x00", 4), 64},
        {QByteArray("\xFF\xFF\xFF\x7F", 4), 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        MemoryRegistryStore registry;
        TCommThread thread(registry, std::make_unique<FakeModemStatusPort>(), {});
        registry.writeBinary(thread.registryKey(), QStringLiteral("BitMask"), c.stored);
        thread.LoadSettings();
        EXPECT_EQ(thread.BitMask, c.loaded) << c.stored.toHex().constData();
    }
}

TEST(PriorityLevel, TableOfThreadPriorities) {
    const int expected[] = {-15, -2, -1, 0, 1, 2, 15, 15, 15};
    for (quint8 level = 0; level < 9; ++level) {
        EXPECT_EQ(PriorityForLevel(level).threadPriority, expected[level]) << int(level);
        EXPECT_EQ(PriorityForLevel(level).realtimeProcess, level >= 7) << int(level);
    }
    EXPECT_TRUE(PriorityForLevel(255).realtimeProcess);
}
