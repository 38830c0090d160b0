#include "fakeports.h"
#include "platform/portchoice.h"
#include "sensors/hardwarepulse.h"
#include "sensors/lptinputs.h"
#include "sensors/portaddresses.h"
#include "sensors/startlightport.h"

#include <gtest/gtest.h>

using namespace vartemo;
using namespace vartemo::testing;

TEST(PortChoice, GivesTheBaseAddressOrNone) {
    const struct {
        int choice;
        const char* text;
        std::optional<quint16> base;
    } cases[] = {
        {1, "DC00", 0x378},        {2, "DC00", 0x278},
        {3, "DC00", 0xDC00},       {3, "dc00", 0xDC00},
        {3, " 3BC ", 0x3BC},       {3, "0", std::nullopt},
        {3, "", std::nullopt},     {3, "12345", std::nullopt}, // more than four digits
        {3, "XYZ", std::nullopt},  {3, "-378", std::nullopt},
        {3, "+378", std::nullopt}, {3, "FFFF", std::nullopt},
        {3, "FFFE", 0xFFFE},       {0, "378", std::nullopt}, // no choice made yet
        {4, "378", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortBaseFromChoice({c.choice, QString::fromLatin1(c.text)}), c.base)
            << c.choice << " '" << c.text << "'";
}

TEST(PortAddresses, FollowTheChoicesWhenTheyChange) {
    FixedParallelPortSettings settings;
    PortAddresses addresses(settings);
    EXPECT_EQ(addresses.LptPortBase(), 0x378);
    EXPECT_TRUE(addresses.lightsShareInputPort());

    settings.input = {3, QStringLiteral("D010")};
    settings.lights = {2, QStringLiteral("DC00")};
    EXPECT_EQ(addresses.LptPortBase(), 0x378); // not before the change is announced
    addresses.updateInputPort();
    addresses.updateLightPort();
    EXPECT_EQ(addresses.LptPortBase(), 0xD010);
    EXPECT_EQ(addresses.SemaforPortBase(), 0x278);
    EXPECT_FALSE(addresses.lightsShareInputPort());

    // A typing slip names no port: the two empty addresses are not "shared".
    settings.input = {3, QStringLiteral("ZZ")};
    settings.lights = {3, QStringLiteral("ZZ")};
    addresses.updateInputPort();
    addresses.updateLightPort();
    EXPECT_EQ(addresses.LptPortBase(), std::nullopt);
    EXPECT_FALSE(addresses.lightsShareInputPort());
}

namespace {

struct Inputs : ::testing::Test {
    MemoryPortIo io;
    FixedParallelPortSettings settings;
    PortAddresses addresses{settings};
    LptInputs inputs{io, addresses, settings};

    void setStatus(quint8 status) { io.registers[0x379] = status; }
    std::array<bool, 4> karts() {
        std::array<bool, 4> active{};
        for (int k = 1; k <= 4; ++k)
            active[size_t(k - 1)] = inputs.kartInputActive(k);
        return active;
    }
};

using Karts = std::array<bool, 4>;

} // namespace

TEST_F(Inputs, KartInputsFollowThePolarity) {
    const struct {
        bool negate;
        quint8 status;
        Karts active;
    } cases[] = {
        {true, 0x08, {true, false, false, false}},   {true, 0x50, {false, true, false, true}},
        {true, 0x87, {false, false, false, false}}, // start button and unused bits only
        {false, 0x78, {false, false, false, false}}, {false, 0x00, {true, true, true, true}},
        {false, 0x68, {false, true, false, false}},
    };
    for (const auto& c : cases) {
        settings.negate = c.negate;
        setStatus(c.status);
        EXPECT_EQ(karts(), c.active) << "negate " << c.negate << " status " << int(c.status);
    }
    EXPECT_FALSE(inputs.kartInputActive(5)); // karts 5 to 8 have no wire
    EXPECT_FALSE(inputs.kartInputActive(0));
}

TEST_F(Inputs, WithoutTheParallelPortNoKartIsEverActiveButTheButtonStillWorks) {
    settings.useLpt = false;
    for (bool negate : {true, false}) {
        settings.negate = negate;
        for (int status = 0; status < 256; ++status) {
            setStatus(quint8(status));
            ASSERT_EQ(karts(), (Karts{})) << negate << " " << status;
            inputs.readStatus();
            ASSERT_FALSE(inputs.anyKartInputActive());
            ASSERT_EQ(inputs.externalStartPressed(), status >= 0x80);
        }
    }
}

TEST_F(Inputs, StartButtonOnBit7WhateverThePolarity) {
    for (bool negate : {true, false}) {
        settings.negate = negate;
        setStatus(0x80);
        inputs.readStatus();
        EXPECT_TRUE(inputs.externalStartPressed());
        setStatus(0x7F);
        inputs.readStatus();
        EXPECT_FALSE(inputs.externalStartPressed());
    }
}

TEST_F(Inputs, AutomaticStartSeesAnyKartByTheSamePolarity) {
    settings.negate = true;
    setStatus(0x40); // kart 4
    inputs.readStatus();
    EXPECT_TRUE(inputs.anyKartInputActive());
    setStatus(0x87); // bits outside 3..6 do not count
    inputs.readStatus();
    EXPECT_FALSE(inputs.anyKartInputActive());
    settings.negate = false;
    EXPECT_TRUE(inputs.anyKartInputActive()); // the last read, the current polarity
    setStatus(0x78);
    inputs.readStatus();
    EXPECT_FALSE(inputs.anyKartInputActive());
}

TEST_F(Inputs, NoPortAtTheAddressMeansIdleInEitherPolarity) {
    // An absent port must not read as karts in the sensor with negation off,
    // nor as a pressed button.
    io.bases = {0x278};
    for (bool negate : {true, false}) {
        settings.negate = negate;
        EXPECT_EQ(karts(), (Karts{}));
        inputs.readStatus();
        EXPECT_FALSE(inputs.externalStartPressed());
        EXPECT_FALSE(inputs.anyKartInputActive());
    }
    settings.input = {3, QStringLiteral("bad")};
    addresses.updateInputPort();
    settings.negate = false;
    EXPECT_EQ(karts(), (Karts{}));
}

TEST_F(Inputs, ReadsTheStatusRegisterOfTheChosenPort) {
    settings.input = {2, {}};
    addresses.updateInputPort();
    io.registers[0x379] = 0x08;
    io.registers[0x279] = 0x10;
    EXPECT_EQ(karts(), (Karts{false, true, false, false}));
}

namespace {

struct Lights : ::testing::Test {
    MemoryPortIo io;
    FixedParallelPortSettings settings;
    PortAddresses addresses{settings};
    std::vector<LitLamp> shown;
    std::unique_ptr<StartLightPort> lights;

    void build() {
        addresses.updateInputPort();
        addresses.updateLightPort();
        lights = std::make_unique<StartLightPort>(io, addresses, settings);
        lights->setLampsChanged([this](LitLamp lit) { shown.push_back(lit); });
    }
    quint8 port(quint16 address) { return io.registers[address]; }
};

} // namespace

TEST_F(Lights, OnTheInputPortTheIdleValueJoinsEachColour) {
    settings.idle = 0x01;
    settings.green = 0x04;
    settings.red = 0x02;
    settings.orange = 0x08;
    build();
    lights->SetLights(kLightsGreen);
    EXPECT_EQ(port(0x378), 0x05);
    lights->SetLights(kLightsOrange);
    EXPECT_EQ(port(0x378), 0x09);
    lights->SetLights(kLightsRed);
    EXPECT_EQ(port(0x378), 0x03);
    lights->SetLights(kLightsRedOff);
    EXPECT_EQ(port(0x378), 0x01);
}

TEST_F(Lights, OnAPortOfTheirOwnColoursReplaceTheByte) {
    settings.lights = {2, {}};
    settings.idle = 0x01;
    settings.red = 0x30;
    settings.green = 0x04;
    build();
    lights->SetLights(kLightsGreen);
    EXPECT_EQ(port(0x278), 0x04);
    EXPECT_EQ(port(0x378), 0x00); // the input port is not touched
    // Red off clears only the red bits of what the port shows now.
    io.registers[0x278] = 0xF7;
    lights->SetLights(kLightsRedOff);
    EXPECT_EQ(port(0x278), 0xC7);
    lights->SetLights(7);
    EXPECT_EQ(port(0x278), 0x00);
    lights->writeIdleValue();
    EXPECT_EQ(port(0x378), 0x01);
}

TEST_F(Lights, LampsGoDarkThenShowTheState) {
    build();
    lights->SetLights(kLightsRed);
    lights->SetLights(kLightsOrange);
    lights->SetLights(kLightsGreen);
    lights->SetLights(kLightsRedOff);
    lights->SetLights(9);
    const std::vector<LitLamp> expected = {LitLamp::None,   LitLamp::Red,  LitLamp::None,
                                           LitLamp::Orange, LitLamp::None, LitLamp::Green,
                                           LitLamp::None,   LitLamp::None};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(lights->lamp(), LitLamp::None);
}

TEST_F(Lights, MasksAreTakenAgainOnlyWhenReloaded) {
    settings.green = 0x04;
    build();
    settings.green = 0x40;
    lights->SetLights(kLightsGreen);
    EXPECT_EQ(port(0x378), 0x04);
    lights->reloadLightMasks();
    lights->SetLights(kLightsGreen);
    EXPECT_EQ(port(0x378), 0x40);
}

TEST_F(Lights, NoLightPortStillRepaintsTheLamps) {
    settings.lights = {3, QStringLiteral("no")};
    settings.red = 0x02;
    build();
    lights->SetLights(kLightsRed);
    EXPECT_TRUE(io.writes.empty());
    EXPECT_EQ(lights->lamp(), LitLamp::Red);
}

namespace {

// The pulse on a port whose data lines hold 0x05 (lights and idle bits),
// with time moved by hand.
struct Pulse : ::testing::Test {
    MemoryPortIo io;
    FixedParallelPortSettings settings;
    PortAddresses addresses{settings};
    ManualPulseTimer log0;
    ManualPulseTimer log1;
    HardwarePulse pulse{io, addresses, log0, log1};
    TimerRig rig{{&log0, &log1}};

    Pulse() {
        pulse.setLog0Ms(150);
        pulse.setLog1Ms(150);
        io.registers[0x378] = 0x05;
    }
    // Each write of the data register as (time, value).
    std::vector<std::pair<qint64, quint8>> edges;
    void runTo(qint64 t) {
        while (rig.now < t) {
            const size_t before = io.writes.size();
            rig.advanceTo(rig.now + 1);
            for (size_t i = before; i < io.writes.size(); ++i)
                edges.emplace_back(rig.now, io.writes[i].second);
        }
    }
};

using Edges = std::vector<std::pair<qint64, quint8>>;

} // namespace

TEST_F(Pulse, TwoLapsCloseTogetherGiveOnePulse) {
    pulse.StartPulse();
    runTo(100);
    pulse.StartPulse(); // while the first wait runs: nothing changes
    runTo(1000);
    EXPECT_EQ(edges, (Edges{{150, 0x45}, {300, 0x05}}));
}

TEST_F(Pulse, ALapDuringTheHighPhaseGivesASecondPulse) {
    pulse.StartPulse();
    runTo(200);
    pulse.StartPulse();
    runTo(1000);
    EXPECT_EQ(edges, (Edges{{150, 0x45}, {300, 0x05}, {350, 0x45}, {500, 0x05}}));
}

TEST_F(Pulse, ANewLengthTakesEffectAtOnce) {
    pulse.StartPulse();
    runTo(100);
    pulse.setLog0Ms(300); // the running wait starts again with the new length
    pulse.setLog1Ms(20);
    runTo(1000);
    EXPECT_EQ(edges, (Edges{{400, 0x45}, {420, 0x05}}));

    edges.clear();
    pulse.setLog0Ms(1);     // below the range: the shortest allowed
    pulse.setLog1Ms(99999); // above it: the longest
    EXPECT_EQ(log0.interval(), kMinPulseMs);
    EXPECT_EQ(log1.interval(), kMaxPulseMs);
}

TEST_F(Pulse, KeepsWhatOthersWroteMeanwhile) {
    pulse.StartPulse();
    runTo(200);
    io.registers[0x378] = 0x4C; // lights changed while pin 8 was high
    runTo(1000);
    EXPECT_EQ(edges, (Edges{{150, 0x45}, {300, 0x0C}}));
}

TEST_F(Pulse, GoesToTheInputPort) {
    settings.input = {2, {}};
    addresses.updateInputPort();
    io.registers[0x278] = 0x80;
    pulse.StartPulse();
    runTo(1000);
    EXPECT_EQ(edges, (Edges{{150, 0xC0}, {300, 0x80}}));
    for (const auto& w : io.writes)
        EXPECT_EQ(w.first, 0x278);
}
