#include "platform/fakemixer.h"
#include "platform/mixer.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vartemo {
namespace {

TEST(MixerScale, TheBarsEndsAreTheElementsEndsAndBackInEveryRange) {
    struct Range {
        long minimum, maximum;
    };
    for (const Range r : {Range{0, 31}, Range{0, 87}, Range{0, 65536}, Range{-50, 50}}) {
        EXPECT_EQ(ScaleToElement(0, r.minimum, r.maximum), r.minimum);
        EXPECT_EQ(ScaleToElement(65535, r.minimum, r.maximum), r.maximum);
        EXPECT_EQ(ScaleFromElement(r.maximum, r.minimum, r.maximum), 65535);
        EXPECT_EQ(ScaleFromElement(r.minimum, r.minimum, r.maximum), 0);
        // Every element step survives the way through the bar.
        for (long v = r.minimum; v <= r.maximum; v += std::max(1L, (r.maximum - r.minimum) / 97))
            EXPECT_EQ(ScaleToElement(ScaleFromElement(v, r.minimum, r.maximum), r.minimum, r.maximum), v);
    }
    EXPECT_EQ(ScaleFromElement(5, 3, 3), 0); // an element without a range
}

TEST(MixerValuesFile, KeepsEveryChannelAndRefusesADamagedFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mixer.txt"));
    MixerValues values;
    values[size_t(MixerLine::Master)] = {true, {17, 19}, {1, 0}};
    values[size_t(MixerLine::Bass)] = {true, {65536}, {}};
    ASSERT_TRUE(WriteMixerValues(path, values));
    EXPECT_EQ(ReadMixerValues(path), values);

    for (const char* damaged : {"Master=1,x;1\n", "Volume=3;\n", "Master=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,"
                                                                  "21,22,23,24,25,26,27,28,29,30,31,32,33;\n"}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(damaged);
        file.close();
        EXPECT_EQ(ReadMixerValues(path), std::nullopt) << damaged;
    }
    EXPECT_EQ(ReadMixerValues(dir.filePath(QStringLiteral("none.txt"))), std::nullopt);
}

} // namespace
} // namespace vartemo
