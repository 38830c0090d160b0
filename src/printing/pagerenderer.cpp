#include "printing/pagerenderer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace vartemo {

namespace {

// Ascent plus descent of the face per pixel of em size, measured once per
// style of the face at a size large enough to leave hinting out of it.
double CellPerEm(const QFont& face) {
    thread_local std::array<double, 4> cached{};
    double& ratio = cached[size_t((face.bold() ? 2 : 0) + (face.italic() ? 1 : 0))];
    if (ratio > 0)
        return ratio;
    QFont probe = face;
    probe.setPixelSize(1000);
    const QFontMetricsF metrics(probe);
    const double cell = metrics.ascent() + metrics.descent();
    ratio = cell > 0 ? cell / 1000.0 : 1.0;
    return ratio;
}

constexpr Hmm kFramePen = 10; // 0.1 mm

} // namespace

QFont SheetFont(const TextStyle& style) {
    QFont font;
    font.setFamilies({kSheetFace, QStringLiteral("Liberation Serif")});
    font.setStyleHint(QFont::Serif);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    // Glyphs at their true outline width: positions on paper must not
    // follow the screen's hinting.
    font.setHintingPreference(QFont::PreferNoHinting);
    const double em = style.kind == HeightKind::Character ? style.height
                                                          : style.height / CellPerEm(font);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(em))));
    return font;
}

void RenderPage(QPainter& painter, const Page& page, QSize paper, const QRect& target,
                bool lowQuality) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, !lowQuality);
    painter.setRenderHint(QPainter::TextAntialiasing, !lowQuality);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !lowQuality);
    painter.setViewport(target);
    painter.setWindow(QRect(QPoint(0, 0), paper));
    qreal previousTextEnd = 0;
    for (const PageItem& item : page.items) {
        if (const auto* frame = std::get_if<FrameItem>(&item)) {
            painter.setPen(QPen(Qt::black, kFramePen));
            painter.setBrush(Qt::white);
            painter.drawRect(frame->rect);
        } else if (const auto* picture = std::get_if<PictureItem>(&item)) {
            painter.drawImage(picture->target, picture->image);
        } else if (const auto* text = std::get_if<TextItem>(&item)) {
            const QFont font = SheetFont(text->style);
            painter.setFont(font);
            painter.setPen(text->style.colour);
            const QFontMetricsF metrics(font);
            qreal x = text->at.x();
            if (text->clearOfPrevious)
                x = std::max(x, previousTextEnd + metrics.horizontalAdvance(u' '));
            painter.drawText(QPointF(x, text->at.y() + metrics.ascent()), text->text);
            previousTextEnd = x + metrics.horizontalAdvance(text->text);
        }
    }
    painter.restore();
}

} // namespace vartemo
