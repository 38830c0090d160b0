#pragma once

#include <QString>
#include <QStringList>

namespace vartemo {

// The texts that show an archive's content to the operator: the summary
// ("37 souborů, 412 KB celkem") and one line per file identity
// ("/…/stav.ini  přidán 9.12.2026, 2345 bytes"), or "Neznámí archív!" when
// the archive has no identity list.
QString ArchiveSummary(int fileCount, qint64 totalBytes);
QStringList ArchiveContentLines(const QStringList& identities);

} // namespace vartemo
