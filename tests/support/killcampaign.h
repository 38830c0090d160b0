#pragma once

// A writer of the station killed at random moments. A child process runs the
// station's own writing code in a loop, generation after generation, and
// tells the parent each generation it finished; the parent SIGKILLs it after
// a random delay and asks what the file holds. For a whole-file writer that
// must be the last finished generation or the one in progress, whole.

#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <poll.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace vartemo::killcampaign {

// Writes generation n of the file at path (the station's code).
using Writer = std::function<void(const QString& path, long n)>;
// True when the file at path holds generation n whole.
using Holds = std::function<bool(const QString& path, long n)>;

struct Outcome {
    int kills = 0;
    int old = 0;   // the last finished generation
    int fresh = 0; // the one in progress, whole
    int broken = 0;
    QString firstBroken; // what the first broken kill left
    QStringList strays;  // files beside the target after the campaign
};

inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Holds for a writer whose bytes depend on the generation alone: the file
// must be what the same writer puts into a file of its own.
inline Holds SameBytesAs(const Writer& write, const QString& scratchFolder) {
    return [write, scratchFolder](const QString& path, long n) {
        QDir(scratchFolder).removeRecursively();
        QDir().mkpath(scratchFolder);
        const QString reference = QDir(scratchFolder).filePath(QFileInfo(path).fileName());
        write(reference, n);
        return FileBytes(path) == FileBytes(reference);
    };
}

// The child: writes generation after generation from `first`, telling each.
[[noreturn]] inline void WriteUntilKilled(const Writer& write, const QString& path, long first, int report) {
    ::alarm(30); // never outlive a parent that failed to kill
    for (long n = first;; ++n) {
        write(path, n);
        if (::write(report, &n, sizeof n) != sizeof n)
            ::_exit(1);
    }
}

// The last generation the child reported before it died (`none` if none).
inline long LastReported(int report, long none) {
    long last = none;
    long n = 0;
    while (::read(report, &n, sizeof n) == sizeof n)
        last = n;
    return last;
}

// Writes generation 0, then kills `kills` children at random moments.
// Each child starts at the generation after the one the file holds.
inline Outcome Run(const QString& path, const Writer& write, const Holds& holds, int kills = 50,
                   unsigned seed = std::random_device{}()) {
    Outcome out;
    write(path, 0);
    // The kill comes once the child finished a generation, within about two
    // generations' time after that: in the middle of a write, or between two.
    QElapsedTimer timer;
    timer.start();
    write(path, 0);
    const long oneWriteUs = std::max<long>(20, timer.nsecsElapsed() / 1000);
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delayUs(0, 2 * oneWriteUs);
    long holding = 0;
    for (int k = 0; k < kills; ++k) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0)
            break;
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipeEnds[0]);
            WriteUntilKilled(write, path, holding + 1, pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        pollfd firstReport{pipeEnds[0], POLLIN, 0};
        ::poll(&firstReport, 1, 10'000);
        ::usleep(useconds_t(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const long last = LastReported(pipeEnds[0], holding);
        ::close(pipeEnds[0]);
        ++out.kills;
        if (holds(path, last)) {
            ++out.old;
            holding = last;
        } else if (holds(path, last + 1)) {
            ++out.fresh;
            holding = last + 1;
        } else {
            if (out.broken++ == 0)
                out.firstBroken = QStringLiteral("after generation %1: %2 bytes").arg(last).arg(FileBytes(path).size());
            write(path, last + 1); // whole again for the next kill
            holding = last + 1;
        }
    }
    const QFileInfo target(path);
    for (const QString& name : target.dir().entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
        if (name != target.fileName())
            out.strays << name;
    return out;
}

inline std::string Describe(const Outcome& o) {
    return QStringLiteral("%1 kills: %2 old whole, %3 new whole, %4 broken (%5); left beside it: %6")
        .arg(o.kills).arg(o.old).arg(o.fresh).arg(o.broken).arg(o.firstBroken, o.strays.join(u' '))
        .toStdString();
}

// The campaign on fileName in a folder of its own; the outcome is printed
// for the record. Without holds, the bytes of the same writer's file count.
inline Outcome RunInFolder(const QString& fileName, const Writer& write, const Holds& holds = {}) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("home"));
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(fileName);
    const Outcome outcome =
        Run(path, write, holds ? holds : SameBytesAs(write, dir.filePath(QStringLiteral("reference"))));
    std::cout << "[ kill     ] " << fileName.toStdString() << ": " << Describe(outcome) << std::endl;
    return outcome;
}

// 50 kills, each leaving the file whole.
inline void ExpectWholeAfterEveryKill(const QString& fileName, const Writer& write, const Holds& holds = {}) {
    const Outcome outcome = RunInFolder(fileName, write, holds);
    EXPECT_EQ(outcome.kills, 50);
    EXPECT_EQ(outcome.broken, 0) << Describe(outcome);
}

} // namespace vartemo::killcampaign
