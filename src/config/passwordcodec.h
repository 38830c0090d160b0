#pragma once

#include <QString>

namespace vartemo {

// Passwords in vartemo.ini are not kept in clear: the password's Windows-1250
// bytes are scrambled with a running 16-bit key and written as Base64.
// An empty password is stored as an empty value.
QString EncodePassword(const QString& password);
// The reverse. A stored value that is not valid Base64 gives an empty
// password, so a damaged entry never stops the start-up.
QString DecodePassword(const QString& stored);

} // namespace vartemo
