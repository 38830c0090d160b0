// vartemo-backup as real processes: exit codes, what it prints, what it
// leaves behind when killed, its refusal to restore under a running station
// and to back up while that station times a ride, and the nightly archives.

#include "archivetestkit.h"
#include "sensors/freeport.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

using namespace archivetest;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class BackupTool : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QTemporaryDir runtime;
    QTemporaryDir config;

    QString path(const QString& name) const { return dir.filePath(name); }
    QString home() const { return path("home"); }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }

    ToolRun tool(const QStringList& arguments) const {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(QStringLiteral(VARTEMO_BACKUP_TOOL), arguments);
        p.waitForFinished(60000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

    // The station on home() with a UDP lap sensor: its first passing starts a ride.
    quint16 startStationWithSensor(QProcess& station) const {
        const quint16 port = FreeUdpPort();
        WriteFile(home() + "/vartemo.ini",
                  QStringLiteral("[Po spusteni]\r\nLPT=0\r\nCOM=0\r\nTCP=1\r\nAutostart=1\r\n"
                                 "[Com]\r\nIP0=127.0.0.1\r\nSekvence2=KART2\r\n[UDP]\r\nPolozek=1\r\nPort1=%1\r\n")
                      .arg(port)
                      .toLatin1());
        station.setProcessEnvironment(environment());
        station.start(QStringLiteral(VARTEMO_EXECUTABLE), {"--home", home()});
        return port;
    }

    void makeHome() const {
        WriteFile(home() + "/vartemo.ini", "[Nastaveni]\r\n");
        WriteFile(home() + "/stav.ini", "[Motokara1]\r\nCas=10:00\r\n");
        WriteFile(home() + "/TopDeset.ini", QByteArray(3000, 'm'));
        WriteFile(home() + "/TopDeset1.ini", QByteArray(3000, 'z'));
        WriteFile(home() + "/vysledky/Petr_1.caskola", "01:02:003\r\n");
    }
};

TEST_F(BackupTool, CreateListVerifyRestore) {
    makeHome();
    const QString archive = path("zaloha/zalohavartemo.bck");
    QDir().mkpath(path("zaloha"));
    ToolRun r = tool({"create", archive, "--home", home()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Záloha kompletní. Poměr komprese "))) << r.out.toStdString();

    r = tool({"list", archive});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Popis: záloha vartemo\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("5 souborů, 6 KB celkem\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(home() + QStringLiteral("/TopDeset1.ini  přidán "))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral(", 3000 bytes\n")));

    EXPECT_EQ(tool({"verify", archive}).exitCode, 0);

    // An incremental backup right after: nothing changed, nothing stored.
    r = tool({"create", path("inc.bck"), "--home", home(), "--incremental", "--no-file-id"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Záloha kompletní. Poměr komprese 0 %\n"));
    r = tool({"list", path("inc.bck")});
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("0 souborů, 0 KB celkem\nNeznámí archív!\n"))) << r.out.toStdString();

    WriteFile(home() + "/stav.ini", "spoilt");
    QFile::remove(home() + "/vysledky/Petr_1.caskola");
    r = tool({"restore", archive, "--mode", "all"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(ReadFile(home() + "/stav.ini"), "[Motokara1]\r\nCas=10:00\r\n");
    EXPECT_EQ(ReadFile(home() + "/vysledky/Petr_1.caskola"), "01:02:003\r\n");

    r = tool({"restore", archive, "--into", path("elsewhere"), "--full-path"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(ReadFile(path("elsewhere") + home() + "/TopDeset.ini"), QByteArray(3000, 'm'));
}

// --part-size: the tool has nobody to insert disks, so it writes ARCHIVE.002,
// ARCHIVE.003 beside the first part itself and reads them back from there.
TEST_F(BackupTool, PartsAreWrittenAndReadBackWithoutAsking) {
    makeHome();
    // Three chunks of noise: one per part of 30000 bytes.
    WriteFile(home() + "/vysledky/track.bin", Noise(40000));
    // Dated past 2043 and 2107: the identity list's dates must stay signed 32-bit numbers.
    WriteFile(home() + "/vysledky/Eva_2.caskola", "00:59:999\r\n", QDateTime(QDate(2044, 5, 6), QTime(7, 8, 10)));
    WriteFile(home() + "/vysledky/Jan_3.caskola", "01:00:000\r\n", QDateTime(QDate(2107, 1, 2), QTime(3, 4, 6)));
    const QString archive = path("p.bck");
    WriteFile(path("p.004"), QByteArray("EC2\0", 4) + "of an older, longer archive");

    ToolRun r = tool({"--home", home(), "--part-size", "30000", "create", archive});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Záloha kompletní. Poměr komprese "))) << r.out.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList({"p.*"}, QDir::Files), (QStringList{"p.002", "p.003", "p.bck"}));
    EXPECT_EQ(Parse(ReadFile(archive)).entries.back().name, "NEXT:DISK002");
    EXPECT_EQ(Parse(ReadFile(path("p.002")), false).entries.back().name, "NEXT:DISK003");
    EXPECT_TRUE(Parse(ReadFile(path("p.003")), false).ended);

    r = tool({"verify", archive});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = tool({"list", archive});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("8 souborů, "))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(home() + QStringLiteral("/vysledky/Jan_3.caskola  přidán 2.1.2107, 11 bytes\n")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(home() + QStringLiteral("/vysledky/track.bin  přidán ")));

    r = tool({"restore", archive, "--into", path("back"), "--full-path"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(), "Data úspěšně obnovena ze záložního souboru (8 souborů)\n");
    const QStringList stored{"vartemo.ini", "stav.ini", "TopDeset.ini", "TopDeset1.ini", "vysledky/Petr_1.caskola",
                             "vysledky/track.bin", "vysledky/Eva_2.caskola", "vysledky/Jan_3.caskola"};
    for (const QString& name : stored)
        EXPECT_EQ(ReadFile(path("back") + home() + u'/' + name), ReadFile(home() + u'/' + name)) << name.toStdString();
    EXPECT_EQ(QFileInfo(path("back") + home() + "/vysledky/Jan_3.caskola").lastModified(),
              QDateTime(QDate(2107, 1, 2), QTime(3, 4, 6)));

    // The second reader, from the format alone, follows the parts to the same bytes.
    QProcess python;
    python.start("python3", {ARCHIVE_TOOL_PY, "read", archive, path("python")});
    ASSERT_TRUE(python.waitForFinished(60000));
    const QString listing = QString::fromUtf8(python.readAllStandardOutput());
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString() << listing.toStdString();
    EXPECT_TRUE(listing.contains("part\t2\n") && listing.contains("part\t3\n")) << listing.toStdString();
    for (const QString& name : stored)
        EXPECT_EQ(ReadFile(path("python") + home() + u'/' + name), ReadFile(home() + u'/' + name))
            << name.toStdString();
    EXPECT_TRUE(listing.contains(QStringLiteral("id\t%1/vysledky/Eva_2.caskola\t2044-05-06 07:08:10\t11\n").arg(home())))
        << listing.toStdString();
    EXPECT_TRUE(listing.contains(QStringLiteral("id\t%1/vysledky/Jan_3.caskola\t2107-01-02 03:04:06\t11\n").arg(home())))
        << listing.toStdString();

    // A part gone missing: the tool names it instead of asking for a disk.
    QFile::remove(path("p.003"));
    r = tool({"verify", archive});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("part 3 of the archive is missing: ") + path("p.003")))
        << r.err.toStdString();
}

TEST_F(BackupTool, RestoreCountsItsFilesInCzech) {
    makeHome();
    struct Case {
        QStringList masks;
        const char* counted;
    };
    const Case cases[] = {
        {{home() + "/stav.ini"}, "1 soubor"},
        {{home() + "/stav.ini", home() + "/vartemo.ini", home() + "/TopDeset.ini"}, "3 soubory"},
        {{home() + "/*.ini"}, "4 soubory"},
        {{home() + "/*.ini", home() + "/vysledky/*.*"}, "5 souborů"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.counted);
        ASSERT_EQ(tool(QStringList{"create", path("c.bck")} + c.masks).exitCode, 0);
        const ToolRun r = tool({"restore", path("c.bck"), "--into", path("c")});
        EXPECT_EQ(r.out.toStdString(), "Data úspěšně obnovena ze záložního souboru (" + std::string(c.counted) + ")\n");
    }
}

TEST_F(BackupTool, FailuresAndBadUsage) {
    WriteFile(path("junk.bck"), "no archive here");
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* stderrHas;
    };
    const Case cases[] = {
        {{}, 2, "a command and an archive"},
        {{"pack", "x.bck"}, 2, "unknown command"},
        {{"create", "x.bck", "--level", "best"}, 2, "unknown level"},
        {{"restore", "x.bck", "--full-path"}, 2, "--full-path goes with --into"},
        {{"restore", "x.bck", "--mode", "sometimes"}, 2, "unknown mode"},
        {{"verify", path("junk.bck")}, 1, "Cannot read archive"},
        {{"list", path("missing.bck")}, 1, "no such file"},
        {{"create", path("no/folder/x.bck"), "--home", home()}, 1, "Cannot write to archive"},
        {{"create", "x.bck", "--wait", "soon"}, 2, "--wait wants a number of seconds"},
        {{"nightly", path("n"), "--keep", "0"}, 2, "--keep wants a number of archives"},
        {{"nightly", path("n"), "vysledky/*.*"}, 2, "nightly takes one folder"},
        {{"nightly", path("junk.bck")}, 1, "cannot make the folder"},
    };
    for (const Case& c : cases) {
        const ToolRun r = tool(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.stderrHas))) << r.err.toStdString();
    }
}

TEST_F(BackupTool, AKilledCreateLeavesTheOldArchive) {
    makeHome();
    WriteFile(home() + "/vysledky/track.bin", Noise(40'000'000));
    const QString archive = path("zalohavartemo.bck");
    ASSERT_EQ(tool({"create", archive, home() + "/stav.ini"}).exitCode, 0);
    const QByteArray old = ReadFile(archive);

    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(QStringLiteral(VARTEMO_BACKUP_TOOL), {"create", archive, "--home", home(), "--level", "max"});
    ASSERT_TRUE(p.waitForStarted());
    QDeadlineTimer deadline(30000);
    while (QFileInfo(archive + ".~tmp").size() < 1'000'000 && !deadline.hasExpired())
        QThread::msleep(5);
    ASSERT_FALSE(deadline.hasExpired()) << "the new archive never grew";
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished();
    EXPECT_EQ(ReadFile(archive), old);
    EXPECT_EQ(tool({"verify", archive}).exitCode, 0);
    // The next run starts its temporary afresh and completes.
    ASSERT_EQ(tool({"create", archive, home() + "/stav.ini"}).exitCode, 0);
    EXPECT_FALSE(QFile::exists(archive + ".~tmp"));
}

TEST_F(BackupTool, NoRestoreIntoTheFolderOfARunningStation) {
    makeHome();
    const QString archive = path("a.bck");
    ASSERT_EQ(tool({"create", archive, "--home", home()}).exitCode, 0);

    QProcess station;
    station.setProcessEnvironment(environment());
    station.start(QStringLiteral(VARTEMO_EXECUTABLE), {"--home", home()});
    ASSERT_TRUE(station.waitForStarted());
    QDeadlineTimer deadline(30000);
    while (!QFile::exists(runtime.filePath(QStringLiteral("Dokončení.lock"))) && !deadline.hasExpired())
        QThread::msleep(20);
    ASSERT_FALSE(deadline.hasExpired());

    WriteFile(home() + "/stav.ini", "the station's own");
    ToolRun r = tool({"restore", archive});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("a station is running on ") + QFileInfo(home()).canonicalFilePath()))
        << r.err.toStdString();
    EXPECT_EQ(tool({"restore", archive, "--into", home() + "/vysledky"}).exitCode, 1);
    EXPECT_EQ(ReadFile(home() + "/stav.ini"), "the station's own");

    // Elsewhere is fine, and --force overrides.
    EXPECT_EQ(tool({"restore", archive, "--into", path("elsewhere")}).exitCode, 0);
    EXPECT_EQ(tool({"restore", archive, "--force"}).exitCode, 0);
    EXPECT_EQ(ReadFile(home() + "/stav.ini"), "[Motokara1]\r\nCas=10:00\r\n");

    station.terminate();
    station.waitForFinished(30000);
    EXPECT_EQ(tool({"restore", archive, "--into", home()}).exitCode, 0) << "after the station ended";
}

TEST_F(BackupTool, NightlyKeepsTheNewestOfItsOwnArchives) {
    makeHome();
    const QString folder = path("zalohy");
    const QString today = QStringLiteral("vartemo-%1.bck").arg(QDate::currentDate().toString(Qt::ISODate));
    for (int day = 1; day <= 5; ++day)
        WriteFile(folder + QStringLiteral("/vartemo-2000-01-0%1.bck").arg(day), "an older night");
    // Files of other names in the folder are the operator's: never touched.
    const QStringList others{"noc.bck", "vartemo-2000-01-01.bck.002", "vartemo-notes.bck"};
    for (const QString& name : others)
        WriteFile(folder + "/" + name, "the operator's");

    ToolRun r = tool({"nightly", folder, "--home", home(), "--keep", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("removed ") + folder + "/vartemo-2000-01-01.bck\n")) << r.out.toStdString();
    QStringList expected = others + QStringList{"vartemo-2000-01-04.bck", "vartemo-2000-01-05.bck", today};
    expected.sort();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name), expected);
    r = tool({"list", folder + "/" + today});
    EXPECT_TRUE(r.out.contains(QStringLiteral("5 souborů, 6 KB celkem\n"))) << r.out.toStdString();

    // A night whose archive cannot be written removes none of the old ones.
    const QString failing = path("plna");
    for (int day = 1; day <= 3; ++day)
        WriteFile(failing + QStringLiteral("/vartemo-2000-01-0%1.bck").arg(day), "an older night");
    ASSERT_TRUE(QDir().mkpath(failing + "/" + today)); // a folder where the archive belongs
    EXPECT_EQ(tool({"nightly", failing, "--home", home(), "--keep", "1"}).exitCode, 1);
    EXPECT_EQ(QDir(failing).entryList(QDir::Files).size(), 3);
}

TEST_F(BackupTool, NoBackupWhileTheStationTimesARide) {
    makeHome();
    QProcess station;
    const quint16 sensorPort = startStationWithSensor(station);
    ASSERT_TRUE(station.waitForStarted());
    const QString archive = path("jizda.bck");

    // Idle, the station lets the backup be; a passing starts the ride, then it refuses.
    QUdpSocket sensor;
    ASSERT_TRUE(sensor.bind(QHostAddress::LocalHost, 0));
    ToolRun r;
    int backedUpWhileIdle = 0;
    QDeadlineTimer deadline(60000);
    for (;;) {
        QFile::remove(archive);
        r = tool({"create", archive, "--home", home()});
        if (r.exitCode != 0 || deadline.hasExpired())
            break;
        ++backedUpWhileIdle;
        sensor.writeDatagram("KART2", QHostAddress::LocalHost, sensorPort);
    }
    EXPECT_GE(backedUpWhileIdle, 1);
    ASSERT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("vartemo-backup: a ride is being timed; nothing backed up\n"));
    EXPECT_FALSE(QFile::exists(archive));
    EXPECT_FALSE(QFile::exists(archive + ".~tmp"));

    EXPECT_EQ(tool({"create", archive, "--home", home(), "--force"}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(archive));
    EXPECT_EQ(tool({"nightly", path("zalohy"), "--home", home(), "--wait", "1"}).exitCode, 3);
    EXPECT_TRUE(QDir(path("zalohy")).isEmpty());

    // A nightly run waits for the ride's end; the station going away ends it too.
    QProcess waiting;
    waiting.setProcessEnvironment(environment());
    waiting.start(QStringLiteral(VARTEMO_BACKUP_TOOL), {"nightly", path("zalohy"), "--home", home(), "--wait", "120"});
    ASSERT_TRUE(waiting.waitForStarted());
    EXPECT_FALSE(waiting.waitForFinished(1500)) << "it did not wait";
    station.kill();
    station.waitForFinished();
    ASSERT_TRUE(waiting.waitForFinished(60000));
    EXPECT_EQ(waiting.exitCode(), 0) << waiting.readAllStandardError().toStdString();
    EXPECT_EQ(QDir(path("zalohy")).entryList(QDir::Files).size(), 1);
}

} // namespace
