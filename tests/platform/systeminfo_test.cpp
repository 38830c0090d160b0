#include "platform/systeminfo.h"

#include <gtest/gtest.h>

#include <future>

using namespace vartemo;
using namespace vartemo::linuxinfo;

TEST(LinuxSystemInfo, DistributionName) {
    EXPECT_EQ(osProductName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(osProductName("ID=x\nNAME='Mini'\n"), "Mini");
    EXPECT_EQ(osProductName(""), "");
}

TEST(LinuxSystemInfo, KernelVersion) {
    struct Case {
        const char* release;
        int major, minor, build;
    };
    const Case cases[] = {{"6.1.0-18-amd64", 6, 1, 0}, {"5.15.133.1-microsoft", 5, 15, 133}, {"6.8", 6, 8, 0}, {"", 0, 0, 0}};
    for (const Case& c : cases) {
        int major = -1, minor = -1, build = -1;
        kernelVersion(c.release, &major, &minor, &build);
        EXPECT_EQ(std::tie(major, minor, build), std::tie(c.major, c.minor, c.build)) << c.release;
    }
}

TEST(LinuxSystemInfo, ProcessorFromTheFirstBlock) {
    const QString cpuinfo = "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 142\n"
                            "model name\t: Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz\nstepping\t: 10\n"
                            "cpu MHz\t\t: 1799.998\n\nprocessor\t: 1\nvendor_id\t: Other\n";
    const auto p = processor(cpuinfo, "x86_64");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz");
    EXPECT_EQ(p->vendor, "GenuineIntel");
    EXPECT_EQ(p->identifier, "x86_64 Family 6 Model 142 Stepping 10");
    EXPECT_EQ(p->mhz, 1799);
    EXPECT_FALSE(processor("", "x86_64"));
}

TEST(LinuxSystemInfo, MemoryInBytes) {
    SystemFacts f;
    memory("MemTotal:        8000 kB\nMemFree:  100 kB\nMemAvailable:    3000 kB\nSwapTotal: 2000 kB\nSwapFree: 500 kB\n", &f);
    EXPECT_EQ(f.totalPhysical, 8000u * 1024);
    EXPECT_EQ(f.freePhysical, 3000u * 1024);
    EXPECT_EQ(f.totalVirtual, 10000u * 1024);
    EXPECT_EQ(f.freeVirtual, 3500u * 1024);
}

TEST(LinuxSystemInfo, DrivesAreTheMountsAnOperatorKnows) {
    const QString mounts = "overlay / overlay rw 0 0\n"
                           "proc /proc proc rw 0 0\n"
                           "/dev/sda1 /boot ext4 rw 0 0\n"
                           "/dev/loop3 /snap/core squashfs ro 0 0\n"
                           "tmpfs /run tmpfs rw 0 0\n"
                           "tmpfs /tmp tmpfs rw 0 0\n"
                           "/dev/fd0 /media/floppy vfat rw 0 0\n"
                           "/dev/sr0 /media/cdrom iso9660 ro 0 0\n"
                           "server:/vysledky /mnt/moje\\040data nfs4 rw 0 0\n"
                           "/dev/sda1 /boot ext4 rw 0 0\n";
    const QList<DriveFacts> d = drives(mounts);
    ASSERT_EQ(d.size(), 6);
    const std::tuple<const char*, DriveType, bool> expected[] = {
        {"/", DriveType::Unknown, false},       {"/boot", DriveType::Fixed, false},
        {"/tmp", DriveType::RamDisk, false},    {"/media/floppy", DriveType::Fixed, true},
        {"/media/cdrom", DriveType::CdRom, false}, {"/mnt/moje data", DriveType::Remote, false}};
    for (int i = 0; i < d.size(); ++i) {
        EXPECT_EQ(d[i].root, std::get<0>(expected[i]));
        EXPECT_EQ(d[i].type, std::get<1>(expected[i])) << i;
        EXPECT_EQ(d[i].floppy, std::get<2>(expected[i])) << i;
    }
}

TEST(LinuxSystemInfo, ThisComputerGivesItsFacts) {
    const SystemFacts f = LinuxSystemInfoSource().collect();
    EXPECT_FALSE(f.logonUser.isEmpty());
    EXPECT_GT(f.totalPhysical, 0u);
    ASSERT_FALSE(f.drives.isEmpty());
    EXPECT_EQ(f.drives.first().root, "/");
    EXPECT_GT(f.drives.first().totalBytes, 0u);
}

TEST(LinuxSystemInfo, AMountSilentPastItsTimeGetsNoSize) {
    // The silent mount answers only when the test lets it, long after the wait.
    auto gate = std::make_shared<std::promise<void>>();
    std::shared_future<void> opened = gate->get_future().share();
    const auto silent = mountSizeWithin(
        [opened]() -> std::optional<MountSize> {
            opened.wait();
            return MountSize{1, 1};
        },
        std::chrono::milliseconds(50));
    EXPECT_EQ(silent, std::nullopt);
    gate->set_value();

    const auto answered = mountSizeWithin([] { return std::optional(MountSize{1 << 30, 1 << 20}); },
                                          std::chrono::seconds(5));
    ASSERT_TRUE(answered && *answered);
    EXPECT_EQ((*answered)->totalBytes, quint64(1) << 30);
    const auto failed = mountSizeWithin([] { return std::optional<MountSize>(); }, std::chrono::seconds(5));
    ASSERT_TRUE(failed);
    EXPECT_FALSE(*failed) << "a mount that could not be asked";
}
