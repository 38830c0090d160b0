#pragma once

#include "core/clock.h"
#include "engine/raceboard.h"

#include <QString>
#include <array>

namespace vartemo {

// What the time column of the TV's race view shows: 0 each kart's best lap
// (its first lap never counts), 1 each kart's latest lap ("TVOUT"/"TypZobrazeni").
inline constexpr int kRaceViewMinimumTimes = 0;
inline constexpr int kRaceViewRunningTimes = 1;

// One row of the race view. Rows belong to karts (the race start assigns
// them), so two drivers of one name never share a row; the name is only shown.
struct RaceViewRow {
    int kart = 0;
    QString name;
    TimeMs time = 0; // shown as "nn:ss:zzz"
    int laps = 0;
    friend bool operator==(const RaceViewRow&, const RaceViewRow&) = default;
};

// The TV display's live standing of the eight karts (ZavodView): eight rows
// ordered by more laps, then the smaller time, then the kart number; the
// rank of a row is its position.
class RaceView {
public:
    static constexpr TimeMs kNoTime = 3'599'999; // "59:59:999"

    RaceView(); // the design rows: kart i, "karai", "59:59:999", laps 1

    const std::array<RaceViewRow, kKartCount>& rows() const { return rows_; }
    QString timeText(int position) const;  // position 0..7
    QString lapsText(int position) const;

    // Race start: row i belongs to kart i with its driver's name, no time, no laps.
    void StartNames(const std::array<QString, kKartCount>& names);
    // Kart's lap: linesBefore lines were in its lap list before it. Returns
    // false when no row is the kart's (a kart number out of range).
    bool UpdateRaceRow(int kart, const QString& name, int linesBefore, TimeMs lap, int mode);

    // The order of the rows: true when a stands before b.
    static bool ZavodViewCompare(const RaceViewRow& a, const RaceViewRow& b);

private:
    std::array<RaceViewRow, kKartCount> rows_;
};

} // namespace vartemo
