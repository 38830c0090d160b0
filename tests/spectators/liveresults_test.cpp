#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/qstringprinter.h"
#include "engine/racecontrol.h"
#include "engine/racesettings.h"
#include "spectators/liveresults.h"
#include "spectators/liveresultsjson.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

constexpr TimeMs kMinute = 60'000;

// Race control without hardware on a hand-moved clock, and the live results
// following it as in the station.
struct LiveRideTest : ::testing::Test {
    RaceBoard board;
    ManualClock clock{50'000'000};
    FixedLapSettings lapSettings;
    LapComputation laps{board, clock, lapSettings};
    FixedRaceSettings settings;
    RaceControl control{board, laps, clock, settings, {}};
    LiveResults live{board, control};
    BestTables tables;

    LiveRideTest() {
        lapSettings.minLapTime = 2000;
        for (int k = 1; k <= kKartCount; ++k)
            lapSettings.firstCode[size_t(k - 1)] = QStringLiteral("K%1").arg(k);
        live.setBestTables([this] { return tables; });
        live.setPublishing(true);
    }
    void start() {
        control.StartButton1Click();
        while (control.phase() == RacePhase::Lights)
            control.fire(RaceTimer::LightStep);
    }
    void at(TimeMs t) { clock.set(laps.raceStart() + t); }
    void displayTickAt(TimeMs t) {
        at(t);
        control.fire(RaceTimer::Display);
    }
    void passAt(int kart, TimeMs t) {
        at(t);
        laps.MatchCode(QStringLiteral("K%1").arg(kart), {});
        control.fire(RaceTimer::Poll);
    }
    QJsonObject doc() const {
        return QJsonDocument::fromJson(live.snapshot()->json).object();
    }
    QString state() const { return doc()[u"race"][u"state"].toString(); }
    // "kart name laps last best" per listed kart, in order.
    QStringList standing() const {
        QStringList out;
        for (const QJsonValue& v : doc()[u"karts"].toArray()) {
            const QJsonObject k = v.toObject();
            out << QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(k[u"kart"].toInt())
                       .arg(k[u"name"].toString())
                       .arg(k[u"laps"].toInt())
                       .arg(k[u"last"].isNull() ? QStringLiteral("-") : k[u"last"].toString(),
                            k[u"best"].isNull() ? QStringLiteral("-") : k[u"best"].toString());
        }
        return out;
    }
};

QList<BestTableRow> table(std::initializer_list<std::pair<const char*, const char*>> rows, int total) {
    QList<BestTableRow> out;
    for (const auto& [name, time] : rows)
        out.append({QString::number(out.size() + 1), QString::fromUtf8(name), QString::fromUtf8(time)});
    while (out.size() < total)
        out.append({QString::number(out.size() + 1), QStringLiteral("noname"), QStringLiteral("59:59:999")});
    return out;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// One fixed ride, byte for byte: the names with quotes, a TAB and Czech
// letters, an unnamed kart that drove, a hand-edited table time that is no
// time, and both tables' placeholders left out.
TEST_F(LiveRideTest, FixedRideAgainstTheGoldenDocument) {
    tables.men = table({{"Adam \"Blesk\" Novák", "00:38:512"}, {"kara4", "00:39:001"}, {"Ota", "0:x:1"}}, 20);
    tables.women = table({{"Jana Černá", "00:41:236"}}, 20);
    live.BestTablesChanged();
    control.CasZavoduChange(12);
    board.setDriverName(1, QStringLiteral("Adam \"Blesk\" Novák"));
    board.setDriverName(3, QStringLiteral("Eva\tŘeháková"));
    start();
    passAt(1, 9'000);
    passAt(5, 9'500);
    passAt(1, 49'100);
    passAt(5, 50'250);
    passAt(1, 88'600);
    live.setOverdue(3, true); // never seen since the start
    displayTickAt(2 * kMinute + 3'456);
    const QByteArray golden = readFile(QStringLiteral(VARTEMO_TEST_DATA "/liveresults_ride.json"));
    EXPECT_EQ(QString::fromUtf8(live.snapshot()->json + '\n'), QString::fromUtf8(golden));
    EXPECT_EQ(live.snapshot()->etag, '"' + QByteArray::number(live.snapshot()->seq) + '"');
}

// The overdue mark makes a new document and goes with the next START.
TEST_F(LiveRideTest, OverdueMarkFollowsTheBoardAndEndsWithTheRide) {
    board.setDriverName(2, QStringLiteral("Bára"));
    start();
    passAt(2, 9'000);
    displayTickAt(10'000);
    const quint64 before = live.snapshot()->seq;
    live.setOverdue(2, true);
    EXPECT_TRUE(live.stale());
    displayTickAt(10'259);
    EXPECT_GT(live.snapshot()->seq, before);
    EXPECT_TRUE(live.snapshot()->json.contains(R"("kart":2,"name":"Bára","laps":0,"lastMs":null,"last":null,"bestMs":null,"best":null,"overdue":true})"))
        << live.snapshot()->json.constData();
    live.setOverdue(2, true);
    EXPECT_FALSE(live.stale()) << "no change, no new document";
    control.StartButton1Click(); // STOP
    start();
    passAt(2, 500);
    passAt(2, 30'000);
    displayTickAt(31'000);
    EXPECT_TRUE(live.snapshot()->json.contains(R"("overdue":false})")) << live.snapshot()->json.constData();
    EXPECT_FALSE(live.snapshot()->json.contains(R"("overdue":true)"));
}

TEST_F(LiveRideTest, StatesAndOrderThroughARide) {
    EXPECT_EQ(state(), QStringLiteral("idle"));
    EXPECT_TRUE(standing().isEmpty()) << "no ride yet";

    settings.lights = true;
    control.CasZavoduChange(1);
    board.setDriverName(2, QStringLiteral("Bára"));
    board.setDriverName(6, QStringLiteral("Filip"));
    control.StartButton1Click();
    live.fire();
    EXPECT_EQ(state(), QStringLiteral("lights"));
    EXPECT_EQ(standing(), (QStringList{"2 Bára 0 - -", "6 Filip 0 - -"})) << "named drivers before any lap";
    control.fire(RaceTimer::LightStep);
    control.fire(RaceTimer::LightStep);
    ASSERT_EQ(control.phase(), RacePhase::Timing);
    EXPECT_EQ(state(), QStringLiteral("running"));
    EXPECT_FALSE(live.tickActive()) << "the race clock paces the rebuilds now";

    passAt(3, 5'000);   // first lines: the run from the start, not laps
    passAt(6, 5'100);
    passAt(2, 5'200);
    passAt(3, 35'000);  // 30.000
    passAt(6, 35'000);  // 29.900: same laps, same passing time as kart 3
    passAt(2, 36'000);  // 30.800
    passAt(2, 65'000);  // 29.000
    const quint64 seqBeforeTick = live.snapshot()->seq;
    EXPECT_TRUE(live.stale());
    EXPECT_EQ(live.snapshot()->seq, seqBeforeTick) << "a lap in the poll does not rebuild";
    displayTickAt(65'100);
    EXPECT_GT(live.snapshot()->seq, seqBeforeTick);
    EXPECT_EQ(standing(), (QStringList{"2 Bára 2 00:29:000 00:29:000", "3 kara3 1 00:30:000 00:30:000",
                                       "6 Filip 1 00:29:900 00:29:900"}))
        << "more laps, then the earlier passing, then the kart";
    EXPECT_EQ(state(), QStringLiteral("over")) << "one minute reached";

    passAt(6, 66'000);  // still recorded after the end
    passAt(3, 70'000);
    displayTickAt(70'100);
    EXPECT_EQ(standing(), (QStringList{"2 Bára 2 00:29:000 00:29:000", "6 Filip 2 00:31:000 00:29:900",
                                       "3 kara3 2 00:35:000 00:30:000"}));

    control.StartButton1Click(); // STOP: the board's names go back to "karaN"
    ASSERT_EQ(board.DriverName(2), QStringLiteral("kara2"));
    EXPECT_TRUE(live.tickActive());
    live.fire();
    EXPECT_EQ(state(), QStringLiteral("finished"));
    EXPECT_EQ(standing().first(), QStringLiteral("2 Bára 2 00:29:000 00:29:000")) << "frozen with its names";
    EXPECT_EQ(doc()[u"race"][u"clock"].toString(), QStringLiteral("01:10:100"));
    board.AddLapLine(4, 20'000); // a line between rides is none of the ride's laps
    live.fire();
    EXPECT_EQ(standing().size(), 3);

    settings.lights = false;
    control.CasZavoduChange(5);
    control.rbKolaClick();
    board.setDriverName(8, QStringLiteral("Hana"));
    start();
    live.fire();
    EXPECT_EQ(standing(), QStringList{"8 Hana 0 - -"}) << "the next START empties the standing";
    EXPECT_EQ(doc()[u"race"][u"unit"].toString(), QStringLiteral("laps"));
    EXPECT_EQ(doc()[u"race"][u"length"].toInt(), 5);
    for (int lap = 0; lap <= 5; ++lap)
        passAt(8, 1'000 + lap * 30'000);
    displayTickAt(160'000);
    EXPECT_EQ(state(), QStringLiteral("over")) << "five laps after the run from the start";
}

// Before the first ride the page shows the length the operator sets; a
// finished ride keeps its own until the next START.
TEST_F(LiveRideTest, LengthAndUnitBeforeTheFirstRideAndAfterOne) {
    auto race = [&] {
        live.fire();
        const QJsonObject r = doc()[u"race"].toObject();
        return QStringLiteral("%1 %2 %3").arg(r[u"state"].toString(), r[u"unit"].toString()).arg(r[u"length"].toInt());
    };
    control.rbKolaClick();
    control.CasZavoduChange(7);
    EXPECT_EQ(race(), QStringLiteral("idle laps 7"));
    control.rbMinutyClick();
    EXPECT_EQ(race(), QStringLiteral("idle minutes 7"));

    start();
    control.StartButton1Click(); // STOP
    control.CasZavoduChange(3);
    control.rbKolaClick();
    EXPECT_EQ(race(), QStringLiteral("finished minutes 7"));
    start();
    EXPECT_EQ(race(), QStringLiteral("running laps 3"));
}

TEST_F(LiveRideTest, BetweenRidesRebuiltOnlyWhenStaleAndOnlyWhilePublishing) {
    live.fire();
    const quint64 seq = live.snapshot()->seq;
    live.fire();
    EXPECT_EQ(live.snapshot()->seq, seq) << "nothing changed";
    tables.men = table({{"Adam", "00:40:000"}}, 20);
    live.BestTablesChanged();
    live.fire();
    EXPECT_EQ(live.snapshot()->seq, seq + 1);
    EXPECT_EQ(doc()[u"best"][u"men"].toArray().size(), 1);

    live.setPublishing(false);
    EXPECT_FALSE(live.tickActive());
    start();
    displayTickAt(1'000);
    EXPECT_EQ(live.snapshot()->seq, seq + 1);
    live.setPublishing(true);
    EXPECT_EQ(state(), QStringLiteral("running")) << "followed while not published";
}

TEST(LiveResultsJson, StringsAreEscaped) {
    const struct {
        const char* text;
        const char* json;
    } cases[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"tab\tnl\ncr\r", "\"tab\\u0009nl\\u000acr\\u000d\""},
        {"<b>Žluťoučký</b>", "\"<b>Žluťoučký</b>\""}, // markup is the page's to write as text
    };
    for (const auto& c : cases) {
        QByteArray out;
        AppendJsonString(out, QString::fromUtf8(c.text));
        EXPECT_EQ(out, QByteArray(c.json)) << c.text;
        EXPECT_EQ(QJsonDocument::fromJson("[" + out + "]").array().at(0).toString(), QString::fromUtf8(c.text));
    }
}
