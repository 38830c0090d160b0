#include "config/inifile.h"
#include "config/settings.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;
using S = SettingId;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString dataFile(const char* name) {
    return QStringLiteral(VARTEMO_TEST_DATA "/") + QString::fromUtf8(name);
}

// A copy of a fixture in a temporary folder, so tests can write to it.
class SettingsFileTest : public ::testing::Test {
protected:
    void copyFixture(const char* name = "vartemo.ini") {
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(dataFile(name), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    void writeFile(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("vartemo.ini"));
};

SoundHardware mixerWithoutTone() {
    SoundHardware hw;
    hw.hasMixer = true;
    hw.masterVolume = 50000;
    hw.waveVolume = 40000;
    return hw;
}

} // namespace

TEST_F(SettingsFileTest, HandWrittenFileLoads) {
    copyFixture();
    Settings s(dir.path());
    s.loadFile(path, mixerWithoutTone());
    EXPECT_FALSE(s.showTrackSplits());
    EXPECT_EQ(s.integer(S::StartPort), 3);
    EXPECT_EQ(s.text(S::LPTxx_BASE), QStringLiteral("e800"));
    EXPECT_EQ(s.lptPortBase(), quint16{0xE800});
    EXPECT_TRUE(s.boolean(S::po_spusteni));
    EXPECT_EQ(s.integer(S::rgZobrazeni), 2);
    EXPECT_TRUE(s.useSerial());
    EXPECT_FALSE(s.useParallelPort());
    EXPECT_FALSE(s.countsMinutes());
    EXPECT_EQ(s.integer(S::DelkaTrate), 412);
    EXPECT_EQ(s.integer(S::spCena), 10);
    EXPECT_EQ(s.integer(S::priorita_aplikace), 2);
    EXPECT_TRUE(s.boolean(S::cbAutoStart));
    EXPECT_EQ(s.integer(S::LptBit), 5);
    EXPECT_EQ(s.integer(S::SemaforPort), 2);
    EXPECT_EQ(s.integer(S::CervenaBit), 4);
    EXPECT_EQ(s.integer(S::Prodleva), 3);
    EXPECT_EQ(s.text(S::PrintLogo), QStringLiteral("/home/trať/logo.bmp"));
    EXPECT_EQ(s.integer(S::VelikostLOGA), 80);
    EXPECT_EQ(s.printText(1), QStringLiteral("Motokárová dráha Štěpánov"));
    EXPECT_EQ(s.printText(2), QStringLiteral("   odsazený řádek"));
    EXPECT_EQ(s.printText(6), QStringLiteral("Děkujeme Vám za vaši návštěvu."));
    EXPECT_EQ(s.printText(8), QStringLiteral("Ceny: 350 Kč"));
    EXPECT_EQ(s.diplomaText(1), QStringLiteral("Diplom za #misto# místo"));
    EXPECT_EQ(s.correctionMs(1), 15);
    EXPECT_EQ(s.correctionMs(8), 59000);
    EXPECT_EQ(s.minLapTimeMs(), 2500);
    EXPECT_EQ(s.kartCode(1, 1), QStringLiteral("A1B2"));
    EXPECT_EQ(s.kartCode(1, 2), QStringLiteral("C3D4"));
    EXPECT_EQ(s.sensorId(1), QStringLiteral("S1"));
    EXPECT_EQ(s.sensorId(2), QStringLiteral("2"));
    EXPECT_EQ(s.text(S::Popis0), QStringLiteral("Cíl"));
    EXPECT_EQ(s.text(S::FtpHeslo), QStringLiteral("ab"));
    EXPECT_EQ(s.udpPorts(), (QList<UdpPortEntry>{{"5001", QStringLiteral("zatáčka")},
                                                 {"5000", QStringLiteral("cílová čára")}}))
        << "entry N at the top";
    EXPECT_EQ(s.operators(), QStringList({"Jana", "Petr"}));
    EXPECT_EQ(s.serialPort().port, QStringLiteral("COM3"));
    EXPECT_EQ(s.serialPort().baudRate, QStringLiteral("19200"));
    EXPECT_EQ(s.serialPort().parity, QStringLiteral("Even"));
    EXPECT_EQ(s.serialPort().dataBits, QStringLiteral("8"));
    EXPECT_EQ(s.integer(S::tbVolume), 50000) << "missing mixer keys keep the card's levels";
}

TEST_F(SettingsFileTest, SaveWritesTheExpectedBytes) {
    copyFixture();
    Settings s(QStringLiteral("/opt/vartemo"));
    s.loadFile(path, mixerWithoutTone());
    ASSERT_TRUE(s.saveFile());
    EXPECT_EQ(readBytes(path), readBytes(dataFile("vartemo_saved.ini")));

    // Saving what was loaded again changes nothing.
    Settings again(QStringLiteral("/opt/vartemo"));
    again.loadFile(path, mixerWithoutTone());
    ASSERT_TRUE(again.saveFile());
    EXPECT_EQ(readBytes(path), readBytes(dataFile("vartemo_saved.ini")));
}

TEST_F(SettingsFileTest, SaveOfANewFileIsInTheFixedOrder) {
    SoundHardware hw = mixerWithoutTone();
    hw.hasTreble = hw.hasBass = true;
    hw.treble = 300;
    hw.bass = 200;
    hw.mute = true;
    Settings s(QStringLiteral("/opt/vartemo"));
    s.loadFile(path, hw);
    ASSERT_TRUE(s.saveFile());
    EXPECT_EQ(readBytes(path), readBytes(dataFile("vartemo_new.ini")));
}

TEST_F(SettingsFileTest, BadFilesGiveDefaults) {
    QRandomGenerator random(3);
    QByteArray noise(64 * 1024, '\0');
    for (char& b : noise)
        b = static_cast<char>(random.bounded(256));
    const QByteArray cases[] = {
        noise,
        "[HW]\r\nProdleva=" + QByteArray(100000, '7') + "\r\nLOG0=300\r\n",
        "Prodleva=3000\r\nLOG0=300\r\n[Tisk]\r\nVelikost=70\r\n",
        "[HW\r\nProdleva=3000\r\n[Tisk]\r\nVelikost=70\r\n",
        "[Po spusteni]\r\nLPT=\x01\x02\r\nPriorita=\xff\xfe\r\n",
        QByteArray("[UDP]\r\nPolozek=2147483647\r\n[Uzivatel]\r\nPolozek=99999999\r\n"),
    };
    for (const QByteArray& bytes : cases) {
        writeFile(bytes);
        Settings s;
        s.loadFile(path);
        EXPECT_EQ(s.minLapTimeMs(), 2000) << bytes.left(40).toStdString();
        EXPECT_EQ(s.integer(S::priorita_aplikace), 0);
        EXPECT_TRUE(s.useParallelPort());
        EXPECT_LE(s.udpPorts().size(), 255);
        EXPECT_LE(s.operators().size(), 9999);
    }
    // The lines after the unreadable ones still load.
    writeFile("[HW]\r\nProdleva=" + QByteArray(100000, '7') + "\r\nLOG0=300\r\n");
    Settings s;
    s.loadFile(path);
    EXPECT_EQ(s.integer(S::SpinLOG0), 300);
    writeFile("Prodleva=3000\r\n[Tisk]\r\nVelikost=70\r\n");
    s.loadFile(path);
    EXPECT_EQ(s.integer(S::VelikostLOGA), 70);
}

TEST_F(SettingsFileTest, SaveKeepsForeignLinesAndStartsAMissingFile) {
    Settings s;
    s.loadFile(path);
    ASSERT_TRUE(s.saveFile());
    const IniFile written = IniFile::fromFile(path);
    EXPECT_EQ(written.lines().first(), QStringLiteral("[Po spusteni]"));
    EXPECT_EQ(written.lines()[1], QStringLiteral("Port=1"));
    EXPECT_EQ(written.value("Tisk", "Text6"), QStringLiteral("*Děkujeme Vám za vaši návštěvu."));
    EXPECT_EQ(written.value("HW", "MazatCas"), QStringLiteral("120"));
    EXPECT_EQ(written.value("ComPort1", "Port"), QStringLiteral("COM1"));
    EXPECT_FALSE(written.hasSection("Mixer")) << "no mixer: its keys are not written";
}

TEST_F(SettingsFileTest, LogoPathsAreWrittenAtOnce) {
    copyFixture();
    Settings s;
    s.loadFile(path);
    QSignalSpy spy(&s, &Settings::changed);
    EXPECT_TRUE(s.setAndStore(S::DiplomaPicture, QStringLiteral("/obr/pohar.jpg")));
    EXPECT_TRUE(s.setAndStore(S::PrintLogo, QString()));
    EXPECT_EQ(spy.count(), 2);
    const IniFile file = IniFile::fromFile(path);
    EXPECT_EQ(file.value("Tisk_Diplom", "Logo1"), QStringLiteral("/obr/pohar.jpg"));
    EXPECT_EQ(file.value("Tisk", "Logo"), QString());
    EXPECT_EQ(file.value("Tisk", "Velikost"), QStringLiteral("80"));
    EXPECT_EQ(file.value("Vlastni", "Cokoli"), QStringLiteral("zůstává beze změny"));
}

TEST_F(SettingsFileTest, UdpPortList) {
    copyFixture();
    Settings s;
    s.loadFile(path);
    QSignalSpy spy(&s, &Settings::udpPortsChanged);
    EXPECT_FALSE(s.addUdpPort(QStringLiteral("  "), QStringLiteral("nic")));
    EXPECT_EQ(spy.count(), 0);
    ASSERT_TRUE(s.addUdpPort(QStringLiteral("5002"), QStringLiteral("depo")));
    EXPECT_EQ(s.udpPorts().first(), (UdpPortEntry{"5002", "depo"}));
    IniFile file = IniFile::fromFile(path);
    EXPECT_EQ(file.value("UDP", "Polozek"), QStringLiteral("3"));
    EXPECT_EQ(file.value("UDP", "Port3"), QStringLiteral("5002"));
    EXPECT_EQ(file.value("UDP", "Popis3"), QStringLiteral("depo"));

    // Rows now: 5002, 5001, 5000. Deleting the second leaves two entries
    // numbered from the top row and no third one.
    ASSERT_TRUE(s.removeUdpPort(1));
    EXPECT_FALSE(s.removeUdpPort(5));
    file = IniFile::fromFile(path);
    EXPECT_EQ(file.value("UDP", "Polozek"), QStringLiteral("2"));
    EXPECT_EQ(file.value("UDP", "Port1"), QStringLiteral("5002"));
    EXPECT_EQ(file.value("UDP", "Popis1"), QStringLiteral("depo"));
    EXPECT_EQ(file.value("UDP", "Port2"), QStringLiteral("5000"));
    EXPECT_EQ(file.value("UDP", "Popis2"), QStringLiteral("cílová čára"));
    EXPECT_FALSE(file.hasKey("UDP", "Port3"));
    EXPECT_FALSE(file.hasKey("UDP", "Popis3"));
    EXPECT_EQ(spy.count(), 2);
}

TEST_F(SettingsFileTest, OperatorsStayNumberedInOrder) {
    writeFile("[Uzivatel]\r\nPolozek=2\r\n1=Jana\r\n2=Petr\r\n");
    Settings s;
    s.loadFile(path);
    ASSERT_TRUE(s.addOperator(QStringLiteral("Řehoř")));
    EXPECT_EQ(s.operators(), QStringList({"Jana", "Petr", QStringLiteral("Řehoř")}));
    ASSERT_TRUE(s.removeOperator(1));
    EXPECT_EQ(s.operators(), QStringList({"Jana", QStringLiteral("Řehoř")}));
    const IniFile file = IniFile::fromFile(path);
    EXPECT_EQ(file.value("Uzivatel", "Polozek"), QStringLiteral("2"));
    EXPECT_EQ(file.value("Uzivatel", "2"), QStringLiteral("Řehoř"));
    EXPECT_FALSE(file.hasKey("Uzivatel", "3"));
    EXPECT_FALSE(s.removeOperator(2));
    EXPECT_FALSE(s.addOperator(QString()));
}

TEST(SerialPortSettings, OddValuesKeepTheDefaultsAndCustomRatesNeedARate) {
    const auto s = SerialPortSettings::load(IniFile::fromText(
        "[comport1]\nport=/dev/ttyUSB0\nBaudRate=12345\nStopBits=1.5\nDataBits=9\n"
        "Parity=MARK\nFlowControl=hardware\n"));
    EXPECT_EQ(s.port, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(s.baudRate, QStringLiteral("9600"));
    EXPECT_EQ(s.stopBits, QStringLiteral("1.5"));
    EXPECT_EQ(s.dataBits, QStringLiteral("8"));
    EXPECT_EQ(s.parity, QStringLiteral("Mark"));
    EXPECT_EQ(s.flowControl, QStringLiteral("Hardware"));

    SerialPortSettings custom;
    custom.baudRate = QStringLiteral("Custom");
    custom.customBaudRate = 250000;
    IniFile ini;
    custom.store(ini);
    EXPECT_EQ(ini.value("ComPort1", "CustomBaudRate"), QStringLiteral("250000"));
    EXPECT_EQ(SerialPortSettings::load(ini), custom);
    ini.writeString("ComPort1", "CustomBaudRate", "x");
    EXPECT_EQ(SerialPortSettings::load(ini).baudRate, QStringLiteral("9600"));
}
