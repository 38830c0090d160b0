#include "fleet/kartstatus.h"

namespace vartemo {

void CarryInitialMinutes(KartStatus& kart) {
    if (kart.initialMinutes < 60)
        return;
    kart.initialMinutes = 0;
    kart.initialHours = kartrange::kHours.clamp(kart.initialHours + 1);
}

void WrapIntervalMinutes(KartTask& task) {
    if (task.intervalMinutes == 60) {
        task.intervalMinutes = 0;
        task.intervalHours = kartrange::kHours.clamp(task.intervalHours + 1);
    }
    if (task.intervalHours == 0 && task.intervalMinutes == -1)
        task.intervalMinutes = 0;
    if (task.intervalMinutes == -1) {
        task.intervalMinutes = 59;
        task.intervalHours -= 1;
    }
}

} // namespace vartemo
