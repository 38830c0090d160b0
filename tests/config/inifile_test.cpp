#include "config/inifile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

IniFile parse(const char* utf8) {
    return IniFile::fromText(QString::fromUtf8(utf8));
}

QString crlf(const char* utf8) {
    QString s = QString::fromUtf8(utf8);
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return s;
}

} // namespace

TEST(IniFile, SectionsAndKeysMatchWhateverTheLetterCase) {
    const IniFile ini = parse("[Po spusteni]\nStart=1\nAutoStart=0\n[semafor]\nPort_semafor=2\n");
    EXPECT_EQ(ini.readInteger("Po Spusteni", "START", 7), 1);
    EXPECT_EQ(ini.readBool("PO SPUSTENI", "Autostart", true), false);
    EXPECT_EQ(ini.readInteger("Semafor", "Port_Semafor", 0), 2);
    EXPECT_FALSE(ini.value("Semafor", "Start").has_value()) << "keys belong to their own section";
}

TEST(IniFile, ValuesAreTrimmedAndUnquoted) {
    struct Case {
        const char* line;
        const char* value;
    };
    const Case cases[] = {
        {"a=x", "x"},
        {"  a  =   two words   ", "two words"},
        {"a=\"  quoted  \"", "  quoted  "},
        {"a=\"only start", "\"only start"},
        {"a=\"", "\""},
        {"a=\"\"", ""},
        {"a='K3'", "K3"},            // single quotes are removed the same way
        {"a=' spaced '", " spaced "},
        {"a=''", ""},
        {"a='", "'"},
        {"a='mixed\"", "'mixed\""}, // a pair must be of one kind
        {"a=\"mixed'", "\"mixed'"},
        {"a=it's", "it's"},
        {"a=x=y", "x=y"},
        {"a=", ""},
        {"\ta\t=\tv\t", "v"},
    };
    for (const Case& c : cases) {
        const IniFile ini = IniFile::fromText(QStringLiteral("[S]\n") + QString::fromUtf8(c.line));
        EXPECT_EQ(ini.value("S", "a"), QString::fromUtf8(c.value)) << c.line;
    }
}

TEST(IniFile, ReadsAtMost2047Characters) {
    const QString longValue(100000, u'x');
    const IniFile ini = IniFile::fromText(QStringLiteral("[S]\nk=") + longValue + QStringLiteral("\nn=5"));
    EXPECT_EQ(ini.value("S", "k")->size(), 2047);
    EXPECT_EQ(ini.readInteger("S", "k", 3), 3);
    EXPECT_EQ(ini.readInteger("S", "n", 0), 5) << "the line after a long value is read";
}

TEST(IniFile, IntegersDecimalOrHexElseTheDefault) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"42", 42},        {"-7", -7},          {"+3", 3},           {"0x1F", 31},
        {"0XdC00", 0xDC00}, {"0xFFFFFFFF", -1},  {"0x", 99},          {"0x1G", 99},
        {"0x123456789", 99}, {"12abc", 99},      {"abc", 99},         {"", 99},
        {"1 2", 99},       {"2147483648", 99},  {"-2147483648", INT_MIN}, {"0x-1", 99},
        {"007", 7},
    };
    for (const Case& c : cases) {
        const IniFile ini = IniFile::fromText(QStringLiteral("[S]\nk=") + QString::fromUtf8(c.text));
        EXPECT_EQ(ini.readInteger("S", "k", 99), c.expected) << c.text;
    }
    EXPECT_EQ(parse("[S]\n").readInteger("S", "missing", 12), 12);
    EXPECT_TRUE(parse("[S]\nb=5\n").readBool("S", "b", false)) << "non-zero is true";
    EXPECT_TRUE(parse("[S]\nb=yes\n").readBool("S", "b", true)) << "not a number: default";
    EXPECT_FALSE(parse("[S]\nb=0x0\n").readBool("S", "b", true));
}

TEST(IniFile, CommentsStrayKeysAndBrokenHeadersAreNotEntries) {
    const IniFile ini = parse("orphan=1\n"
                              "[A]\n"
                              ";k=commented\n"
                              "k=a\n"
                              "just words\n"
                              "[B\n"
                              "j=after broken header\n"
                              "[C]\n"
                              "k=c\n");
    EXPECT_FALSE(ini.value("", "orphan").has_value());
    EXPECT_EQ(ini.value("A", "k"), QStringLiteral("a"));
    EXPECT_FALSE(ini.hasSection("B"));
    EXPECT_FALSE(ini.value("B", "j").has_value());
    EXPECT_FALSE(ini.value("A", "j").has_value()) << "the broken header's keys are not A's";
    EXPECT_EQ(ini.value("C", "k"), QStringLiteral("c"));
    EXPECT_FALSE(ini.hasKey("A", ";k"));
}

TEST(IniFile, FirstOfRepeatedKeysAndSectionsWins) {
    const IniFile ini = parse("[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
    EXPECT_EQ(ini.readInteger("A", "k", 0), 1);
    EXPECT_EQ(ini.readInteger("A", "j", 0), 4) << "a repeated section adds its keys";
}

TEST(IniFile, WriteReplacesInPlaceAppendsToSectionOrAddsSection) {
    IniFile ini = parse("; vartemo\n"
                        "[Tisk]\n"
                        "VELIKOST = 50\n"
                        "Text1=*a\n"
                        "\n"
                        "[HW]\n"
                        "LOG0=150\n");
    ini.writeInteger("tisk", "Velikost", 70);    // in place, the file's spelling kept
    ini.writeString("Tisk", "Text2", "*b");      // after the section's last key
    ini.writeBool("Semafor", "Pouzij", true);     // new section at the end
    ini.writeString("hw", "LOG1", "200");
    EXPECT_EQ(ini.text(), crlf("; vartemo\n"
                               "[Tisk]\n"
                               "VELIKOST=70\n"
                               "Text1=*a\n"
                               "Text2=*b\n"
                               "\n"
                               "[HW]\n"
                               "LOG0=150\n"
                               "LOG1=200\n"
                               "[Semafor]\n"
                               "Pouzij=1\n"));
    EXPECT_EQ(ini.readInteger("TISK", "velikost", 0), 70);
    EXPECT_EQ(ini.value("Tisk", "Text2"), QStringLiteral("*b"));
}

TEST(IniFile, WritesIntoAnEmptySectionAndDeletesKeys) {
    IniFile ini = parse("[UDP]\n[Other]\nx=1\n");
    ini.writeString("UDP", "Port1", "5000");
    ini.writeString("UDP", "Port2", "5001");
    EXPECT_EQ(ini.lines(), QStringList({"[UDP]", "Port1=5000", "Port2=5001", "[Other]", "x=1"}));
    EXPECT_TRUE(ini.deleteKey("udp", "PORT1"));
    EXPECT_FALSE(ini.deleteKey("udp", "Port1"));
    EXPECT_EQ(ini.lines(), QStringList({"[UDP]", "Port2=5001", "[Other]", "x=1"}));
}

TEST(IniFile, WrittenValuesStayOneLineAndBadNamesAreRefused) {
    IniFile ini;
    ini.writeString("S", "k", "line\r\nInjected=1");
    ini.writeString("S", "a=b", "x");
    ini.writeString("S", "", "x");
    ini.writeString("S]x", "k", "x");
    EXPECT_EQ(ini.lines(), QStringList({"[S]", "k=line  Injected=1"}));
    EXPECT_FALSE(ini.hasKey("S", "Injected"));
}

TEST(IniFile, SavesWindows1250WithCrLfAtomically) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    IniFile ini;
    ini.writeString("Tisk", "Text6", QStringLiteral("*Děkujeme"));
    ASSERT_TRUE(ini.save(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[Tisk]\r\nText6=*D\xECkujeme\r\n"));
    EXPECT_EQ(IniFile::fromFile(path).value("TISK", "text6"), QStringLiteral("*Děkujeme"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.ini"}) << "no temporary left";
}

TEST(IniFile, MissingFileIsEmpty) {
    const IniFile ini = IniFile::fromFile("/nonexistent/vartemo.ini");
    EXPECT_TRUE(ini.lines().isEmpty());
    EXPECT_EQ(ini.readInteger("HW", "LOG0", 150), 150);
}

TEST(IniFile, RandomBytesNeverBreakReadingOrWriting) {
    QRandomGenerator random(20261210);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(static_cast<int>(random.bounded(4000)), '\0');
        for (char& b : bytes)
            b = static_cast<char>(random.bounded(256));
        // Some structure so that sections and keys occur.
        if (round % 2)
            bytes.replace('\x01', "\n[S]\n").replace('\x02', "=");
        IniFile ini = IniFile::fromText(QString::fromLatin1(bytes));
        EXPECT_EQ(ini.readInteger("S", "missing key", 5), 5);
        ini.writeString("S", "k", "v");
        EXPECT_EQ(ini.value("S", "k"), QStringLiteral("v"));
    }
}

TEST(IniFile, ManyWritesReadBackAsAFreshParseDoes) {
    // Writes keep the lookup index current; a fresh parse of the text must agree.
    QRandomGenerator random(77);
    IniFile ini = IniFile::fromText(QStringLiteral("; top\n[B]\nk1=x\n\n[c]\n[A]\nk2=y\n[b]\nk99=z\n"));
    const QStringList sections = {"A", "b", "C", "D", "e"};
    for (int i = 0; i < 400; ++i) {
        const QString section = sections[random.bounded(sections.size())];
        const QString key = QStringLiteral("K%1").arg(random.bounded(30));
        if (random.bounded(5) == 0)
            ini.deleteKey(section, key);
        else
            ini.writeString(section, key, QString::number(i));
    }
    const IniFile fresh = IniFile::fromText(ini.text());
    for (const QString& section : sections)
        for (int k = 0; k < 30; ++k) {
            const QString key = QStringLiteral("k%1").arg(k);
            EXPECT_EQ(ini.value(section, key), fresh.value(section, key)) << section.toStdString() << k;
        }
    EXPECT_EQ(ini.lines().first(), QStringLiteral("; top"));
    EXPECT_EQ(ini.value("B", "K99"), QStringLiteral("z")) << "a repeated section keeps its own keys";
}

// A learnt code with a blank at an end (a serial 0x00 becomes one) or in
// quotes must match again after a restart: such values are written quoted.
TEST(IniFile, ValuesThatWouldNotReadBackAreWrittenInQuotes) {
    struct Case {
        const char* value;
        const char* line;
    };
    const Case cases[] = {
        {"AB12", "K=AB12"},
        {" AB", "K=\" AB\""},
        {"AB ", "K=\"AB \""},
        {"\"AB\"", "K=\"\"AB\"\""},
        {"\"AB", "K=\"AB"},   // one quote alone reads back as it is
        {"'K3'", "K=\"'K3'\""},
        {"a \"b\" c", "K=a \"b\" c"},
        {"", "K="},
        {"*  text", "K=*  text"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q.ini"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        IniFile ini;
        ini.writeString("S", "K", QString::fromUtf8(c.value));
        ASSERT_TRUE(ini.save(path));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().contains(QByteArray(c.line) + "\r\n"));
        EXPECT_EQ(IniFile::fromFile(path).readString("S", "K", QStringLiteral("?")), QString::fromUtf8(c.value));
    }
}
