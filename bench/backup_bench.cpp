// The backup archive against gzip -6 on the same data: 8000 lap-time files of
// about 3 MB in all (named and written as the race saves them), and one 40 MB
// track file. For each level: the archive's size (counter "bytes"), create,
// verify and restore; gzip -6 and tar | gzip -6 with their sizes for comparison.

#include "backup/tbackupfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

using namespace vartemo;

namespace {

struct Data {
    QTemporaryDir dir;
    QString laps;  // folder of the lap files
    QString track; // the 40 MB file
    qint64 lapBytes = 0;
};

template <typename... Args>
QByteArray Printf(const char* format, Args... args) {
    char line[64];
    const int n = std::snprintf(line, sizeof line, format, args...);
    return QByteArray(line, qMin(n, int(sizeof line) - 1));
}

// A lap-time file as the race writes it: one "00:ss:mmm" line per lap, CR LF.
QByteArray Lap(QRandomGenerator& random, int laps) {
    const unsigned pace = 31 + random.bounded(14u);
    QByteArray text;
    for (int lap = 1; lap <= laps; ++lap)
        text += Printf("00:%02u:%03u\r\n", pace + random.bounded(6u), random.bounded(1000u));
    return text;
}

// Names as the automatic saving gives them: driver, "_", the race's stamp.
QString LapFileName(QRandomGenerator& random, int race, int kart) {
    static const char* const kDrivers[] = {"Petr", "Jan", "Tomáš", "Martin", "Lukáš", "Jakub", "Ondřej", "Pavel",
                                           "Josef", "Michal", "Eva", "Jana", "Marek", "Filip", "David", "Vojta"};
    const QDateTime start = QDateTime(QDate(2026, 4, 1), QTime(10, 0)).addSecs(qint64(race) * 1500);
    return QStringLiteral("%1%2_%3.caskola")
        .arg(QString::fromUtf8(kDrivers[random.bounded(16u)]), kart ? QString::number(kart) : QString(),
             start.toString(QStringLiteral("d_M_yyyy_HH_mm_ss")));
}

const Data& Fixture() {
    static Data* data = [] {
        auto* d = new Data;
        QRandomGenerator random(2026);
        d->laps = d->dir.filePath(QStringLiteral("vysledky"));
        QDir().mkpath(d->laps);
        for (int i = 0; i < 8000; ++i) {
            QFile f(d->laps + QLatin1Char('/') + LapFileName(random, i / 8, i % 8));
            f.open(QIODevice::WriteOnly);
            const QByteArray text = Lap(random, 28 + int(random.bounded(12u)));
            f.write(text);
            d->lapBytes += text.size();
        }
        d->track = d->dir.filePath(QStringLiteral("draha.casdraha"));
        QFile f(d->track);
        f.open(QIODevice::WriteOnly);
        QByteArray block;
        while (f.size() < 40'000'000) {
            block.clear();
            for (int i = 0; i < 4000; ++i)
                block += Printf("%u\t%u\t%02u:%02u:%03u\r\n", 1 + random.bounded(8u),
                                              random.bounded(3u), random.bounded(60u), random.bounded(60u),
                                              random.bounded(1000u));
            f.write(block);
        }
        return d;
    }();
    return *data;
}

const TCompressionLevel kLevels[] = {TCompressionLevel::clFastest, TCompressionLevel::clNone,
                                     TCompressionLevel::clDefault, TCompressionLevel::clMax};
const char* const kLevelNames[] = {"fastest", "none", "default", "max"};

QString Source(bool folder) {
    return folder ? Fixture().laps + QStringLiteral("/*.*") : Fixture().track;
}

QString ArchiveOf(bool folder, int level) {
    return Fixture().dir.filePath(QStringLiteral("%1_%2.bck").arg(folder ? "laps" : "track").arg(level));
}

void Create(benchmark::State& state, bool folder) {
    const int level = int(state.range(0));
    TBackupFile backup;
    backup.SetArchiveFlag = false;
    backup.CompressionLevel = kLevels[level];
    for (auto _ : state)
        if (!backup.BackupFiles({Source(folder)}, ArchiveOf(folder, level)))
            state.SkipWithError("backup failed");
    state.SetLabel(kLevelNames[level]);
    state.counters["bytes"] = double(QFileInfo(ArchiveOf(folder, level)).size());
    state.counters["ratio%"] = backup.CompressionRatio();
}

void Verify(benchmark::State& state, bool folder) {
    const int level = int(state.range(0));
    TBackupFile backup;
    for (auto _ : state)
        if (!backup.VerifyArchive(ArchiveOf(folder, level)))
            state.SkipWithError("verify failed");
    state.SetLabel(kLevelNames[level]);
    state.SetBytesProcessed(state.iterations() * (folder ? Fixture().lapBytes : QFileInfo(Fixture().track).size()));
}

void Restore(benchmark::State& state, bool folder) {
    const int level = int(state.range(0));
    TBackupFile backup;
    const QString target = Fixture().dir.filePath(QStringLiteral("restored"));
    for (auto _ : state) {
        state.PauseTiming();
        QDir(target).removeRecursively();
        state.ResumeTiming();
        if (!backup.RestoreArchive(ArchiveOf(folder, level), target))
            state.SkipWithError("restore failed");
    }
    state.SetLabel(kLevelNames[level]);
}

double ChildCpuMs() {
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// The CPU column counts this process only: the tools' own time is "child_cpu_ms".
void Shell(benchmark::State& state, const QString& command, const QString& output) {
    Fixture();
    const double before = ChildCpuMs();
    for (auto _ : state)
        if (std::system(command.toLocal8Bit().constData()) != 0)
            state.SkipWithError("command failed");
    state.counters["child_cpu_ms"] = (ChildCpuMs() - before) / double(state.iterations());
    if (!output.isEmpty())
        state.counters["bytes"] = double(QFileInfo(output).size());
}

void BM_CreateLapFolder(benchmark::State& s) { Create(s, true); }
void BM_VerifyLapFolder(benchmark::State& s) { Verify(s, true); }
void BM_RestoreLapFolder(benchmark::State& s) { Restore(s, true); }
void BM_CreateTrackFile(benchmark::State& s) { Create(s, false); }
void BM_VerifyTrackFile(benchmark::State& s) { Verify(s, false); }
void BM_RestoreTrackFile(benchmark::State& s) { Restore(s, false); }

QString InDir(const char* name) { return Fixture().dir.filePath(QLatin1String(name)); }

void BM_Gzip6TrackFile(benchmark::State& s) {
    Shell(s, QStringLiteral("gzip -6 -c '%1' > '%2'").arg(Fixture().track, InDir("track.gz")), InDir("track.gz"));
}
void BM_Gunzip6TrackFile(benchmark::State& s) {
    Shell(s, QStringLiteral("gzip -d -c '%1' > /dev/null").arg(InDir("track.gz")), {});
}
void BM_TarGzip6LapFolder(benchmark::State& s) {
    Shell(s, QStringLiteral("tar cf - -C '%1' vysledky | gzip -6 > '%2'").arg(Fixture().dir.path(), InDir("laps.tgz")),
          InDir("laps.tgz"));
}
void BM_TarGunzipLapFolder(benchmark::State& s) {
    Shell(s, QStringLiteral("rm -rf '%1' && mkdir '%1' && tar xzf '%2' -C '%1'").arg(InDir("untar"), InDir("laps.tgz")),
          {});
}

} // namespace

BENCHMARK(BM_CreateTrackFile)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Gzip6TrackFile)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_VerifyTrackFile)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Gunzip6TrackFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RestoreTrackFile)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_CreateLapFolder)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_TarGzip6LapFolder)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_VerifyLapFolder)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RestoreLapFolder)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_TarGunzipLapFolder)->Unit(benchmark::kMillisecond)->Iterations(2);
