#include "platform/processorload.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

TEST(ProcessorLoad, BusyShareOfTheTimeBetweenTwoReadings) {
    struct Case {
        const char* before;
        const char* after;
        std::optional<int> load;
    };
    const Case cases[] = {
        // user nice system idle iowait irq softirq steal guest guest_nice
        {"cpu  100 0 100 800 0 0 0 0 0 0", "cpu  145 0 100 855 0 0 0 0 0 0", 45},
        {"cpu  0 0 0 0 0 0 0 0", "cpu  0 0 0 100 0 0 0 0", 0},
        {"cpu 0 0 0 0 0 0 0 0", "cpu 50 0 0 40 10 0 0 0 50 0", 50},  // iowait is idle, guest is in user
        {"cpu 10 0 0 10", "cpu 10 0 0 10", std::nullopt},              // no time passed
        {"cpu 10 0 0 10", "garbage", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProcStatProcessorLoad::loadBetween(c.before, c.after), c.load) << c.after;
}

TEST(ProcessorLoad, SamplesTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("stat");
    auto write = [&](const char* line) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(line);
    };
    ProcStatProcessorLoad load(path);
    write("cpu  100 0 0 100 0 0 0 0 0 0\ncpu0 1 2 3 4\n");
    EXPECT_EQ(load.sample(), std::nullopt);
    write("cpu  107 0 0 193 0 0 0 0 0 0\ncpu0 1 2 3 4\n");
    EXPECT_EQ(load.sample(), 7);
    ProcStatProcessorLoad missing(dir.filePath("none"));
    EXPECT_EQ(missing.sample(), std::nullopt);
}
