#include "rideplan.h"

#include <algorithm>
#include <map>
#include <QRegularExpression>
#include <random>

namespace vartemo::sim {

namespace {

// Adds the trackside passings inside each lap, sorts, and moves passings of
// one sensor apart so that no two arrive at the same instant.
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
    std::stable_sort(all.begin(), all.end(),
                     [](const Passing& a, const Passing& b) { return a.atMs < b.atMs; });
    std::map<int, qint64> lastAtSensor;
    for (auto& p : all) {
        auto it = lastAtSensor.find(p.sensor);
        if (it != lastAtSensor.end() && p.atMs < it->second + minGapMs)
            p.atMs = it->second + minGapMs;
        lastAtSensor[p.sensor] = p.atMs;
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const Passing& a, const Passing& b) { return a.atMs < b.atMs; });
    return all;
}

} // namespace

std::vector<Passing> PlanRide(const RideModel& model) {
    std::mt19937 random(model.seed);
    std::uniform_int_distribution<int> vary(-model.spreadMs, model.spreadMs);
    std::map<int, std::vector<qint64>> laps;
    const int karts = std::clamp(model.karts, 1, 8);
    for (int k = 1; k <= karts; ++k)
        for (int i = 0; i < model.laps; ++i)
            laps[k].push_back(std::max<qint64>(1, model.lapMs + (k - 1) * model.paceStepMs + vary(random)));
    return Finish(laps, model.trackside, model.minGapMs);
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
            const qint64 ms = fields[i].toLongLong(&ok);
            if (!ok || ms <= 0) {
                if (error)
                    *error = QStringLiteral("line %1: '%2' is not a lap time in ms").arg(lineNo).arg(fields[i]);
                return std::nullopt;
            }
            laps[kart].push_back(ms);
        }
    }
    return Finish(laps, trackside, minGapMs);
}

QString KartCode(int kart) {
    return QStringLiteral("K%1").arg(kart, 2, 10, QLatin1Char('0'));
}

QString SensorReport(int sensor, const QString& code) {
    return sensor == 0 ? code : QStringLiteral("%1").arg(sensor, 2, 10, QLatin1Char('0')) + code;
}

} // namespace vartemo::sim
