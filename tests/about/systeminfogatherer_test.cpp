#include "about/systeminfogatherer.h"
#include "support/heldsysteminfo.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>


using namespace vartemo;

namespace {

TEST(SystemInfoGatherer, CollectsOnAWorkerOneAtATime) {
    auto source = std::make_shared<HeldSystemInfoSource>(QStringLiteral("trat"));
    SystemInfoGatherer gatherer(source);
    QSignalSpy gathered(&gatherer, &SystemInfoGatherer::gathered);
    gatherer.start();
    gatherer.start(); // still running: no second collection
    EXPECT_TRUE(gatherer.busy());
    EXPECT_EQ(gatherer.waitForFacts(std::chrono::milliseconds(50)), std::nullopt);
    QTRY_COMPARE(source->calls(), 1);

    source->release();
    QTRY_COMPARE(gathered.size(), 1);
    EXPECT_EQ(gathered[0][0].value<SystemFacts>().hostName, QStringLiteral("trat"));
    EXPECT_EQ(source->calls(), 1);
    EXPECT_FALSE(gatherer.busy());

    // The start-up's wait takes the ended collection without another one.
    const std::optional<SystemFacts> facts = gatherer.waitForFacts(std::chrono::seconds(5));
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->hostName, QStringLiteral("trat"));
    EXPECT_EQ(source->calls(), 1);

    // A new start (the window opened again) collects afresh.
    gatherer.start();
    QTRY_COMPARE(gathered.size(), 2);
    EXPECT_EQ(source->calls(), 2);
}

TEST(SystemInfoGatherer, TheStartUpsWaitWithoutAnyCollectionStartsOneAndTakesIt) {
    auto source = std::make_shared<HeldSystemInfoSource>(QStringLiteral("trat"));
    SystemInfoGatherer gatherer(source);
    source->release();
    const std::optional<SystemFacts> facts = gatherer.waitForFacts(std::chrono::seconds(5));
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->hostName, QStringLiteral("trat"));
    EXPECT_EQ(source->calls(), 1);
}

TEST(SystemInfoGatherer, AGathererGoneBeforeTheAnswerIsNotCalled) {
    auto source = std::make_shared<HeldSystemInfoSource>(QStringLiteral("trat"));
    {
        SystemInfoGatherer gatherer(source);
        gatherer.start();
        QTRY_COMPARE(source->calls(), 1);
    }
    source->release();
    QTest::qWait(50); // the worker ends without an owner to report to
}

} // namespace
