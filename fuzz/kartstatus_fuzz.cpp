// libFuzzer target: any bytes as the kart status file stav.ini, loaded by the
// fleet with its totals, fuel figures and service checks, a ride's minutes
// added and the file saved. Nothing may crash or overflow; every value read
// stays in its field's range, and what was saved reads back the same.
#include "fuzzsupport.h"

#include "fleet/kartfleet.h"
#include "fleet/kartstatusfile.h"

using namespace vartemo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::ScratchPath(QStringLiteral("stav.ini"));
    fuzz::WriteFile(path, fuzz::Bytes(data, size));

    const KartStatusRecords loaded = LoadKartStatus(path);
    for (const KartStatus& k : loaded) {
        FUZZ_CHECK(kartrange::kHours.clamp(k.initialHours) == k.initialHours);
        FUZZ_CHECK(k.consumption >= 1 && k.consumption <= 100);
        FUZZ_CHECK(k.tank >= 1 && k.tank <= 999);
        for (const KartTask& t : k.tasks)
            FUZZ_CHECK(t.intervalMinutes >= 0 && t.intervalMinutes < 60 && t.intervalHours >= 0);
    }

    QStringList log;
    KartFleet fleet(path, {.addLogEntry = [&log](const QString& line) { log << line; },
                           .currentOperator = [] { return QStringLiteral("Admin"); },
                           .now = [] { return QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27)); }});
    fleet.LoadKartStatus();
    fleet.RefreshKartTotals();
    fleet.CheckTasks();
    std::array<int, kFleetKarts> minutes{};
    for (int k = 0; k < kFleetKarts; ++k)
        minutes[size_t(k)] = size > size_t(k) ? data[k] : 10;
    (void)fleet.AddRideMinutes(minutes);
    (void)fleet.ConfirmTask(1, 1);
    (void)fleet.ResetDrivenTime(2);
    FUZZ_CHECK(fleet.SaveKartStatus());
    FUZZ_CHECK(LoadKartStatus(path) == fleet.records());
    return 0;
}
