// vartemo-backup: the station's backup archive from the command line, for a
// nightly backup by a timer and for checking or restoring an archive by hand.
// The archive component's own messages go to stderr, the texts the backup
// window would show to stdout.

#include "backup/archivecontents.h"
#include "backup/archiveflags.h"
#include "backup/backupselection.h"
#include "backup/tbackupfile.h"
#include "core/czechplural.h"
#include "core/programfolder.h"
#include "app/singleinstance.h"
#include "runningstation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

using namespace vartemo;

namespace {

constexpr int kFailure = 1;
constexpr int kBadUsage = 2;
constexpr int kSkipped = 3;
// How often a waiting backup asks the station again.
constexpr int kRideQuestionIntervalMs = 5000;

int Usage(const QString& message) {
    std::fprintf(stderr, "vartemo-backup: %s\n(see vartemo-backup --help)\n", qPrintable(message));
    return kBadUsage;
}

void Say(const QString& text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

TBackupFile::Hooks PrintingHooks() {
    return {
        .showError = [](const QString& m) { std::fprintf(stderr, "vartemo-backup: %s\n", qPrintable(m)); },
        // The parts lie beside the first one: nothing to insert, nobody to
        // ask. Writing creates them there (no needDiskToWrite).
        .needDiskToRead = [](int disk, const QString& partPath) {
            if (QFileInfo::exists(partPath))
                return true;
            std::fprintf(stderr, "vartemo-backup: part %d of the archive is missing: %s\n", disk,
                         qPrintable(partPath));
            return false;
        },
        .needDiskToWrite = {},
        .progress = {},
    };
}

bool Overlaps(const QString& a, const QString& b) {
    const auto inside = [](const QString& p, const QString& folder) {
        return p == folder || p.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
    };
    return inside(a, b) || inside(b, a);
}

// False when a ride is still being timed after waiting up to seconds.
bool WaitForRideEnd(int seconds) {
    const QDeadlineTimer deadline{std::chrono::seconds(seconds)};
    while (SingleInstance::askRideBeingTimed(SingleInstance::runtimeFolder())) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(quint64(std::min<qint64>(kRideQuestionIntervalMs, deadline.remainingTime())));
    }
    return true;
}

// The nightly archives are named by their day, so the newest sort last.
const QRegularExpression kNightlyName(QStringLiteral("^vartemo-\\d{4}-\\d{2}-\\d{2}\\.bck$"));

QString NightlyArchive(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("vartemo-%1.bck").arg(QDate::currentDate().toString(Qt::ISODate)));
}

// The nightly archives of folder older than its newest kept ones; other files are never touched.
QStringList NightlyArchivesBeyond(const QString& folder, int kept) {
    const QDir dir(folder);
    QStringList names = dir.entryList(QDir::Files, QDir::Name | QDir::Reversed).filter(kNightlyName);
    QStringList old;
    for (qsizetype i = kept; i < names.size(); ++i)
        old << dir.filePath(names[i]);
    return old;
}

QString RealPath(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vartemo-backup"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Backs up and restores the timing station's data files (.bck archives).\n"
        "\n"
        "Commands:\n"
        "  create ARCHIVE [MASK...]   back up MASKs (default: vartemo.ini, stav.ini,\n"
        "                             TopDeset.ini, TopDeset1.ini, vysledky/*.* of the\n"
        "                             program folder); the old archive is replaced only\n"
        "                             when the new one is complete\n"
        "  nightly FOLDER             create FOLDER/vartemo-YYYY-MM-DD.bck, then keep\n"
        "                             only the --keep newest such archives there\n"
        "  list ARCHIVE               title, summary and stored files\n"
        "  verify ARCHIVE             decode every block of every part, write nothing\n"
        "  restore ARCHIVE            every file back to its stored place, or --into DIR\n"
        "\n"
        "While the station running for this user times a ride, create and nightly\n"
        "wait up to --wait seconds for its end and then back up nothing (exit 3).\n"
        "\n"
        "Exit status: 0 done, 1 failed, 2 bad usage, 3 skipped: a ride is being timed."));
    parser.addHelpOption();
    const QCommandLineOption home(QStringLiteral("home"), QStringLiteral("The station's program folder."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption title(QStringLiteral("title"), QStringLiteral("Archive title (default \"záloha vartemo\")."),
                                   QStringLiteral("TEXT"), QStringLiteral("záloha vartemo"));
    const QCommandLineOption level(QStringLiteral("level"), QStringLiteral("fastest, none, default or max (default)."),
                                   QStringLiteral("LEVEL"), QStringLiteral("max"));
    const QCommandLineOption incremental(QStringLiteral("incremental"),
                                         QStringLiteral("Only files changed since the last completed backup."));
    const QCommandLineOption noFileId(QStringLiteral("no-file-id"), QStringLiteral("Store no list of file identities."));
    const QCommandLineOption partSize(QStringLiteral("part-size"),
                                      QStringLiteral("Write parts of at most about BYTES (ARCHIVE.002, ...)."),
                                      QStringLiteral("BYTES"));
    const QCommandLineOption into(QStringLiteral("into"), QStringLiteral("Restore into DIR instead."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption fullPath(QStringLiteral("full-path"),
                                      QStringLiteral("With --into: keep the stored folders below DIR."));
    const QCommandLineOption mode(QStringLiteral("mode"),
                                  QStringLiteral("all (default), no-overwrite, newer, existing or existing-newer."),
                                  QStringLiteral("MODE"), QStringLiteral("all"));
    const QCommandLineOption force(
        QStringLiteral("force"),
        QStringLiteral("Restore even into the folder of a running station; back up even while it times a ride."));
    const QCommandLineOption wait(QStringLiteral("wait"),
                                  QStringLiteral("Wait up to SECONDS for the end of a ride being timed (default 0)."),
                                  QStringLiteral("SECONDS"), QStringLiteral("0"));
    const QCommandLineOption keep(QStringLiteral("keep"),
                                  QStringLiteral("nightly: archives to keep in FOLDER, this one included (default 14)."),
                                  QStringLiteral("N"), QStringLiteral("14"));
    for (const auto& option : {home, title, level, incremental, noFileId, partSize, into, fullPath, mode, force, wait, keep})
        parser.addOption(option);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("create, nightly, list, verify or restore"));
    parser.addPositionalArgument(QStringLiteral("archive"), QStringLiteral("the .bck file (nightly: the folder)"));
    if (!parser.parse(app.arguments()))
        return Usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    const QStringList args = parser.positionalArguments();
    if (args.size() < 2)
        return Usage(QStringLiteral("a command and an archive are needed"));
    const QString command = args[0];
    const bool nightly = command == QStringLiteral("nightly");
    const QString archive = nightly ? NightlyArchive(args[1]) : args[1];
    const ProgramFolder folder(ProgramFolder::resolve(parser.value(home)));

    TBackupFile backup(PrintingHooks());
    if (command == QStringLiteral("create") || nightly) {
        const std::map<QString, TCompressionLevel> levels{{QStringLiteral("fastest"), TCompressionLevel::clFastest},
                                                          {QStringLiteral("none"), TCompressionLevel::clNone},
                                                          {QStringLiteral("default"), TCompressionLevel::clDefault},
                                                          {QStringLiteral("max"), TCompressionLevel::clMax}};
        const auto chosen = levels.find(parser.value(level));
        if (chosen == levels.end())
            return Usage(QStringLiteral("unknown level %1").arg(parser.value(level)));
        bool sizeOk = true;
        const qint64 parts = parser.isSet(partSize) ? parser.value(partSize).toLongLong(&sizeOk) : 0;
        if (!sizeOk || parts < 0)
            return Usage(QStringLiteral("--part-size wants a number of bytes"));
        bool waitOk = false;
        const int waitSeconds = parser.value(wait).toInt(&waitOk);
        if (!waitOk || waitSeconds < 0)
            return Usage(QStringLiteral("--wait wants a number of seconds"));
        bool keepOk = false;
        const int kept = parser.value(keep).toInt(&keepOk);
        if (!keepOk || kept < 1)
            return Usage(QStringLiteral("--keep wants a number of archives, at least 1"));
        if (nightly && args.size() > 2)
            return Usage(QStringLiteral("nightly takes one folder"));
        if (nightly && !QDir().mkpath(args[1])) {
            std::fprintf(stderr, "vartemo-backup: cannot make the folder %s\n", qPrintable(args[1]));
            return kFailure;
        }
        if (!parser.isSet(force) && !WaitForRideEnd(waitSeconds)) {
            Say(QStringLiteral("vartemo-backup: a ride is being timed; nothing backed up"));
            return kSkipped;
        }
        backup.BackupTitle = parser.value(title);
        backup.CompressionLevel = chosen->second;
        backup.SaveFileID = !parser.isSet(noFileId);
        backup.MaxSize = parts;
        backup.ArchiveFlagFile = folder.path(QString::fromLatin1(ArchiveFlags::kFileName));
        backup.setBackupMode(parser.isSet(incremental) ? TBackupMode::bmIncremental : TBackupMode::bmAll);
        const QStringList masks = args.size() > 2 ? args.mid(2) : BackupMasks(folder.root());
        if (!backup.BackupFiles(masks, archive)) {
            Say(QStringLiteral("Nastala chyba vytvoření záložního souboru!"));
            return kFailure;
        }
        Say(QStringLiteral("Záloha kompletní. Poměr komprese %1 %").arg(backup.CompressionRatio()));
        if (nightly)
            for (const QString& old : NightlyArchivesBeyond(args[1], kept)) {
                if (!QFile::remove(old))
                    std::fprintf(stderr, "vartemo-backup: cannot remove %s\n", qPrintable(old));
                else
                    Say(QStringLiteral("removed %1").arg(old));
            }
        return 0;
    }
    if (args.size() > 2)
        return Usage(QStringLiteral("%1 takes one archive").arg(command));
    if (command == QStringLiteral("list")) {
        if (!QFileInfo::exists(archive)) {
            std::fprintf(stderr, "vartemo-backup: %s: no such file\n", qPrintable(archive));
            return kFailure;
        }
        QStringList identities;
        const QString archiveTitle = backup.GetArchiveInfo(archive, &identities);
        if (backup.ErrorCode() == TBackupFile::CannotReadArchive ||
            (backup.ErrorCode() != 0 && archiveTitle.isEmpty()))
            return kFailure;
        Say(QStringLiteral("Popis: ") + archiveTitle);
        Say(ArchiveSummary(backup.FileCount(), backup.TotalSize()));
        for (const QString& line : ArchiveContentLines(identities))
            Say(line);
        return backup.ErrorCode() == 0 ? 0 : kFailure;
    }
    if (command == QStringLiteral("verify")) {
        if (!backup.VerifyArchive(archive)) {
            std::fprintf(stderr, "vartemo-backup: %s: damaged or unreadable\n", qPrintable(archive));
            return kFailure;
        }
        Say(QStringLiteral("%1: every block is sound").arg(archive));
        return 0;
    }
    if (command == QStringLiteral("restore")) {
        const std::map<QString, TRestoreMode> modes{{QStringLiteral("all"), TRestoreMode::rmAll},
                                                    {QStringLiteral("no-overwrite"), TRestoreMode::rmNoOverwrite},
                                                    {QStringLiteral("newer"), TRestoreMode::rmNewer},
                                                    {QStringLiteral("existing"), TRestoreMode::rmExisting},
                                                    {QStringLiteral("existing-newer"), TRestoreMode::rmExistingNewer}};
        const auto chosen = modes.find(parser.value(mode));
        if (chosen == modes.end())
            return Usage(QStringLiteral("unknown mode %1").arg(parser.value(mode)));
        if (parser.isSet(fullPath) && !parser.isSet(into))
            return Usage(QStringLiteral("--full-path goes with --into"));
        const QString target = parser.value(into).trimmed();
        if (parser.isSet(into) && target.isEmpty()) {
            Say(QStringLiteral("Zadejte cílovou cestu!"));
            return kBadUsage;
        }
        // A running station would write its own data over what comes back.
        const QString running = RunningStationFolder();
        if (!running.isEmpty() && !parser.isSet(force) &&
            (target.isEmpty() || running == QStringLiteral("?") || Overlaps(RealPath(target), running))) {
            std::fprintf(stderr,
                         "vartemo-backup: a station is running on %s; end it first (or --force)\n",
                         qPrintable(running));
            return kFailure;
        }
        backup.RestoreMode = chosen->second;
        backup.RestoreFullPath = parser.isSet(fullPath);
        if (!backup.RestoreArchive(archive, target)) {
            Say(QStringLiteral("Nastala chyba obnovy dat !"));
            return kFailure;
        }
        Say(QStringLiteral("Data úspěšně obnovena ze záložního souboru (%1)")
                .arg(czech::counted(backup.RestoredCount(), u"soubor", u"soubory", u"souborů")));
        return 0;
    }
    return Usage(QStringLiteral("unknown command %1").arg(command));
}
