#include "engine/ridejournal.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace vartemo {

namespace {
const QString kOpenName = QStringLiteral("aktualni.vjz");
const QString kClosedPrefix = QStringLiteral("jizda_");
const QString kBadPrefix = QStringLiteral("vadna_");
const QString kExtension = QStringLiteral(".vjz");

QString Stamp(const QDateTime& wall) {
    return wall.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

// name_<stamp>.vjz, or with _2, _3 ... when that is taken.
QString FreeName(const QDir& dir, const QString& prefix, const QDateTime& wall) {
    QString name = prefix + Stamp(wall) + kExtension;
    for (int n = 2; dir.exists(name); ++n)
        name = prefix + Stamp(wall) + QStringLiteral("_%1").arg(n) + kExtension;
    return name;
}
} // namespace

RideJournal::RideJournal(QString folder) : folder_(std::move(folder)) {}

RideJournal::~RideJournal() {
    // An open journal stays open on the disk: the next start offers the ride.
    writer_.close();
}

QString RideJournal::openPath() const {
    return QDir(folder_).filePath(kOpenName);
}

bool RideJournal::ensureFolder(QString* error) const {
    if (QDir().mkpath(folder_))
        return true;
    if (error)
        *error = QStringLiteral("složku %1 nelze vytvořit").arg(folder_);
    return false;
}

// A new or renamed file survives a power cut only with its folder synced.
void RideJournal::syncFolder() const {
    const int fd = ::open(QFile::encodeName(folder_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool RideJournal::begin(const RideSettings& settings, QString* error) {
    writer_.close();
    stopping_ = false;
    startWall_ = settings.startWall;
    if (!ensureFolder(error))
        return false;
    if (!writer_.open(openPath(), true, error))
        return false;
    syncFolder();
    // Header and start in one write: the file never holds a header alone.
    if (writer_.appendAndSync(journal::EncodeRecord(journal::HeaderRecord()) +
                              journal::EncodeRecord(riderecords::Start(settings))))
        return true;
    if (error)
        *error = writer_.error();
    return false;
}

bool RideJournal::resume(const QByteArray& goodRecords, const journal::Record& resume, QString* error) {
    writer_.close();
    stopping_ = false;
    if (!ensureFolder(error))
        return false;
    if (const auto ride = RebuildRide(journal::ParseJournal(goodRecords).records))
        startWall_ = ride->start.startWall;
    // The good part and the resume in a new file, on the disk, then in place.
    QSaveFile file(openPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(goodRecords + journal::EncodeRecord(resume)) < 0 ||
        !file.flush() || ::fdatasync(file.handle()) != 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    syncFolder();
    return writer_.open(openPath(), false, error);
}

void RideJournal::append(const journal::Record& record) {
    if (writer_.isOpen())
        writer_.append(journal::EncodeRecord(record));
}

void RideJournal::appendNow(const journal::Record& record) {
    if (writer_.isOpen())
        writer_.appendAndSync(journal::EncodeRecord(record));
}

void RideJournal::beginStop(const journal::Record& stop) {
    stopping_ = true;
    appendNow(stop);
}

void RideJournal::close(const QDateTime& wall, bool abandoned) {
    if (!writer_.isOpen())
        return;
    appendNow(abandoned ? riderecords::Abandon(wall) : riderecords::Close(wall));
    writer_.close();
    stopping_ = false;
    QDir dir(folder_);
    dir.rename(kOpenName, FreeName(dir, kClosedPrefix, startWall_.isValid() ? startWall_ : wall));
    syncFolder();
    prune();
}

void RideJournal::keepClosed(const QString& path, const QDateTime& startWall) {
    QDir dir(folder_);
    QFile::rename(path, dir.filePath(FreeName(dir, kClosedPrefix, startWall)));
    syncFolder();
    prune();
}

void RideJournal::prune() const {
    QStringList closed = closedJournals();
    QDir dir(folder_);
    while (closed.size() > kKeptJournals)
        dir.remove(closed.takeFirst());
}

QStringList RideJournal::closedJournals() const {
    // The start time in the name sorts them oldest first.
    return QDir(folder_).entryList({kClosedPrefix + QStringLiteral("*") + kExtension}, QDir::Files, QDir::Name);
}

std::optional<RideJournal::Unclosed> RideJournal::findUnclosed() const {
    const QString path = openPath();
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    Unclosed found;
    found.path = path;
    if (file.size() > journal::kMaxJournalBytes) {
        found.readError = QStringLiteral("soubor je příliš velký");
        found.read.damage = journal::Damage::Foreign;
    } else if (!file.open(QIODevice::ReadOnly)) {
        found.readError = file.errorString();
        found.read.damage = journal::Damage::Foreign;
    } else {
        found.read = journal::ParseJournal(file.readAll());
    }
    return found;
}

QString RideJournal::setAside(const QString& path, const QDateTime& now) const {
    QDir dir(folder_);
    const QString name = FreeName(dir, kBadPrefix, now);
    if (!QFile::rename(path, dir.filePath(name)))
        return {};
    syncFolder();
    return name;
}

} // namespace vartemo
