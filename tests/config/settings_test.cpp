#include "config/inifile.h"
#include "config/settings.h"
#include "config/settingslapsettings.h"

#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;
using S = SettingId;

namespace {

IniFile parseIni(const char* utf8) {
    return IniFile::fromText(QString::fromUtf8(utf8));
}

QList<SettingId> changesDuring(Settings& settings, const std::function<void()>& action) {
    QList<SettingId> ids;
    auto c = QObject::connect(&settings, &Settings::changed, [&](SettingId id) { ids << id; });
    action();
    QObject::disconnect(c);
    return ids;
}

SoundHardware fullMixer() {
    SoundHardware hw;
    hw.hasMixer = hw.hasTreble = hw.hasBass = true;
    hw.masterVolume = 40000;
    hw.waveVolume = 30000;
    hw.treble = 20000;
    hw.bass = 10000;
    hw.mute = true;
    return hw;
}

} // namespace

TEST(SettingTable, EveryIdHasItsRowAndHolderNamesMatch) {
    QSet<QString> holders;
    QSet<QString> keys;
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingInfo& info = InfoOf(static_cast<SettingId>(i));
        EXPECT_EQ(static_cast<int>(info.id), i);
        EXPECT_FALSE(holders.contains(info.holder)) << info.holder.toStdString();
        holders << info.holder;
        const QString key = (info.section + u'/' + info.key).toLower();
        EXPECT_FALSE(keys.contains(key)) << key.toStdString();
        keys << key;
    }
    // Spot checks across the numbered groups: a shifted row would show here.
    struct Row {
        SettingId id;
        const char* section;
        const char* key;
        const char* holder;
    };
    const Row rows[] = {
        {S::cbMezicasy, "Po spusteni", "Mezicasy", "cbMezicasy"},
        {S::cbSporic, "Po spusteni", "Sporic", "cbSporic"},
        {S::spSemaforVyp, "Semafor", "ProdlevaCas", "spSemaforVyp"},
        {S::Text8, "Tisk", "Text8", "Text8"},
        {S::Text9, "Tisk_Diplom", "Text1", "Text9"},
        {S::Text12, "Tisk_Diplom", "Text4", "Text12"},
        {S::SpinChybaMereni8, "HW", "Chyba8", "SpinChybaMereni8"},
        {S::EdSekvence8, "Com", "Sekvence8", "EdSekvence8"},
        {S::EdSekvence11, "Com", "Sekvence11", "EdSekvence11"},
        {S::EdSekvence81, "Com", "Sekvence81", "EdSekvence81"},
        {S::ID10, "Com", "ID10", "ID10"},
        {S::IP0, "Com", "IP0", "IP0"},
        {S::Popis10, "Com", "Popis10", "Popis10"},
        {S::cbFtp6, "Ftp", "6", "cbFtp6"},
        {S::FtpAdr6, "Ftp", "FtpAdr6", "FtpAdr6"},
        {S::ProxyHeslo, "Proxy", "Heslo", "ProxyHeslo"},
        {S::SoundFile, "Zvuk", "Jmeno", "Cesta_Box"},
        {S::tbBass, "Mixer", "Bass", "tbBass"},
        {S::EdWebAdresa, "WebVysledky", "Adresa", "EdWebAdresa"},
    };
    for (const Row& r : rows) {
        const SettingInfo& info = InfoOf(r.id);
        EXPECT_EQ(info.section, QString::fromUtf8(r.section)) << r.holder;
        EXPECT_EQ(info.key, QString::fromUtf8(r.key)) << r.holder;
        EXPECT_EQ(info.holder, QString::fromUtf8(r.holder));
    }
    EXPECT_EQ(NumberedSetting(S::EdSekvence11, 3), S::EdSekvence31);
    EXPECT_EQ(NumberedSetting(S::SpinChybaMereni1, 8), S::SpinChybaMereni8);
}

TEST(SettingTable, LoadAndSaveCoverEverySetting) {
    QSet<SettingId> loaded(Settings::LoadOrder().begin(), Settings::LoadOrder().end());
    EXPECT_EQ(loaded.size(), kSettingCount);
    EXPECT_EQ(qsizetype(Settings::LoadOrder().size()), kSettingCount) << "each key loaded once";
    QSet<SettingId> saved(Settings::SaveOrder().begin(), Settings::SaveOrder().end());
    EXPECT_EQ(qsizetype(Settings::SaveOrder().size()), saved.size()) << "each key saved once";
    // The paths written by their own buttons are not part of Save.
    for (SettingId id : {S::PrintLogo, S::DiplomaLogo, S::DiplomaPicture})
        EXPECT_FALSE(saved.contains(id));
    EXPECT_EQ(saved.size(), kSettingCount - 3);
}

TEST(Settings, DefaultsOfAnEmptyFile) {
    Settings s(QStringLiteral("/srv/vartemo"));
    s.load(IniFile());
    struct Case {
        SettingId id;
        const char* expected;
    };
    const Case cases[] = {
        {S::Text6, "Děkujeme Vám za vaši návštěvu."},
        {S::Text5, ""},
        {S::Spin_Mazat_Cas, "120"}, // 10000 limited to the spin edit's 1..120
        {S::SpinProdleva, "2000"},
        {S::DelkaTrate, "1"},
        {S::rgZobrazeni, "1"},
        {S::priorita_aplikace, "0"},
        {S::LPTxx_BASE, "DC00"},
        {S::StartPort, "1"},
        {S::cbLPT, "1"},
        {S::cbCOM, "0"},
        {S::cbSemaforVyp, "1"},
        {S::ID3, "3"},
        {S::ID10, "10"},
        {S::IP0, ""},
        {S::VelikostLOGA, "50"},
        {S::SpinAutoStartCas, "60"},
        {S::cbNoHesla, "1"},
        {S::SoundFile, "/srv/vartemo/zvuky/success.wav"},
        // No "Logo" key: the logo the station draws; the diploma has none.
        {S::PrintLogo, "/srv/vartemo/Logo/logo.png"},
        {S::DiplomaLogo, ""},
        {S::cbWebVysledky, "0"},
        {S::SpinWebPort, "8080"},
    };
    for (const Case& c : cases) {
        const SettingInfo& info = InfoOf(c.id);
        EXPECT_EQ(s.valueText(info.section, info.key), QString::fromUtf8(c.expected))
            << info.holder.toStdString();
    }
}

// A "Logo" key names the operator's choice, an empty one none at all: the
// start-up then tells that the logo is missing.
TEST(Settings, AnEmptyLogoKeyIsNoLogo) {
    Settings s(QStringLiteral("/srv/vartemo"));
    s.load(parseIni("[Tisk]\nLogo=\n"));
    EXPECT_EQ(s.text(S::PrintLogo), "");
    s.load(parseIni("[Tisk]\nLogo=trat.png\n"));
    EXPECT_EQ(s.text(S::PrintLogo), "trat.png");
}

TEST(Settings, LoadNotifiesWhatDiffersFromTheInitialControlsInLoadOrder) {
    Settings s;
    const QList<SettingId> ids = changesDuring(s, [&] {
        s.load(parseIni("[Po spusteni]\nMezicasy=0\nPriorita=0\nCOM=1\nStart=0\n"
                     "[HW]\nMazatCas=120\nLOG0=300\n"));
    });
    // Unchecked boxes that load unchecked, and spin edits that keep their
    // value, do not notify; a radio group notifies its first selection even
    // for item 0 (the idle priority class is set at start-up).
    EXPECT_FALSE(ids.contains(S::cbMezicasy));
    EXPECT_FALSE(ids.contains(S::po_spusteni));
    EXPECT_FALSE(ids.contains(S::Spin_Mazat_Cas));
    EXPECT_FALSE(ids.contains(S::SpinLOG1));
    EXPECT_TRUE(ids.contains(S::priorita_aplikace));
    EXPECT_TRUE(ids.contains(S::SpinLOG0));
    EXPECT_TRUE(ids.contains(S::Text6));
    EXPECT_EQ(ids.count(S::cbCOM), 1);
    // cbLPT defaults on, then "COM" switches it off again.
    const auto lptOn = ids.indexOf(S::cbLPT);
    const auto comOn = ids.indexOf(S::cbCOM);
    ASSERT_GE(lptOn, 0);
    EXPECT_LT(lptOn, comOn);
    EXPECT_EQ(ids.lastIndexOf(S::cbLPT), comOn + 1);
    EXPECT_TRUE(s.useSerial());
    EXPECT_FALSE(s.useParallelPort());

    // Apart from the sources' switching, the notifications follow the load order.
    QList<SettingId> withoutSwitch = ids;
    withoutSwitch.removeAt(comOn + 1);
    const auto& order = Settings::LoadOrder();
    qsizetype last = -1;
    for (SettingId id : withoutSwitch) {
        const auto pos = std::find(order.begin(), order.end(), id) - order.begin();
        EXPECT_GT(pos, last) << InfoOf(id).holder.toStdString();
        last = pos;
    }
    // Reading the same values again notifies nothing.
    const IniFile same = parseIni("[Po spusteni]\nLPT=0\nCOM=1\n[HW]\nLOG0=300\n");
    Settings again;
    again.load(same);
    EXPECT_TRUE(changesDuring(again, [&] { again.load(same); }).isEmpty());
}

TEST(Settings, LoadFollowsTheFixedOrderAcrossSections) {
    // Sections are read in parts: "Po spusteni", then "Semafor", "Po spusteni"
    // again for the port value, and so on; "TVOUT" reads Form before Pouzit,
    // the UDP list comes between "Proxy" and "Zvuk", and the sound file last.
    Settings s;
    QStringList events;
    QObject::connect(&s, &Settings::changed, [&](SettingId id) { events << InfoOf(id).holder; });
    QObject::connect(&s, &Settings::udpPortsChanged, [&] { events << QStringLiteral("UDP"); });
    QObject::connect(&s, &Settings::serialPortChanged, [&] { events << QStringLiteral("ComPort1"); });
    s.load(parseIni("[Zvuk]\nJmeno=a.wav\nHrat=1\n[Mixer]\nMVolume=5\n[UDP]\nPolozek=1\nPort1=5000\n"
                 "[Proxy]\nFtp=1\n[TVOUT]\nPouzit=1\nForm=1\n[HW]\nRizeni=1\n"
                 "[Po spusteni]\nCena=5\nHodnota=3\nStart=1\nMezicasy=1\n"
                 "[Semafor]\nZelena=1\nPort_Semafor=2\nPouzij=1\n[ComPort1]\nPort=COM2\n"),
           fullMixer());
    const QStringList interesting = {
        "ComPort1", "cbMezicasy", "po_spusteni", "cbSemafor", "Semafor_LPT1/Semafor_LPT2/Semafor_LPT3",
        "LptBit", "ZelenaBit", "spCena", "PruhlednyForm_Box", "TV_OUT_Box", "Hw_rizeniBox",
        "cbProxyFtp", "UDP", "cbHratZvuk", "tbVolume", "Cesta_Box"};
    QStringList seen;
    for (const QString& e : events)
        if (interesting.contains(e))
            seen << e;
    EXPECT_EQ(seen, interesting);
}

TEST(Settings, ValuesAreLimitedLikeTheirControls) {
    struct Case {
        const char* line;      // in [HW] unless it names its section
        SettingId id;
        int expected;
    };
    const Case cases[] = {
        {"[HW]\nMazatCas=10000", S::Spin_Mazat_Cas, 120},
        {"[HW]\nMazatCas=0", S::Spin_Mazat_Cas, 1},
        {"[HW]\nChyba3=-5", S::SpinChybaMereni3, 0},
        {"[HW]\nChyba3=70000", S::SpinChybaMereni3, 59000},
        {"[HW]\nProdleva=100", S::SpinProdleva, 500},
        {"[HW]\nLOG1=0x20", S::SpinLOG1, 32},
        {"[Po spusteni]\nDelka_Trate=0", S::DelkaTrate, 1},
        {"[Po spusteni]\nAutoStartCas=100000", S::SpinAutoStartCas, 100000}, // no range of its own
        {"[Po spusteni]\nZobrazeni=9", S::rgZobrazeni, 3},
        {"[Po spusteni]\nPort=7", S::StartPort, 0},        // other values keep the (empty) choice
        {"[Po spusteni]\nPort=3", S::StartPort, 3},
        {"[Po spusteni]\nHodnota=0x1FF", S::LptBit, 0xFF},
        {"[Po spusteni]\nCena=abc", S::spCena, 1},
        {"[Semafor]\nProdleva=11", S::Prodleva, 10},
        {"[TVOUT]\nTypZobrazeni=-3", S::Typ_zobrazeni_Group, -1},
    };
    for (const Case& c : cases) {
        Settings s;
        s.load(IniFile::fromText(QString::fromUtf8(c.line)));
        EXPECT_EQ(s.integer(c.id), c.expected) << c.line;
    }
    Settings s;
    s.setInteger(S::StartPort, 2);
    s.setInteger(S::StartPort, 0);
    EXPECT_EQ(s.integer(S::StartPort), 2) << "no such radio button: the choice stays";
    s.setText(S::ID1, QStringLiteral("12345"));
    EXPECT_EQ(s.text(S::ID1), QStringLiteral("1234"));
}

TEST(Settings, StarredTexts) {
    struct Case {
        const char* stored;
        QString expected;
    };
    const Case cases[] = {
        {"Text1=*  odsazeno", QStringLiteral("  odsazeno")},
        {"Text1=*", QString()},
        {"Text1=", QString()},
        {"Text1=bez hvezdy", QStringLiteral("ez hvezdy")}, // the first character is always the star
        {"Text1=\"*  v uvozovkach  \"", QStringLiteral("  v uvozovkach  ")},
    };
    for (const Case& c : cases) {
        Settings s;
        s.load(IniFile::fromText(QStringLiteral("[Tisk]\n") + QString::fromUtf8(c.stored)));
        EXPECT_EQ(s.printText(1), c.expected) << c.stored;
    }
    Settings s;
    s.load(IniFile::fromText(QStringLiteral("[Tisk]\nText2=*") + QString(400, u'x')));
    EXPECT_EQ(s.printText(2).size(), 254) << "cut to 255, then the star removed";

    // Leading blanks survive a save and a reload.
    s.setText(S::Text3, QStringLiteral("   Jízda"));
    IniFile ini;
    s.save(ini);
    EXPECT_EQ(ini.value("Tisk", "Text3"), QStringLiteral("*   Jízda"));
    Settings reloaded;
    reloaded.load(ini);
    EXPECT_EQ(reloaded.printText(3), QStringLiteral("   Jízda"));
}

TEST(Settings, MissingText6IsWrittenBackStarred) {
    Settings s;
    s.load(parseIni("[Tisk]\nText1=*a\n"));
    EXPECT_EQ(s.printText(6), QStringLiteral("Děkujeme Vám za vaši návštěvu."));
    IniFile ini = parseIni("[Tisk]\nText1=*a\n");
    s.save(ini);
    EXPECT_EQ(ini.value("Tisk", "Text6"), QStringLiteral("*Děkujeme Vám za vaši návštěvu."));
}

TEST(Settings, SourcesExcludeEachOtherAndOneStaysOn) {
    Settings s;
    s.load(IniFile());
    s.setBoolean(S::cbTcpIP, true);
    EXPECT_TRUE(s.useNetwork());
    EXPECT_FALSE(s.useParallelPort());
    EXPECT_FALSE(s.useSerial());
    s.setBoolean(S::cbTcpIP, false);
    EXPECT_TRUE(s.useParallelPort()) << "unchecking the only source checks LPT again";

    Settings none;
    none.load(parseIni("[Po spusteni]\nLPT=0\nCOM=0\nTCP=0\n"));
    EXPECT_TRUE(none.useParallelPort()) << "a file with no source still gives one";
}

TEST(Settings, PasswordsAreScrambledAndNotKeptWhenAsked) {
    Settings s;
    s.load(IniFile());
    s.setBoolean(S::cbNoHesla, false);
    s.setText(S::FtpHeslo, QStringLiteral("tajne"));
    s.setText(S::ProxyHeslo, QString());
    IniFile ini;
    s.save(ini);
    const QString stored = *ini.value("Ftp", "Heslo");
    EXPECT_FALSE(stored.isEmpty());
    EXPECT_NE(stored, QStringLiteral("tajne"));
    EXPECT_EQ(ini.value("Proxy", "Heslo"), QString()) << "the empty password is stored empty";
    Settings reloaded;
    reloaded.load(ini);
    EXPECT_EQ(reloaded.text(S::FtpHeslo), QStringLiteral("tajne"));

    // "Neukládat hesla": OK empties both boxes and stores both empty.
    s.setText(S::ProxyHeslo, QStringLiteral("proxy"));
    s.setBoolean(S::cbNoHesla, true);
    s.save(ini);
    EXPECT_EQ(ini.value("Ftp", "Heslo"), QString());
    EXPECT_EQ(ini.value("Proxy", "Heslo"), QString());
    EXPECT_EQ(s.text(S::FtpHeslo), QString());
    EXPECT_EQ(s.text(S::ProxyHeslo), QString());

    Settings damaged;
    damaged.load(parseIni("[Ftp]\nHeslo=@@not base64@@\n[Proxy]\nHeslo=RQ==\n"));
    EXPECT_EQ(damaged.text(S::FtpHeslo), QString());
    EXPECT_EQ(damaged.text(S::ProxyHeslo), QStringLiteral("a")) << "the next value still loads";
}

TEST(Settings, SoundKeysDependOnTheMixer) {
    const IniFile file = parseIni("[Zvuk]\nHrat=1\nApplaus=1\n[Mixer]\nMVolume=100\nBass=200\n");
    Settings none;
    none.load(file, SoundHardware{});
    EXPECT_FALSE(none.boolean(S::cbHratZvuk));
    EXPECT_EQ(none.integer(S::tbVolume), 0);
    IniFile saved = file;
    none.save(saved);
    EXPECT_EQ(saved.value("Zvuk", "Hrat"), QStringLiteral("1")) << "unread keys are not overwritten";
    EXPECT_EQ(saved.value("Mixer", "Bass"), QStringLiteral("200"));

    SoundHardware noBass = fullMixer();
    noBass.hasBass = false;
    Settings mixer;
    mixer.load(file, noBass);
    EXPECT_TRUE(mixer.boolean(S::cbHratZvuk));
    EXPECT_EQ(mixer.integer(S::tbVolume), 100);
    EXPECT_EQ(mixer.integer(S::tbMP3WAV), 30000) << "a missing key keeps the card's level";
    EXPECT_EQ(mixer.integer(S::tbTreble), 20000);
    EXPECT_EQ(mixer.integer(S::tbBass), 0) << "no bass control: not read";
    EXPECT_TRUE(mixer.boolean(S::cbMute));
}

TEST(Settings, FindsSettingsBySectionAndKeyInAnySpelling) {
    EXPECT_EQ(Settings::find("Po Spusteni", "START"), S::po_spusteni);
    EXPECT_EQ(Settings::find("po spusteni", "Autostart"), S::cbAutoStart);
    EXPECT_EQ(Settings::find("SEMAFOR", "Port_Semafor"), S::SemaforPort);
    EXPECT_EQ(Settings::find("Zvuk", "jmeno"), S::SoundFile);
    EXPECT_FALSE(Settings::find("Zvuk", "Nic").has_value());
    Settings s;
    s.load(parseIni("[Po spusteni]\nStart=1\n"));
    EXPECT_TRUE(s.boolean(S::po_spusteni)) << "\"Start\" is found as \"START\"";
    EXPECT_EQ(s.valueText("po spusteni", "START"), QStringLiteral("1"));
}

TEST(Settings, PortBases) {
    EXPECT_EQ(Settings::PortBase(1, "x"), quint16{0x378});
    EXPECT_EQ(Settings::PortBase(2, ""), quint16{0x278});
    EXPECT_EQ(Settings::PortBase(3, "DC00"), quint16{0xDC00});
    EXPECT_EQ(Settings::PortBase(3, "dc0"), quint16{0xDC0});
    EXPECT_FALSE(Settings::PortBase(3, "XYZ").has_value());
    EXPECT_FALSE(Settings::PortBase(3, "10000").has_value());
    EXPECT_FALSE(Settings::PortBase(0, "DC00").has_value());
    Settings s;
    s.load(parseIni("[Semafor]\nPort_Semafor=3\nBase_Semafor=E800\n"));
    EXPECT_EQ(s.semaforPortBase(), quint16{0xE800});
    EXPECT_EQ(s.lptPortBase(), quint16{0x378});
}

TEST(Settings, LapComputationReadsTheModelLive) {
    Settings s;
    s.load(parseIni("[HW]\nProdleva=3000\nChyba2=40\n[Com]\nSekvence2=A1\nSekvence21=B1\nIP0=10.0.0.5\n"));
    const SettingsLapSettings lap(s);
    EXPECT_EQ(lap.minLapTimeMs(), 3000);
    EXPECT_EQ(lap.correctionMs(2), 40);
    EXPECT_EQ(lap.kartCode(2, 1), QStringLiteral("A1"));
    EXPECT_EQ(lap.kartCode(2, 2), QStringLiteral("B1"));
    EXPECT_EQ(lap.lapSensorAddress(), QStringLiteral("10.0.0.5"));
    EXPECT_TRUE(lap.useParallelPort());
    EXPECT_TRUE(lap.hardwareControl());
    s.setInteger(S::SpinChybaMereni2, 55);
    s.setBoolean(S::TV_OUT_Box, true);
    EXPECT_EQ(lap.correctionMs(2), 55);
    EXPECT_TRUE(lap.tvOutput());
}
