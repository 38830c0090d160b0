#include "rideplan.h"

#include <algorithm>
#include <map>
#include <optional>
#include <QRegularExpression>
#include <random>

namespace vartemo::sim {

namespace {

constexpr qint64 kUsPerMs = 1000;

bool Earlier(const Passing& a, const Passing& b) {
    return a.atUs < b.atUs;
}

// Adds the trackside passings inside each lap, sorts, and moves passings of
// one sensor apart so that no two arrive at the same instant. Laps in µs.
std::vector<Passing> Finish(const std::map<int, std::vector<qint64>>& lapsByKart, int trackside,
                            int minGapMs) {
    std::vector<Passing> all;
    for (const auto& [kart, laps] : lapsByKart) {
        qint64 t = 0;
        for (qint64 lap : laps) {
            for (int s = 1; s <= trackside; ++s)
                all.push_back({kart, s, t + lap * s / (trackside + 1)});
            t += lap;
            all.push_back({kart, 0, t});
        }
    }
    std::stable_sort(all.begin(), all.end(), Earlier);
    std::map<int, qint64> lastAtSensor;
    for (auto& p : all) {
        auto it = lastAtSensor.find(p.sensor);
        if (it != lastAtSensor.end() && p.atUs < it->second + minGapMs * kUsPerMs)
            p.atUs = it->second + minGapMs * kUsPerMs;
        lastAtSensor[p.sensor] = p.atUs;
    }
    std::stable_sort(all.begin(), all.end(), Earlier);
    return all;
}

// Every passing of a bunch's first kart repeated for the karts behind it.
std::vector<Passing> FollowInBunches(const std::vector<Passing>& leaders, int karts, int bunch,
                                     int gapUs) {
    std::vector<Passing> all;
    for (const Passing& p : leaders)
        for (int i = 0; i < bunch && p.kart + i <= karts; ++i)
            all.push_back({p.kart + i, p.sensor, p.atUs + qint64(i) * gapUs});
    std::stable_sort(all.begin(), all.end(), Earlier);
    return all;
}

} // namespace

std::vector<Passing> PlanRide(const RideModel& model) {
    std::mt19937 random(model.seed);
    std::uniform_int_distribution<int> vary(-model.spreadMs, model.spreadMs);
    std::map<int, std::vector<qint64>> laps;
    const int karts = std::clamp(model.karts, 1, 8);
    const int bunch = std::clamp(model.bunch, 1, 8);
    for (int k = 1; k <= karts; k += bunch)
        for (int i = 0; i < model.laps; ++i)
            laps[k].push_back(
                std::max<qint64>(1, model.lapMs + (k - 1) * model.paceStepMs + vary(random)) * kUsPerMs);
    return FollowInBunches(Finish(laps, model.trackside, model.minGapMs), karts, bunch,
                           std::max(0, model.bunchGapUs));
}

std::optional<std::vector<Passing>> PlanRideFromLaps(const QStringList& lines, int trackside,
                                                     int minGapMs, QString* error) {
    std::map<int, std::vector<qint64>> laps;
    int lineNo = 0;
    for (const QString& raw : lines) {
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")));
        bool ok = false;
        const int kart = fields[0].toInt(&ok);
        if (!ok || kart < 1 || kart > 8) {
            if (error)
                *error = QStringLiteral("line %1: kart must be 1 to 8").arg(lineNo);
            return std::nullopt;
        }
        for (qsizetype i = 1; i < fields.size(); ++i) {
            const double ms = fields[i].toDouble(&ok);
            // An hour at most: also keeps nan and inf out of the rounding.
            const bool inRange = ok && ms > 0 && ms <= 3'600'000;
            const qint64 us = inRange ? qRound64(ms * double(kUsPerMs)) : 0;
            if (us <= 0) {
                if (error)
                    *error = QStringLiteral("line %1: '%2' is not a lap time in ms").arg(lineNo).arg(fields[i]);
                return std::nullopt;
            }
            laps[kart].push_back(us);
        }
    }
    return Finish(laps, trackside, minGapMs);
}

void SilenceKart(std::vector<Passing>& plan, int kart, int laps) {
    int seen = 0;
    std::optional<qint64> deadFrom;
    for (const Passing& p : plan)
        if (p.kart == kart && p.sensor == 0 && ++seen == laps) {
            deadFrom = p.atUs;
            break;
        }
    if (!deadFrom)
        return;
    std::erase_if(plan, [&](const Passing& p) { return p.kart == kart && p.atUs > *deadFrom; });
}

void SilenceSensor(std::vector<Passing>& plan, int sensor, qint64 fromUs) {
    std::erase_if(plan, [&](const Passing& p) { return p.sensor == sensor && p.atUs >= fromUs; });
}

QString KartCode(int kart) {
    return QStringLiteral("K%1").arg(kart, 2, 10, QLatin1Char('0'));
}

QString SensorReport(int sensor, const QString& code) {
    return sensor == 0 ? code : QStringLiteral("%1").arg(sensor, 2, 10, QLatin1Char('0')) + code;
}

} // namespace vartemo::sim
