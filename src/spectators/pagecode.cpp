#include "spectators/pagecode.h"

#include <qrencode.h>

namespace vartemo {

QImage PageCode(const QString& url) {
    const QByteArray text = url.toUtf8();
    QRcode* code = QRcode_encodeString8bit(text.constData(), 0, QR_ECLEVEL_M);
    if (!code)
        return {};
    constexpr int kQuiet = 4;
    const int side = code->width + 2 * kQuiet;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                image.setPixel(x + kQuiet, y + kQuiet, qRgb(0, 0, 0));
    QRcode_free(code);
    return image;
}

} // namespace vartemo
