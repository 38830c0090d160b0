#include "core/textfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {
QByteArray readBytes(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}
} // namespace

TEST(TextFile, WritesWindows1250WithCrLf) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_TRUE(textfile::writeLines(path, {QStringLiteral("Žena"), QStringLiteral("účast")}));
    // Ž = 0x8E, č = 0xE8, ú = 0xFA, á = 0xE1 in Windows-1250.
    EXPECT_EQ(readBytes(path), QByteArray("\x8E" "ena\r\n" "\xFA\xE8" "ast\r\n"));
}

TEST(TextFile, CharactersWindows1250LacksBecomeQuestionMarks) {
    // A control character (the converter's own substitute) in an INI file would
    // end it for older readers; the next conversion is unaffected.
    EXPECT_EQ(textfile::encode(QStringLiteral("a\u2603")), QByteArray("a?"));
    EXPECT_EQ(textfile::encode(QString::fromUcs4(U"\U0001F3C1b")), QByteArray("?b"));
    EXPECT_EQ(textfile::encode(QStringLiteral("Žena")), QByteArray("\x8E" "ena"));
    EXPECT_EQ(textfile::decode(QByteArray("\xFA\xE8")), QStringLiteral("úč"));
    EXPECT_EQ(textfile::decode(QByteArray("ok")), QStringLiteral("ok"));
}

TEST(TextFile, EveryByteComesBackAsItWas) {
    // Bytes Windows-1250 leaves undefined read as C1 controls and write back
    // unchanged, so a file that is read and saved keeps all its bytes.
    for (int byte = 0; byte < 256; ++byte) {
        const QByteArray one(1, char(byte));
        const QString text = textfile::decode(one);
        ASSERT_EQ(text.size(), 1) << byte;
        EXPECT_EQ(textfile::encode(text), one) << byte;
    }
    EXPECT_EQ(textfile::decode("\x81\x8A"), QStringLiteral("\u0081Š"));
}

TEST(TextFile, ReadsEveryLineEnd) {
    struct Case {
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"", {}},
        {"\x8E" "ena", {QStringLiteral("Žena")}},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.txt"));
    for (const Case& c : cases) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        const auto lines = textfile::readLines(path);
        ASSERT_TRUE(lines.has_value());
        EXPECT_EQ(*lines, c.lines) << c.bytes.toStdString();
    }
}

TEST(TextFile, MissingFileIsNoText) {
    QTemporaryDir dir;
    EXPECT_FALSE(textfile::read(dir.filePath(QStringLiteral("none"))).has_value());
}

TEST(TextFile, FailedWriteLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.txt"));
    ASSERT_TRUE(textfile::writeLines(path, {QStringLiteral("old")}));
    QString error;
    // A target inside a missing folder cannot be written: reported, not silent.
    EXPECT_FALSE(textfile::writeLines(dir.filePath(QStringLiteral("no/such/c.txt")),
                                      {QStringLiteral("x")}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("old\r\n"));
}

TEST(TextFile, AppendAddsToTheEnd) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.txt"));
    ASSERT_TRUE(textfile::appendLines(path, {QStringLiteral("1")}));
    ASSERT_TRUE(textfile::appendLines(path, {QStringLiteral("2"), QStringLiteral("Kč")}));
    EXPECT_EQ(readBytes(path), QByteArray("1\r\n2\r\nK\xE8\r\n"));
}
