#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>

namespace vartemo {

// What the computer tells about itself: the facts behind the system
// information text. A value that cannot be found is empty (or 0).
struct ProcessorFacts {
    QString name;       // "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz"
    QString vendor;     // "GenuineIntel"
    QString identifier; // "x86_64 Family 6 Model 142 Stepping 10"
    int mhz = 0;
};

enum class DriveType { Unknown, NoRoot, Removable, Fixed, Remote, CdRom, RamDisk };

struct DriveFacts {
    QString root;       // the mount point
    QString device;     // /dev/sda1, server:/share, ...
    bool floppy = false; // a floppy is listed but never touched
    DriveType type = DriveType::Unknown;
    QString fileSystem;
    quint64 totalBytes = 0;
    quint64 freeBytes = 0;
};

struct SystemFacts {
    QString productName;   // the distribution's name
    QString servicePack;   // the kernel's build text
    int majorVersion = 0;  // kernel version
    int minorVersion = 0;
    int buildNumber = 0;
    QStringList hotFixes;
    QString hostName;
    QString ipAddress;     // first IPv4 address of the host
    QString logonUser;
    QString registeredOwner;
    QString organisation;
    QString productId;
    std::optional<ProcessorFacts> processor; // nullopt: nothing known about it
    quint64 totalPhysical = 0;
    quint64 freePhysical = 0;
    quint64 totalVirtual = 0;
    quint64 freeVirtual = 0;
    QList<DriveFacts> drives;
};

class SystemInfoSource {
public:
    virtual ~SystemInfoSource() = default;
    virtual SystemFacts collect() const = 0;
};

// Gives back what it was handed: for tests.
class FixedSystemInfoSource final : public SystemInfoSource {
public:
    explicit FixedSystemInfoSource(SystemFacts facts) : facts_(std::move(facts)) {}
    SystemFacts collect() const override { return facts_; }

private:
    SystemFacts facts_;
};

// Reads Linux: /etc/os-release, uname, /proc/cpuinfo, /proc/meminfo,
// /proc/mounts with statvfs, the host name look-up and the user database.
// rootPrefix is put before every file path (tests point it at a fixture tree).
class LinuxSystemInfoSource final : public SystemInfoSource {
public:
    explicit LinuxSystemInfoSource(QString rootPrefix = QString());
    SystemFacts collect() const override;

private:
    QString prefix_;
};

// The drives of /proc/mounts with their sizes and types (removable ones
// told by /sys/block); rootPrefix as for LinuxSystemInfoSource.
QList<DriveFacts> LinuxDrives(const QString& rootPrefix = QString());

struct MountSize {
    quint64 totalBytes = 0;
    quint64 freeBytes = 0;
};

// The parsers behind LinuxSystemInfoSource.
namespace linuxinfo {
// Asks for a mount's size on a thread of its own (statvfs of a network share
// that does not answer waits without end) and waits at most time for the
// answer: nullopt when none came (the thread is left to its wait), an empty
// inner value when the mount could not be asked.
std::optional<std::optional<MountSize>> mountSizeWithin(std::function<std::optional<MountSize>()> ask,
                                                        std::chrono::milliseconds time);
QString osProductName(const QString& osRelease);
// "6.1.0-18-amd64" → 6, 1, 0
void kernelVersion(const QString& release, int* major, int* minor, int* build);
std::optional<ProcessorFacts> processor(const QString& cpuinfo, const QString& machine);
// Values of /proc/meminfo in bytes: total, free (available), total and free
// of memory plus swap, the space the system can commit.
void memory(const QString& meminfo, SystemFacts* facts);
// The mounts an operator thinks of as drives, in the order of the file:
// "/", devices, network shares, RAM disks; each mount point once.
QList<DriveFacts> drives(const QString& mounts);
} // namespace linuxinfo

} // namespace vartemo
