#include "printing/besttwentysheet.h"
#include "printing/diplomasheet.h"
#include "../engine/qstringprinter.h"

#include <gtest/gtest.h>

using namespace vartemo;

namespace {
QImage Picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}
// Pixels at 96 dpi in hundredths of a millimetre.
int At96(int pixels) { return int(std::lround(pixels * 2540.0 / 96.0)); }
} // namespace

TEST(ComposeBestTwentySheet, PortraitPageWithBothTablesAndTheTexts) {
    BestTwentyInput in;
    in.men = Picture(355, 449);
    in.women = Picture(354, 449);
    in.texts.text = {"T1", "T2", "T3", "T4", "T5", "T6", "T7", "Text osm"};
    in.now = QDateTime(QDate(2026, 12, 9), QTime(8, 5, 0));
    const Sheet sheet = ComposeBestTwentySheet(in);
    EXPECT_EQ(sheet.paper, QSize(21000, 29700));
    EXPECT_EQ(sheet.orientation, PaperOrientation::Portrait);
    EXPECT_EQ(sheet.jobName, "vartemo - top dvacet");
    ASSERT_EQ(sheet.pages.size(), 1u);
    const Page& page = sheet.pages[0];
    const std::pair<const char*, QPoint> texts[] = {
        {"NEJLEPŠÍCH DVACET", {Mm(50), Mm(70)}}, {"9.12.2026", {Mm(70), Mm(82.5)}},
        {"8:05:00", {Mm(100), Mm(82.5)}},       {"Jezdci", {Mm(20), Mm(110)}},
        {"Jezdkyně", {Mm(115), Mm(110)}},       {"T1", {Mm(100), Mm(15)}},
        {"T5", {Mm(100), Mm(35)}},              {"Text osm", {Mm(30), Mm(270)}},
        {"  Naprogramoval:", {Mm(150), Mm(262.5)}}, {"Orvane Software", {Mm(170), Mm(265)}},
    };
    for (const auto& [text, at] : texts) {
        const TextItem* t = page.find(QString::fromUtf8(text));
        ASSERT_NE(t, nullptr) << text;
        EXPECT_EQ(t->at, at) << text;
        EXPECT_LT(t->at.y() + t->style.height, sheet.paper.height()) << text << " stays on the paper";
    }
    EXPECT_EQ(page.find("NEJLEPŠÍCH DVACET")->style,
              (TextStyle{Qt::blue, Mm(10), HeightKind::Character, false, false, true}));
    // 449 pixels (118.8 mm) do not fit the 115 mm of the boxes: both shrink
    // to the box height, keeping proportions, at the boxes' top-left.
    const auto pictures = page.pictures();
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].target, QRect(Mm(10), Mm(120), At96(355) * 11500 / At96(449), 11500));
    EXPECT_EQ(pictures[1].target.topLeft(), QPoint(Mm(105), Mm(120)));
    EXPECT_EQ(pictures[1].target.height(), 11500);
}

TEST(ComposeBestTwentySheet, LogoBoxIsTheSizeDividedByEight) {
    struct Case {
        int size;
        Hmm boxHeight;
    };
    for (const Case c : {Case{10, Mm(10)}, Case{50, Mm(60)}, Case{100, Mm(120)}}) {
        BestTwentyInput in;
        in.texts.logo = Picture(4000, 4000); // larger than any box: fills its height
        in.texts.logoSize = c.size;
        in.texts.centreLogo = false;
        const auto pictures = ComposeBestTwentySheet(in).pages[0].pictures();
        ASSERT_EQ(pictures.size(), 1u) << "no tables given: only the logo";
        EXPECT_EQ(pictures[0].target, QRect(Mm(20), Mm(10), c.boxHeight, c.boxHeight)) << c.size;
    }
}

TEST(PlacementSentence, TheWordStandsForThePlaceholderOrBeforeTheText) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"Za #misto# místo", 2, "Za třetí místo"},
        {"#misto#", 4, "páté"},
        {"a #misto# a #misto#", 0, "a první a #misto#"}, // the first one only
        {"místo v závodě", 1, "druhé místo v závodě"},   // no placeholder: nothing cut off
        {"místo", 3, "čtvrté místo"},
        {"", 0, "první"},
    };
    for (const auto& [text, placement, sentence] : cases)
        EXPECT_EQ(PlacementSentence(QString::fromUtf8(text), PlacementWord(placement)), QString::fromUtf8(sentence))
            << text;
}

TEST(ComposeDiploma, PictureWithoutLogoAndEveryText) {
    DiplomaInput in;
    in.name = QStringLiteral("Jiří Šťastný");
    in.placement = 2;
    in.settings.picture = Picture(200, 100); // 52.9 x 26.5 mm: fits its box as it is
    in.settings.pictureSize = 50;
    in.settings.text = {"DIPLOM", "za účast", "Za #misto# místo", "Vartemo"};
    in.now = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27));
    const Sheet sheet = ComposeDiploma(in);
    EXPECT_EQ(sheet.paper, QSize(29700, 21000));
    EXPECT_EQ(sheet.jobName, "vartemo - časy");
    const Page& page = sheet.pages[0];
    const auto pictures = page.pictures();
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].target, QRect(Mm(20), Mm(20), At96(200), At96(100)));
    const std::tuple<const char*, QPoint, TextStyle> texts[] = {
        {"DIPLOM", {Mm(200), Mm(40)}, {Qt::red, Mm(22.5), HeightKind::Cell}},
        {"za účast", {Mm(20), Mm(95)}, {Qt::black, Mm(12.5), HeightKind::Cell}},
        {"Jiří Šťastný", {Mm(135), Mm(92.5)}, {QColor(128, 0, 0), Mm(15), HeightKind::Cell, false, true}},
        {"Za třetí místo", {Mm(40), Mm(110)}, {Qt::black, Mm(12.5), HeightKind::Cell}},
        {"9.12.2026", {Mm(200), Mm(70)}, {Qt::blue, Mm(10), HeightKind::Cell}},
        {"14:03:27", {Mm(240), Mm(70)}, {Qt::blue, Mm(10), HeightKind::Cell}},
        {"Vartemo", {Mm(170), Mm(140)}, {QColor(166, 202, 240), Mm(10), HeightKind::Cell}},
    };
    for (const auto& [text, at, style] : texts) {
        const TextItem* t = page.find(QString::fromUtf8(text));
        ASSERT_NE(t, nullptr) << text;
        EXPECT_EQ(t->at, at) << text;
        EXPECT_EQ(t->style, style) << text;
    }
}

TEST(ComposeDiploma, LargeLogoShrinksIntoItsBoxAtTheTopLeft) {
    DiplomaInput in;
    in.settings.logo = Picture(2400, 1200);
    in.settings.logoSize = 40; // box 110..287 x 130..170 mm
    const auto pictures = ComposeDiploma(in).pages[0].pictures();
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].target, QRect(Mm(110), Mm(130), Mm(80), Mm(40)));
}
