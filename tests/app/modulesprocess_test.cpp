// The real program and its modules: it finds them beside itself and loads
// each at its first use only, never at a start that does not use it.

#include "core/textfile.h"
#include "support/stationprocess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using vartemo::textfile::encode;
using vartemo::textfile::joinLines;

// The files the process has mapped (its loaded libraries among them).
QByteArray Mapped(qint64 pid) {
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
}

bool MappedWithin(qint64 pid, const QByteArray& file, int ms) {
    QDeadlineTimer deadline(ms);
    while (!Mapped(pid).contains(file)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

quint16 FreeTcpPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void WriteSettings(const QString& home, bool page, bool sound, quint16 port) {
    const QStringList lines = {
        "[Po spusteni]", "LPT=0", "COM=0", "TCP=0", "Hlaseni=0", "Sporic=0",
        "[WebVysledky]", QStringLiteral("Pouzit=%1").arg(int(page)), QStringLiteral("Port=%1").arg(port),
        "Adresa=127.0.0.1",
        "[Zvuk]", QStringLiteral("Hrat=%1").arg(int(sound))};
    QFile ini(home + QStringLiteral("/vartemo.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(encode(joinLines(lines)));
}

// A module and the large library it brings.
struct ModuleAndLibrary {
    const char* module;
    const char* library;
};
const ModuleAndLibrary kFtp{"vartemo_ftp.so", "libcurl"};
const ModuleAndLibrary kPage{"vartemo_liveresults.so", "libmicrohttpd"};
const ModuleAndLibrary kSound{"vartemo_media.so", "libQt6Multimedia"};

QByteArray BesideTheProgram(const char* module) {
    return (QFileInfo(QStringLiteral(VARTEMO_EXECUTABLE)).canonicalPath() + u'/' + QLatin1String(module)).toUtf8();
}

TEST(StationModules, AStartThatUsesNoneLoadsNoneOfThemNorTheirLibraries) {
    QTemporaryDir home, runtime;
    WriteSettings(home.path(), false, false, FreeTcpPort());
    StationProcess station(QStringLiteral(VARTEMO_EXECUTABLE), home.path(), runtime.path());
    ASSERT_TRUE(station.waitForShownWindow());
    QThread::msleep(300); // what a start might still load behind the window
    const QByteArray mapped = Mapped(station.processId());
    ASSERT_TRUE(mapped.contains("libQt6Widgets")) << "the maps of the running station";
    for (const ModuleAndLibrary& m : {kFtp, kPage, kSound}) {
        EXPECT_FALSE(mapped.contains(m.module)) << m.module;
        EXPECT_FALSE(mapped.contains(m.library)) << m.library;
    }
}

// The page on: served from the start, so its module comes from beside the
// program then; the sound module waits for a sound, the FTP module for a
// sending.
TEST(StationModules, ThePageLoadsItsModuleFromBesideTheProgramAtTheStartAndTheOthersWait) {
    QTemporaryDir home, runtime;
    const quint16 port = FreeTcpPort();
    WriteSettings(home.path(), true, false, port);
    StationProcess station(QStringLiteral(VARTEMO_EXECUTABLE), home.path(), runtime.path());
    ASSERT_TRUE(station.waitForShownWindow());
    EXPECT_TRUE(MappedWithin(station.processId(), BesideTheProgram(kPage.module), StationProcess::kDeadlineMs));
    const QByteArray mapped = Mapped(station.processId());
    EXPECT_TRUE(mapped.contains(kPage.library));
    for (const ModuleAndLibrary& m : {kFtp, kSound}) {
        EXPECT_FALSE(mapped.contains(m.module)) << m.module;
        EXPECT_FALSE(mapped.contains(m.library)) << m.library;
    }

    QTcpSocket page;
    page.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(page.waitForConnected(5000));
    page.write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (page.waitForReadyRead(5000))
        answer += page.readAll();
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 200")) << answer.left(80).toStdString();
}

} // namespace
