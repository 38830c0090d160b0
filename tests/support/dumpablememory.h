#pragma once

// What a core dump of a process would show: its memory, read from /proc.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace vartemo {

// The needles are masked (every byte XORed with kMask), so that the
// looking, whose own memory is looked at too, never finds them.
inline constexpr char kMask = 0x5A;

inline void Mask(QByteArray& bytes) {
    for (char& c : bytes)
        c = char(c ^ kMask);
}

// Where the masked bytes occur in the memory a core dump of the process would hold:
// its readable mappings, less those marked not to be dumped. The names of
// the mappings where they were found ("[heap]", a library, "anonymous").
inline QStringList FoundInDumpableMemory(qint64 pid, const QList<QByteArray>& needles) {
    QStringList found;
    QFile smaps(QStringLiteral("/proc/%1/smaps").arg(pid));
    QFile mem(QStringLiteral("/proc/%1/mem").arg(pid));
    if (!smaps.open(QIODevice::ReadOnly) || !mem.open(QIODevice::ReadOnly))
        return {QStringLiteral("<memory not readable>")};
    struct Range {
        quint64 from, to;
        QString name;
        bool readable;
        bool dumped = true;
    };
    QList<Range> ranges;
    static const QRegularExpression head(QStringLiteral("^([0-9a-f]+)-([0-9a-f]+) (\\S{4}) \\S+ \\S+ \\S+\\s*(.*)$"));
    for (const QByteArray& raw : smaps.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (const auto m = head.match(line); m.hasMatch()) {
            ranges.append({m.captured(1).toULongLong(nullptr, 16), m.captured(2).toULongLong(nullptr, 16),
                           m.captured(4).isEmpty() ? QStringLiteral("anonymous") : m.captured(4),
                           m.captured(3).startsWith(u'r')});
        } else if (line.startsWith(QLatin1String("VmFlags:")) && !ranges.isEmpty()) {
            ranges.last().dumped = !line.split(u' ').contains(QStringLiteral("dd"));
        }
    }
    for (const Range& r : ranges) {
        // Over a gigabyte: a sanitizer's shadow memory, reserved rather than used.
        if (!r.readable || !r.dumped || r.name == QLatin1String("[vvar]") || r.name == QLatin1String("[vsyscall]") ||
            r.to - r.from > (quint64(1) << 30))
            continue;
        if (!mem.seek(qint64(r.from)))
            continue;
        QByteArray bytes = mem.read(qint64(r.to - r.from));
        Mask(bytes);
        for (const QByteArray& needle : needles)
            if (bytes.contains(needle))
                found << r.name;
    }
    found.removeDuplicates();
    return found;
}

// The password's bytes as a program could hold them, masked: its code page
// (UTF-8 alike for these letters) and UTF-16. The unmasked copies made on
// the way are overwritten.
inline QList<QByteArray> PasswordForms(const QString& password) {
    QByteArray utf8 = password.toUtf8();
    QByteArray utf16(reinterpret_cast<const char*>(password.utf16()), password.size() * 2);
    QList<QByteArray> forms;
    for (QByteArray* form : {&utf8, &utf16}) {
        Mask(*form);
        forms << *form;
    }
    return forms;
}

} // namespace vartemo
