#include "config/inifile.h"
#include "config/settingsracesettings.h"

#include <gtest/gtest.h>
#include <functional>

using namespace vartemo;

namespace {

struct Switch {
    const char* section;
    const char* key;
    std::function<bool(const RaceSettings&)> get;
};

const std::vector<Switch>& switches() {
    using R = const RaceSettings&;
    static const std::vector<Switch> all = {
        {"Semafor", "Pouzij", [](R r) { return r.useLights(); }},
        {"Semafor", "Zhasnout", [](R r) { return r.lightsOffAfterRace(); }},
        {"Po spusteni", "AutoStart", [](R r) { return r.autoStart(); }},
        {"Po spusteni", "ExtStart", [](R r) { return r.externalStart(); }},
        {"Po spusteni", "Autostop", [](R r) { return r.autoStop(); }},
        {"Po spusteni", "PrvniKolo", [](R r) { return r.dropFirstLap(); }},
        {"HW", "Mazat", [](R r) { return r.dropShortLaps(); }},
        {"Po spusteni", "AutoUloz", [](R r) { return r.autoSave(); }},
        {"Po spusteni", "Mezicasy", [](R r) { return r.showTrackLists(); }},
        {"Tisk", "Autotisk", [](R r) { return r.autoPrint(); }},
        {"Po spusteni", "Hlaseni", [](R r) { return r.serviceCheck(); }},
        {"Po spusteni", "Sporic", [](R r) { return r.inhibitScreenSaver(); }},
        {"Zvuk", "Hrat", [](R r) { return r.endSound(); }},
        {"TVOUT", "Pouzit", [](R r) { return r.tvOutput(); }},
    };
    return all;
}

} // namespace

// Each switch of race control reads its own key: with only that key on,
// only that answer is true.
TEST(SettingsRaceSettings, EverySwitchReadsItsOwnKey) {
    for (const Switch& on : switches()) {
        SCOPED_TRACE(std::string(on.section) + "/" + on.key);
        IniFile ini;
        for (const Switch& s : switches())
            ini.writeString(s.section, s.key, &s == &on ? "1" : "0");
        Settings settings;
        settings.load(ini, SoundHardware{.hasMixer = true}); // sound keys need a sound card
        const SettingsRaceSettings race(settings);
        for (const Switch& s : switches())
            EXPECT_EQ(s.get(race), &s == &on) << s.section << "/" << s.key;
    }
}

// The passing source is one of three: each choice answers for itself.
TEST(SettingsRaceSettings, PassingSourceFollowsTheChoice) {
    struct Case {
        const char* ini;
        bool lpt, com, net;
    };
    const Case cases[] = {
        {"LPT=1\nCOM=0\nTCP=0\n", true, false, false},
        {"LPT=0\nCOM=1\nTCP=0\n", false, true, false},
        {"LPT=0\nCOM=0\nTCP=1\n", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        Settings settings;
        settings.load(IniFile::fromText(QStringLiteral("[Po spusteni]\n") + QString::fromUtf8(c.ini)));
        const SettingsRaceSettings race(settings);
        EXPECT_EQ(race.useParallelPort(), c.lpt);
        EXPECT_EQ(race.useCom(), c.com);
        EXPECT_EQ(race.useNetwork(), c.net);
    }
}

TEST(SettingsRaceSettings, NumbersAreReadLive) {
    Settings settings;
    settings.load(IniFile::fromText(QString::fromUtf8(
        "[Semafor]\nProdleva=7\nProdlevaCas=4\n[Po spusteni]\nAutoStartCas=45\nCena=12\n"
        "[HW]\nMazatCas=20\n")));
    const SettingsRaceSettings race(settings);
    EXPECT_EQ(race.lightPauseSeconds(), 7);
    EXPECT_EQ(race.lightsOffMinutes(), 4);
    EXPECT_EQ(race.autoStartDelaySeconds(), 45);
    EXPECT_EQ(race.pricePerMinute(), 12);
    EXPECT_EQ(race.shortLapSeconds(), 20);
    settings.setInteger(SettingId::spCena, 15);
    EXPECT_EQ(race.pricePerMinute(), 15);
}
