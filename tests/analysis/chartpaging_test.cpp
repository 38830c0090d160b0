#include "analysis/chartpaging.h"

#include <gtest/gtest.h>

using namespace vartemo;

TEST(ChartPaging, PagesOfTheChosenSizeTurnedByTheArrows) {
    ChartPaging p;
    p.setPointCount(60);
    p.setPointsPerPage(26); // "Počet kol na stánku:" 25
    EXPECT_EQ(p.pageCount(), 3);
    EXPECT_EQ(p.firstX(), 0);
    EXPECT_EQ(p.lastX(), 25); // 26 points: 0..25

    p.previous(); // already on the first page
    EXPECT_EQ(p.page(), 0);
    p.next();
    EXPECT_EQ(p.firstX(), 26);
    EXPECT_EQ(p.lastX(), 51);
    p.next();
    p.next(); // beyond the last page
    EXPECT_EQ(p.page(), 2);
    EXPECT_EQ(p.firstX(), 52);

    p.showAll();
    EXPECT_EQ(p.pageCount(), 1);
    EXPECT_EQ(p.firstX(), 0);
    EXPECT_EQ(p.lastX(), 59);
}

TEST(ChartPaging, ANewSizeStartsAtTheFirstPageAndFewerPointsClampThePage) {
    ChartPaging p;
    p.setPointCount(100);
    p.setPointsPerPage(10);
    p.next();
    p.next();
    p.setPointsPerPage(20);
    EXPECT_EQ(p.page(), 0);
    p.next();
    p.next();
    p.setPointCount(30); // two pages left
    EXPECT_EQ(p.page(), 1);
    p.setPointCount(0);
    EXPECT_EQ(p.pageCount(), 1);
    EXPECT_EQ(p.page(), 0);
}
