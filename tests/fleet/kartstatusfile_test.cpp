#include "config/inifile.h"
#include "core/textfile.h"
#include "fleet/hoursminutes.h"
#include "fleet/kartstatusfile.h"
#include "support/filebytes.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace vartemo;

namespace {


// The lines of a section the station wrote for a kart at its defaults.
QByteArray defaultSection(int kart) {
    return "[Motokara" + QByteArray::number(kart) + "]\r\n"
           "PocatecniStavHod=0\r\nPocatecniStavMin=0\r\nUkol1=0\r\nUkol2=0\r\nUkol3=0\r\nUkol4=0\r\n"
           "Doplneni=0\r\nHlaseni1=1\r\nHlaseni2=1\r\nHlaseni3=1\r\nHlaseni4=1\r\n"
           "UkolHodin1=0\r\nUkolMinut1=0\r\nUkolHodin2=0\r\nUkolMinut2=0\r\nUkolHodin3=0\r\nUkolMinut3=0\r\n"
           "UkolHodin4=0\r\nUkolMinut4=0\r\nPrumernaSpotreba=1\r\nObsahNadrze=1\r\nDoplneniPredem=1\r\n"
           "Najeto=0:0\r\nText1=\r\nText2=\r\nText3=\r\nText4=\r\n";
}

class StavFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("stav.ini"));
};

} // namespace

TEST_F(StavFile, MissingFileGivesDefaultsAndTheFirstSaveCreatesItInKeyOrder) {
    const KartStatusRecords karts = LoadKartStatus(path);
    for (const KartStatus& k : karts)
        EXPECT_EQ(k, KartStatus{});
    EXPECT_EQ(karts[0].driven, QStringLiteral("0:0"));
    EXPECT_EQ(karts[0].tasks[3].counter, 1);
    EXPECT_EQ(karts[0].consumption, 1);

    ASSERT_TRUE(SaveKartStatus(path, karts));
    QByteArray expected;
    for (int k = 1; k <= 8; ++k)
        expected += defaultSection(k);
    EXPECT_EQ(readBytes(path), expected);
}

// A file edited by hand in Windows-1250: Czech texts, keys in other letter
// cases, a comment and a key the station does not know.
TEST_F(StavFile, HandWrittenFileLoadsAndSavesToTheExpectedBytes) {
    const QByteArray kartOne = "; stav motok\xE1r\r\n"
                               "[motokara1]\r\n"
                               "PocatecniStavHod=120\r\n"
                               "pocatecnistavmin=30\r\n"
                               "UKOL1=1\r\n"
                               "Barva=modr\xE1\r\n"
                               "Hlaseni1=3\r\n"
                               "ukolhodin1=10\r\n"
                               "UkolMinut1=0\r\n"
                               "Najeto=12:5\r\n"
                               "Text1=V\xFDm\xECna oleje\r\n"
                               "text2=Kontrola \xF8" "et\xECzu\r\n";
    writeBytes(path, kartOne + "[Motokara3]\r\nPrumernaSpotreba=500\r\n");
    const KartStatusRecords karts = LoadKartStatus(path);
    const KartStatus& one = karts[0];
    EXPECT_EQ(one.initialHours, 120);
    EXPECT_EQ(one.initialMinutes, 30);
    EXPECT_TRUE(one.tasks[0].enabled);
    EXPECT_EQ(one.tasks[0].counter, 3);
    EXPECT_EQ(one.tasks[0].intervalHours, 10);
    EXPECT_EQ(one.driven, QStringLiteral("12:5"));
    EXPECT_EQ(one.tasks[0].text, QStringLiteral("Výměna oleje"));
    EXPECT_EQ(one.tasks[1].text, QStringLiteral("Kontrola řetězu"));
    EXPECT_EQ(karts[2].consumption, 100); // 500 clamped

    ASSERT_TRUE(SaveKartStatus(path, karts));
    // Known keys keep their place and spelling, the unknown one stays;
    QByteArray expected = kartOne +
                          // missing keys join the end of their section, in key order
                          "Ukol2=0\r\nUkol3=0\r\nUkol4=0\r\nDoplneni=0\r\nHlaseni2=1\r\nHlaseni3=1\r\n"
                          "Hlaseni4=1\r\nUkolHodin2=0\r\nUkolMinut2=0\r\nUkolHodin3=0\r\nUkolMinut3=0\r\n"
                          "UkolHodin4=0\r\nUkolMinut4=0\r\nPrumernaSpotreba=1\r\nObsahNadrze=1\r\n"
                          "DoplneniPredem=1\r\nText3=\r\nText4=\r\n"
                          "[Motokara3]\r\n"
                          "PrumernaSpotreba=100\r\n";
    // Kart 3's other keys follow its one line; missing sections go to the end.
    const QByteArray three = defaultSection(3);
    expected += three.mid(three.indexOf("PocatecniStavHod"), three.indexOf("PrumernaSpotreba") - three.indexOf("PocatecniStavHod"));
    expected += three.mid(three.indexOf("ObsahNadrze"));
    expected += defaultSection(2);
    for (int k = 4; k <= 8; ++k)
        expected += defaultSection(k);
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(LoadKartStatus(path), karts);
}

TEST_F(StavFile, LoadedNumbersAreClampedAndIntervalMinutesWrapped) {
    writeBytes(path, "[Motokara2]\r\n"
                     "PocatecniStavHod=-5\r\nPocatecniStavMin=75\r\n"
                     "PrumernaSpotreba=0\r\nObsahNadrze=5000\r\nDoplneniPredem=abc\r\n"
                     "UkolHodin1=2\r\nUkolMinut1=-1\r\n"   // -1 below 2:0 is 1:59
                     "UkolHodin2=0\r\nUkolMinut2=-7\r\n"   // clamped to -1, stays 0:0
                     "UkolHodin3=1\r\nUkolMinut3=99\r\n"   // 60: the next hour
                     "Hlaseni1=-4\r\nHlaseni2=0x10\r\nUkol2=7\r\nNajeto=abc\r\n");
    const KartStatus k = LoadKartStatus(path)[1];
    EXPECT_EQ(k.initialHours, 0);
    EXPECT_EQ(k.initialMinutes, 60); // carried by the refresh that follows the load
    EXPECT_EQ(k.consumption, 1);
    EXPECT_EQ(k.tank, 999);
    EXPECT_EQ(k.refuelMargin, 1);
    EXPECT_EQ(std::pair(k.tasks[0].intervalHours, k.tasks[0].intervalMinutes), std::pair(1, 59));
    EXPECT_EQ(std::pair(k.tasks[1].intervalHours, k.tasks[1].intervalMinutes), std::pair(0, 0));
    EXPECT_EQ(std::pair(k.tasks[2].intervalHours, k.tasks[2].intervalMinutes), std::pair(2, 0));
    EXPECT_EQ(k.tasks[0].counter, -4); // counters as they stand
    EXPECT_EQ(k.tasks[1].counter, 16);
    EXPECT_TRUE(k.tasks[1].enabled);
    EXPECT_EQ(k.driven, QStringLiteral("abc")); // kept, to be shown and repaired
}

TEST_F(StavFile, RandomBytesAndAHugeDrivenTextNeverCrash) {
    QRandomGenerator random(1402);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random.bounded(4000)), Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random.bounded(256));
        if (round % 2)
            bytes.prepend("[Motokara1]\r\nNajeto=");
        writeBytes(path, bytes);
        const KartStatusRecords karts = LoadKartStatus(path);
        for (const KartStatus& k : karts) {
            EXPECT_GE(k.initialHours, 0);
            EXPECT_GE(k.consumption, 1);
            EXPECT_LE(k.consumption, 100);
            TryParseHoursMinutes(k.driven);
        }
        // Saving back keeps what was read (a save costs a disk sync: not every round).
        if (round % 20 == 0) {
            ASSERT_TRUE(SaveKartStatus(path, karts));
            EXPECT_EQ(LoadKartStatus(path), karts);
        }
    }
    writeBytes(path, "[Motokara1]\r\nNajeto=" + QByteArray(100000, '7') + "\r\n");
    const KartStatusRecords karts = LoadKartStatus(path);
    EXPECT_EQ(karts[0].driven.size(), IniFile::kMaxValueLength);
    EXPECT_FALSE(TryParseHoursMinutes(karts[0].driven));
    EXPECT_TRUE(SaveKartStatus(path, karts));
}

TEST_F(StavFile, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas) {
    // A directory in the file's place fails for root too.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("stav.ini")));
    QString error;
    EXPECT_FALSE(SaveKartStatus(path, KartStatusRecords{}, &error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// A save is one whole file or none: a process saving in a loop is killed at
// random moments and the file it leaves is read back each time.
TEST_F(StavFile, AKilledSaveLeavesOneWholeSave) {
    QRandomGenerator random(614);
    for (int round = 0; round < 50; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            KartStatusRecords karts{};
            for (int i = 1;; ++i) {
                for (KartStatus& k : karts) {
                    k.driven = FormatHoursMinutes(i);
                    k.initialHours = i % 1000;
                    k.tasks[3].text = QStringLiteral("úkol %1").arg(i);
                }
                SaveKartStatus(path, karts);
            }
        }
        usleep(useconds_t(1000 + random.bounded(15000)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        if (!QFile::exists(path))
            continue; // killed before its first save
        const IniFile ini = IniFile::fromFile(path);
        const KartStatusRecords karts = LoadKartStatus(path);
        const int save = int(ParseHoursMinutes(karts[0].driven));
        for (int k = 1; k <= 8; ++k) {
            EXPECT_TRUE(ini.hasKey(KartSection(k), QStringLiteral("Text4"))) << round;
            EXPECT_EQ(karts[size_t(k - 1)].driven, FormatHoursMinutes(save)) << round;
            EXPECT_EQ(karts[size_t(k - 1)].initialHours, save % 1000) << round;
            EXPECT_EQ(karts[size_t(k - 1)].tasks[3].text, QStringLiteral("úkol %1").arg(save)) << round;
        }
        ASSERT_TRUE(QFile::remove(path));
    }
}
