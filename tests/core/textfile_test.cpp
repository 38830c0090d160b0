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
