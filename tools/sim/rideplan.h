#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vartemo::sim {

// One kart crossing one sensor: sensor 0 is the lap sensor at the finish
// line, 1.. the trackside sensors in the order a lap meets them.
struct Passing {
    int kart = 1;
    int sensor = 0;
    qint64 atUs = 0; // since the start signal
};

// A ride of up to eight karts: each kart has its own pace (kart 1 fastest),
// every lap varies around it by up to spreadMs, seeded so a ride repeats.
struct RideModel {
    int karts = 8;
    int laps = 5;
    int trackside = 0;        // trackside sensors per lap
    int lapMs = 30000;        // pace of kart 1
    int paceStepMs = 400;     // each next kart is this much slower per lap
    int spreadMs = 1500;
    int minGapMs = 20;        // two passings of one sensor are at least this far apart
    // Karts crossing together: in bunches of this many (1..bunch, bunch+1..),
    // the karts of a bunch drive its first kart's laps, each bunchGapUs
    // behind the one before. The gap between bunches keeps minGapMs.
    int bunch = 1;
    int bunchGapUs = 300;
    unsigned seed = 1;
};

// Every passing of the ride, in time order.
std::vector<Passing> PlanRide(const RideModel& model);

// Lap times from a file instead: one line per kart, "kart lap lap ..." in
// milliseconds, to the microsecond ("1000.3"), so karts can be made to cross
// a fraction of a millisecond apart (blank lines and lines starting with #
// skipped). nullopt with *error on a bad line.
std::optional<std::vector<Passing>> PlanRideFromLaps(const QStringList& lines, int trackside,
                                                     int minGapMs, QString* error);

// Failures on the track. A kart whose transmitter dies after its n-th lap
// (its n-th passing of the lap sensor): nothing of it comes after that one.
void SilenceKart(std::vector<Passing>& plan, int kart, int laps);
// A sensor that loses power fromUs into the ride: none of its passings after.
void SilenceSensor(std::vector<Passing>& plan, int sensor, qint64 fromUs);

// The code a kart's transponder sends ("K01" ... "K08"), and what a sensor
// reports for it: the bare code at the lap sensor, the sensor's two-digit
// identifier in front of it at a trackside sensor.
QString KartCode(int kart);
QString SensorReport(int sensor, const QString& code);

} // namespace vartemo::sim
