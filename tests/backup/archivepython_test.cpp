// A second reader and writer, written in Python from the format alone,
// reads the component's archives to the same bytes, and the component
// restores archives that it built by hand (raw and compressed chunks, parts).

#include "archivetestkit.h"
#include "backup/tbackupfile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;
using namespace archivetest;

namespace {

QString RunTool(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral("python3"), QStringList{QStringLiteral(ARCHIVE_TOOL_PY)} + arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("FAILED: ") + QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

class PythonArchive : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

TEST_F(PythonArchive, ReadsTheComponentsArchivesToTheSameBytes) {
    const std::pair<const char*, QByteArray> files[] = {
        {"src/stav.ini", "[Motokara1]\r\nCas=12:30\r\n"},
        {"src/vysledky/Řidič.caskola", QByteArray(50000, 'l')},
        {"src/noise.bin", Noise(70000)},
        {"src/empty", {}},
    };
    for (const auto& [name, content] : files)
        WriteFile(path(QString::fromUtf8(name)), content);
    for (const qint64 partSize : {qint64(0), qint64(40000)}) {
        SCOPED_TRACE(partSize);
        TBackupFile backup;
        backup.MaxSize = partSize;
        backup.BackupTitle = QStringLiteral("záloha vartemo");
        ASSERT_TRUE(backup.BackupFiles({path("src/*.*"), path("src/vysledky/*.*")}, path("a.bck")));
        const QString out = path(QStringLiteral("out%1").arg(partSize));
        const QString listing = RunTool({QStringLiteral("read"), path("a.bck"), out});
        ASSERT_FALSE(listing.startsWith("FAILED")) << listing.toStdString();
        EXPECT_TRUE(listing.startsWith(QStringLiteral("title\tzáloha vartemo\t"))) << listing.toStdString();
        for (const auto& [name, content] : files)
            EXPECT_EQ(ReadFile(out + path(QString::fromUtf8(name))), content) << name;
        EXPECT_TRUE(ReadFile(out + "/FILE:LIST").contains(path("src/stav.ini").toUtf8().replace("/", "/")));
    }
}

TEST_F(PythonArchive, TheComponentRestoresArchivesBuiltByHand) {
    const QByteArray big = Noise(100000) + QByteArray(60000, 'r');
    WriteFile(path("in/big"), big);
    WriteFile(path("in/small"), "tiny");
    const QString storedBig = QStringLiteral("/track/vysledky/Jízda 1.caskola");
    for (const int partChunks : {0, 3}) {
        SCOPED_TRACE(partChunks);
        const QString written = RunTool({QStringLiteral("write"), path("hand.bck"), QString::number(partChunks),
                                         storedBig + u'=' + path("in/big"),
                                         QStringLiteral("/track/stav.ini=") + path("in/small")});
        ASSERT_FALSE(written.startsWith("FAILED")) << written.toStdString();
        EXPECT_EQ(QFile::exists(path("hand.002")), partChunks > 0);
        TBackupFile restorer;
        restorer.RestoreFullPath = true;
        const QString target = path(QStringLiteral("back%1").arg(partChunks));
        ASSERT_TRUE(restorer.RestoreArchive(path("hand.bck"), target)) << restorer.ErrorCode();
        EXPECT_EQ(ReadFile(target + storedBig), big);
        EXPECT_EQ(ReadFile(target + "/track/stav.ini"), "tiny");
        EXPECT_EQ(QFileInfo(target + "/track/stav.ini").lastModified(),
                  QDateTime(QDate(2026, 12, 9), QTime(14, 3, 20)));
        EXPECT_TRUE(restorer.VerifyArchive(path("hand.bck")));
        QStringList identities;
        EXPECT_EQ(restorer.GetArchiveInfo(path("hand.bck"), &identities), QStringLiteral("ruční archiv"));
        EXPECT_TRUE(identities.isEmpty());
    }
}

} // namespace
