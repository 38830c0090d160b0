#include "backup/archiveflags.h"

#include "core/textfile.h"

namespace vartemo {

ArchiveFlags::ArchiveFlags(QString listPath) : listPath_(std::move(listPath)) {
    load();
}

void ArchiveFlags::load() {
    recorded_.clear();
    if (listPath_.isEmpty())
        return;
    // A missing or damaged list only means that files count as changed.
    for (const QString& line : textfile::readLines(listPath_).value_or(QStringList())) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() != 3)
            continue;
        bool timeOk = false;
        bool sizeOk = false;
        Stamp stamp{fields[0], fields[1].toLongLong(&timeOk), fields[2].toLongLong(&sizeOk)};
        if (timeOk && sizeOk)
            recorded_.insert(stamp.path, stamp);
    }
}

bool ArchiveFlags::isSet(const Stamp& current) const {
    const auto it = recorded_.constFind(current.path);
    return it == recorded_.constEnd() || it->mtimeMs != current.mtimeMs || it->size != current.size;
}

bool ArchiveFlags::clear(const std::vector<Stamp>& stamps, QString* error) {
    if (listPath_.isEmpty())
        return true;
    load(); // another backup may have recorded files since
    for (const Stamp& stamp : stamps)
        recorded_.insert(stamp.path, stamp);
    QStringList lines;
    lines.reserve(recorded_.size());
    for (const Stamp& s : std::as_const(recorded_))
        lines << QStringLiteral("%1\t%2\t%3").arg(s.path).arg(s.mtimeMs).arg(s.size);
    lines.sort();
    return textfile::writeLines(listPath_, lines, error);
}

} // namespace vartemo
