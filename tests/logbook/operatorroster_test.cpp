#include "config/settings.h"
#include "logbook/operatorroster.h"
#include "support/filebytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

const QDateTime kRosterNow(QDate(2026, 12, 9), QTime(14, 3, 27));

// The roster over a real vartemo.ini through the settings model.
class OperatorsInFile : public ::testing::Test {
protected:
    void SetUp() override { settings.setFilePath(path); }

    void writeIni(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("vartemo.ini"));
    Settings settings;
    QStringList logLines;
    OperatorRoster roster{{.names = [this] { return settings.operators(); },
                           .add = [this](const QString& n, QString* e) { return settings.addOperator(n, e); },
                           .remove = [this](int row, QString* e) { return settings.removeOperator(row, e); }},
                          [this](const QString& line) { logLines << line; },
                          [] { return kRosterNow; }};
};

TEST_F(OperatorsInFile, RemovingTheSecondOfThreeClosesTheGap) {
    writeIni("[Uzivatel]\r\nPolozek=3\r\n1=Jan\r\n2=Petr\r\n3=Eva\r\n");
    EXPECT_EQ(roster.Remove(1), QString());
    EXPECT_EQ(readBytes(path), QByteArray("[Uzivatel]\r\nPolozek=2\r\n1=Jan\r\n2=Eva\r\n"));
    EXPECT_EQ(logLines, QStringList{QStringLiteral("14:03:27 - smazán uživatel: Petr")});
    EXPECT_EQ(roster.names(), (QStringList{"Jan", "Eva"}));
}

TEST_F(OperatorsInFile, ANameDifferingOnlyInCaseIsAdded) {
    writeIni("[Uzivatel]\r\nPolozek=1\r\n1=Jan\r\n");
    EXPECT_EQ(roster.Add(QStringLiteral("jan")), QString());
    EXPECT_EQ(readBytes(path), QByteArray("[Uzivatel]\r\nPolozek=2\r\n1=Jan\r\n2=jan\r\n"));
    EXPECT_EQ(logLines, QStringList{QStringLiteral("14:03:27 - přidán uživatel: jan")});
}

TEST_F(OperatorsInFile, TypedNamesAreCheckedAsTheyWillBeReadBack) {
    writeIni("[Uzivatel]\r\nPolozek=1\r\n1=Petr\r\n");
    const QByteArray before = readBytes(path);
    struct Refused {
        const char* typed;
        QString message;
    };
    for (const Refused& r : {Refused{"", OperatorRoster::kNoNameMessage}, Refused{"   ", OperatorRoster::kNoNameMessage},
                             Refused{"Petr ", OperatorRoster::kNameExistsMessage},
                             Refused{" Admin", OperatorRoster::kNameExistsMessage}}) {
        EXPECT_EQ(roster.Add(QString::fromUtf8(r.typed)), r.message) << '"' << r.typed << '"';
        EXPECT_EQ(readBytes(path), before) << '"' << r.typed << '"';
    }
    EXPECT_TRUE(logLines.isEmpty());

    EXPECT_EQ(roster.Add(QStringLiteral("  Jan Novák ")), QString());
    EXPECT_EQ(roster.names(), (QStringList{"Petr", "Jan Novák"}));
}

TEST_F(OperatorsInFile, AFileThatCannotBeReplacedIsToldAndNotLogged) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("vartemo.ini"))); // a folder where the file should be
    const QString message = roster.Add(QStringLiteral("Eva"));
    EXPECT_TRUE(message.startsWith(QStringLiteral("Seznam uživatelů nelze uložit"))) << message.toStdString();
    EXPECT_TRUE(logLines.isEmpty());
    EXPECT_TRUE(roster.names().isEmpty()) << "the list shows what the file holds";
}

TEST(OperatorRoster, AFailedRemovalWritesNoLogLine) {
    QStringList logLines;
    OperatorRoster roster({.names = [] { return QStringList{"Jan", "Petr"}; },
                           .add = {},
                           .remove = [](int, QString* e) {
                               *e = QStringLiteral("No space left on device");
                               return false;
                           }},
                          [&](const QString& line) { logLines << line; });
    EXPECT_TRUE(roster.Remove(1).endsWith(QStringLiteral("No space left on device")));
    EXPECT_TRUE(logLines.isEmpty());
    EXPECT_EQ(roster.Remove(5), QString()) << "no row: nothing happens";
}

TEST(OperatorRoster, SelectorsHoldAdminThenTheNamesFromTheLastKey) {
    EXPECT_EQ(OperatorRoster::SelectorItems({"Jan", "Petr", "Eva"}), (QStringList{"Admin", "Eva", "Petr", "Jan"}));
}

} // namespace
