#include "config/inifile.h"
#include "platform/fileregistrystore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

const QString kIrKey = QStringLiteral("Software\\vartemo_kestral\\ir\\nastaveni1");

class FileRegistryStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("vartemo_kestral/registry.ini"));
    FileRegistryStore store{file};
};

} // namespace

TEST_F(FileRegistryStoreTest, ValuesPersistPerKeyWhateverTheLetterCase) {
    ASSERT_TRUE(store.writeString(kIrKey, "ComName", "COM2"));
    ASSERT_TRUE(store.writeBinary(kIrKey, "CommandOrder", QByteArray("\x01\x00\x00\x00", 4)));
    ASSERT_TRUE(store.writeBinary(kIrKey, "InputSignal", QByteArray("\xff", 1)));
    ASSERT_TRUE(store.writeString("Software\\vartemo_kestral\\ir\\nastaveni2", "ComName", "  COM3 "));

    FileRegistryStore reopened(file);
    EXPECT_EQ(reopened.readString("\\SOFTWARE\\Vartemo_Kestral\\IR\\Nastaveni1\\", "comname"),
              QStringLiteral("COM2"));
    EXPECT_EQ(reopened.readString("Software\\vartemo_kestral\\ir\\nastaveni2", "ComName"),
              QStringLiteral("  COM3 "));
    EXPECT_EQ(reopened.readBinary(kIrKey, "COMMANDORDER"), QByteArray("\x01\x00\x00\x00", 4));
    EXPECT_EQ(reopened.readBinary(kIrKey, "InputSignal"), QByteArray("\xff", 1));
    EXPECT_FALSE(reopened.readBinary(kIrKey, "ComName").has_value()) << "a text is not binary";
    EXPECT_FALSE(reopened.readString(kIrKey, "InputSignal").has_value());
    EXPECT_FALSE(reopened.readString(kIrKey, "Missing").has_value());

    const IniFile ini = IniFile::fromFile(file);
    EXPECT_EQ(ini.value(kIrKey, "ComName"), QStringLiteral("sz:\"COM2\""));
    EXPECT_EQ(ini.value(kIrKey, "CommandOrder"), QStringLiteral("hex:01,00,00,00"));
}

TEST_F(FileRegistryStoreTest, OverwriteDeleteAndDamagedValues) {
    ASSERT_TRUE(store.writeString(kIrKey, "BitMask", "text first"));
    ASSERT_TRUE(store.writeBinary(kIrKey, "BitMask", QByteArray("\x0f", 1)));
    EXPECT_FALSE(store.readString(kIrKey, "BitMask").has_value());
    EXPECT_EQ(store.readBinary(kIrKey, "BitMask"), QByteArray("\x0f", 1));
    ASSERT_TRUE(store.writeBinary(kIrKey, "Empty", QByteArray()));
    EXPECT_EQ(store.readBinary(kIrKey, "Empty"), QByteArray());
    EXPECT_TRUE(store.deleteValue(kIrKey, "bitmask"));
    EXPECT_FALSE(store.deleteValue(kIrKey, "BitMask"));
    EXPECT_FALSE(store.readBinary(kIrKey, "BitMask").has_value());

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("[Bad]\r\nA=hex:1,zz\r\nB=hex:100\r\nC=COM1\r\n");
    f.close();
    EXPECT_FALSE(store.readBinary("Bad", "A").has_value());
    EXPECT_FALSE(store.readBinary("Bad", "B").has_value());
    EXPECT_FALSE(store.readString("Bad", "C").has_value());

    EXPECT_FALSE(store.writeString(kIrKey, "Two\nLines", "x"));
    EXPECT_FALSE(store.writeString(kIrKey, "ComName", "a\r\nInjected=1"));
    EXPECT_FALSE(store.writeString("Bad]Key", "x", "y"));
    EXPECT_FALSE(store.writeString(QString(), "x", "y"));
}

TEST(FileRegistryStore, CurrentUserKeepsItInTheConfigFolder) {
    QTemporaryDir config;
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    FileRegistryStore store;
    EXPECT_TRUE(store.writeString(kIrKey, "ComName", "COM1"));
    if (old.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", old);
    EXPECT_TRUE(QFile::exists(config.filePath("vartemo_kestral/registry.ini")));
}
