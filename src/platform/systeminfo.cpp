#include "platform/systeminfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <tuple>

#include <arpa/inet.h>
#include <netdb.h>
#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace vartemo {

namespace {

// /proc and /etc files are small; a cap keeps a strange one from filling memory.
QString readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(1024 * 1024));
}

// "KEY=value" or KEY="value"
QString osReleaseValue(const QString& text, const QString& key) {
    for (const QString& line : text.split(u'\n')) {
        if (!line.startsWith(key + u'='))
            continue;
        QString value = line.mid(key.size() + 1).trimmed();
        if (value.size() >= 2 && (value.startsWith(u'"') || value.startsWith(u'\'')) && value.endsWith(value[0]))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

// "key : value" of the first block of /proc/cpuinfo
QString cpuinfoValue(const QString& text, const QString& key) {
    for (const QString& line : text.split(u'\n')) {
        if (line.trimmed().isEmpty())
            break;
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 && line.left(colon).trimmed() == key)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

// Octal escapes of /proc/mounts ("\040" for a blank).
QString unescapeMountField(const QString& field) {
    QString out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == u'\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += QChar(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool isNetworkFileSystem(const QString& fs) {
    static const QSet<QString> network{"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs", "9p", "ceph"};
    return network.contains(fs);
}

DriveType driveType(const QString& device, const QString& fs) {
    if (isNetworkFileSystem(fs))
        return DriveType::Remote;
    if (fs == u"tmpfs" || fs == u"ramfs")
        return DriveType::RamDisk;
    if (fs == u"iso9660" || fs == u"udf" || device.startsWith(u"/dev/sr"))
        return DriveType::CdRom;
    if (device.startsWith(u"/dev/"))
        return DriveType::Fixed; // refined by the removable flag of the block device
    return DriveType::Unknown;
}

QString blockDeviceName(const QString& device) {
    // /dev/sdb1 → sdb, /dev/nvme0n1p2 → nvme0n1, /dev/mmcblk0p1 → mmcblk0
    QString name = QFileInfo(device).fileName();
    static const QRegularExpression partition(QStringLiteral("^(.*\\d)p\\d+$|^([a-z]+)\\d+$"));
    const auto m = partition.match(name);
    if (m.hasMatch())
        name = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    return name;
}

constexpr int kHostLookUpWaitMs = 2000;

// The host's official name and its first IPv4 address; both empty when the
// look-up fails.
std::pair<QString, QString> lookUpLocalHost() {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0)
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* result = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &result) != 0 || !result)
        return {};
    std::pair<QString, QString> facts;
    facts.first = QString::fromLocal8Bit(result->ai_canonname ? result->ai_canonname : host);
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(result->ai_addr);
    if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text))
        facts.second = QString::fromLatin1(text);
    freeaddrinfo(result);
    return facts;
}

} // namespace

namespace linuxinfo {

QString osProductName(const QString& osRelease) {
    QString name = osReleaseValue(osRelease, QStringLiteral("PRETTY_NAME"));
    return name.isEmpty() ? osReleaseValue(osRelease, QStringLiteral("NAME")) : name;
}

void kernelVersion(const QString& release, int* major, int* minor, int* build) {
    static const QRegularExpression re(QStringLiteral("^(\\d+)\\.(\\d+)(?:\\.(\\d+))?"));
    const auto m = re.match(release);
    *major = m.hasMatch() ? m.captured(1).toInt() : 0;
    *minor = m.hasMatch() ? m.captured(2).toInt() : 0;
    *build = m.hasMatch() ? m.captured(3).toInt() : 0;
}

std::optional<ProcessorFacts> processor(const QString& cpuinfo, const QString& machine) {
    if (cpuinfo.trimmed().isEmpty())
        return std::nullopt;
    ProcessorFacts p;
    p.name = cpuinfoValue(cpuinfo, QStringLiteral("model name"));
    p.vendor = cpuinfoValue(cpuinfo, QStringLiteral("vendor_id"));
    const QString family = cpuinfoValue(cpuinfo, QStringLiteral("cpu family"));
    if (!family.isEmpty())
        p.identifier = QStringLiteral("%1 Family %2 Model %3 Stepping %4")
                           .arg(machine, family, cpuinfoValue(cpuinfo, QStringLiteral("model")),
                                cpuinfoValue(cpuinfo, QStringLiteral("stepping")));
    p.mhz = int(cpuinfoValue(cpuinfo, QStringLiteral("cpu MHz")).toDouble());
    return p;
}

void memory(const QString& meminfo, SystemFacts* facts) {
    quint64 total = 0, available = 0, swapTotal = 0, swapFree = 0;
    for (const QString& line : meminfo.split(u'\n')) {
        const QStringList f = line.simplified().split(u' ');
        if (f.size() < 2)
            continue;
        const quint64 bytes = f[1].toULongLong() * (f.size() > 2 && f[2] == u"kB" ? 1024 : 1);
        if (f[0] == u"MemTotal:")
            total = bytes;
        else if (f[0] == u"MemAvailable:")
            available = bytes;
        else if (f[0] == u"SwapTotal:")
            swapTotal = bytes;
        else if (f[0] == u"SwapFree:")
            swapFree = bytes;
    }
    facts->totalPhysical = total;
    facts->freePhysical = available;
    facts->totalVirtual = total + swapTotal;
    facts->freeVirtual = available + swapFree;
}

QList<DriveFacts> drives(const QString& mounts) {
    QList<DriveFacts> out;
    QSet<QString> seen;
    for (const QString& line : mounts.split(u'\n')) {
        const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
        if (f.size() < 3)
            continue;
        const QString device = unescapeMountField(f[0]);
        const QString root = unescapeMountField(f[1]);
        const QString& fs = f[2];
        const bool wanted = root == u"/" || (device.startsWith(u"/dev/") && !device.startsWith(u"/dev/loop"))
                            || isNetworkFileSystem(fs) || (fs == u"tmpfs" && root == u"/tmp");
        if (!wanted || seen.contains(root))
            continue;
        seen.insert(root);
        DriveFacts d;
        d.root = root;
        d.device = device;
        d.floppy = device.startsWith(u"/dev/fd");
        d.type = driveType(device, fs);
        d.fileSystem = fs;
        out.append(d);
    }
    return out;
}

} // namespace linuxinfo

namespace {
// A mount that has not answered in this time is taken as silent.
constexpr std::chrono::milliseconds kMountAnswerTime{1000};
} // namespace

std::optional<std::optional<MountSize>> linuxinfo::mountSizeWithin(std::function<std::optional<MountSize>()> ask,
                                                                   std::chrono::milliseconds time) {
    auto answer = std::make_shared<std::promise<std::optional<MountSize>>>();
    std::future<std::optional<MountSize>> result = answer->get_future();
    std::thread([answer, ask = std::move(ask)] { answer->set_value(ask()); }).detach();
    if (result.wait_for(time) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}

QList<DriveFacts> LinuxDrives(const QString& prefix) {
    QList<DriveFacts> drives = linuxinfo::drives(readSmallFile(prefix + QStringLiteral("/proc/mounts")));
    for (DriveFacts& d : drives) {
        if (d.floppy)
            continue;
        const auto size = linuxinfo::mountSizeWithin(
            [path = QFile::encodeName(d.root)]() -> std::optional<MountSize> {
                struct statvfs vfs {};
                if (statvfs(path.constData(), &vfs) != 0)
                    return std::nullopt;
                return MountSize{quint64(vfs.f_blocks) * vfs.f_frsize, quint64(vfs.f_bavail) * vfs.f_frsize};
            },
            kMountAnswerTime);
        if (!size) {
            // A share that does not answer keeps its row with empty sizes.
        } else if (*size) {
            d.totalBytes = (*size)->totalBytes;
            d.freeBytes = (*size)->freeBytes;
        } else {
            d.type = DriveType::NoRoot;
        }
        if (d.type == DriveType::Fixed) {
            const QString flag = readSmallFile(prefix + QStringLiteral("/sys/block/%1/removable")
                                                             .arg(blockDeviceName(d.device)));
            if (flag.trimmed() == u"1")
                d.type = DriveType::Removable;
        }
    }
    return drives;
}

LinuxSystemInfoSource::LinuxSystemInfoSource(QString rootPrefix) : prefix_(std::move(rootPrefix)) {}

SystemFacts LinuxSystemInfoSource::collect() const {
    SystemFacts facts;
    QString osRelease = readSmallFile(prefix_ + QStringLiteral("/etc/os-release"));
    if (osRelease.isEmpty())
        osRelease = readSmallFile(prefix_ + QStringLiteral("/usr/lib/os-release"));
    facts.productName = linuxinfo::osProductName(osRelease);

    struct utsname uts {};
    QString machine;
    if (uname(&uts) == 0) {
        facts.servicePack = QString::fromLocal8Bit(uts.version);
        linuxinfo::kernelVersion(QString::fromLocal8Bit(uts.release), &facts.majorVersion, &facts.minorVersion,
                                 &facts.buildNumber);
        machine = QString::fromLocal8Bit(uts.machine);
    }

    // A look-up that waits on an unreachable name server must not hold up
    // the start: after the wait the two values stay empty.
    auto lookUp = std::make_shared<std::promise<std::pair<QString, QString>>>();
    std::future<std::pair<QString, QString>> host = lookUp->get_future();
    std::thread([lookUp] { lookUp->set_value(lookUpLocalHost()); }).detach();
    if (host.wait_for(std::chrono::milliseconds(kHostLookUpWaitMs)) == std::future_status::ready)
        std::tie(facts.hostName, facts.ipAddress) = host.get();

    if (const passwd* pw = getpwuid(getuid())) {
        facts.logonUser = QString::fromLocal8Bit(pw->pw_name);
        // The full name is the first field of the GECOS entry.
        facts.registeredOwner = QString::fromLocal8Bit(pw->pw_gecos ? pw->pw_gecos : "").section(u',', 0, 0);
    }
    facts.productId = readSmallFile(prefix_ + QStringLiteral("/etc/machine-id")).trimmed();

    facts.processor = linuxinfo::processor(readSmallFile(prefix_ + QStringLiteral("/proc/cpuinfo")), machine);
    linuxinfo::memory(readSmallFile(prefix_ + QStringLiteral("/proc/meminfo")), &facts);

    facts.drives = LinuxDrives(prefix_);
    return facts;
}

} // namespace vartemo
