#pragma once

#include <QString>
#include <array>

namespace vartemo {

inline constexpr int kSensorCount = 10;

// Which split lines the split chart shows: the ten trackside sensors'
// identifiers (ID1..ID10) and the check items of "Zobrazit snímač 01..10".
//
// A line whose label is a sensor's identifier follows that sensor's item.
// Otherwise a line is shown when a checked sensor's identifier occurs in its
// label, hidden when only unchecked ones do, and shown when none does (the
// whole laps "  L" among them). Empty identifiers match nothing.
class SensorFilter {
public:
    std::array<QString, kSensorCount> ids;
    std::array<bool, kSensorCount> checked{};

    bool shows(const QString& label) const;
};

} // namespace vartemo
