#pragma once

// Small helpers of the archive tests: files with set dates, an independent
// parser of an archive's layout, and a builder of archives by hand.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QtEndian>

#include <vector>

namespace archivetest {

inline void WriteFile(const QString& path, const QByteArray& bytes, const QDateTime& mtime = {}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    f.flush(); // before the date, which a later write would move
    if (mtime.isValid())
        f.setFileTime(mtime, QFileDevice::FileModificationTime);
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline QByteArray Noise(qsizetype n, quint32 seed = 7) {
    QByteArray bytes(n, '\0');
    QRandomGenerator random(seed);
    for (qsizetype i = 0; i < n; ++i)
        bytes[i] = char(random.generate() & 0xFF);
    return bytes;
}

struct Chunk {
    qint32 length;
    QByteArray bytes;
};
struct Entry {
    QByteArray name;
    quint32 date = 0;
    std::vector<Chunk> chunks;
    qint64 offset = 0; // where the entry starts in its part
};
struct Layout {
    QByteArray title;
    qint32 total = 0;
    qint32 count = 0;
    std::vector<Entry> entries; // a part switch is an entry without date or chunks
    bool ended = false;         // the end marker was read
    bool sound = true;          // every piece was where the format puts it
};

class Cursor {
public:
    explicit Cursor(const QByteArray& b) : bytes_(b) {}
    bool int32(qint32* v) {
        if (pos_ + 4 > bytes_.size())
            return false;
        *v = qFromLittleEndian<qint32>(bytes_.constData() + pos_);
        pos_ += 4;
        return true;
    }
    bool take(qint64 n, QByteArray* out) {
        if (n < 0 || pos_ + n > bytes_.size())
            return false;
        *out = bytes_.mid(pos_, n);
        pos_ += n;
        return true;
    }
    qint64 pos() const { return pos_; }

private:
    const QByteArray& bytes_;
    qint64 pos_ = 0;
};

inline bool ParseBlock(Cursor& c, std::vector<Chunk>* chunks) {
    QByteArray marker;
    if (!c.take(4, &marker) || marker != QByteArray("EC2\0", 4))
        return false;
    for (;;) {
        qint32 l = 0;
        if (!c.int32(&l))
            return false;
        if (l == 0)
            return true;
        Chunk chunk{l, {}};
        if (!c.take(l < 0 ? -qint64(l) : l, &chunk.bytes))
            return false;
        chunks->push_back(chunk);
    }
}

// One part file (the first when withHeader).
inline Layout Parse(const QByteArray& bytes, bool withHeader = true) {
    Layout layout;
    Cursor c(bytes);
    qint32 n = 0;
    if (withHeader) {
        layout.sound = c.int32(&n) && c.take(n, &layout.title) && c.int32(&layout.total) && c.int32(&layout.count);
    } else {
        Entry continued;
        layout.sound = ParseBlock(c, &continued.chunks);
        layout.entries.push_back(continued);
    }
    while (layout.sound) {
        Entry e;
        e.offset = c.pos();
        if (!c.int32(&n)) {
            layout.sound = false;
            break;
        }
        if (n == 0) {
            layout.ended = true;
            break;
        }
        qint32 date = 0;
        layout.sound = c.take(n, &e.name);
        if (e.name.startsWith("NEXT:DISK")) {
            layout.entries.push_back(e);
            break;
        }
        layout.sound = layout.sound && c.int32(&date) && ParseBlock(c, &e.chunks);
        e.date = quint32(date);
        layout.entries.push_back(e);
    }
    return layout;
}

// Archives made by hand: damaged ones, odd names, other writers' choices.
class Builder {
public:
    Builder& int32(qint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
        return *this;
    }
    Builder& raw(const QByteArray& b) {
        bytes.append(b);
        return *this;
    }
    Builder& header(const QByteArray& title = "t", qint32 total = 0, qint32 count = 0) {
        return int32(qint32(title.size())).raw(title).int32(total).int32(count);
    }
    Builder& name(const QByteArray& n, quint32 date = 0x5D892B6A) {
        return int32(qint32(n.size())).raw(n).int32(qint32(date));
    }
    Builder& marker() { return raw(QByteArray("EC2\0", 4)); }
    // A block of stored chunks (negative lengths).
    Builder& rawBlock(const QByteArray& content) {
        marker();
        for (qsizetype i = 0; i < content.size(); i += 16384)
            int32(-qint32(qMin<qsizetype>(16384, content.size() - i))).raw(content.mid(i, 16384));
        return int32(0);
    }
    QByteArray bytes;
};

} // namespace archivetest
