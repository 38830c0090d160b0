#include "core/czechplural.h"

#include <gtest/gtest.h>

using namespace vartemo;

TEST(CzechPlural, FormByTheWholeCount) {
    struct Case {
        qint64 count;
        const char16_t* expected;
        const char* why;
    };
    const Case cases[] = {
        {0, u"0 souborů", "none takes the genitive plural"},
        {1, u"1 soubor", ""},
        {2, u"2 soubory", ""},
        {3, u"3 soubory", ""},
        {4, u"4 soubory", ""},
        {5, u"5 souborů", ""},
        {11, u"11 souborů", ""},
        {12, u"12 souborů", "teens are not 2 to 4"},
        {21, u"21 souborů", "the last digit does not decide"},
        {22, u"22 souborů", "the last digit does not decide"},
        {25, u"25 souborů", ""},
        {100, u"100 souborů", ""},
        {101, u"101 souborů", ""},
        {-1, u"-1 soubor", "the sign keeps the form"},
        {-3, u"-3 soubory", "the sign keeps the form"},
        {5'000'000'000, u"5000000000 souborů", "beyond 32 bits"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(czech::counted(c.count, u"soubor", u"soubory", u"souborů"), QString::fromUtf16(c.expected))
            << c.count;
    }
    EXPECT_EQ(czech::pluralForm(2, u"kolo", u"kola", u"kol"), u"kola");
}
