#include "printing/besttwentysheet.h"

#include "printing/sheetheader.h"

namespace vartemo {

Sheet ComposeBestTwentySheet(const BestTwentyInput& in) {
    Sheet sheet;
    sheet.paper = kA4Portrait;
    sheet.orientation = PaperOrientation::Portrait;
    sheet.jobName = kBestTwentyJobName;
    sheet.caption = kBestTwentyCaption;
    Page& page = sheet.pages.emplace_back();
    const Hmm width = sheet.paper.width();

    DrawSheetHeader(page, in.texts, HeaderPlacement{2 * kUnitU, 8, Mm(100), Mm(15)}, width, in.screenDpi);
    AddText(page, QStringLiteral("NEJLEPŠÍCH DVACET"), Mm(50), Mm(70),
            Style(Qt::blue, Mm(10), HeightKind::Character, false, false, true));
    const TextStyle blue = Style(Qt::blue, kUnitH, HeightKind::Character);
    AddText(page, SheetDate(in.now), Mm(70), Mm(82.5), blue);
    AddText(page, SheetTime(in.now), Mm(100), Mm(82.5), blue);
    const TextStyle boldItalic = Style(Qt::blue, kUnitH, HeightKind::Character, true, true);
    AddText(page, QStringLiteral("Jezdci"), Mm(20), Mm(110), boldItalic);
    AddText(page, QStringLiteral("Jezdkyně"), Mm(115), Mm(110), boldItalic);
    AddPicture(page, in.men, Box(Mm(10), Mm(120), width - Mm(10), Mm(235)), false, in.screenDpi);
    AddPicture(page, in.women, Box(Mm(105), Mm(120), width - Mm(10), Mm(235)), false, in.screenDpi);

    const TextStyle italic = Style(Qt::blue, kUnitH, HeightKind::Character, false, true);
    for (int line = 6; line <= 8; ++line)
        AddText(page, in.texts.text[size_t(line - 1)], Mm(30), Mm(260) + (line - 6) * kUnitH, italic);
    AddText(page, QStringLiteral("  Naprogramoval:"), Mm(150), Mm(262.5),
            Style(Qt::blue, kUnitQ, HeightKind::Cell, false, true));
    DrawCreditBlock(page, Mm(170), Mm(262.5));
    return sheet;
}

} // namespace vartemo
