#pragma once

#include <QByteArray>
#include <QString>

namespace vartemo {

// Passwords in vartemo.ini are not kept in clear: the password's Windows-1250
// bytes are scrambled with a running 16-bit key and written as Base64.
// An empty password is stored as an empty value.
QString EncodePassword(const QString& password);
// The reverse. A stored value that is not valid Base64 gives an empty
// password, so a damaged entry never stops the start-up.
QString DecodePassword(const QString& stored);
// Whether a stored value decodes (is Base64 at all).
bool IsStoredPassword(const QString& stored);

// A password in memory is overwritten once it is no longer needed, so that
// the freed memory does not keep it (a core dump would show it). The
// variable is empty afterwards; data it shared stays for its last holder.
void WipeBytes(QByteArray& bytes);
void WipeText(QString& text);

} // namespace vartemo
