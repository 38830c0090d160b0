// The station's sending at its end, as a real process ended by SIGTERM.

#include "config/passwordcodec.h"
#include "publishing/ftptestserver.h"
#include "support/dumpablememory.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace vartemo {
namespace {

using test::FtpTestServer;
using test::ReadAll;
using test::WriteAll;

constexpr int kStartDeadlineMs = 30000;

class StationSending : public ::testing::Test {
protected:
    // A station whose closing sends slot 1 to the host with the password.
    void configure(const QString& host, const QString& password) {
        ASSERT_TRUE(WriteAll(home.filePath(QStringLiteral("vysledky/Den.txt")), "results of the day\r\n"));
        const QString ini = QStringLiteral("[Ftp]\r\nAutoposli=1\r\nHostitel=%1\r\nJmeno=%2\r\nHeslo=%3\r\nHesla=0\r\n"
                                           "1=1\r\nSoubor1=%4\r\nFtpAdr1=\r\n")
                                .arg(host, QString::fromLatin1(FtpTestServer::kUser), EncodePassword(password),
                                     home.filePath(QStringLiteral("vysledky/Den.txt")));
        ASSERT_TRUE(WriteAll(home.filePath(QStringLiteral("vartemo.ini")), ini.toLatin1()));
    }
    void start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        station.setProcessEnvironment(env);
        station.start(QStringLiteral(VARTEMO_EXECUTABLE), {"--home", home.path()});
        ASSERT_TRUE(station.waitForStarted(kStartDeadlineMs));
        // Shown: the program log has its block.
        QDeadlineTimer deadline(kStartDeadlineMs);
        while (!deadline.hasExpired() && !ReadAll(home.filePath(QStringLiteral("vartemo.log"))).contains("[ End "))
            QThread::msleep(20);
    }
    // SIGTERM; how long the station took to end.
    qint64 terminate() {
        QElapsedTimer elapsed;
        elapsed.start();
        ::kill(pid_t(station.processId()), SIGTERM);
        EXPECT_TRUE(station.waitForFinished(90000));
        return elapsed.elapsed();
    }
    QByteArray everythingWritten() {
        return station.readAllStandardOutput() + station.readAllStandardError() +
               ReadAll(home.filePath(QStringLiteral("vartemo.den"))) + ReadAll(home.filePath(QStringLiteral("vartemo.log")));
    }

    QTemporaryDir runtime;
    QTemporaryDir home;
    QProcess station;
};

TEST_F(StationSending, TheStationsEndSendsTheCheckedSlots) {
    FtpTestServer server;
    configure(server.host(), QString::fromLatin1(FtpTestServer::kPassword));
    start();
    terminate();
    EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("den.txt"))), "results of the day\r\n");
    // The first start wrote the two sounds.
    EXPECT_TRUE(ReadAll(home.filePath(QStringLiteral("zvuky/success.wav"))).startsWith("RIFF"));
    EXPECT_TRUE(ReadAll(home.filePath(QStringLiteral("zvuky/prg/applause.wav"))).startsWith("RIFF"));
}

TEST_F(StationSending, AServerThatNeverAnswersHoldsTheEndWithinItsBoundAndThePasswordStaysUnsaid) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    silent.pauseAccepting();
    const QString password = QStringLiteral("Zvlastni-Heslo-5521");
    configure(QStringLiteral("127.0.0.1:%1").arg(silent.serverPort()), password);
    start();
    const qint64 tookMs = terminate();
    EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
    EXPECT_LT(tookMs, 75000); // the sending's 60 s and the rest of the end
    EXPECT_FALSE(everythingWritten().contains(password.toUtf8()));
}

} // namespace

// The FTP password is in no file, message, command line, environment or
// dumpable memory of the station: it starts with the password in its
// settings (the dialog never opened), the send at its end fails at the
// server's login.
TEST_F(StationSending, ThePasswordIsInNoFileLogProcessListOrDumpableMemory) {
    FtpTestServer server;
    const QString password = QStringLiteral("Tajne-Heslo-7319");
    configure(server.host(), password);
    start();
    const qint64 pid = station.processId();
    for (const char* file : {"cmdline", "environ"})
        EXPECT_FALSE(ReadAll(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file))).contains(password.toUtf8()))
            << file;
    QThread::msleep(500); // the start-up's last steps
    // Its end as well: freed memory soon loses its first bytes to the allocator.
    EXPECT_EQ(FoundInDumpableMemory(pid, PasswordForms(password) + PasswordForms(password.right(10))).join(u' ').toStdString(),
              "");
    terminate();
    QByteArray written = everythingWritten();
    QDirIterator files(home.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext())
        written += ReadAll(files.next());
    EXPECT_FALSE(written.contains(password.toUtf8()));
    EXPECT_FALSE(written.contains(QByteArray(reinterpret_cast<const char*>(password.utf16()), password.size() * 2)));
    EXPECT_TRUE(ReadAll(server.file(QStringLiteral("den.txt"))).isEmpty()) << "the login was refused";
}

} // namespace vartemo
