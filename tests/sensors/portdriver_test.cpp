#include "fakeports.h"
#include "platform/portdriver.h"
#include "platform/ppdevportio.h"
#include "platform/simulatedport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;
using vartemo::testing::FakeRawPorts;

namespace {

// /proc/ioports of a PC: the legacy devices, a PCI window and, optionally,
// the parallel port's own entry.
QString Ioports(const QString& extra = {}) {
    return QStringLiteral("0000-0cf7 : PCI Bus 0000:00\n"
                          "  0000-001f : dma1\n"
                          "  0020-0021 : pic1\n"
                          "  0060-0060 : keyboard\n"
                          "  0070-0071 : rtc_cmos\n") +
           extra +
           QStringLiteral("0d00-ffff : PCI Bus 0000:00\n"
                          "  d000-dfff : PCI Bus 0000:05\n");
}

bool WroteTo(const FakeRawPorts& raw, quint16 base) {
    for (const auto& [address, value] : raw.writes)
        if (PortBaseOf(address) == base)
            return true;
    return false;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

} // namespace

// Whether direct I/O believes a port is at 0x378 decides whether an absent
// port's 0xFF is read as four active karts; and a probe must never write into
// another device's registers.
TEST(DirectPortIo, UsesOnlyPortsThatAreReallyThere) {
    struct Case {
        const char* what;
        QString ioports;
        bool portAnswers;
        bool allowed;
        bool present;
        bool mayWrite;
    };
    const Case cases[] = {
        {"listed by the kernel", Ioports(QStringLiteral("  0378-037a : parport0\n")), false, true,
         true, false},
        {"unlisted, answers the probe", Ioports(), true, true, true, true},
        {"unlisted, nothing there", Ioports(), false, true, false, true},
        {"another device's range", Ioports(QStringLiteral("  0376-037f : sound\n")), true, true,
         false, false},
        {"unbound PCI function", Ioports(QStringLiteral("  0378-037f : 0000:05:00.0\n")), true,
         true, true, true},
        {"no right to the ports", Ioports(QStringLiteral("  0378-037a : parport0\n")), true, false,
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeRawPorts raw;
        raw.allowed = c.allowed;
        if (c.portAnswers)
            raw.latches.insert(0x378);
        DirectPortIo io(raw, c.ioports);
        EXPECT_EQ(io.present(0x379), c.present);
        EXPECT_EQ(io.present(0x378), c.present); // the same port: decided once
        if (!c.mayWrite) {
            EXPECT_FALSE(WroteTo(raw, 0x378));
        }
        // Without a port, a read is 0 rather than the floating bus's 0xFF.
        raw.values[0x379] = 0x28;
        EXPECT_EQ(io.Inp32(0x379), c.present ? (c.portAnswers ? 0x28 : 0xFF) : 0);
    }
}

TEST(DirectPortIo, ProbeRestoresTheDataLinesAndStatusIsReadOnly) {
    FakeRawPorts raw;
    raw.latches.insert(0x278);
    raw.values[0x278] = 0x05; // lights already on
    DirectPortIo io(raw, Ioports());
    ASSERT_TRUE(io.present(0x278));
    EXPECT_EQ(raw.values[0x278], 0x05);
    raw.writes.clear();
    io.Out32(0x279, 0xFF);
    EXPECT_TRUE(raw.writes.empty());
    io.Out32(0x278, 0x1C3); // only the low byte reaches the lines
    EXPECT_EQ(io.Inp32(0x278), 0xC3);
    EXPECT_FALSE(io.present(0x27B)); // no fourth register
}

TEST(DirectPortIo, OpensOnlyWhenAPortIsFound) {
    FakeRawPorts nothing;
    EXPECT_EQ(DirectPortIo::open(nothing, Ioports()), nullptr);
    // A card at an unusual base that the kernel lists as a parallel port.
    FakeRawPorts card;
    card.latches.insert(0xD010);
    EXPECT_NE(DirectPortIo::open(card, Ioports(QStringLiteral("    d010-d012 : parport1\n"))),
              nullptr);
}

TEST(PpdevPortIo, FindsDevicesByTheirBaseAddress) {
    QTemporaryDir proc;
    ASSERT_TRUE(proc.isValid());
    const auto add = [&](const QString& name, const QByteArray& baseAddr) {
        QDir(proc.path()).mkpath(name);
        WriteFile(proc.path() + u'/' + name + QStringLiteral("/base-addr"), baseAddr);
    };
    add(QStringLiteral("parport0"), "888\t1912\n");
    add(QStringLiteral("parport1"), "53264\t-1\n");
    add(QStringLiteral("parport2"), "garbage\n");
    add(QStringLiteral("parport3"), "0\t0\n");
    QDir(proc.path()).mkpath(QStringLiteral("default"));

    const PpdevPortIo::Paths paths{proc.path(), QStringLiteral("/nodev")};
    const auto ports = PpdevPortIo::DiscoverPorts(paths);
    const std::map<quint16, QString> expected = {{0x378, QStringLiteral("/nodev/parport0")},
                                                 {0xD010, QStringLiteral("/nodev/parport1")}};
    EXPECT_EQ(ports, expected);

    // Listed but not openable: no backend, yet the machine has a port.
    bool seen = false;
    EXPECT_EQ(PpdevPortIo::open(paths, &seen), nullptr);
    EXPECT_TRUE(seen);
}

TEST(PpdevPortIo, AFileThatIsNoPortDeviceIsNotClaimed) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("proc/parport0"));
    WriteFile(dir.filePath(QStringLiteral("proc/parport0/base-addr")), "888\t1912\n");
    WriteFile(dir.filePath(QStringLiteral("parport0")), "x");
    bool seen = false;
    EXPECT_EQ(PpdevPortIo::open({dir.filePath(QStringLiteral("proc")), dir.path()}, &seen),
              nullptr);
    EXPECT_TRUE(seen);
}

struct DriverChoice : ::testing::Test {
    QTemporaryDir dir;
    FakeRawPorts raw;
    PortDriver::Options options;
    DriverChoice() {
        options.ppdev = {dir.filePath(QStringLiteral("proc")), dir.filePath(QStringLiteral("dev"))};
        options.ioportsPath = dir.filePath(QStringLiteral("ioports"));
        options.raw = &raw;
        WriteFile(options.ioportsPath, Ioports().toLatin1());
    }
};

TEST_F(DriverChoice, NoPortAtAllRecordsNothingAndReadsIdle) {
    PortDriver driver = PortDriver::Open(options);
    EXPECT_EQ(driver.backend, PortDriver::Backend::None);
    EXPECT_EQ(driver.statusLine, QString());
    EXPECT_FALSE(driver.io->present(0x379));
    driver.io->Out32(0x378, 0x55);
    EXPECT_EQ(driver.io->Inp32(0x378), 0);
}

TEST_F(DriverChoice, APortThatCannotBeOpenedIsAnError) {
    QDir(dir.path()).mkpath(QStringLiteral("proc/parport0"));
    WriteFile(dir.filePath(QStringLiteral("proc/parport0/base-addr")), "888\t1912\n");
    raw.allowed = false;
    const PortDriver driver = PortDriver::Open(options);
    EXPECT_EQ(driver.backend, PortDriver::Backend::None);
    EXPECT_EQ(driver.statusLine, QStringLiteral("Status\t100032\tError"));
    EXPECT_FALSE(driver.error.isEmpty());
}

TEST_F(DriverChoice, DirectIoWhenThePortAnswers) {
    raw.latches.insert(0x378);
    const PortDriver driver = PortDriver::Open(options);
    EXPECT_EQ(driver.backend, PortDriver::Backend::Direct);
    EXPECT_EQ(driver.statusLine, QStringLiteral("Status\t100032\tOK"));
}

TEST_F(DriverChoice, AnAskedForSimulatedPortWinsOverHardware) {
    raw.latches.insert(0x378);
    options.simulatedPortPath = dir.filePath(QStringLiteral("sim"));
    const PortDriver driver = PortDriver::Open(options);
    EXPECT_EQ(driver.backend, PortDriver::Backend::Simulated);
    EXPECT_EQ(driver.statusLine, QStringLiteral("Status\t100032\tOK"));
    EXPECT_TRUE(QFile::exists(options.simulatedPortPath));
}

TEST_F(DriverChoice, ASimulatedPortFileThatIsSomethingElseIsLeftAlone) {
    const QByteArray precious(64, 'z'); // the right size, not ours
    options.simulatedPortPath = dir.filePath(QStringLiteral("notes.txt"));
    WriteFile(options.simulatedPortPath, precious);
    const PortDriver driver = PortDriver::Open(options);
    EXPECT_EQ(driver.backend, PortDriver::Backend::None);
    EXPECT_EQ(driver.statusLine, QStringLiteral("Status\t100032\tError"));
    EXPECT_TRUE(driver.error.contains(QStringLiteral("not a simulated port file")));
    QFile f(options.simulatedPortPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), precious);

    options.simulatedPortPath = dir.path(); // a folder
    EXPECT_EQ(PortDriver::Open(options).backend, PortDriver::Backend::None);

    // A link to a file elsewhere: the file is neither mapped nor grown.
    const QString target = dir.filePath(QStringLiteral("empty"));
    WriteFile(target, {});
    options.simulatedPortPath = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(target, options.simulatedPortPath));
    EXPECT_EQ(PortDriver::Open(options).backend, PortDriver::Backend::None);
    EXPECT_EQ(QFileInfo(target).size(), 0);
}

// The station and the tool map the same file: what one side drives, the other sees.
TEST(SimulatedPort, TwoMappingsShareTheLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("port"));
    QString error;
    auto station = SimulatedPort::open(path, &error);
    auto tool = SimulatedPort::open(path, &error);
    ASSERT_TRUE(station && tool) << error.toStdString();

    EXPECT_EQ(station->Inp32(0x379), 0x00); // a new port: every line low
    tool->changeStatusBits(0x378, 0x08 | 0x80, true);
    tool->changeStatusBits(0x378, 0x20, true);
    tool->changeStatusBits(0x378, 0x08, false);
    EXPECT_EQ(station->Inp32(0x379), 0xA0);

    station->Out32(0x378, 0x45);
    station->Out32(0x379, 0xFF); // status lines are inputs: ignored
    station->Out32(0x27A, 0x0C); // a second port, its own slot
    EXPECT_EQ(tool->data(0x378), 0x45);
    EXPECT_EQ(tool->status(0x378), 0xA0);
    EXPECT_EQ(tool->Inp32(0x27A), 0x0C);
    EXPECT_EQ(tool->data(0x278), 0x00);
    EXPECT_EQ(tool->bases(), (std::vector<quint16>{0x378, 0x278}));

    // Reopened later, the lines are as they were left.
    station.reset();
    auto again = SimulatedPort::open(path, &error);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Inp32(0x378), 0x45);
}

TEST(SimulatedPort, AFullTableHasNoRoomForMorePorts) {
    QTemporaryDir dir;
    auto port = SimulatedPort::open(dir.filePath(QStringLiteral("port")));
    ASSERT_TRUE(port);
    for (int i = 0; i < SimulatedPort::kSlotCount; ++i)
        EXPECT_TRUE(port->present(quint16(0x100 + 4 * i)));
    EXPECT_FALSE(port->present(0x378));
    port->Out32(0x378, 0x11);
    EXPECT_EQ(port->Inp32(0x378), 0);
    EXPECT_FALSE(port->present(0x000)); // 0 is no base
    EXPECT_FALSE(port->present(0x103)); // no fourth register
}
