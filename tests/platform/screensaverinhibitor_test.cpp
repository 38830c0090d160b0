#include "platform/screensaverinhibitor.h"
#include "support/privatesessionbus.h"
#include "support/screensaverservice.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

// Lets the bus deliver until the service has seen `count` calls (or 3 s).
void settle(const ScreenSaverService& service, int count) {
    QElapsedTimer t;
    t.start();
    while (service.calls.size() < count && t.elapsed() < 3000) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    // Anything that should not come has its chance to come too.
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
}

struct Inhibitor : ::testing::Test {
    PrivateSessionBus bus;
    ScreenSaverService service;
    void SetUp() override {
        ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
        ASSERT_TRUE(service.offerOn(bus.connect(QStringLiteral("service"))));
    }
};

} // namespace

TEST_F(Inhibitor, OneInhibitionPerRideReleasedWithItsOwnCookie) {
    {
        ScreenSaverInhibitor inhibitor(bus.connect(QStringLiteral("station")));
        inhibitor.setScreenSaverEnabled(false);
        inhibitor.setScreenSaverEnabled(false); // asked twice, held once
        settle(service, 1);
        inhibitor.setScreenSaverEnabled(true);
        inhibitor.setScreenSaverEnabled(true);
        settle(service, 2);
        inhibitor.setScreenSaverEnabled(false); // the next ride
        settle(service, 3);
        EXPECT_TRUE(inhibitor.inhibiting());
    } // the program's end releases what is held
    settle(service, 4);
    EXPECT_EQ(service.calls, (QStringList{"Inhibit vartemo", "UnInhibit 1", "Inhibit vartemo",
                                          "UnInhibit 2"}));
}

TEST_F(Inhibitor, AStopBeforeTheAnswerStillReleases) {
    ScreenSaverInhibitor inhibitor(bus.connect(QStringLiteral("station")));
    inhibitor.setScreenSaverEnabled(false);
    inhibitor.setScreenSaverEnabled(true); // before the cookie has come back
    settle(service, 2);
    EXPECT_EQ(service.calls, (QStringList{"Inhibit vartemo", "UnInhibit 1"}));
    EXPECT_FALSE(inhibitor.inhibiting());
}

TEST(InhibitorWithoutService, AMissingServiceLeavesNothingHeldOrStuck) {
    PrivateSessionBus bus;
    ScreenSaverInhibitor inhibitor(bus.connect(QStringLiteral("station")));
    inhibitor.setScreenSaverEnabled(false); // nobody offers the service yet: an error answer
    for (int i = 0; i < 100; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    // The service appears (a desktop session started late).
    ScreenSaverService service;
    ASSERT_TRUE(service.offerOn(bus.connect(QStringLiteral("service"))));
    inhibitor.setScreenSaverEnabled(true); // nothing was held: nothing to release
    inhibitor.setScreenSaverEnabled(false); // the next ride asks again
    settle(service, 1);
    EXPECT_EQ(service.calls, QStringList{"Inhibit vartemo"});

    // And with no bus at all the calls just return.
    ScreenSaverInhibitor noBus(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"), "none"));
    noBus.setScreenSaverEnabled(false);
    noBus.setScreenSaverEnabled(true);
    EXPECT_FALSE(noBus.inhibiting());
}

