#include "app/liveresultswiring.h"
#include "app/spectatortables.h"
#include "app/tvdisplaywiring.h"
#include "records/toptables.h"
#include "config/settings.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/racecontrol.h"
#include "engine/racesettings.h"
#include "spectators/liveresults.h"
#include "spectators/pagecode.h"
#include "spectators/ttv_out_frm.h"
#include "support/modulefolders.h"

#include <QLabel>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

quint16 freeTcpPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool listening(quint16 port) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    return s.waitForConnected(500);
}

struct PageInStation : ::testing::Test {
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings lapSettings;
    LapComputation laps{board, clock, lapSettings};
    FixedRaceSettings raceSettings;
    RaceControl race{board, laps, clock, raceSettings, {}};
    Settings settings;
    TTV_Out_Frm tv;
    QStringList errors;
    LiveResultsWiring wiring{settings, board, race, &tv, [this](const QString& m) { errors << m; }};

    void settle() { QTest::qWait(20); }
    bool codeShown() { return !tv.findChild<QLabel*>(QStringLiteral("PageCode"))->isHidden(); }
};

} // namespace

TEST_F(PageInStation, FollowsTheSetting) {
    const quint16 port = freeTcpPort();
    settings.setInteger(SettingId::SpinWebPort, port);
    settings.setText(SettingId::EdWebAdresa, QStringLiteral("127.0.0.1"));
    settle();
    EXPECT_FALSE(listening(port)) << "off: nothing listens";
    EXPECT_FALSE(wiring.liveResults().publishing());

    settings.setBoolean(SettingId::cbWebVysledky, true);
    settle();
    EXPECT_TRUE(listening(port));
    EXPECT_EQ(wiring.servedPort(), port);
    EXPECT_TRUE(wiring.liveResults().publishing());
    EXPECT_TRUE(codeShown());

    settings.setBoolean(SettingId::cbWebVysledky, false);
    settle();
    EXPECT_FALSE(listening(port));
    EXPECT_FALSE(codeShown());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(PageInStation, APortInUseIsReportedAndTimingGoesOn) {
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::Any, 0));
    settings.setInteger(SettingId::SpinWebPort, taken.serverPort());
    settings.setBoolean(SettingId::cbWebVysledky, true);
    settle();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Webové výsledky nelze spustit na portu %1: ").arg(taken.serverPort())))
        << errors[0].toStdString();
    EXPECT_FALSE(codeShown());
    race.StartButton1Click();
    EXPECT_EQ(race.phase(), RacePhase::Timing);
}

// Installed without the page's server module: the operator is told why the
// page does not start, as for a port in use, and timing goes on.
TEST_F(PageInStation, AMissingServerModuleIsReportedAndTimingGoesOn) {
    QTemporaryDir noModules;
    test::ModuleFolders missing({noModules.path()});
    const quint16 port = freeTcpPort();
    settings.setInteger(SettingId::SpinWebPort, port);
    settings.setBoolean(SettingId::cbWebVysledky, true);
    settle();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Webové výsledky nelze spustit na portu %1: modul serveru stránky "
                                                    "nelze použít: Modul vartemo_liveresults.so nebyl nalezen")
                                         .arg(port)))
        << errors[0].toStdString();
    EXPECT_FALSE(listening(port));
    EXPECT_FALSE(codeShown());
    EXPECT_FALSE(wiring.liveResults().publishing());
    race.StartButton1Click();
    EXPECT_EQ(race.phase(), RacePhase::Timing);
}

TEST(PageCode, EncodesTheAddressWithAQuietZone) {
    const QImage code = PageCode(QStringLiteral("http://192.168.1.20:8080/"));
    ASSERT_FALSE(code.isNull());
    EXPECT_EQ(code.width(), code.height());
    EXPECT_EQ((code.width() - 8 - 21) % 4, 0) << "a QR version's size plus the quiet zone";
    EXPECT_EQ(code.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(code.pixel(4, 4), qRgb(0, 0, 0)) << "the finder pattern's corner";
}

TEST_F(PageInStation, BestTablesFollowTheirChangeNotice) {
    QTemporaryDir folder;
    TopTables tables(folder.path());
    tables.Load();
    TvDisplayWiring tvWiring(settings, race, laps);
    ConnectSpectatorTables(tables, tvWiring, wiring);
    settings.setBoolean(SettingId::TV_OUT_Box, true);
    wiring.liveResults().setPublishing(true);
    QStringList errors;
    ASSERT_TRUE(tables.Rename(TopTable::Women, 0, QStringLiteral("noname"), QStringLiteral("59:59:999"),
                              QStringLiteral("Jana"), errors));
    auto* women = tvWiring.window().findChild<QTableWidget*>(QStringLiteral("TopTenList1"));
    EXPECT_EQ(women->item(0, 1)->text(), QStringLiteral("Jana"));
    wiring.liveResults().fire();
    EXPECT_TRUE(wiring.liveResults().snapshot()->json.contains("\"women\":[{\"rank\":1,\"name\":\"Jana\""));
}
