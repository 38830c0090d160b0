#include "printing/defaultlogo.h"

#include "core/textfile.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace vartemo {

namespace {

// 144 x 104 pixels: about 38 x 27.5 mm at the screen's 96 dpi, by which the
// sheets measure a picture. Centred in the default logo box it ends 2 mm
// left of "Děkujeme Vám ..." (170 mm) and above the kart columns (52.5 mm).
constexpr QSize kSize(144, 104);
const QColor kNavy(0x1d, 0x35, 0x57);
const QColor kAmber(0xf4, 0xa2, 0x61);

// The largest bold font (up to maxPixels) whose text fits the width.
QFont fittedFont(const QString& text, qreal width, int maxPixels, qreal spacing) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    for (int pixels = maxPixels; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(text) <= width)
            break;
    }
    return font;
}

void drawChequeredBand(QPainter& p, const QRectF& band) {
    constexpr qreal kSquare = 7;
    p.save();
    p.setClipRect(band);
    for (int row = 0; row * kSquare < band.height(); ++row)
        for (int column = 0; column * kSquare < band.width(); ++column)
            if ((row + column) % 2 == 0)
                p.fillRect(QRectF(band.left() + column * kSquare, band.top() + row * kSquare, kSquare, kSquare),
                           Qt::white);
    p.restore();
}

} // namespace

QImage DefaultLogo() {
    QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF badge = QRectF(QPointF(0, 0), QSizeF(kSize)).adjusted(2, 2, -2, -2);
    QPainterPath outline;
    outline.addRoundedRect(badge, 14, 14);
    p.fillPath(outline, kNavy);
    p.setClipPath(outline);

    // The finish line across the top.
    drawChequeredBand(p, QRectF(badge.left(), badge.top() + 8, badge.width(), 14));

    const qreal textWidth = badge.width() - 20;
    const QString name = QStringLiteral("VARTEMO");
    p.setPen(Qt::white);
    p.setFont(fittedFont(name, textWidth, 30, 1.5));
    p.drawText(QRectF(badge.left(), badge.top() + 24, badge.width(), 32), Qt::AlignCenter, name);
    const QString kind = QStringLiteral("KESTRAL");
    p.setPen(kAmber);
    p.setFont(fittedFont(kind, textWidth * 0.8, 16, 4));
    p.drawText(QRectF(badge.left(), badge.top() + 55, badge.width(), 20), Qt::AlignCenter, kind);

    // A bend of the track beneath the name.
    QPainterPath track;
    track.moveTo(badge.left() + 16, badge.bottom() - 10);
    track.cubicTo(badge.left() + 60, badge.bottom() - 26, badge.right() - 60, badge.bottom() - 2,
                  badge.right() - 16, badge.bottom() - 18);
    p.setClipping(false);
    p.strokePath(track, QPen(kAmber, 3, Qt::SolidLine, Qt::RoundCap));
    return image;
}

bool WriteDefaultLogo(const QString& path) {
    return writeFileIfMissing(path, []() -> std::optional<QByteArray> {
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !DefaultLogo().save(&buffer, "PNG"))
            return std::nullopt;
        return png;
    });
}

} // namespace vartemo
