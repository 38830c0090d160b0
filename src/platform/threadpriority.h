#pragma once

namespace vartemo {

// Scheduling of the calling thread, by the levels of the Windows thread
// priorities the settings use: -15 idle, -2 lowest, -1 below normal,
// 0 normal, 1 above normal, 2 highest, 15 time critical. Best effort: a level
// the user may not take is replaced by the highest one allowed.
void ApplyThreadPriority(int level);

// The realtime class for the calling thread (SCHED_FIFO where permitted);
// returns whether it was applied. RestoreNormalScheduling undoes it.
bool RaiseToRealtime();
void RestoreNormalScheduling();

} // namespace vartemo
