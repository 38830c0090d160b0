#include "core/textfile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace vartemo::textfile {

QString decode(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1250");
    return decoder.decode(bytes);
}

QByteArray encode(const QString& text) {
    // Characters that Windows-1250 cannot hold become '?', as the 8-bit API did.
    QStringEncoder encoder("windows-1250");
    return encoder.encode(text);
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
