#pragma once

#include <QString>
#include <array>

namespace vartemo {

inline constexpr int kFleetKarts = 8;
inline constexpr int kKartTasks = 4;

// A closed range of a status field: what its input field accepts, and what a
// loaded value is clamped to.
struct FieldRange {
    int min;
    int max;
    int clamp(int value) const { return value < min ? min : value > max ? max : value; }
};

namespace kartrange {
inline constexpr FieldRange kHours{0, 999999};
// 60 is accepted and carried into the hours.
inline constexpr FieldRange kInitialMinutes{0, 60};
// -1 and 60 are accepted and wrapped (WrapIntervalMinutes).
inline constexpr FieldRange kIntervalMinutes{-1, 60};
inline constexpr FieldRange kConsumption{1, 100};   // decilitres per hour
inline constexpr FieldRange kTank{1, 999};          // litres
inline constexpr FieldRange kRefuelMargin{1, 999};  // decilitres
inline constexpr int kTaskTextLength = 60;
} // namespace kartrange

// A planned service task: due each time the driven time reaches another
// multiple of the interval; the counter is the multiple it waits for next.
struct KartTask {
    bool enabled = false;
    int intervalHours = 0;
    int intervalMinutes = 0;
    QString text;
    int counter = 1;

    qint64 intervalTotal() const { return qint64(intervalHours) * 60 + intervalMinutes; }
    bool operator==(const KartTask&) const = default;
};

// One kart's status: its operating time when it was entered, the driving
// time since the last reset (text h:m), its service tasks and fuel data.
struct KartStatus {
    int initialHours = 0;
    int initialMinutes = 0;
    QString driven = QStringLiteral("0:0");
    std::array<KartTask, kKartTasks> tasks{};
    int consumption = 1;
    int tank = 1;
    bool refuelNotice = false;
    int refuelMargin = 1;

    bool operator==(const KartStatus&) const = default;
};

using KartStatusRecords = std::array<KartStatus, kFleetKarts>;

// Initial minutes of 60 or more become 0 and one more hour.
void CarryInitialMinutes(KartStatus& kart);

// A step of the interval minutes past either end: 60 becomes the next hour,
// -1 the previous hour's 59; an interval never goes below 0:0.
void WrapIntervalMinutes(KartTask& task);

} // namespace vartemo
