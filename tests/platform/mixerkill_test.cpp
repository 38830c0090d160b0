// mixer.txt written while the writing process is SIGKILLed at random moments:
// each kill leaves the last levels or the ones being written, whole.

#include "platform/mixer.h"
#include "support/killcampaign.h"

#include <gtest/gtest.h>

using namespace vartemo;

TEST(KillCampaign, MixerLevelsFile) {
    killcampaign::ExpectWholeAfterEveryKill(QStringLiteral("mixer.txt"), [](const QString& path, long n) {
        MixerValues values;
        for (auto& element : values) {
            element.present = true;
            element.volumes.assign(size_t(1 + n % 8), n % 65536);
            element.switches.assign(size_t(1 + n % 8), int(n % 2));
        }
        WriteMixerValues(path, values);
    });
}
