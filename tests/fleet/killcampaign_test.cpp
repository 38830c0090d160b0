// stav.ini saved by the station while the saving process is SIGKILLed at
// random moments: each kill leaves the last save or the one in progress.

#include "fleet/kartstatusfile.h"
#include "support/killcampaign.h"

#include <gtest/gtest.h>

using namespace vartemo;

TEST(KillCampaign, KartStatusFile) {
    killcampaign::ExpectWholeAfterEveryKill(QStringLiteral("stav.ini"), [](const QString& path, long n) {
        KartStatusRecords karts{};
        for (size_t k = 0; k < karts.size(); ++k) {
            karts[k].driven = QStringLiteral("%1:%2").arg(n * 3 + long(k)).arg(n % 60);
            karts[k].tank = int(n % 40) + 1;
        }
        SaveKartStatus(path, karts);
    });
}
