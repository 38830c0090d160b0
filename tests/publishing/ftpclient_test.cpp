#include "config/passwordcodec.h"
#include "config/settings.h"
#include "ftptestserver.h"
#include "publishing/ftpclient.h"
#include "publishing/ftppublishing.h"
#include "publishingrun.h"
#include "support/dumpablememory.h"
#include "support/modulefolders.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>

#include <gtest/gtest.h>

namespace vartemo {
namespace {

using test::FtpTestServer;
using test::RunToEnd;
using test::WriteAll;

TEST(SplitHostPort, TakesAPortAfterTheNameElse21) {
    struct Case {
        const char* text;
        const char* name;
        int port;
    };
    const Case cases[] = {
        {"ftp.trat.cz", "ftp.trat.cz", 21},
        {" ftp.trat.cz:2121 ", "ftp.trat.cz", 2121},
        {"10.0.0.5:21", "10.0.0.5", 21},
        {"[::1]:2100", "::1", 2100},
        {"[::1]", "::1", 21},
        {"ftp.trat.cz:ftp", "ftp.trat.cz", 0}, // not a number: refused later
        {"ftp.trat.cz:70000", "ftp.trat.cz", 0},
    };
    for (const Case& c : cases) {
        const HostAndPort split = SplitHostPort(QString::fromLatin1(c.text));
        EXPECT_EQ(split.name, QString::fromLatin1(c.name)) << c.text;
        EXPECT_EQ(split.port, c.port) << c.text;
    }
}

// A listener that accepts in the kernel and never says a word.
struct SilentListener {
    QTcpServer server;
    SilentListener() {
        server.listen(QHostAddress::LocalHost);
        server.pauseAccepting();
    }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(server.serverPort()); }
};

QString RefusedHost() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

FtpEndpoint Direct(const QString& host, const QString& user, const QString& password) {
    FtpEndpoint endpoint;
    endpoint.host = host;
    endpoint.user = user;
    endpoint.password = password;
    return endpoint;
}

FtpUploads OneUpload(const QString& localFile) {
    FtpUploads uploads;
    uploads[0] = FtpUpload{localFile, QString(), QStringLiteral("a.txt"), {}};
    return uploads;
}

// Connections that fail: one message each, and the password in none of them.
TEST(FtpConnectFailure, EndsTheRunWithOneMessageThatNeverHoldsThePassword) {
    QTemporaryDir local;
    ASSERT_TRUE(WriteAll(local.filePath(QStringLiteral("a.txt")), "a"));
    SilentListener silent;
    FtpTestServer server;
    const QString password = QStringLiteral("Unikatni-Heslo-93xQ");
    struct Case {
        const char* what;
        QString host;
        QString user;
    };
    const Case cases[] = {
        {"port refused", RefusedHost(), QStringLiteral("vysledky")},
        {"listener never answering", silent.host(), QStringLiteral("vysledky")},
        {"wrong password", server.host(), QStringLiteral("vysledky")},
        {"unknown user", server.host(), QStringLiteral("nikdo")},
        {"bad host text", QStringLiteral("ftp trat:21"), QStringLiteral("vysledky")},
    };
    for (const Case& c : cases) {
        FtpClient client(FtpTimeouts{2, 2});
        FtpPublishing run(client);
        QStringList states;
        QObject::connect(&client, &FtpClient::stateChanged,
                         [&](FtpState state) { states << FtpStateText(state); });
        const FtpEndpoint endpoint = Direct(c.host, c.user, password);
        const auto outcome = RunToEnd(run, endpoint, OneUpload(local.filePath(QStringLiteral("a.txt"))), 15000);
        ASSERT_TRUE(outcome.finished) << c.what;
        ASSERT_EQ(outcome.messages.size(), 1) << c.what;
        EXPECT_TRUE(outcome.messages[0].startsWith(QStringLiteral("Chyba "))) << c.what;
        EXPECT_GT(outcome.messages[0].size(), 6) << c.what;
        EXPECT_FALSE(outcome.messages[0].contains(password)) << c.what;
        EXPECT_FALSE(client.connected()) << c.what;
        EXPECT_TRUE(QTest::qWaitFor([&] { return states.value(states.size() - 1) == QStringLiteral("Připraven"); }, 5000))
            << c.what;
    }
    EXPECT_TRUE(server.files().isEmpty());
}

// A station installed without its FTP module: the sending ends as a failed
// connection does, with a message that says what is missing, and no crash.
TEST(FtpConnectFailure, AMissingFtpModuleEndsTheRunWithAMessageNamingIt) {
    FtpTestServer server;
    QTemporaryDir local;
    QTemporaryDir noModules;
    ASSERT_TRUE(WriteAll(local.filePath(QStringLiteral("a.txt")), "a"));
    test::ModuleFolders missing({noModules.path()});
    FtpClient client(FtpTimeouts{2, 2});
    FtpPublishing run(client);
    QStringList states;
    QObject::connect(&client, &FtpClient::stateChanged, [&](FtpState state) { states << FtpStateText(state); });
    QSignalSpy done(&client, &FtpClient::requestDone);
    const auto outcome = RunToEnd(run, Direct(server.host(), QString::fromLatin1(FtpTestServer::kUser),
                                              QString::fromLatin1(FtpTestServer::kPassword)),
                                  OneUpload(local.filePath(QStringLiteral("a.txt"))), 15000);
    ASSERT_TRUE(outcome.finished);
    ASSERT_EQ(outcome.messages.size(), 1);
    EXPECT_TRUE(outcome.messages[0].startsWith(QStringLiteral("Chyba "))) << outcome.messages[0].toStdString();
    EXPECT_TRUE(outcome.messages[0].contains(QStringLiteral("Modul pro FTP nelze použít: Modul vartemo_ftp.so nebyl nalezen")))
        << outcome.messages[0].toStdString();
    ASSERT_GE(done.count(), 1);
    const auto reply = done.at(0).at(0).value<FtpReply>();
    EXPECT_EQ(reply.request, FtpRequest::Connect);
    EXPECT_FALSE(reply.ok);
    EXPECT_FALSE(client.connected());
    EXPECT_FALSE(states.contains(FtpStateText(FtpState::Connecting))) << "no connection was tried";
    EXPECT_TRUE(server.files().isEmpty());
}

TEST(FtpConnectFailure, AListenerThatNeverAnswersIsLeftAfterTheTimeOut) {
    SilentListener silent;
    FtpClient client(FtpTimeouts{1, 1});
    QSignalSpy done(&client, &FtpClient::requestDone);
    QElapsedTimer elapsed;
    elapsed.start();
    client.Connect(Direct(silent.host(), QStringLiteral("u"), QStringLiteral("p")));
    ASSERT_TRUE(done.wait(10000));
    const auto reply = done.at(0).at(0).value<FtpReply>();
    EXPECT_FALSE(reply.ok);
    EXPECT_GE(elapsed.elapsed(), 900);
}

TEST(FtpRunLimit, ARunThatOutlastsItsLimitIsAbortedWithAMessage) {
    SilentListener silent;
    QTemporaryDir local;
    ASSERT_TRUE(WriteAll(local.filePath(QStringLiteral("a.txt")), "a"));
    // The client alone would wait half a minute.
    FtpClient client(FtpTimeouts{30, 30});
    FtpPublishing run(client);
    const auto outcome = RunToEnd(run, Direct(silent.host(), QStringLiteral("u"), QStringLiteral("p")),
                                  OneUpload(local.filePath(QStringLiteral("a.txt"))), 10000, 1500);
    ASSERT_TRUE(outcome.finished);
    ASSERT_FALSE(outcome.messages.isEmpty());
    EXPECT_TRUE(outcome.messages[0].contains(QStringLiteral("limitu")));
    // The aborted connect's own completion does not start anything.
    QTest::qWait(1500);
    EXPECT_FALSE(run.running());
}

TEST(FtpCancel, CancellingMidUploadLeavesNothingUnderThePublishedName) {
    FtpTestServer server;
    QTemporaryDir local;
    // Large enough to be still moving when the cancel comes.
    ASSERT_TRUE(WriteAll(local.filePath(QStringLiteral("big.bin")), QByteArray(64 * 1024 * 1024, 'x')));
    FtpClient client;
    FtpPublishing run(client);
    QSignalSpy progress(&client, &FtpClient::progress);
    QSignalSpy finished(&run, &FtpPublishing::finished);
    FtpUploads uploads;
    uploads[0] = FtpUpload{local.filePath(QStringLiteral("big.bin")), QString(), QStringLiteral("big.bin"), {}};
    ASSERT_TRUE(run.start(Direct(server.host(), QString::fromLatin1(FtpTestServer::kUser),
                                      QString::fromLatin1(FtpTestServer::kPassword)),
                          uploads));
    ASSERT_TRUE(progress.wait(10000));
    run.cancel();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(run.sentFlags(), (std::array<bool, kFtpUploadCount>{}));
    QTest::qWait(500);
    EXPECT_FALSE(QFile::exists(server.file(QStringLiteral("big.bin"))));
    // The client takes the next run at once.
    QFile::remove(local.filePath(QStringLiteral("big.bin")));
    ASSERT_TRUE(WriteAll(local.filePath(QStringLiteral("a.txt")), "after"));
    const auto outcome = RunToEnd(run, Direct(server.host(), QString::fromLatin1(FtpTestServer::kUser),
                                                  QString::fromLatin1(FtpTestServer::kPassword)),
                                  OneUpload(local.filePath(QStringLiteral("a.txt"))));
    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.messages.isEmpty()) << outcome.messages.join(u'\n').toStdString();
    EXPECT_EQ(test::ReadAll(server.file(QStringLiteral("a.txt"))), "after");
}

// After a sending whose login the server refused, the password the sending
// had is nowhere in the memory a core dump of this process would hold: the
// client's copies, the endpoint's and libcurl's were overwritten.
TEST(FtpPassword, NoneIsLeftInDumpableMemoryAfterASending) {
    QTemporaryDir local;
    ASSERT_TRUE(WriteAll(local.filePath(QStringLiteral("a.txt")), "a"));
    FtpTestServer server;
    QList<QByteArray> forms;
    {
        // Made at run time, in place: the program's own text holds no copy
        // of it. Looked for by its random end: freed memory soon loses its
        // first bytes to the allocator's own bookkeeping.
        QString password = QStringLiteral("Tajne-heslo-000000000000");
        for (qsizetype i = 12; i < password.size(); ++i)
            password[i] = QChar(u'a' + char16_t(QRandomGenerator::global()->bounded(26)));
        QString end = password.right(12);
        forms = PasswordForms(end);
        WipeText(end);
        FtpClient client(FtpTimeouts{5, 5});
        FtpPublishing run(client);
        FtpEndpoint endpoint = Direct(server.host(), QStringLiteral("vysledky"), password);
        WipeText(password);
        const auto outcome = RunToEnd(run, endpoint, OneUpload(local.filePath(QStringLiteral("a.txt"))), 15000);
        ASSERT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.messages.size(), 1);
    }
    EXPECT_TRUE(server.files().isEmpty());
    EXPECT_EQ(FoundInDumpableMemory(QCoreApplication::applicationPid(), forms).join(u' ').toStdString(), "");
}

} // namespace
} // namespace vartemo
