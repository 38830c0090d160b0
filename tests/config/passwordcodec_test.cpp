#include "config/passwordcodec.h"

#include <gtest/gtest.h>

using namespace vartemo;

TEST(PasswordCodec, KnownScrambling) {
    // 'a' (0x61) with the start key 9274 (0x243A): 0x61 ^ 0x24 = 0x45 ("RQ==").
    // The key then becomes ((9274 + 0x45) * 40503 + 18661) mod 65536 = 0x822E,
    // so 'b' (0x62) ^ 0x82 = 0xE0: "ReA=".
    EXPECT_EQ(EncodePassword("a"), "RQ==");
    EXPECT_EQ(EncodePassword("ab"), "ReA=");
    EXPECT_EQ(DecodePassword("ReA="), "ab");
}

TEST(PasswordCodec, RoundTripsAndEmptyStaysEmpty) {
    for (const QString& p : {QStringLiteral("x"), QStringLiteral("tajne heslo 123"),
                             QStringLiteral("Žluťoučký kůň"), QString(300, u'#')}) {
        const QString stored = EncodePassword(p);
        EXPECT_NE(stored, p);
        EXPECT_EQ(DecodePassword(stored), p);
    }
    EXPECT_EQ(EncodePassword(QString()), QString());
    EXPECT_EQ(DecodePassword(QString()), QString());
}

TEST(PasswordCodec, DamagedValueGivesEmptyPassword) {
    for (const char* bad : {"not base64!", "RQ=Q", "Ř", "R", "====", "RQ==RQ=="})
        EXPECT_EQ(DecodePassword(QString::fromUtf8(bad)), QString()) << bad;
}
