#pragma once

#include "printing/pagemodel.h"
#include "printing/sheettexts.h"

#include <QDateTime>

namespace vartemo {

// Where a sheet puts the track's logo and its five header texts. The logo
// box runs from (logoMargin, 10 mm) to (paper width - logoMargin) and is
// (logo size div logoDivisor) x 10 mm high; Text1..Text5 stand 5 mm apart
// from (textX, textTop), Text3 and Text4 bold.
struct HeaderPlacement {
    Hmm logoMargin = kUnitU;
    int logoDivisor = 10;
    Hmm textX = Mm(60);
    Hmm textTop = Mm(10);
};

void DrawSheetHeader(Page& page, const SheetTexts& texts, const HeaderPlacement& placement,
                     Hmm paperWidth, double screenDpi);

// The three lines of the credit block from (x, y), 2.5 mm apart, in the
// current blue italic small text.
void DrawCreditBlock(Page& page, Hmm x, Hmm y);

// A text style in the sheet's face.
TextStyle Style(QColor colour, Hmm height, HeightKind kind, bool bold = false, bool italic = false,
                bool underline = false);

inline void AddText(Page& page, const QString& text, Hmm x, Hmm y, const TextStyle& style) {
    page.add(TextItem{text, QPoint(x, y), style});
}

// The date and time texts the sheets print ("9.12.2026", "14:03:27").
QString SheetDate(const QDateTime& now);
QString SheetTime(const QDateTime& now);

} // namespace vartemo
