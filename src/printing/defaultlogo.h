#pragma once

#include <QImage>
#include <QString>

namespace vartemo {

// The print logo a fresh installation gets, drawn by the station itself: a
// badge with a chequered band and the station's name. Sized so that on a
// result sheet it sits between the header texts and the title.
QImage DefaultLogo();

// Writes DefaultLogo() as a PNG to path unless a file is there already (an
// operator's own picture under that name is kept). False when a missing
// file could not be written.
bool WriteDefaultLogo(const QString& path);

} // namespace vartemo
