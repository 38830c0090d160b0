#include "core/textfile.h"
#include "logbook/programlog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

const QDateTime kStart(QDate(2026, 12, 9), QTime(8, 0, 5));
const QDateTime kEnd(QDate(2026, 12, 9), QTime(8, 0, 9));

ProgramLog filledLog(const QString& path) {
    ProgramLog log(path);
    log.setStart(kStart);
    log.setLine(StartupLine::PortLibrary, StatusLine(100032, true));
    log.setLine(StartupLine::Configuration, StatusLine(100041, true));
    log.setLine(StartupLine::DiplomaLogo, StatusLine(100051, false));
    log.setLine(StartupLine::DiplomaPicture, StatusLine(100061, false));
    log.setLine(StartupLine::PrintLogo, StatusLine(100071, true));
    log.setSystemInfo({"Vartemo Kestral verze 2.3 sestavení 87", "Program instalován do: /x/"});
    return log;
}

const QStringList kBlock{
    "[ Start 9.12.2026 8:00:05 ]",
    "Status\t100032\tOK",
    "Status\t100041\tOK",
    "",
    "Status\t100051\tError",
    "Status\t100061\tError",
    "Status\t100071\tOK",
    "",
    "",
    "",
    "Vartemo Kestral verze 2.3 sestavení 87",
    "Program instalován do: /x/",
    "[ End 9.12.2026 8:00:09 ]",
    "",
};

} // namespace

TEST(ProgramLog, EveryStartAppendsOneBlock) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vartemo.log"));
    ASSERT_TRUE(filledLog(path).WriteProgramLog(kEnd));
    EXPECT_EQ(*textfile::readLines(path), kBlock);
    ASSERT_TRUE(filledLog(path).WriteProgramLog(kEnd));
    EXPECT_EQ(*textfile::readLines(path), kBlock + kBlock);
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().startsWith("[ Start 9.12.2026 8:00:05 ]\r\nStatus\t100032\tOK\r\n"));
}

TEST(ProgramLog, ErrorsJoinTheBlockThenFollowItAsTheyHappen) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vartemo.log"));
    ProgramLog log = filledLog(path);
    const QDateTime early(QDate(2026, 12, 9), QTime(8, 0, 7));
    ASSERT_TRUE(log.addError(early, "'abc' is not a valid integer value"));
    EXPECT_FALSE(QFile::exists(path)) << "nothing written before the block";
    ASSERT_TRUE(log.WriteProgramLog(kEnd));
    const QDateTime later(QDate(2026, 12, 9), QTime(9, 15, 0));
    ASSERT_TRUE(log.addError(later, "COM3:\r\nCOM port je obsazen"));

    QStringList expected = kBlock;
    expected.insert(expected.size() - 2, "Error\t9.12.2026 8:00:07\t'abc' is not a valid integer value");
    expected << "Error\t9.12.2026 9:15:00\tCOM3: COM port je obsazen"; // one line, whatever the message
    EXPECT_EQ(*textfile::readLines(path), expected);
}

TEST(ProgramLog, ALogOverTheLimitIsStartedAnew) {
    struct Case {
        qint64 size;
        bool kept;
    };
    const Case cases[] = {{600000, false}, {550001, false}, {550000, true}, {10, true}};
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vartemo.log"));
        const QByteArray old(c.size, 'x');
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        ASSERT_TRUE(filledLog(path).WriteProgramLog(kEnd));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QByteArray block = textfile::encode(textfile::joinLines(kBlock));
        EXPECT_EQ(bytes, c.kept ? old + block : block) << c.size;
    }
}

TEST(ProgramLog, AnUnwritableLogReportsAndWritesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vartemo.log"));
    ASSERT_TRUE(QDir().mkdir(path));
    QString error;
    EXPECT_FALSE(filledLog(path).WriteProgramLog(kEnd, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ProgramLog, StatusLinesCarrySixDigitCodes) {
    EXPECT_EQ(StatusLine(100042, false), QStringLiteral("Status\t100042\tError"));
    EXPECT_EQ(StatusLine(42, true), QStringLiteral("Status\t000042\tOK"));
}
