#include "about/systeminfotext.h"
#include "about/versiontext.h"

#include <gtest/gtest.h>

using namespace vartemo;

namespace {

SystemFacts sampleFacts() {
    SystemFacts f;
    f.productName = "Debian GNU/Linux 12 (bookworm)";
    f.servicePack = "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1";
    f.majorVersion = 6;
    f.minorVersion = 1;
    f.buildNumber = 76;
    f.hotFixes = {"KB1", "KB2"};
    f.hostName = "draha";
    f.ipAddress = "192.168.1.20";
    f.logonUser = "obsluha";
    f.registeredOwner = "Jan Novák";
    f.organisation = "";
    f.productId = "abc123";
    f.processor = ProcessorFacts{"Intel(R) Core(TM) i5", "GenuineIntel", "x86_64 Family 6 Model 142 Stepping 10", 1800};
    f.totalPhysical = 8ull * 1024 * 1024 * 1024;
    f.freePhysical = 1536000ull * 1024;
    f.totalVirtual = 1023;  // under one kilobyte: the number part stays empty
    f.freeVirtual = 0;
    DriveFacts floppy;
    floppy.root = "/media/floppy";
    floppy.floppy = true;
    floppy.type = DriveType::Removable;
    DriveFacts root{"/", "/dev/sda1", false, DriveType::Fixed, "ext4", 250ull << 30, 123456ull << 20};
    DriveFacts share{"/mnt/vysledky", "server:/vysledky", false, DriveType::Remote, "nfs4", 1500ull << 30, 5ull << 20};
    f.drives = {floppy, root, share};
    return f;
}

} // namespace

TEST(SystemInfoText, EveryRowInItsPlace) {
    const QStringList expected{
        "Vartemo Kestral verze 2.3 sestavení 87",
        "Program instalován do: /home/obsluha/vartemo/",
        "",
        "Systém:\tDebian GNU/Linux 12 (bookworm)",
        "\t#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1",
        "\t6.1 (76)",
        "",
        "Opravné balíčky: KB1;KB2;",
        "",
        "Jméno počítače:\tdraha",
        "Vlastní IP adresa: \t192.168.1.20",
        "",
        "Přihlášený uživatel:\tobsluha",
        "Reg. uživatel:\tJan Novák",
        "Organizace:\t",
        "ID:\t\tabc123",
        "",
        "Procesor:",
        "Intel(R) Core(TM) i5",
        "        GenuineIntel",
        "        x86_64 Family 6 Model 142 Stepping 10",
        "        1800 MHz",
        "",
        "Fyzická pamět celkem:\t8 388 608 kB",
        "Fyzická volná pamět:\t1 536 000 kB",
        "Celková pamět systému:\t kB",
        "Volná celková pamět:\t kB",
        "",
        "Disk\t  Typ\tSystem\tVelikost\tVolné místo",
        "/media/floppy",
        "/\tLokální\text4\t250 GB\t123 456 MB",
        "/mnt/vysledky\tSíťový\tnfs4\t1 500 GB\t5 MB",
    };
    const VersionLabels version = VersionTextOf(2, 3, 87);
    const QStringList rows =
        BuildSystemInfo(version.caption, version.build, "/home/obsluha/vartemo", sampleFacts());
    EXPECT_EQ(rows, expected);
}

TEST(SystemInfoText, UnknownProcessorLeavesItsRowsEmpty) {
    SystemFacts f = sampleFacts();
    f.processor.reset();
    const QStringList rows = BuildSystemInfo("p", "b", "/x/", f);
    ASSERT_GT(rows.size(), 22);
    EXPECT_EQ(rows.mid(17, 5), (QStringList{"Procesor:", "", "        ", "        ", "        "}));
}

TEST(SystemInfoText, VersionFiveTwoMarksTheSystemAs64Bit) {
    SystemFacts f = sampleFacts();
    f.majorVersion = 5;
    f.minorVersion = 2;
    EXPECT_EQ(BuildSystemInfo("p", "b", "/x", f).at(3), "Systém:\tDebian GNU/Linux 12 (bookworm) x64");
    f.minorVersion = 1;
    EXPECT_EQ(BuildSystemInfo("p", "b", "/x", f).at(3), "Systém:\tDebian GNU/Linux 12 (bookworm)");
}

TEST(SystemInfoText, NumbersAreGroupedByThousands) {
    const std::pair<quint64, const char*> cases[] = {
        {0, ""}, {7, "7"}, {999, "999"}, {1000, "1 000"}, {123456, "123 456"}, {1234567, "1 234 567"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(GroupedNumber(value), QString::fromUtf8(text)) << value;
}

TEST(VersionText, CaptionAndBuildOfAVersion) {
    const VersionLabels v = VersionTextOf(2, 3, 87);
    EXPECT_EQ(v.caption, "Vartemo Kestral verze 2.3");
    EXPECT_EQ(v.build, "sestavení 87");
    // The infrared decoders find the main window by this exact title.
    EXPECT_EQ(LoadVersionText().caption, "Vartemo Kestral verze 2.3");
}
