// Writing an archive: which files it takes, what an incremental backup
// takes, and that a failed or stopped one leaves the last good archive and
// the archive attributes as they were.

#include "archivetestkit.h"
#include "backup/archiveflags.h"
#include "backup/tbackupfile.h"
#include "core/textfile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;
using namespace archivetest;

namespace {

class BackupFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TBackupFile backup;

    QString path(const QString& name) const { return dir.filePath(name); }

    // The stored names of an archive, identity list left out.
    QStringList storedNames(const QString& archive) const {
        QStringList names;
        for (const Entry& e : Parse(ReadFile(archive)).entries)
            if (e.name != "FILE:LIST" && !e.name.startsWith("NEXT:DISK"))
                names << textfile::decode(e.name);
        return names;
    }
};

TEST_F(BackupFiles, MasksMatchTheRealNamesHiddenFilesTooButNeverTheArchive) {
    const QString home = path("vartemo");
    for (const char* name : {"vartemo.ini", "stav.ini", "TopDeset.ini", "TopDeset1.ini", "vysledky/Petr_1.caskola",
                             "vysledky/.skryty", "vysledky/bez_tecky", "vysledky/sub/deeper.caskola"})
        WriteFile(home + u'/' + QLatin1String(name), name);
    // An old archive and a leftover temporary of it in the folder backed up.
    WriteFile(home + "/vysledky/zaloha.bck", "old archive");
    WriteFile(home + "/vysledky/zaloha.bck.~tmp", "left by a killed backup");
    const QStringList masks{home + "/vartemo.ini", home + "/stav.ini", home + "/TopDeset.ini",
                            home + "/TopDeset1.ini", home + "/vysledky/*.*", home + "/stav.ini"};
    ASSERT_TRUE(backup.BackupFiles(masks, home + "/vysledky/zaloha.bck"));
    EXPECT_EQ(storedNames(home + "/vysledky/zaloha.bck"),
              (QStringList{home + "/vartemo.ini", home + "/stav.ini", home + "/TopDeset.ini",
                           home + "/TopDeset1.ini", home + "/vysledky/.skryty", home + "/vysledky/Petr_1.caskola",
                           home + "/vysledky/bez_tecky"}));

    // The switch " /s" takes the subfolders too; names differing in case are two files.
    WriteFile(home + "/vysledky/petr_1.caskola", "other");
    ASSERT_TRUE(backup.BackupFiles({home + "/vysledky/*.caskola /s"}, path("b.bck")));
    EXPECT_EQ(storedNames(path("b.bck")),
              (QStringList{home + "/vysledky/Petr_1.caskola", home + "/vysledky/petr_1.caskola",
                           home + "/vysledky/sub/deeper.caskola"}));
}

TEST_F(BackupFiles, IncrementalTakesWhatChangedSinceACompletedBackup) {
    backup.ArchiveFlagFile = path(ArchiveFlags::kFileName);
    for (const char* name : {"a", "b", "c"})
        WriteFile(path(QStringLiteral("src/") + name), name);
    const QStringList masks{path("src/*.*")};
    ASSERT_TRUE(backup.BackupFiles(masks, path("full.bck")));

    backup.setBackupMode(TBackupMode::bmIncremental);
    ASSERT_TRUE(backup.BackupFiles(masks, path("none.bck")));
    EXPECT_TRUE(storedNames(path("none.bck")).isEmpty());
    EXPECT_EQ(backup.CompressionRatio(), 0) << "nothing to back up (the identity list is empty too)";

    WriteFile(path("src/b"), "b changed");
    WriteFile(path("src/d"), "new");
    ASSERT_TRUE(backup.BackupFiles(masks, path("inc.bck")));
    EXPECT_EQ(storedNames(path("inc.bck")), (QStringList{path("src/b"), path("src/d")}));

    // A stopped backup clears nothing: the next one still takes the change.
    WriteFile(path("src/c"), QByteArray(100000, 'c'));
    TBackupFile stopped({.progress = [&](const QString& name, int) {
        if (!name.isEmpty())
            stopped.StopOperation();
    }});
    stopped.ArchiveFlagFile = backup.ArchiveFlagFile;
    stopped.setBackupMode(TBackupMode::bmIncremental);
    EXPECT_FALSE(stopped.BackupFiles(masks, path("stopped.bck")));
    ASSERT_TRUE(backup.BackupFiles(masks, path("inc2.bck")));
    EXPECT_EQ(storedNames(path("inc2.bck")), QStringList{path("src/c")});
}

TEST_F(BackupFiles, AFailedOrStoppedBackupKeepsTheLastGoodArchive) {
    WriteFile(path("src/a"), Noise(200000));
    WriteFile(path("a.bck"), "the last good archive");
    TBackupFile stopped({.progress = [&](const QString& name, int) {
        if (!name.isEmpty())
            stopped.StopOperation();
    }});
    EXPECT_FALSE(stopped.BackupFiles({path("src/a")}, path("a.bck")));
    EXPECT_EQ(ReadFile(path("a.bck")), "the last good archive");
    EXPECT_FALSE(QFile::exists(path("a.bck.~tmp")));

    // The archive's folder is missing: it cannot be written.
    QStringList errors;
    TBackupFile failing({.showError = [&](const QString& m) { errors << m; }});
    EXPECT_FALSE(failing.BackupFiles({path("src/a")}, path("no/such/folder/a.bck")));
    EXPECT_EQ(errors, QStringList{QStringLiteral("Cannot write to archive")});
}

TEST_F(BackupFiles, CompressionRatioInSixtyFourBits) {
    // 30 MB: archive bytes x 100 would overflow 32 bits.
    WriteFile(path("zeros"), QByteArray(30'000'000, '\0'));
    backup.SaveFileID = false;
    backup.CompressionLevel = TCompressionLevel::clFastest;
    std::vector<int> percents;
    TBackupFile watched({.progress = [&](const QString&, int p) { percents.push_back(p); }});
    watched.SaveFileID = false;
    watched.CompressionLevel = TCompressionLevel::clFastest;
    ASSERT_TRUE(watched.BackupFiles({path("zeros")}, path("z.bck")));
    EXPECT_GE(watched.CompressionRatio(), 99);
    EXPECT_LE(watched.CompressionRatio(), 100);
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end() - 1));
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_GT(percents[percents.size() / 2], 0);

    WriteFile(path("empty"), {});
    ASSERT_TRUE(backup.BackupFiles({path("empty")}, path("e.bck")));
    EXPECT_EQ(backup.CompressionRatio(), 0);
}

TEST_F(BackupFiles, AnArchiveInPartsBacksUpBesideItsParts) {
    WriteFile(path("src/big"), Noise(60000));
    backup.MaxSize = 40000;
    ASSERT_TRUE(backup.BackupFiles({path("src/big")}, path("src/arch.bck")));
    ASSERT_TRUE(QFile::exists(path("src/arch.002")));
    ASSERT_TRUE(backup.BackupFiles({path("src/*.*")}, path("src/arch.bck")));
    EXPECT_EQ(storedNames(path("src/arch.bck")), QStringList{path("src/big")});
    ASSERT_TRUE(backup.RestoreArchive(path("src/arch.bck"), path("back")));
    EXPECT_EQ(ReadFile(path("back/big")), ReadFile(path("src/big")));
}

} // namespace
