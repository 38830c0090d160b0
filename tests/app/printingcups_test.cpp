// The automatic print through a real print server: a private cupsd on
// 127.0.0.1 with a raw queue that keeps the spooled files.

#include "app/printingwindows.h"
#include "stationride.h"
#include "../engine/qstringprinter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace vartemo;
using namespace vartemo::testing;

namespace {

constexpr int kServerDeadlineMs = 20'000;

// cupsd in the foreground with its folders in a temporary one; the queue
// "vartemo" is the server's default destination.
class PrintServer {
public:
    PrintServer() {
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            port_ = probe.serverPort();
        }
        const QString root = dir_.path();
        for (const char* sub : {"conf", "spool", "cache", "state", "tmp", "log"})
            QDir(root).mkpath(QLatin1String(sub));
        // The server's helpers run as an unprivileged user and must reach them.
        for (const QString& path : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QFile::setPermissions(QDir(root).filePath(path), QFile::Permissions(0x7755));
        QFile::setPermissions(root, QFile::Permissions(0x7755));
        write("conf/cupsd.conf", QStringLiteral(
            "Listen 127.0.0.1:%1\nServerName 127.0.0.1\nLogLevel warn\nPreserveJobFiles Yes\n"
            "PreserveJobHistory Yes\nWebInterface No\nBrowsing Off\nDefaultAuthType None\n"
            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
            "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
            "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n").arg(port_));
        write("conf/cups-files.conf", QStringLiteral(
            "ServerRoot %1/conf\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
            "TempDir %1/tmp\nAccessLog %1/log/access_log\nErrorLog %1/log/error_log\n"
            "PageLog %1/log/page_log\nFileDevice Yes\nSandboxing Relaxed\nSystemGroup root\n").arg(root));
        cupsd_.setProcessChannelMode(QProcess::MergedChannels);
        cupsd_.start(QStringLiteral("/usr/sbin/cupsd"),
                     {"-f", "-c", dir_.filePath("conf/cupsd.conf"), "-s", dir_.filePath("conf/cups-files.conf")});
        if (!cupsd_.waitForStarted(kServerDeadlineMs) || !waitForPort())
            return;
        ready_ = run("/usr/sbin/lpadmin", {"-h", server(), "-p", "vartemo", "-E", "-v", "file:///dev/null", "-m", "raw"}) &&
                 run("/usr/sbin/lpadmin", {"-h", server(), "-d", "vartemo"});
    }
    ~PrintServer() {
        cupsd_.terminate();
        if (!cupsd_.waitForFinished(5000))
            cupsd_.kill();
        cupsd_.waitForFinished(5000);
    }

    bool ready() const { return ready_; }
    QString server() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    QString error() const { return QString::fromUtf8(const_cast<QProcess&>(cupsd_).readAll()) + errors_; }
    QDir spool() const { return QDir(dir_.filePath("spool")); }
    QStringList spooled(const char* pattern) const {
        return spool().entryList({QLatin1String(pattern)}, QDir::Files, QDir::Name);
    }

private:
    void write(const char* file, const QString& text) {
        QFile f(dir_.filePath(QLatin1String(file)));
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
    }
    bool waitForPort() {
        QDeadlineTimer deadline(kServerDeadlineMs);
        while (!deadline.hasExpired()) {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, port_);
            if (s.waitForConnected(200))
                return true;
            QTest::qWait(100);
        }
        errors_ += QStringLiteral("cupsd does not answer on %1\n").arg(port_);
        return false;
    }
    bool run(const char* program, const QStringList& arguments) {
        QProcess p;
        p.start(QLatin1String(program), arguments);
        const bool ok = p.waitForFinished(kServerDeadlineMs) && p.exitCode() == 0;
        if (!ok)
            errors_ += QString::fromUtf8(p.readAllStandardError());
        return ok;
    }

    QTemporaryDir dir_;
    QProcess cupsd_;
    quint16 port_ = 0;
    bool ready_ = false;
    QString errors_;
};

} // namespace

TEST_F(StationRide, TheAutomaticPrintIsOneJobOfTheSheetOnThePrintServer) {
    PrintServer server;
    ASSERT_TRUE(server.ready()) << server.error().toStdString();
    // Before any printer is asked for: the station's printing finds this server.
    qputenv("CUPS_SERVER", server.server().toLatin1());

    writeIni("[Semafor]\r\nPouzij=0\r\n[Tisk]\r\nAutotisk=1\r\n");
    Station station{ProgramFolder(home.path())};
    station.show();
    MessageCloser closer;
    ride(station);

    // The server writes a job's control file a moment after taking its document.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.spooled("d*").isEmpty() && !server.spooled("c*").isEmpty(); },
                                kServerDeadlineMs))
        << server.error().toStdString();
    QTest::qWait(300); // nothing else follows
    EXPECT_EQ(server.spooled("c*"), QStringList{"c00001"});
    ASSERT_EQ(server.spooled("d*"), QStringList{"d00001-001"});
    EXPECT_TRUE(closer.texts.isEmpty()) << closer.texts.join(u'\n').toStdString();

    // The job's attributes carry its title; the spooled document is the sheet.
    QFile control(server.spool().filePath("c00001"));
    ASSERT_TRUE(control.open(QIODevice::ReadOnly));
    EXPECT_TRUE(control.readAll().contains(QStringLiteral("vartemo - časy").toUtf8()));
    const QString document = server.spool().filePath("d00001-001");
    QFile doc(document);
    ASSERT_TRUE(doc.open(QIODevice::ReadOnly));
    EXPECT_TRUE(doc.read(5) == "%PDF-");
    const QString text = PdfText(document);
    EXPECT_TRUE(text.contains("VÝSLEDKOVÁ LISTINA")) << text.left(400).toStdString();
    for (int k = 1; k <= kKartCount; ++k)
        EXPECT_TRUE(text.contains(QStringLiteral("Řidič%1").arg(k))) << k;
    EXPECT_EQ(logBook().filter("\tKč ").size(), 1);
}
