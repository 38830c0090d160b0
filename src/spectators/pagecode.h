#pragma once

#include <QImage>
#include <QString>

namespace vartemo {

// The page's address as a QR code a phone's camera opens: black modules on
// white, one pixel per module, with the four-module quiet zone. A null image
// when the text cannot be encoded.
QImage PageCode(const QString& url);

} // namespace vartemo
