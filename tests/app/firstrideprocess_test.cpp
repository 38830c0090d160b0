// A new operator's first ride in the real program on a private X server:
// network sensors, four karts of three laps sent by the track simulator over
// UDP, STOP pressed by hand in minutes mode with automatic saving off (the
// defaults). Afterwards the best-twenty tables, the results sheet and the
// statistics chart must hold the ride's laps: the tables through their
// files, the sheet and the chart through the PDF files their prints make.

#include "core/textfile.h"
#include "sensors/freeport.h"
#include "support/pdftext.h"
#include "support/simpassings.h"
#include "support/waitfor.h"
#include "support/xserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <map>

using namespace vartemo;

namespace {

// Every "mm:ss:zzz" in a text, in milliseconds, in order.
std::vector<int> TimeTexts(const QString& text, const QString& after = {}) {
    std::vector<int> times;
    static const QRegularExpression time(QStringLiteral("(\\d\\d):(\\d\\d):(\\d\\d\\d)"));
    const QRegularExpression pattern(time.pattern() + QRegularExpression::escape(after));
    for (const auto& m : pattern.globalMatch(text))
        times.push_back((m.captured(1).toInt() * 60 + m.captured(2).toInt()) * 1000 + m.captured(3).toInt());
    return times;
}

// Places of controls in the main window's fixed layout (from its top-left
// corner inside the frame) and in the lap-sheet window's.
constexpr int kTiskX = 816, kTiskY = 18;           // "&Tisk      " (its left part; the arrow opens the menu)
constexpr int kStatistikaX = 816, kStatistikaY = 52; // "S&tatistika"
constexpr int kPrintBtnX = 638, kPrintBtnY = 96;   // the preview's "Tisk"
const QString kPrinterDialog = QStringLiteral("^Tisk$");

struct FirstRide : ::testing::Test {
    XServer x; // outlives the station, which TearDown ends first
    QTemporaryDir dir;
    QString home = dir.filePath(QStringLiteral("home"));
    QString pdfs = dir.filePath(QStringLiteral("pdf"));
    QProcess station;

    void TearDown() override {
        if (station.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(station.processId()), SIGTERM);
        if (!station.waitForFinished(XServer::kDeadlineMs))
            station.kill();
        station.waitForFinished();
    }
    QStringList lines(const QString& file) const {
        return textfile::readLines(QDir(home).filePath(file)).value_or(QStringList());
    }
    bool shown() const {
        return !lines(QStringLiteral("vartemo.log")).filter(QRegularExpression(QStringLiteral("^\\[ End "))).isEmpty();
    }
    // Sends the key to the window until the wanted effect shows: a window
    // may take keys only once it has the focus. Each press is given a few
    // seconds, so that a slow window does not get the key a second time
    // (in the dialog it opened).
    bool pressUntil(const QString& window, const QString& key, const std::function<bool()>& done) const {
        return WaitFor([&] {
            x.xdotool({"windowfocus", "--sync", window});
            x.xdotool({"key", key});
            return WaitFor(done, 5000, 50);
        });
    }
    // The printer dialog ("Tisk") confirmed with Enter.
    void confirmPrinterDialog() const {
        const QString dialog = x.window(kPrinterDialog);
        ASSERT_FALSE(dialog.isEmpty());
        ASSERT_TRUE(pressUntil(dialog, QStringLiteral("Return"), [&] { return !x.shows(kPrinterDialog); }));
    }
    // The text of a job's PDF file once it is written.
    QString printed(const QString& job) const {
        const QString file = QDir(pdfs).filePath(job + QStringLiteral(" 1.pdf"));
        QString text;
        // Each look runs pdftotext: not so often that it starves the station.
        WaitFor([&] { return QFile::exists(file) && !(text = PdfText(file)).isEmpty(); }, 120'000, 500);
        return text;
    }
};

} // namespace

TEST_F(FirstRide, HandStopInMinutesModeFeedsTablesSheetAndStatistics) {
    ASSERT_FALSE(x.display().isEmpty()) << "Xvfb (scripts/setup.sh installs it) did not start";
    ASSERT_TRUE(QDir().mkpath(home));
    const quint16 port = FreeUdpPort();
    // Only what the operator set: the network sensors, the lap sensor's
    // address, the karts' codes. Minutes mode, no automatic stop or saving.
    ASSERT_TRUE(textfile::writeLines(
        home + QStringLiteral("/vartemo.ini"),
        {"[Po spusteni]", "LPT=0", "COM=0", "TCP=1", "[Com]", "IP0=127.0.0.1", "Sekvence1=K01", "Sekvence2=K02",
         "Sekvence3=K03", "Sekvence4=K04", "[UDP]", "Polozek=1", QStringLiteral("Port1=%1").arg(port)}));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("DISPLAY"), x.display());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    station.setProcessEnvironment(env);
    station.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    station.start(QStringLiteral(VARTEMO_EXECUTABLE),
                  {QStringLiteral("--home"), home, QStringLiteral("--print-to-pdf"), pdfs});
    ASSERT_TRUE(WaitFor([&] { return shown(); }));
    const QString main = x.window(QStringLiteral("^Vartemo Kestral verze 2\\.3$"));
    ASSERT_FALSE(main.isEmpty()) << "xdotool (scripts/setup.sh installs it) found no main window";

    // START by hand (Alt+S), then the ride as the simulator sends it: laps
    // of 2.5 s at the least, over the station's 2 s minimum.
    x.xdotool({"windowfocus", "--sync", main});
    x.xdotool({"key", "alt+s"});
    QThread::msleep(500);
    QProcess sim;
    sim.start(QStringLiteral(VARTEMO_SIM_PATH),
              {QStringLiteral("--udp"), QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("--karts"),
               QStringLiteral("4"), QStringLiteral("--laps"), QStringLiteral("3"), QStringLiteral("--lap-ms"),
               QStringLiteral("3500"), QStringLiteral("--spread-ms"), QStringLiteral("1000")});
    ASSERT_TRUE(sim.waitForFinished(120'000) && sim.exitCode() == 0) << sim.readAllStandardError().toStdString();
    std::map<int, std::vector<SimPassing>> byKart;
    for (const SimPassing& p : ParseSimPassings(sim.readAllStandardOutput()))
        byKart[p.kart].push_back(p);
    ASSERT_EQ(byKart.size(), 4u);

    // STOP by hand, long before the ten minutes are up.
    QThread::msleep(500);
    x.xdotool({"windowfocus", "--sync", main});
    x.xdotool({"key", "alt+s"});

    // Best twenty: every kart's best lap entered the men's table, and the
    // window shows it.
    std::map<QString, int> entered;
    ASSERT_TRUE(WaitFor([&] {
        entered.clear();
        for (const QString& line : lines(QStringLiteral("TopDeset.ini"))) {
            const QStringList f = line.split(u'\t');
            if (f.size() != 3 || !f[1].startsWith(QStringLiteral("kara")))
                continue;
            if (const std::vector<int> time = TimeTexts(f[2]); time.size() == 1)
                entered[f[1]] = time[0];
        }
        return entered.size() == 4;
    })) << lines(QStringLiteral("TopDeset.ini")).join(u'|').toStdString();
    const QString best = x.window(QStringLiteral("^Nejlepších dvacet časů$"));
    ASSERT_FALSE(best.isEmpty());
    // "&Zavřít".
    ASSERT_TRUE(pressUntil(best, QStringLiteral("alt+z"), [&] { return !x.shows(QStringLiteral("^Nejlepších dvacet časů$")); }));

    // The results sheet, printed from its preview.
    x.xdotool({"windowfocus", "--sync", main});
    x.xdotool({"mousemove", "--window", main, QString::number(kTiskX), QString::number(kTiskY), "click", "1"});
    const QString sheet = x.window(QStringLiteral("^Náhled tisku  -  Výsledky motokár$"));
    ASSERT_FALSE(sheet.isEmpty());
    x.xdotool({"mousemove", "--window", sheet, QString::number(kPrintBtnX), QString::number(kPrintBtnY), "click", "1"});
    confirmPrinterDialog();
    const QString sheetText = printed(QStringLiteral("vartemo - časy"));
    ASSERT_FALSE(sheetText.isEmpty());

    // The lap chart of the statistics, printed with "Tisk jednotlivých &kol".
    x.xdotool({"windowfocus", "--sync", main});
    x.xdotool({"mousemove", "--window", main, QString::number(kStatistikaX), QString::number(kStatistikaY), "click", "1"});
    const QString statistics = x.window(QStringLiteral("^Statistika$"));
    ASSERT_FALSE(statistics.isEmpty());
    ASSERT_TRUE(pressUntil(statistics, QStringLiteral("alt+k"), [&] { return x.shows(kPrinterDialog); }));
    confirmPrinterDialog();
    const QString chartText = printed(QStringLiteral("Časy jednotlivých kol"));
    ASSERT_FALSE(chartText.isEmpty());

    // The sheet lists three laps of each kart; the second and third lie
    // within the brackets of the simulator's sendings (the first runs from
    // the START, pressed from outside).
    const std::vector<int> sheetLaps = TimeTexts(sheetText, QStringLiteral("|"));
    EXPECT_EQ(sheetLaps.size(), 12u) << sheetText.toStdString();
    for (int k = 1; k <= 4; ++k)
        EXPECT_TRUE(sheetText.contains(QStringLiteral("kara%1").arg(k))) << k;
    for (const auto& [kart, passings] : byKart) {
        ASSERT_EQ(passings.size(), 3u) << kart;
        double bestUpper = 1e9;
        for (size_t i = 1; i < passings.size(); ++i) {
            const double low = ShortestBetween(passings[i - 1], passings[i]) - 1;
            const double high = LongestBetween(passings[i - 1], passings[i]) + 1;
            bestUpper = std::min(bestUpper, high);
            EXPECT_TRUE(std::any_of(sheetLaps.begin(), sheetLaps.end(), [&](int lap) { return lap >= low && lap <= high; }))
                << "kart " << kart << " lap " << i + 1 << " in " << low << ".." << high << "\n" << sheetText.toStdString();
        }
        // Its best-twenty row is its best lap: one of the sheet's laps, no
        // longer than its best lap between two passings.
        const int row = entered[QStringLiteral("kara%1").arg(kart)];
        EXPECT_NE(std::find(sheetLaps.begin(), sheetLaps.end(), row), sheetLaps.end()) << kart << " " << row;
        EXPECT_LE(row, bestUpper) << kart;
    }

    // The chart's time axis is set to the laps: an empty chart runs 0 to
    // 01:00:000.
    EXPECT_TRUE(chartText.contains(QStringLiteral("Časy jednotlivých kol"))) << chartText.toStdString();
    const std::vector<int> ticks = TimeTexts(chartText);
    ASSERT_FALSE(ticks.empty()) << chartText.toStdString();
    const int shortest = *std::min_element(sheetLaps.begin(), sheetLaps.end());
    const int longest = *std::max_element(sheetLaps.begin(), sheetLaps.end());
    EXPECT_LT(*std::max_element(ticks.begin(), ticks.end()), 60'000) << chartText.toStdString();
    EXPECT_GE(*std::max_element(ticks.begin(), ticks.end()), shortest) << chartText.toStdString();
    EXPECT_LE(*std::min_element(ticks.begin(), ticks.end()), longest) << chartText.toStdString();
}
