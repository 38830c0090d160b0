#pragma once

#include "core/clock.h"
#include "engine/raceboard.h"
#include "engine/ridejournalformat.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>
#include <array>
#include <optional>

namespace vartemo {

// Who drives each kart: the name, "Žena" and "Bez účasti".
struct RideDrivers {
    std::array<QString, kKartCount> names;
    std::array<bool, kKartCount> woman{};
    std::array<bool, kKartCount> excluded{};
};

// What shapes a ride's result, as taken at its start.
struct RideSettings {
    QDateTime startWall;      // local date and time of the start
    TimeUs originUs = 0;      // RaceStart on the station's monotonic clock
    QString bootId;           // the monotonic clock is only good within one boot
    bool countsMinutes = true;
    int length = 10;
    int minLapMs = 2000;
    std::array<int, kKartCount> correctionMs{};
    QString lapSensor;
    std::array<QString, kKartCount> firstCode;
    std::array<QString, kKartCount> secondCode;
    RideDrivers drivers;
};

// The steps of a STOP that must not run twice (the others give the same
// result when repeated, the lap files by their recorded time stamp).
enum class StopStep { OperatingTimes, BestTwenty, Print, Price };

// A STOP that had begun: the time stamp of its lap files, the race clock it
// charged, and the steps done.
struct RideStop {
    QDateTime wall;
    int minutes = 0;
    int seconds = 0;
    QSet<StopStep> done;
};

// A ride as its journal tells it.
struct RebuiltRide {
    RideSettings start;
    std::array<QStringList, kKartCount> laps;
    std::array<QStringList, kKartCount> track;
    RideDrivers drivers; // as they are now (changes during the ride included)
    bool countsMinutes = true;
    int length = 10;
    std::array<std::optional<TimeUs>, kKartCount> lapMark;
    std::array<std::optional<TimeUs>, kKartCount> splitMark;
    int passings = 0;       // laps and splits taken
    TimeUs lastPassingUs = 0; // race time of the last one (0: none)
    // Race time of the last moment the station is known to have run.
    TimeUs lastAliveUs = 0;
    // The clock of the latest run that timed the ride (a resume moves it).
    TimeUs originUs = 0;
    QString bootId;
    QList<qint64> outagesMs;  // one per resume
    std::optional<RideStop> stop;
    bool closed = false;
    bool abandoned = false;
};

// The records a ride journal is made of, each built in one place so the
// rebuild below reads exactly what was written.
namespace riderecords {
journal::Record Start(const RideSettings& s);
journal::Record Lap(int kart, TimeUs stampUs, TimeUs raceUs, TimeMs lap, const QString& line);
journal::Record Split(int kart, const QString& label, TimeUs stampUs, TimeUs raceUs, TimeMs split,
                      const QString& line);
journal::Record List(int kart, BoardList list, const QStringList& lines);
journal::Record Flags(int kart, bool woman, bool excluded);
journal::Record Name(int kart, const QString& name);
journal::Record Length(bool countsMinutes, int length);
journal::Record Resume(const QDateTime& wall, const QString& bootId, TimeUs originUs, TimeUs raceUs,
                       qint64 outageMs);
journal::Record Stop(const QDateTime& wall, int minutes, int seconds);
journal::Record Done(StopStep step);
journal::Record Close(const QDateTime& wall);
journal::Record Abandon(const QDateTime& wall);
} // namespace riderecords

// Rebuilds the ride from a journal's good records. nullopt with *error when
// they hold no ride (no start record).
std::optional<RebuiltRide> RebuildRide(const QList<journal::Record>& records, QString* error = nullptr);

// Where the race clock of a continued ride stands: its origin on this run's
// monotonic clock (the same as before within one boot; after a restart of
// the computer put so that the wall-clock time since the start is kept) and
// how long the station was away.
struct ResumePoint {
    TimeUs originUs = 0;
    qint64 outageMs = 0;
};
ResumePoint ResumeAfterOutage(const RebuiltRide& ride, TimeUs nowUs, const QDateTime& nowWall,
                              const QString& bootId);

// "2 min 05 s", "1 h 02 min 05 s": an outage for the operator.
QString OutageText(qint64 ms);

// The ride as text: its start, then per kart that drove the lap lines and
// the track lines, as the board showed them.
QStringList ReplayText(const RebuiltRide& ride);

// Record names of the stop steps.
QString StopStepName(StopStep step);

// This boot of the computer (empty where the system does not tell).
QString CurrentBootId();

} // namespace vartemo
