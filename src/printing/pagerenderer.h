#pragma once

#include "printing/pagemodel.h"

#include <QFont>
#include <QRect>

class QPainter;

namespace vartemo {

// The font of a text style in pixels of the page's own unit (hundredths of a
// millimetre): a character height is the em size, a cell height is ascent
// plus descent. "Times New Roman" falls back to the metric-compatible
// Liberation Serif where it is not installed.
QFont SheetFont(const TextStyle& style);

// Paints a page on any paint device: the paper (in hundredths of a
// millimetre) is mapped onto target, the rectangle of the device that shows
// the whole paper. lowQuality paints without smoothing, for a fast preview.
void RenderPage(QPainter& painter, const Page& page, QSize paper, const QRect& target,
                bool lowQuality = false);

} // namespace vartemo
