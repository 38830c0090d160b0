#include "config/settings.h"
#include "ftptestserver.h"
#include "publishing/ftppublishing.h"
#include "publishingrun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vartemo {
namespace {

using S = SettingId;
using test::FtpTestServer;
using test::ReadAll;
using test::RunToEnd;
using test::WriteAll;

// The page's settings for a server, with local files in a folder of the test.
class PublishingTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.setText(S::FtpJmeno, QString::fromLatin1(FtpTestServer::kUser));
        settings.setText(S::FtpHeslo, QString::fromLatin1(FtpTestServer::kPassword));
    }
    // A checked slot with a local file of these bytes.
    void slot(int n, const QString& fileName, const QString& folder, const QByteArray& bytes) {
        const QString path = local.filePath(fileName);
        ASSERT_TRUE(WriteAll(path, bytes));
        settings.setBoolean(NumberedSetting(S::cbFtp1, n), true);
        settings.setText(NumberedSetting(S::FtpSoubor1, n), path);
        settings.setText(NumberedSetting(S::FtpAdr1, n), folder);
    }
    test::RunOutcome send(FtpTestServer& server, std::array<bool, 2> pictures = {false, false}) {
        settings.setText(S::FtpHostitel, server.host());
        return RunToEnd(run, FtpEndpointFromSettings(settings), FtpUploadsFromSettings(settings, pictures));
    }
    static QByteArray bytes(char fill, int size) { return QByteArray(size, fill); }

    QTemporaryDir local;
    Settings settings;
    FtpClient client{FtpTimeouts{5, 5}};
    FtpPublishing run{client};
};

TEST_F(PublishingTest, SlotsOneAndSixGoOverOneConnectionToTheirFoldersInLowerCase) {
    // A proxy in the environment that leads nowhere must not divert the session.
    qputenv("all_proxy", "http://127.0.0.1:9");
    qputenv("ftp_proxy", "http://127.0.0.1:9");
    FtpTestServer server;
    QDir(server.root()).mkpath(QStringLiteral("den"));
    QDir(server.root()).mkpath(QStringLiteral("web/archiv"));
    slot(1, QStringLiteral("Vysledky.TXT"), QStringLiteral("den"), bytes('a', 3000) + "\r\n\x00\xff");
    slot(6, QStringLiteral("Jizdy Dnes.CSV"), QStringLiteral("web/archiv/"), bytes('b', 70000));

    const auto outcome = send(server);
    qunsetenv("all_proxy");
    qunsetenv("ftp_proxy");

    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.messages.isEmpty()) << outcome.messages.join(u'\n').toStdString();
    EXPECT_EQ(outcome.maximum, 2);
    EXPECT_EQ(outcome.position, 2);
    EXPECT_EQ(server.logins(), 1);
    EXPECT_EQ(server.files(), (QStringList{QStringLiteral("den/vysledky.txt"), QStringLiteral("web/archiv/jizdy dnes.csv")}));
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("den/vysledky.txt"))), ReadAll(local.filePath(QStringLiteral("Vysledky.TXT"))));
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("web/archiv/jizdy dnes.csv"))), bytes('b', 70000));
    EXPECT_TRUE(server.commands().contains(QStringLiteral("TYPE I")));
    // The session ends after the run: QUIT follows on the client's thread.
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.commands().contains(QStringLiteral("QUIT")); }, 5000));
}

TEST_F(PublishingTest, SlotFiveSendsBothPicturesAfterSlotFourWithTheirNamesKept) {
    FtpTestServer server;
    QDir(server.root()).mkpath(QStringLiteral("top"));
    for (int n = 1; n <= 4; ++n)
        slot(n, QStringLiteral("Slot%1.txt").arg(n), QString(), QByteArray::number(n));
    settings.setText(S::FtpAdr4, QStringLiteral("top"));
    settings.setBoolean(S::cbFtp5, true);
    settings.setText(S::FtpSoubor4, local.filePath(QStringLiteral("Tabulka")));
    ASSERT_TRUE(WriteAll(TablePicturePath(settings, false), bytes('m', 5000)));
    ASSERT_TRUE(WriteAll(TablePicturePath(settings, true), bytes('z', 6000)));
    // Slot 4's file is the prefix of the pictures' names.
    ASSERT_TRUE(WriteAll(local.filePath(QStringLiteral("Tabulka")), "4"));

    const auto outcome = send(server, {true, true});

    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.messages.isEmpty()) << outcome.messages.join(u'\n').toStdString();
    EXPECT_EQ(outcome.maximum, 5);
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("top/Tabulka_muzi.jpg"))), bytes('m', 5000));
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("top/Tabulka_zeny.jpg"))), bytes('z', 6000));
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("top/tabulka"))), "4");
    QStringList stored;
    for (const QString& command : server.commands())
        if (command.startsWith(QLatin1String("RNTO ")))
            stored << command.mid(5);
    EXPECT_EQ(stored, (QStringList{"slot1.txt", "slot2.txt", "slot3.txt", "tabulka", "Tabulka_muzi.jpg",
                                   "Tabulka_zeny.jpg"}));
}

TEST_F(PublishingTest, APictureNotMadeForThisRunIsNotSentAndTheMessageSaysSo) {
    FtpTestServer server;
    settings.setBoolean(S::cbFtp5, true);
    settings.setText(S::FtpSoubor4, local.filePath(QStringLiteral("T")));
    // Yesterday's pictures still lie there; today's women's export failed.
    ASSERT_TRUE(WriteAll(TablePicturePath(settings, false), "today"));
    ASSERT_TRUE(WriteAll(TablePicturePath(settings, true), "yesterday"));

    const auto outcome = send(server, {true, false});

    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(server.files(), QStringList{QStringLiteral("T_muzi.jpg")});
    ASSERT_EQ(outcome.messages.size(), 1);
    EXPECT_TRUE(outcome.messages[0].startsWith(QStringLiteral("Chyba ")));
    EXPECT_TRUE(outcome.messages[0].contains(QStringLiteral("T_zeny.jpg")));
}

TEST_F(PublishingTest, WrongPasswordGivesOneMessageWithTheServersReplyAndSendsNothing) {
    FtpTestServer server;
    slot(1, QStringLiteral("a.txt"), QString(), "a");
    slot(2, QStringLiteral("b.txt"), QString(), "b");
    const QString wrong = QStringLiteral("Zz-jine-heslo-481");
    settings.setText(S::FtpHeslo, wrong);

    const auto outcome = send(server);

    ASSERT_TRUE(outcome.finished);
    ASSERT_EQ(outcome.messages.size(), 1);
    EXPECT_TRUE(outcome.messages[0].startsWith(QStringLiteral("Chyba 530"))) << outcome.messages[0].toStdString();
    EXPECT_FALSE(outcome.messages[0].contains(wrong));
    EXPECT_TRUE(server.files().isEmpty());
    EXPECT_FALSE(client.connected());
}

TEST_F(PublishingTest, AMissingFolderFailsItsSlotAndTheChainGoesOn) {
    FtpTestServer server;
    slot(1, QStringLiteral("a.txt"), QString(), "a");
    slot(2, QStringLiteral("b.txt"), QStringLiteral("chybi"), "b");
    slot(3, QStringLiteral("c.txt"), QString(), "c");

    const auto outcome = send(server);

    ASSERT_TRUE(outcome.finished);
    ASSERT_EQ(outcome.messages.size(), 1);
    EXPECT_TRUE(outcome.messages[0].startsWith(QStringLiteral("Chyba 550"))) << outcome.messages[0].toStdString();
    EXPECT_EQ(server.files(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("c.txt")}));
    EXPECT_EQ(outcome.position, 3);
    EXPECT_EQ(server.logins(), 1);
}

TEST_F(PublishingTest, AMissingLocalFileLeavesTheServersFileAsItWas) {
    FtpTestServer server;
    ASSERT_TRUE(WriteAll(server.file(QStringLiteral("vysledky.txt")), "published yesterday"));
    slot(1, QStringLiteral("vysledky.txt"), QString(), "x");
    QFile::remove(local.filePath(QStringLiteral("vysledky.txt")));
    slot(2, QStringLiteral("b.txt"), QString(), "b");

    const auto outcome = send(server);

    ASSERT_TRUE(outcome.finished);
    ASSERT_EQ(outcome.messages.size(), 1);
    EXPECT_TRUE(outcome.messages[0].contains(local.filePath(QStringLiteral("vysledky.txt"))));
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("vysledky.txt"))), "published yesterday");
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("b.txt"))), "b");
}

TEST_F(PublishingTest, AnUploadTheServerDoesNotConfirmKeepsThePublishedFile) {
    FtpTestServer server({QStringLiteral("--no-226")});
    ASSERT_TRUE(WriteAll(server.file(QStringLiteral("vysledky.txt")), "published yesterday"));
    slot(1, QStringLiteral("vysledky.txt"), QString(), bytes('n', 20000));
    slot(3, QStringLiteral("c.txt"), QString(), "c");

    const auto outcome = send(server);

    ASSERT_TRUE(outcome.finished);
    ASSERT_EQ(outcome.messages.size(), 2) << outcome.messages.join(u'\n').toStdString();
    EXPECT_TRUE(outcome.messages[0].startsWith(QStringLiteral("Chyba 451")));
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("vysledky.txt"))), "published yesterday");
    EXPECT_FALSE(QFile::exists(server.file(QStringLiteral("c.txt"))));
}

TEST_F(PublishingTest, AServerThatHangsMidRunEndsTheRunAfterOneTimeOutNotOnePerFile) {
    FtpTestServer server({QStringLiteral("--stall-after"), QStringLiteral("1")});
    for (int n = 1; n <= 4; ++n)
        slot(n, QStringLiteral("s%1.txt").arg(n), QString(), QByteArray::number(n));

    const auto outcome = send(server);

    ASSERT_TRUE(outcome.finished);
    ASSERT_EQ(outcome.messages.size(), 1) << outcome.messages.join(u'\n').toStdString();
    EXPECT_EQ(server.files(), QStringList{QStringLiteral("s1.txt")});
    EXPECT_FALSE(client.connected());
    EXPECT_FALSE(run.running());
}

TEST_F(PublishingTest, ANameWithALineBreakFailsItsSlotBeforeAnyCommand) {
    FtpTestServer server;
    ASSERT_TRUE(WriteAll(server.file(QStringLiteral("keep.txt")), "keep"));
    slot(1, QStringLiteral("x\nDELE keep.txt"), QString(), "x");
    slot(2, QStringLiteral("b.txt"), QStringLiteral("\r\nDELE keep.txt"), "b");
    slot(3, QStringLiteral("c.txt"), QString(), "c");

    const auto outcome = send(server);

    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.messages.size(), 2);
    EXPECT_EQ(server.files(), (QStringList{QStringLiteral("c.txt"), QStringLiteral("keep.txt")}));
    for (const QString& command : server.commands())
        EXPECT_FALSE(command.startsWith(QLatin1String("DELE"))) << command.toStdString();
}

TEST_F(PublishingTest, ThroughAnHttpProxyTheSessionIsTunnelledWithTheProxyLogin) {
    FtpTestServer server({QStringLiteral("--proxy"), QStringLiteral("--proxy-user"), QStringLiteral("brana:Pp-55")});
    slot(1, QStringLiteral("a.txt"), QString(), bytes('p', 40000));
    settings.setBoolean(S::cbProxyHttp, true);
    settings.setText(S::ProxyAdresa, QStringLiteral("127.0.0.1"));
    settings.setText(S::eProxyPort, QString::number(server.proxyPort()));
    settings.setText(S::ProxyJmeno, QStringLiteral("brana"));
    settings.setText(S::ProxyHeslo, QStringLiteral("Pp-55"));

    const auto outcome = send(server);

    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.messages.isEmpty()) << outcome.messages.join(u'\n').toStdString();
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("a.txt"))), bytes('p', 40000));
    const QStringList log = server.proxyLog();
    ASSERT_FALSE(log.isEmpty());
    for (const QString& line : log)
        EXPECT_TRUE(line.startsWith(QLatin1String("CONNECT 127.0.0.1:")) && line.endsWith(QLatin1String(" brana:Pp-55")))
            << line.toStdString();
}

TEST_F(PublishingTest, ThroughAnFtpGatewayTheProxyUserLogsInThenSiteThenTheServersUser) {
    FtpTestServer server({QStringLiteral("--gateway"), QStringLiteral("--gateway-user"), QStringLiteral("brana"),
                          QStringLiteral("--gateway-password"), QStringLiteral("Gw-77")});
    slot(1, QStringLiteral("a.txt"), QString(), "gateway");
    settings.setBoolean(S::cbProxyFtp, true);
    settings.setText(S::ProxyAdresa, QStringLiteral("127.0.0.1"));
    settings.setText(S::eProxyPort, QString::number(server.port()));
    settings.setText(S::ProxyJmeno, QStringLiteral("brana"));
    settings.setText(S::ProxyHeslo, QStringLiteral("Gw-77"));

    settings.setText(S::FtpHostitel, QStringLiteral("ftp.trat.example"));
    const auto outcome = RunToEnd(run, FtpEndpointFromSettings(settings), FtpUploadsFromSettings(settings, {}));

    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.messages.isEmpty()) << outcome.messages.join(u'\n').toStdString();
    EXPECT_EQ(ReadAll(server.file(QStringLiteral("a.txt"))), "gateway");
    QStringList login;
    for (const QString& command : server.commands())
        if (command.startsWith(QLatin1String("USER")) || command.startsWith(QLatin1String("PASS")) ||
            command.startsWith(QLatin1String("SITE")))
            login << command;
    EXPECT_EQ(login, (QStringList{QStringLiteral("USER brana"), QStringLiteral("PASS ***"),
                                  QStringLiteral("SITE ftp.trat.example"),
                                  QStringLiteral("USER %1").arg(QString::fromLatin1(FtpTestServer::kUser)),
                                  QStringLiteral("PASS ***")}));
}

} // namespace
} // namespace vartemo
