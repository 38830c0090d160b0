#include "support/pseudoterminal.h"
#include "app/receiverstartupcheck.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "platform/modemstatusport.h"
#include "platform/registrystore.h"
#include "sensors/receivers.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace vartemo;

namespace {

struct ReceiverCheck : ::testing::Test {
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings lapSettings;
    LapComputation laps{board, clock, lapSettings};
    FixedReceiverSettings settings;
    MemoryRegistryStore registry;
    Receivers receivers{{.laps = laps,
                         .settings = settings,
                         .registry = registry,
                         .infrared = {},
                         .makeModemPort = [] { return std::make_unique<FakeModemStatusPort>(); },
                         .reportFailure = [](const QString&, const QString&) {}}};
    QStringList log;
    QStringList errors;
    bool receiverAnswers = false;
    bool portOpenWhileWaiting = false;
    ReceiverStartupCheck check{receivers, settings,
                               {.addLogEntry = [this](const QString& t) { log << t; },
                                .showError = [this](const QString& m) { errors << m; },
                                .wait =
                                    [this](int) {
                                        portOpenWhileWaiting = receivers.ComPort1().isOpen();
                                        // A powered receiver raises CTS on the open port.
                                        if (receiverAnswers)
                                            receivers.ComPort1().ComPort1CTSChange(true);
                                    }}};
};

} // namespace

TEST_F(ReceiverCheck, WithoutTheSerialReceiverNoPortIsTouched) {
    settings.com = false;
    settings.port.port = "/dev/nonexistent-port";
    const SerialReceiverCheck result = check.CheckReceiver();
    EXPECT_FALSE(result.inUse);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ReceiverCheck, APortThatDoesNotOpenIsLoggedAndShown) {
    settings.com = true;
    settings.port.port = "/dev/nonexistent-port";
    const SerialReceiverCheck result = check.CheckReceiver();
    EXPECT_TRUE(result.inUse);
    EXPECT_EQ(result.portOpen, std::nullopt);
    EXPECT_FALSE(result.cts);
    EXPECT_EQ(log, (QStringList{"Chyba otevření COM portu", "Chyba připojení přijímače na Com portu"}));
    EXPECT_EQ(errors, (QStringList{ReceiverStartupCheck::kOpenErrorMessage, ReceiverStartupCheck::kNoReceiverMessage}));
}

TEST_F(ReceiverCheck, AnOpenPortIsCheckedForTheReceiverAndClosedAgain) {
    PseudoTerminal terminal;
    ASSERT_FALSE(terminal.slavePath.isEmpty());
    settings.com = true;
    settings.port.port = terminal.slavePath;
    for (bool answers : {false, true}) {
        log.clear();
        errors.clear();
        receiverAnswers = answers;
        const SerialReceiverCheck result = check.CheckReceiver();
        EXPECT_EQ(result.portOpen, true);
        EXPECT_TRUE(portOpenWhileWaiting);
        EXPECT_EQ(result.cts, answers);
        EXPECT_FALSE(receivers.ComPort1().isOpen()) << "the race start opens the input it needs";
        if (answers) {
            EXPECT_EQ(log, QStringList{"COM port otevřen"});
            EXPECT_TRUE(errors.isEmpty());
        } else {
            EXPECT_EQ(log, (QStringList{"COM port otevřen", "Chyba připojení přijímače na Com portu"}));
            EXPECT_EQ(errors, QStringList{ReceiverStartupCheck::kNoReceiverMessage});
        }
    }
}

TEST_F(ReceiverCheck, AnInfraredDecoderOnItsPortLeavesTheReceiverPortShut) {
    PseudoTerminal terminal;
    settings.com = true;
    settings.port.port = terminal.slavePath;
    receivers.CommThread().PortOpen = true;
    const SerialReceiverCheck result = check.CheckReceiver();
    EXPECT_EQ(result.portOpen, true) << "the COM input is open: the decoder reads it";
    EXPECT_FALSE(portOpenWhileWaiting);
    EXPECT_EQ(log, QStringList{"COM port otevřen"});
    EXPECT_TRUE(errors.isEmpty());
    receivers.CommThread().PortOpen = false;
}
