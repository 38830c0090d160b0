#include "printing/sheetheader.h"

#include "core/czechformats.h"

namespace vartemo {

TextStyle Style(QColor colour, Hmm height, HeightKind kind, bool bold, bool italic, bool underline) {
    return TextStyle{colour, height, kind, bold, italic, underline};
}

void DrawSheetHeader(Page& page, const SheetTexts& texts, const HeaderPlacement& placement,
                     Hmm paperWidth, double screenDpi) {
    const Hmm logoBottom = kUnitU + (texts.logoSize / placement.logoDivisor) * kUnitU;
    AddPicture(page, texts.logo,
               Box(placement.logoMargin, kUnitU, paperWidth - placement.logoMargin, logoBottom),
               texts.centreLogo, screenDpi);
    const TextStyle regular = Style(Qt::black, kUnitH, HeightKind::Character);
    TextStyle bold = regular;
    bold.bold = true;
    for (int line = 1; line <= 5; ++line) {
        const bool isBold = line == 3 || line == 4;
        AddText(page, texts.text[size_t(line - 1)], placement.textX,
                placement.textTop + (line - 1) * kUnitH, isBold ? bold : regular);
    }
}

void DrawCreditBlock(Page& page, Hmm x, Hmm y) {
    const TextStyle small = Style(Qt::blue, kUnitQ, HeightKind::Cell, false, true);
    const QStringList lines = {QStringLiteral("Vartemo Kestral 2.3"),
                               QStringLiteral("Orvane Software"),
                               QStringLiteral("časomíra motokárové dráhy")};
    for (int i = 0; i < lines.size(); ++i)
        AddText(page, lines[i], x, y + i * kUnitQ, small);
}

QString SheetDate(const QDateTime& now) { return czech::shortDate(now.date()); }
QString SheetTime(const QDateTime& now) { return czech::longTime(now.time()); }

} // namespace vartemo
