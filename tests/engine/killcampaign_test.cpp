// A lap-time file saved by the station while the saving process is SIGKILLed
// at random moments: each kill leaves the last save or the one in progress.

#include "engine/lapfiles.h"
#include "support/killcampaign.h"

#include <gtest/gtest.h>

using namespace vartemo;

TEST(KillCampaign, LapTimeFile) {
    killcampaign::ExpectWholeAfterEveryKill(QStringLiteral("Novak 11.12.2026 14-03.caskola"),
                                            [](const QString& path, long n) {
        QStringList lines;
        for (long lap = 0; lap < 20 + n % 300; ++lap)
            lines << QStringLiteral("%1  00:%2:%3").arg(lap + 1).arg(30 + lap % 29).arg((n * 7 + lap) % 1000, 3, 10, QLatin1Char('0'));
        lapfiles::Save(path, lines);
    });
}
