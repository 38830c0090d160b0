#include "backup/archivecontents.h"

#include "backup/dosdate.h"
#include "core/czechformats.h"

namespace vartemo {

QString ArchiveSummary(int fileCount, qint64 totalBytes) {
    return QStringLiteral("%1 souborů, %2 KB celkem").arg(fileCount).arg((totalBytes + 512) / 1024);
}

QStringList ArchiveContentLines(const QStringList& identities) {
    QStringList lines;
    for (const QString& identity : identities) {
        // path TAB date "=" size; the path may hold anything but a TAB.
        const qsizetype tab = identity.lastIndexOf(u'\t');
        const qsizetype equals = identity.indexOf(u'=', tab + 1);
        if (tab < 0 || equals < 0)
            continue;
        const std::optional<quint32> packed = dosdate::FromText(QStringView(identity).mid(tab + 1, equals - tab - 1));
        const QDateTime date = packed ? dosdate::ToDateTime(*packed) : QDateTime();
        lines << QStringLiteral("%1  přidán %2, %3 bytes")
                     .arg(identity.left(tab), date.isValid() ? czech::shortDate(date.date()) : QStringLiteral("?"),
                          identity.mid(equals + 1));
    }
    if (lines.isEmpty())
        lines << QStringLiteral("Neznámí archív!");
    return lines;
}

} // namespace vartemo
