#include "spectators/raceview.h"

#include "engine/timetext.h"

#include <algorithm>

namespace vartemo {

RaceView::RaceView() {
    for (int k = 1; k <= kKartCount; ++k)
        rows_[size_t(k - 1)] = {k, RaceBoard::DefaultDriverName(k), kNoTime, 1};
}

QString RaceView::timeText(int position) const {
    return FormatTimeText(rows_.at(size_t(position)).time);
}

QString RaceView::lapsText(int position) const {
    return QString::number(rows_.at(size_t(position)).laps);
}

void RaceView::StartNames(const std::array<QString, kKartCount>& names) {
    // Nothing of the previous ride stays: its times and laps belong to other
    // karts once the rows were sorted, and an old best would beat every new lap.
    for (int k = 1; k <= kKartCount; ++k)
        rows_[size_t(k - 1)] = {k, names[size_t(k - 1)], kNoTime, 0};
}

bool RaceView::UpdateRaceRow(int kart, const QString& name, int linesBefore, TimeMs lap, int mode) {
    auto row = std::find_if(rows_.begin(), rows_.end(), [kart](const RaceViewRow& r) { return r.kart == kart; });
    if (row == rows_.end())
        return false;
    // The time as the column shows it (minutes within the hour).
    const TimeMs shown = ParseTimeText(FormatTimeText(lap));
    const bool write = mode == kRaceViewRunningTimes || (linesBefore > 0 && shown < row->time);
    row->name = name;
    if (write)
        row->time = shown;
    row->laps = linesBefore + 1;
    std::sort(rows_.begin(), rows_.end(), &RaceView::ZavodViewCompare);
    return true;
}

bool RaceView::ZavodViewCompare(const RaceViewRow& a, const RaceViewRow& b) {
    if (a.laps != b.laps)
        return a.laps > b.laps;
    if (a.time != b.time)
        return a.time < b.time;
    return a.kart < b.kart;
}

} // namespace vartemo
