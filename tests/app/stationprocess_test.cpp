// The real program in real processes: single instance, start-up records,
// what a killed station leaves behind.

#include "core/textfile.h"
#include "support/xserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

namespace {

// Deadlines only bound how long a broken program is waited for.
constexpr int kStartDeadlineMs = 30000;

class StationProcesses : public ::testing::Test {
protected:
    QTemporaryDir runtime;
    QTemporaryDir home;

    std::unique_ptr<QProcess> start() {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(VARTEMO_EXECUTABLE), {"--home", home.path()});
        EXPECT_TRUE(p->waitForStarted(kStartDeadlineMs));
        return p;
    }

    QStringList lines(const char* file) const {
        return vartemo::textfile::readLines(home.filePath(file)).value_or(QStringList());
    }

    // The program log gets its block when the main window is first activated.
    bool waitForShownWindows(int count) const {
        QDeadlineTimer deadline(kStartDeadlineMs);
        while (!deadline.hasExpired()) {
            if (lines("vartemo.log").filter(QRegularExpression("^\\[ End ")).size() >= count)
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    static void stop(QProcess& p, int signal) {
        ::kill(pid_t(p.processId()), signal);
        EXPECT_TRUE(p.waitForFinished(kStartDeadlineMs));
    }
};

QStringList topLevel(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines)
        if (!l.startsWith('\t'))
            out << l;
    return out;
}

} // namespace

TEST_F(StationProcesses, ASecondStartRaisesTheFirstAndEnds) {
    auto first = start();
    ASSERT_TRUE(waitForShownWindows(1));
    auto second = start();
    ASSERT_TRUE(second->waitForFinished(kStartDeadlineMs)); // it ends at once; only a hang fails
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);

    QByteArray said;
    QDeadlineTimer deadline(kStartDeadlineMs);
    while (!said.contains("restore request") && !deadline.hasExpired()) {
        first->waitForReadyRead(100);
        said += first->readAllStandardError();
    }
    EXPECT_TRUE(said.contains("restore request")) << said.toStdString();
    // The second start ran no start-up of its own.
    EXPECT_EQ(topLevel(lines("vartemo.den")).size(), 1);
    EXPECT_EQ(lines("vartemo.log").filter(QRegularExpression("^\\[ Start ")).size(), 1);
    stop(*first, SIGTERM);
}

// A shutdown of the computer may come while the splash still counts: the
// station must end then too, with its end entry, not run on unseen.
TEST_F(StationProcesses, ASignalDuringTheStartUpEndsTheStation) {
    for (const int delayMs : {0, 100, 300}) {
        auto station = start();
        QDeadlineTimer deadline(kStartDeadlineMs);
        while (!QFile::exists(runtime.filePath(QStringLiteral("Dokončení.lock"))) && !deadline.hasExpired())
            QThread::msleep(5);
        QThread::msleep(delayMs);
        stop(*station, SIGTERM);
        EXPECT_EQ(station->exitStatus(), QProcess::NormalExit) << delayMs;
    }
    const QStringList ends = lines("vartemo.den").filter(QRegularExpression("^\\tUkončení programu "));
    EXPECT_EQ(ends.size(), 3) << lines("vartemo.den").join('|').toStdString();
}

TEST_F(StationProcesses, EachRunAddsItsLogBookEntriesAndProgramLogBlock) {
    for (int run = 1; run <= 2; ++run) {
        auto station = start();
        ASSERT_TRUE(waitForShownWindows(run));
        stop(*station, SIGTERM);
        EXPECT_EQ(station->exitCode(), 0);
    }
    const QStringList book = lines("vartemo.den");
    ASSERT_EQ(book.size(), 8) << book.join('|').toStdString();
    for (int run = 0; run < 2; ++run) {
        const QStringList entries = book.mid(4 * run, 4);
        EXPECT_TRUE(entries[0].startsWith("Spuštění programu ")) << entries[0].toStdString();
        EXPECT_EQ(entries.mid(1, 2), (QStringList{"\tOvladač IR portu1 načten", "\tOvladač IR portu2 načten"}));
        EXPECT_TRUE(entries[3].startsWith("\tUkončení programu ")) << entries[3].toStdString();
    }

    const QStringList log = lines("vartemo.log");
    QList<int> starts;
    for (int i = 0; i < log.size(); ++i)
        if (log[i].startsWith("[ Start "))
            starts << i;
    ASSERT_EQ(starts.size(), 2);
    for (int s : starts) {
        ASSERT_LT(s + 10, log.size());
        EXPECT_EQ(log[s + 2], "Status\t100041\tOK");
        // No serial receiver in use: its three lines stay empty.
        EXPECT_EQ(log[s + 3], "");
        EXPECT_EQ(log[s + 8], "");
        EXPECT_EQ(log[s + 9], "");
        // The station's own logo from the first start on.
        EXPECT_EQ(log[s + 6], "Status\t100071\tOK");
        EXPECT_TRUE(log[s + 10].startsWith("Vartemo Kestral verze 2.3 sestavení ")) << log[s + 10].toStdString();
    }
}

TEST_F(StationProcesses, AKilledStationKeepsItsEntriesAndDoesNotBlockTheNextStart) {
    auto killed = start();
    ASSERT_TRUE(waitForShownWindows(1));
    stop(*killed, SIGKILL);
    EXPECT_EQ(topLevel(lines("vartemo.den")).size(), 1);

    auto next = start();
    EXPECT_TRUE(waitForShownWindows(2));
    EXPECT_EQ(next->state(), QProcess::Running);
    EXPECT_EQ(topLevel(lines("vartemo.den")).size(), 2);
    stop(*next, SIGTERM);
}

TEST_F(StationProcesses, ThePicturesOfTheSettingsAreChecked) {
    for (const char* name : {"logo.bmp", "diplom.jpg"}) {
        QFile picture(home.filePath(name));
        ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    }
    QFile ini(home.filePath("vartemo.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(vartemo::textfile::encode(vartemo::textfile::joinLines(
        {"[Tisk]", "Logo=" + home.filePath("logo.bmp"), "[Tisk_Diplom]", "Logo=" + home.filePath("chybi.bmp"),
         "Logo1=" + home.filePath("diplom.jpg")})));
    ini.close();

    auto station = start();
    ASSERT_TRUE(waitForShownWindows(1));
    stop(*station, SIGTERM);
    const QStringList log = lines("vartemo.log");
    ASSERT_GT(log.size(), 7);
    EXPECT_EQ(log.mid(4, 3), (QStringList{"Status\t100051\tError", "Status\t100061\tOK", "Status\t100071\tOK"}));
}

TEST_F(StationProcesses, AKilledStationKeepsTheTakingsOfItsLastRide) {
    XServer x;
    ASSERT_FALSE(x.display().isEmpty()) << "Xvfb (scripts/setup.sh installs it) did not start";
    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.insert("DISPLAY", x.display());
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    station.setProcessEnvironment(env);
    station.start(QStringLiteral(VARTEMO_EXECUTABLE), {"--home", home.path()});
    ASSERT_TRUE(waitForShownWindows(1));

    const QByteArray window =
        x.xdotool({"search", "--sync", "--name", "^Vartemo Kestral verze 2\\.3$"}).split('\n').value(0);
    ASSERT_FALSE(window.isEmpty()) << "xdotool (scripts/setup.sh installs it) found no main window";
    x.xdotool({"windowfocus", "--sync", QString::fromLatin1(window)});
    // Alt+S is "&START", then "&STOP" once the lights have let the ride go.
    const QRegularExpression takings("^\\tKč \\d+ Admin \\d{1,2}:\\d\\d:\\d\\d \\d{1,2}\\.\\d{1,2}\\.\\d{4}$");
    QDeadlineTimer deadline(kStartDeadlineMs);
    while (lines("vartemo.den").filter(takings).isEmpty() && !deadline.hasExpired()) {
        x.xdotool({"key", "alt+s"});
        QThread::msleep(300);
    }
    stop(station, SIGKILL);

    const QStringList book = lines("vartemo.den");
    ASSERT_EQ(book.filter(takings).size(), 1) << book.join('|').toStdString();
    EXPECT_TRUE(book.first().startsWith("Spuštění programu "));
}
