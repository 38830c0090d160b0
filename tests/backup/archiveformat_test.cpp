// The archive's bytes: chunks, header, identity list and parts.

#include "archivetestkit.h"
#include "backup/archivecontents.h"
#include "backup/dosdate.h"
#include "backup/tbackupfile.h"
#include "core/textfile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace vartemo;
using namespace archivetest;

namespace {

QByteArray Inflate(const QByteArray& stream) {
    QByteArray out(16384, '\0');
    uLongf n = 16384;
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(stream.constData()),
                   uLong(stream.size())) != Z_OK)
        return "<not a zlib stream>";
    return out.left(qsizetype(n));
}

class ArchiveFormat : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TBackupFile backup;

    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

TEST_F(ArchiveFormat, ChunksOfOneFile) {
    struct Case {
        const char* why;
        QByteArray content;
        TCompressionLevel level;
        std::vector<std::pair<bool, int>> chunks; // compressed?, content bytes
    };
    const Case cases[] = {
        {"an empty file has a block without chunks", {}, TCompressionLevel::clDefault, {}},
        {"noise does not shrink: stored raw", Noise(16384), TCompressionLevel::clMax, {{false, 16384}}},
        {"level 0: a full chunk does not fit, a short one does", QByteArray(16484, 'a'), TCompressionLevel::clNone,
         {{false, 16384}, {true, 100}}},
        {"exactly one chunk", QByteArray(16384, 'a'), TCompressionLevel::clDefault, {{true, 16384}}},
        {"one byte more is a second chunk", QByteArray(16385, 'a'), TCompressionLevel::clFastest,
         {{true, 16384}, {true, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        WriteFile(path("data.bin"), c.content);
        backup.SaveFileID = false;
        backup.CompressionLevel = c.level;
        ASSERT_TRUE(backup.BackupFiles({path("data.bin")}, path("a.bck")));
        const Layout layout = Parse(ReadFile(path("a.bck")));
        ASSERT_TRUE(layout.sound && layout.ended);
        ASSERT_EQ(layout.entries.size(), 1u);
        const auto& chunks = layout.entries[0].chunks;
        ASSERT_EQ(chunks.size(), c.chunks.size());
        QByteArray content;
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            EXPECT_EQ(chunks[i].length > 0, c.chunks[i].first) << "chunk " << i;
            const QByteArray piece = chunks[i].length > 0 ? Inflate(chunks[i].bytes) : chunks[i].bytes;
            EXPECT_EQ(piece.size(), c.chunks[i].second) << "chunk " << i;
            content += piece;
        }
        EXPECT_EQ(content, c.content);
    }
}

TEST_F(ArchiveFormat, HeaderIdentityListAndEntryKeepTheNamesCase) {
    const QDateTime when(QDate(2026, 12, 9), QTime(14, 3, 20));
    const QString file = path("TopDeset.ini");
    WriteFile(file, QByteArray(2345, 'x'), when);
    backup.BackupTitle = QStringLiteral("záloha vartemo");
    ASSERT_TRUE(backup.BackupFiles({file}, path("a.bck")));

    const Layout layout = Parse(ReadFile(path("a.bck")));
    ASSERT_TRUE(layout.sound && layout.ended);
    EXPECT_EQ(layout.title, textfile::encode(QStringLiteral("záloha vartemo")));
    const QByteArray list = textfile::encode(file) + "\t1569288298=2345\r\n";
    EXPECT_EQ(layout.total, 2345 + list.size());
    EXPECT_EQ(layout.count, 1);
    ASSERT_EQ(layout.entries.size(), 2u);
    EXPECT_EQ(layout.entries[0].name, "FILE:LIST");
    ASSERT_EQ(layout.entries[0].chunks.size(), 1u);
    EXPECT_EQ(Inflate(layout.entries[0].chunks[0].bytes), list);
    EXPECT_EQ(layout.entries[1].name, textfile::encode(file));
    EXPECT_EQ(layout.entries[1].date, 1569288298u);
}

TEST_F(ArchiveFormat, PartsOfARemovableMedium) {
    const QByteArray content = Noise(3'000'000);
    WriteFile(path("src/track.bin"), content);
    std::vector<int> asked;
    std::vector<int> askedToWrite;
    // Each disk holds its part complete before the next is asked for.
    QStringList onTheDisk;
    TBackupFile parts({.needDiskToRead =
                           [&](int disk, const QString&) {
                               asked.push_back(disk);
                               return true;
                           },
                       .needDiskToWrite = [&](int disk, const QString&) {
                           askedToWrite.push_back(disk);
                           onTheDisk << QDir(dir.path()).entryList({"zalohavartemo.*"}, QDir::Files);
                           return true;
                       }});
    parts.MaxSize = TBackupFile::kRemovablePartSize;
    ASSERT_TRUE(parts.BackupFiles({path("src/track.bin")}, path("zalohavartemo.bck")));
    EXPECT_EQ(askedToWrite, (std::vector<int>{2, 3}));
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(onTheDisk, (QStringList{"zalohavartemo.bck", "zalohavartemo.002", "zalohavartemo.bck"}));

    const Layout first = Parse(ReadFile(path("zalohavartemo.bck")));
    ASSERT_TRUE(first.sound);
    ASSERT_EQ(first.entries.size(), 3u); // FILE:LIST, the file, the switch
    EXPECT_EQ(first.entries[2].name, "NEXT:DISK002");
    // The part ends at the first chunk boundary from 1400000 - 16484.
    const qint64 lastChunkEnd = first.entries[2].offset - 4;
    EXPECT_GE(lastChunkEnd, 1383516);
    EXPECT_LT(lastChunkEnd - (16384 + 4), 1383516);

    const QByteArray second = ReadFile(path("zalohavartemo.002"));
    EXPECT_TRUE(second.startsWith(QByteArray("EC2\0", 4)));
    const Layout secondLayout = Parse(second, false);
    ASSERT_TRUE(secondLayout.sound);
    EXPECT_EQ(secondLayout.entries.back().name, "NEXT:DISK003");
    EXPECT_TRUE(Parse(ReadFile(path("zalohavartemo.003")), false).ended);

    // The restore asks for each disk before reading it.
    asked.clear();
    ASSERT_TRUE(parts.RestoreArchive(path("zalohavartemo.bck"), path("back")));
    EXPECT_EQ(asked, (std::vector<int>{2, 3}));
    EXPECT_EQ(ReadFile(path("back/track.bin")), content);

    // Cancel at the second disk: the backup fails, the first disk keeps its part.
    TBackupFile cancelled({.needDiskToWrite = [](int, const QString&) { return false; }});
    cancelled.MaxSize = TBackupFile::kRemovablePartSize;
    EXPECT_FALSE(cancelled.BackupFiles({path("src/track.bin")}, path("cancelled.bck")));
    EXPECT_EQ(Parse(ReadFile(path("cancelled.bck"))).entries.back().name, "NEXT:DISK002");
    EXPECT_FALSE(QFile::exists(path("cancelled.002")));
}

// Parts in one folder (a tool, a timer): nobody is asked, the parts come
// back without asking, and a new archive replaces all parts of the old one
// at once, or none.
TEST_F(ArchiveFormat, PartsBesideTheFirstWithoutAsking) {
    const QByteArray content = Noise(40000);
    WriteFile(path("src/track.bin"), content);
    // An older archive of the same name had five parts.
    WriteFile(path("p.004"), QByteArray("EC2\0", 4) + "old");
    WriteFile(path("p.005"), QByteArray("EC2\0", 4) + "old");
    WriteFile(path("p.006"), "no part: kept");
    backup.MaxSize = 30000;
    ASSERT_TRUE(backup.BackupFiles({path("src/track.bin")}, path("p.bck")));
    EXPECT_EQ(Parse(ReadFile(path("p.bck"))).entries.back().name, "NEXT:DISK002");
    EXPECT_EQ(Parse(ReadFile(path("p.002")), false).entries.back().name, "NEXT:DISK003");
    EXPECT_TRUE(Parse(ReadFile(path("p.003")), false).ended);
    EXPECT_EQ(QDir(dir.path()).entryList({"p.*"}, QDir::Files),
              (QStringList{"p.002", "p.003", "p.006", "p.bck"}));
    ASSERT_TRUE(backup.RestoreArchive(path("p.bck"), path("back")));
    EXPECT_EQ(ReadFile(path("back/track.bin")), content);
    EXPECT_TRUE(backup.VerifyArchive(path("p.bck")));

    // Stopped while writing the second part: the three old parts stay as they were.
    const QByteArray parts[] = {ReadFile(path("p.bck")), ReadFile(path("p.002")), ReadFile(path("p.003"))};
    WriteFile(path("src/track.bin"), Noise(40000, 99));
    int chunks = 0;
    TBackupFile stopped({.progress = [&](const QString& name, int) {
        if (!name.isEmpty() && ++chunks == 2)
            stopped.StopOperation();
    }});
    stopped.MaxSize = 30000;
    EXPECT_FALSE(stopped.BackupFiles({path("src/track.bin")}, path("p.bck")));
    EXPECT_EQ(ReadFile(path("p.bck")), parts[0]);
    EXPECT_EQ(ReadFile(path("p.002")), parts[1]);
    EXPECT_EQ(ReadFile(path("p.003")), parts[2]);
    EXPECT_EQ(QDir(dir.path()).entryList({"*.~tmp"}, QDir::Files), QStringList{});

    // A missing part is an error, not a silent end.
    QFile::remove(path("p.003"));
    EXPECT_FALSE(backup.RestoreArchive(path("p.bck"), path("back2")));
    EXPECT_EQ(backup.ErrorCode(), TBackupFile::CannotReadArchive);
    EXPECT_FALSE(QFile::exists(path("back2/track.bin")));
}

TEST_F(ArchiveFormat, AnIdentityListAcrossPartsIsReadWhole) {
    QStringList names;
    for (int i = 0; i < 300; ++i) {
        const QString name =
            dir.filePath(QStringLiteral("vysledky/jízda číslo %1 na dlouhé trati.caskola").arg(i, 3, 10, QChar(u'0')));
        WriteFile(name, {});
        names << name;
    }
    backup.MaxSize = 16600; // a part ends after its first chunk
    ASSERT_TRUE(backup.BackupFiles({path("vysledky/*.*")}, path("l.bck")));
    const Layout first = Parse(ReadFile(path("l.bck")));
    ASSERT_EQ(first.entries.size(), 2u);
    ASSERT_EQ(first.entries[1].name, "NEXT:DISK002") << "the list must cross into the second part";
    QStringList identities;
    backup.GetArchiveInfo(path("l.bck"), &identities);
    EXPECT_EQ(backup.ErrorCode(), 0);
    ASSERT_EQ(identities.size(), names.size());
    for (int i = 0; i < names.size(); ++i)
        EXPECT_TRUE(identities[i].startsWith(names[i] + u'\t')) << identities[i].toStdString();
}

TEST_F(ArchiveFormat, ArchiveInfoReadsHeaderAndIdentities) {
    WriteFile(path("stav.ini"), "abc");
    backup.BackupTitle = QStringLiteral("noční");
    ASSERT_TRUE(backup.BackupFiles({path("stav.ini")}, path("a.bck")));
    QStringList identities;
    EXPECT_EQ(backup.GetArchiveInfo(path("a.bck"), &identities), QStringLiteral("noční"));
    EXPECT_EQ(backup.FileCount(), 1);
    ASSERT_EQ(identities.size(), 1);
    EXPECT_TRUE(identities[0].startsWith(path("stav.ini") + u'\t'));
    EXPECT_TRUE(identities[0].endsWith(QStringLiteral("=3")));

    backup.SaveFileID = false;
    ASSERT_TRUE(backup.BackupFiles({path("stav.ini")}, path("b.bck")));
    EXPECT_EQ(backup.GetArchiveInfo(path("b.bck"), &identities), QStringLiteral("noční"));
    EXPECT_TRUE(identities.isEmpty());
    EXPECT_EQ(backup.TotalSize(), 3);

    QStringList errors;
    TBackupFile reader({.showError = [&](const QString& m) { errors << m; }});
    WriteFile(path("not.bck"), "this is no archive at all");
    EXPECT_EQ(reader.GetArchiveInfo(path("not.bck"), &identities), QString());
    EXPECT_EQ(errors, QStringList{QStringLiteral("Invalid archive type")});
    EXPECT_EQ(reader.GetArchiveInfo(path("missing.bck"), &identities), QString());
    EXPECT_EQ(errors.size(), 1) << "a missing archive is no error";
}

// The identity list holds each DOS date as the signed decimal of its 32 bits
// (negative from 2044 on); the station reads that and the unsigned form.
TEST_F(ArchiveFormat, IdentityDatesAreSignedDecimals) {
    struct Case {
        QDateTime mtime;
        const char* text;         // as written
        const char* unsignedText; // as older archives hold it
        QDateTime packed;         // what the archive keeps
        const char* why;
    };
    const Case cases[] = {
        {QDateTime(QDate(1979, 6, 1), QTime(12, 0)), "2162688", "2162688", QDateTime(QDate(1980, 1, 1), QTime(0, 0)),
         "before 1980: the first value"},
        {QDateTime(QDate(1980, 3, 15), QTime(10, 20, 30)), "7295631", "7295631",
         QDateTime(QDate(1980, 3, 15), QTime(10, 20, 30)), ""},
        {QDateTime(QDate(2043, 12, 31), QTime(23, 59, 58)), "2141175677", "2141175677",
         QDateTime(QDate(2043, 12, 31), QTime(23, 59, 58)), "the last positive value"},
        {QDateTime(QDate(2044, 1, 1), QTime(0, 0)), "-2145320960", "2149646336",
         QDateTime(QDate(2044, 1, 1), QTime(0, 0)), "the top bit set"},
        {QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58)), "-6307971", "4288659325",
         QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58)), ""},
        {QDateTime(QDate(2108, 6, 1), QTime(12, 0)), "-6307971", "4288659325",
         QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58)), "after 2107: the last value"},
    };
    // "%2" in a name must not take the date's place in its line.
    const auto fileOf = [this](int i) { return path("src/jízda %2 ") + QString::number(i); };
    for (int i = 0; i < int(std::size(cases)); ++i)
        WriteFile(fileOf(i), QByteArray(i, 'x'), cases[i].mtime);
    ASSERT_TRUE(backup.BackupFiles({path("src/*.*")}, path("d.bck")));
    QStringList identities;
    backup.GetArchiveInfo(path("d.bck"), &identities);
    ASSERT_EQ(identities.size(), int(std::size(cases)));
    const Layout layout = Parse(ReadFile(path("d.bck")));
    ASSERT_TRUE(layout.sound && layout.ended);
    backup.RestoreFullPath = false;
    ASSERT_TRUE(backup.RestoreArchive(path("d.bck"), path("back")));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.mtime.toString(Qt::ISODate).toStdString() + " " + c.why);
        const QString written = fileOf(i) + u'\t' + QLatin1String(c.text) + u'=' + QString::number(i);
        EXPECT_TRUE(identities.contains(written)) << identities.join('\n').toStdString();
        ASSERT_EQ(layout.entries[i + 1].name, textfile::encode(fileOf(i)));
        EXPECT_EQ(layout.entries[i + 1].date, quint32(QByteArray(c.unsignedText).toULongLong()));
        // Restoring reads the entry's date back.
        EXPECT_EQ(QFileInfo(path("back/") + QFileInfo(fileOf(i)).fileName()).lastModified(), c.packed);
        // Both forms read the same.
        const QString shown = fileOf(i) + QStringLiteral("  přidán ") + c.packed.date().toString("d.M.yyyy") +
                              QStringLiteral(", %1 bytes").arg(i);
        EXPECT_EQ(ArchiveContentLines({written}), QStringList{shown});
        const QString older = fileOf(i) + u'\t' + QLatin1String(c.unsignedText) + u'=' + QString::number(i);
        EXPECT_EQ(ArchiveContentLines({older}), QStringList{shown});
    }
    // Beyond 32 bits either way, or no number: no date to show.
    for (const char* bad : {"4294967296", "-2147483649", "", "12a"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(dosdate::FromText(QString::fromLatin1(bad)).has_value());
        EXPECT_EQ(ArchiveContentLines({QStringLiteral("/a\t%1=5").arg(QLatin1String(bad))}),
                  QStringList{QStringLiteral("/a  přidán ?, 5 bytes")});
    }
}

TEST(DosDate, PacksLocalTimeClampedAndComparesUnsigned) {
    EXPECT_EQ(dosdate::FromDateTime(QDateTime(QDate(2026, 12, 9), QTime(14, 3, 21))), 1569288298u);
    EXPECT_EQ(dosdate::FromDateTime(QDateTime(QDate(1970, 1, 2), QTime(5, 0))), 0x00210000u);
    EXPECT_EQ(dosdate::FromDateTime(QDateTime(QDate(2200, 1, 1), QTime(0, 0))),
              dosdate::FromDateTime(QDateTime(QDate(2107, 12, 31), QTime(23, 59, 59))));
    // From 2044 the top bit is set: still later than 2043.
    EXPECT_GT(dosdate::FromDateTime(QDateTime(QDate(2044, 1, 1), QTime(0, 0))),
              dosdate::FromDateTime(QDateTime(QDate(2043, 12, 31), QTime(23, 59, 58))));
    EXPECT_EQ(dosdate::ToDateTime(1569288298u), QDateTime(QDate(2026, 12, 9), QTime(14, 3, 20)));
    EXPECT_FALSE(dosdate::ToDateTime(0).isValid()) << "month 0 names no date";
}

} // namespace
