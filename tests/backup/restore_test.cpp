// Restoring: where files go, which ones a mode writes, and that a damaged,
// cut or hostile archive changes nothing.

#include "archivetestkit.h"
#include "backup/tbackupfile.h"
#include "core/textfile.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zlib.h>

#include <set>

using namespace vartemo;
using namespace archivetest;

namespace {

const QDateTime kArchived(QDate(2026, 12, 9), QTime(14, 3, 20));

// Every path below a folder with its content: the whole state of a tree.
std::map<QString, QByteArray> Tree(const QString& root) {
    std::map<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        const QFileInfo info(p);
        tree[p.mid(root.size())] = info.isSymLink() ? "link:" + info.symLinkTarget().toUtf8()
                                   : info.isDir()   ? QByteArray("<dir>")
                                                    : ReadFile(p);
    }
    return tree;
}

class Restore : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QStringList errors;
    TBackupFile backup{{.showError = [this](const QString& m) { errors << m; }}};

    QString path(const QString& name) const { return dir.filePath(name); }
    QString archive() const { return path(QStringLiteral("a.bck")); }
    void writeArchive(const Builder& b) const { WriteFile(archive(), b.bytes); }
};

TEST_F(Restore, ModesChooseByExistenceAndDate) {
    // a is missing at the target, b older, c as old, d newer than archived.
    for (const char* name : {"a", "b", "c", "d"})
        WriteFile(path(QStringLiteral("src/") + name), QByteArray("new ") + name, kArchived);
    const QStringList masks{path("src/*.*")};
    ASSERT_TRUE(backup.BackupFiles(masks, archive()));

    struct Case {
        TRestoreMode mode;
        const char* written;
    };
    const Case cases[] = {
        {TRestoreMode::rmAll, "abcd"},     {TRestoreMode::rmNoOverwrite, "a"},
        {TRestoreMode::rmNewer, "ab"},     {TRestoreMode::rmExisting, "bcd"},
        {TRestoreMode::rmExistingNewer, "b"},
    };
    for (const Case& c : cases) {
        const QString target = path(QStringLiteral("target%1").arg(int(c.mode)));
        WriteFile(target + "/b", "old b", kArchived.addDays(-1));
        WriteFile(target + "/c", "old c", kArchived);
        WriteFile(target + "/d", "old d", kArchived.addDays(1));
        backup.RestoreMode = c.mode;
        ASSERT_TRUE(backup.RestoreArchive(archive(), target));
        QString written;
        for (const char* name : {"a", "b", "c", "d"})
            if (ReadFile(target + u'/' + QLatin1String(name)).startsWith("new"))
                written += QLatin1String(name);
        EXPECT_EQ(written, QLatin1String(c.written)) << int(c.mode);
        EXPECT_EQ(backup.RestoredCount(), written.size());
    }
    EXPECT_EQ(QFileInfo(path("target0/a")).lastModified(), kArchived) << "restored files get their archived date";
}

TEST_F(Restore, ElsewhereWithAndWithoutTheFullPath) {
    const QString stored = path("track/vysledky/Petr_1.caskola");
    WriteFile(stored, "laps");
    ASSERT_TRUE(backup.BackupFiles({stored}, archive()));

    ASSERT_TRUE(backup.RestoreArchive(archive(), path("old")));
    EXPECT_EQ(ReadFile(path("old/Petr_1.caskola")), "laps");

    backup.RestoreFullPath = true;
    ASSERT_TRUE(backup.RestoreArchive(archive(), path("old")));
    // The whole stored path below the folder: nothing of it dropped.
    EXPECT_EQ(ReadFile(path("old") + stored), "laps");

    QFile::remove(stored);
    ASSERT_TRUE(backup.RestoreArchive(archive(), QString()));
    EXPECT_EQ(ReadFile(stored), "laps") << "to the stored place";
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(Restore, HostileNamesWriteNothingOutsideTheTarget) {
    QDir().mkpath(path("target"));
    QDir().mkpath(path("outside"));
    WriteFile(path("outside/victim"), "precious");
    QFile::link(path("outside"), path("target/out"));
    QFile::link(path("outside/victim"), path("target/victim"));

    struct Case {
        QByteArray name;
        bool fullPath;
        int error;
    };
    const Case cases[] = {
        {"../escape", true, TBackupFile::InvalidArchive},
        {"relative/escape", true, TBackupFile::InvalidArchive},
        {"/a/../../escape", true, TBackupFile::InvalidArchive},
        {"/a/./escape", true, TBackupFile::InvalidArchive},
        {"/a//escape", true, TBackupFile::InvalidArchive},
        {"/a/", true, TBackupFile::InvalidArchive},
        {"/a/..", true, TBackupFile::InvalidArchive},
        {"/", true, TBackupFile::InvalidArchive},
        {QByteArray("/a\0b", 4), true, TBackupFile::InvalidArchive},
        // A folder on the way that is a link leading out of the target.
        {"/out/escape", true, TBackupFile::CannotReadFile},
    };
    const auto before = Tree(dir.path());
    for (const Case& c : cases) {
        writeArchive(Builder().header().name("/fine/first").rawBlock("ok").name(c.name).rawBlock("evil").int32(0));
        backup.RestoreFullPath = c.fullPath;
        EXPECT_FALSE(backup.RestoreArchive(archive(), path("target"))) << c.name.constData();
        EXPECT_EQ(backup.ErrorCode(), c.error) << c.name.constData();
        auto after = Tree(dir.path());
        after.erase(QStringLiteral("/a.bck"));
        auto expected = before;
        expected.erase(QStringLiteral("/a.bck"));
        EXPECT_EQ(after, expected) << c.name.constData();
    }

    // A target that is a link is replaced by the file, never written through.
    writeArchive(Builder().header().name("/victim").rawBlock("restored").int32(0));
    ASSERT_TRUE(backup.RestoreArchive(archive(), path("target")));
    EXPECT_FALSE(QFileInfo(path("target/victim")).isSymLink());
    EXPECT_EQ(ReadFile(path("target/victim")), "restored");
    EXPECT_EQ(ReadFile(path("outside/victim")), "precious");
}

TEST_F(Restore, DamagedArchivesEndInTheirErrorAndChangeNothing) {
    QByteArray bigZlib(16384 + 1, 'z');
    QByteArray packed(compressBound(uLong(bigZlib.size())), '\0');
    uLongf packedBytes = uLongf(packed.size());
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedBytes, reinterpret_cast<const Bytef*>(bigZlib.data()),
             uLong(bigZlib.size()));
    packed.resize(qsizetype(packedBytes));
    QByteArray small = packed;
    {
        QByteArray one("x");
        uLongf n = uLongf(small.size());
        compress(reinterpret_cast<Bytef*>(small.data()), &n, reinterpret_cast<const Bytef*>(one.data()), 1);
        small.resize(qsizetype(n));
    }

    struct Case {
        const char* why;
        Builder archive;
        int error;
    };
    const auto first = [] { return Builder().header().name("/t/first").rawBlock("first"); };
    const Case cases[] = {
        {"not an archive", Builder().raw("hello"), TBackupFile::CannotReadArchive},
        {"title longer than any name", Builder().int32(1 << 30), TBackupFile::CannotReadArchive},
        {"name length beyond 4096", first().int32(5000).raw(QByteArray(5000, 'a')), TBackupFile::InvalidArchive},
        {"no block marker", first().name("/t/x").raw("ABCD").int32(0).int32(0), TBackupFile::InvalidArchive},
        {"chunk longer than 16384", first().name("/t/x").marker().int32(-16385).raw(QByteArray(16385, 'a')).int32(0),
         TBackupFile::InvalidArchive},
        {"zlib chunk of more than 16384 bytes", first().name("/t/x").marker().int32(qint32(packed.size()))
                                                    .raw(packed).int32(0).int32(0),
         TBackupFile::CompressionError},
        {"bytes after the zlib stream", first().name("/t/x").marker().int32(qint32(small.size() + 1))
                                            .raw(small + 'j').int32(0).int32(0),
         TBackupFile::CompressionError},
        {"part switch without three digits", first().int32(11).raw("NEXT:DISK02"), TBackupFile::InvalidArchive},
        {"negative lengths up to the cut end", first().int32(-1).int32(-1), TBackupFile::InvalidArchive},
        {"no end marker", first(), TBackupFile::InvalidArchive},
    };
    WriteFile(path("t/first"), "before");
    const auto before = Tree(path("t"));
    for (const Case& c : cases) {
        writeArchive(c.archive);
        EXPECT_FALSE(backup.RestoreArchive(archive(), path("t"))) << c.why;
        EXPECT_EQ(backup.ErrorCode(), c.error) << c.why;
        EXPECT_EQ(Tree(path("t")), before) << c.why;
        EXPECT_FALSE(backup.VerifyArchive(archive())) << c.why;
    }
    EXPECT_EQ(errors.size(), 2 * std::size(cases)) << "each failure is reported";
}

// Parts follow each other: a damaged switch neither loops nor skips, and a
// missing part (nobody to insert it) is an error.
TEST_F(Restore, PartSwitchesGoToTheNextPartOnly) {
    const auto switchTo = [](Builder b, const char* name) { return b.int32(12).raw(name); };
    const Builder first = switchTo(Builder().header().name("FILE:LIST").rawBlock("/t/x\t1=1\r\n"), "NEXT:DISK002");
    struct Case {
        const char* why;
        QByteArray second; // a.002; none when empty
        int error;
    };
    const Case cases[] = {
        {"back to the same part", switchTo(Builder().rawBlock({}), "NEXT:DISK002").bytes, TBackupFile::InvalidArchive},
        {"past the next part", switchTo(Builder().rawBlock({}), "NEXT:DISK004").bytes, TBackupFile::InvalidArchive},
        {"back to the first part", switchTo(Builder().rawBlock({}), "NEXT:DISK001").bytes, TBackupFile::InvalidArchive},
        {"the second part missing", {}, TBackupFile::CannotReadArchive},
    };
    writeArchive(first);
    WriteFile(path("a.003"), switchTo(Builder().rawBlock({}), "NEXT:DISK002").bytes);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QFile::remove(path("a.002"));
        if (!c.second.isEmpty())
            WriteFile(path("a.002"), c.second);
        EXPECT_FALSE(backup.RestoreArchive(archive(), path("t")));
        EXPECT_EQ(backup.ErrorCode(), c.error);
        EXPECT_FALSE(backup.VerifyArchive(archive()));
        QStringList identities;
        EXPECT_EQ(backup.GetArchiveInfo(archive(), &identities), QStringLiteral("t"));
        EXPECT_EQ(identities, QStringList{QStringLiteral("/t/x\t1=1")});
    }
}

TEST_F(Restore, EveryCutOfAnArchiveFailsAndLeavesTheTargetsAsTheyWere) {
    WriteFile(path("src/stav.ini"), "new status");
    WriteFile(path("src/TopDeset.ini"), QByteArray(300, 't'));
    WriteFile(path("src/empty"), {});
    ASSERT_TRUE(backup.BackupFiles({path("src/*.*")}, path("whole.bck")));
    const QByteArray whole = ReadFile(path("whole.bck"));
    WriteFile(path("target/stav.ini"), "old status");
    WriteFile(path("target/TopDeset.ini"), "old table");
    const auto before = Tree(path("target"));
    qint64 slowestMs = 0;
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        WriteFile(archive(), whole.left(cut));
        QElapsedTimer timer;
        timer.start();
        ASSERT_FALSE(backup.RestoreArchive(archive(), path("target"))) << cut;
        slowestMs = qMax(slowestMs, timer.elapsed());
        ASSERT_NE(backup.ErrorCode(), 0) << cut;
        ASSERT_EQ(Tree(path("target")), before) << cut;
    }
    std::printf("%lld cuts, slowest %lld ms\n", static_cast<long long>(whole.size()),
                static_cast<long long>(slowestMs));
    WriteFile(archive(), whole);
    ASSERT_TRUE(backup.RestoreArchive(archive(), path("target")));
    EXPECT_EQ(ReadFile(path("target/stav.ini")), "new status");
}

TEST_F(Restore, VerifyDecodesEverythingAndWritesNothing) {
    WriteFile(path("src/a"), QByteArray(40000, 'a'));
    ASSERT_TRUE(backup.BackupFiles({path("src/a")}, archive()));
    QFile::remove(path("src/a"));
    const auto before = Tree(dir.path());
    EXPECT_TRUE(backup.VerifyArchive(archive()));
    EXPECT_EQ(Tree(dir.path()), before);

    // A flipped byte inside a compressed chunk: the restore would fail too.
    QByteArray bytes = ReadFile(archive());
    bytes[bytes.size() - 12] = char(bytes[bytes.size() - 12] ^ 0x55);
    WriteFile(archive(), bytes);
    EXPECT_FALSE(backup.VerifyArchive(archive()));
    EXPECT_EQ(backup.ErrorCode(), TBackupFile::CompressionError);
}

TEST_F(Restore, StoppedRestoreRemovesWhatItWrote) {
    WriteFile(path("src/a"), Noise(100000));
    WriteFile(path("src/b"), Noise(100000, 8));
    ASSERT_TRUE(backup.BackupFiles({path("src/*.*")}, archive()));
    int chunks = 0;
    TBackupFile restorer({.progress = [&](const QString& name, int) {
        if (!name.isEmpty() && ++chunks == 9) // in the middle of the second file
            restorer.StopOperation();
    }});
    EXPECT_FALSE(restorer.RestoreArchive(archive(), path("target")));
    EXPECT_EQ(restorer.ErrorCode(), 0) << "a stop is no error";
    EXPECT_TRUE(Tree(path("target")).empty());
}

} // namespace
