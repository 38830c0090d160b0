// The archive's bytes: chunks, header, identity list and parts.

#include "archivetestkit.h"
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
    TBackupFile parts({.needDisk = [&](int disk, const QString&) {
        asked.push_back(disk);
        return true;
    }});
    parts.MaxSize = TBackupFile::kRemovablePartSize;
    ASSERT_TRUE(parts.BackupFiles({path("src/track.bin")}, path("zalohavartemo.bck")));
    EXPECT_EQ(asked, (std::vector<int>{2, 3}));

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
