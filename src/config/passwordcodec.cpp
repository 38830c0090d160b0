#include "config/passwordcodec.h"

#include "core/textfile.h"

#include <QByteArray>
#include <cstring>

namespace vartemo {

namespace {

constexpr quint32 kStartKey = 9274;
constexpr quint32 kMultiplier = 40503;
constexpr quint32 kIncrement = 18661;

// The key advances with the scrambled byte in both directions, so the same
// loop scrambles and unscrambles.
QByteArray scramble(const QByteArray& in, bool encoding) {
    QByteArray out(in.size(), '\0');
    quint32 key = kStartKey;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const auto b = static_cast<quint8>(in[i]);
        const auto o = static_cast<quint8>(b ^ (key >> 8));
        out[i] = static_cast<char>(o);
        const quint32 scrambled = encoding ? o : b;
        key = ((key + scrambled) * kMultiplier + kIncrement) & 0xFFFFu;
    }
    return out;
}

} // namespace

QString EncodePassword(const QString& password) {
    if (password.isEmpty())
        return {};
    QByteArray plain = textfile::encode(password);
    const QString stored = QString::fromLatin1(scramble(plain, true).toBase64());
    WipeBytes(plain);
    return stored;
}

QString DecodePassword(const QString& stored) {
    const QByteArray text = stored.toLatin1();
    if (stored.isEmpty() || QString::fromLatin1(text) != stored)
        return {};
    const auto decoded =
        QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return {};
    QByteArray plain = scramble(*decoded, false);
    const QString password = textfile::decode(plain);
    WipeBytes(plain); // only the caller's copy stays
    return password;
}

bool IsStoredPassword(const QString& stored) {
    const QByteArray text = stored.toLatin1();
    return !stored.isEmpty() && QString::fromLatin1(text) == stored &&
           QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
}

// Shared data belongs to another holder as well: the last one wipes it.
void WipeBytes(QByteArray& bytes) {
    if (!bytes.isEmpty() && bytes.isDetached())
        explicit_bzero(bytes.data(), size_t(bytes.size()));
    bytes = QByteArray();
}

void WipeText(QString& text) {
    if (!text.isEmpty() && text.isDetached())
        explicit_bzero(text.data(), size_t(text.size()) * sizeof(QChar));
    text = QString();
}

} // namespace vartemo
