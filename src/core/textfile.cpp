#include "core/textfile.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

#include <array>

namespace vartemo::textfile {

namespace {

// Windows-1250 is one byte per character: a table each way, taken once from
// the system's converter, is all the conversion needs and costs a fraction of
// looking the converter up for every file name or line.
struct Windows1250 {
    std::array<char16_t, 256> toUnicode {};
    QHash<char16_t, char> fromUnicode;
};

const Windows1250& Table() {
    static const Windows1250 table = [] {
        Windows1250 t;
        for (int byte = 0; byte < 256; ++byte) {
            QStringDecoder decoder("windows-1250");
            const QString c = decoder.decode(QByteArray(1, char(byte)));
            t.toUnicode[byte] = c.size() == 1 ? c[0].unicode() : u'\uFFFD';
            if (t.toUnicode[byte] != u'\uFFFD' && !t.fromUnicode.contains(t.toUnicode[byte]))
                t.fromUnicode.insert(t.toUnicode[byte], char(byte));
        }
        return t;
    }();
    return table;
}

} // namespace

QString decode(const QByteArray& bytes) {
    const auto& toUnicode = Table().toUnicode;
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(toUnicode[uchar(byte)]);
    return text;
}

QByteArray encode(const QString& text) {
    // Characters that Windows-1250 cannot hold become '?', as the 8-bit API did
    // (one '?' for a character outside the basic plane, not two).
    const auto& fromUnicode = Table().fromUnicode;
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes.append(char(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes.append(fromUnicode.value(c, '?'));
    }
    return bytes;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString joinLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

std::optional<QString> read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return std::nullopt;
    // Read at the file's size: a buffer of the limit for every small file
    // costs far more than the file. A file that grew meanwhile, or one
    // without a size, is read on up to the limit.
    const qint64 size = file.size();
    QByteArray bytes = file.read(size > 0 ? size + 1 : kMaxFileBytes + 1);
    if (size > 0 && bytes.size() > size)
        bytes += file.read(kMaxFileBytes + 1 - bytes.size());
    if (bytes.size() > kMaxFileBytes)
        return std::nullopt;
    return decode(bytes);
}

std::optional<QStringList> readLines(const QString& path) {
    auto text = read(path);
    if (!text)
        return std::nullopt;
    return splitLines(*text);
}

bool write(const QString& path, const QString& text, QString* error) {
    return writeFileAtomically(path, encode(text), error);
}

bool writeLines(const QString& path, const QStringList& lines, QString* error) {
    return write(path, joinLines(lines), error);
}

bool appendLines(const QString& path, const QStringList& lines, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = encode(joinLines(lines));
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace vartemo::textfile
