#pragma once

#include <QString>

namespace vartemo {

// An archive in parts written in one place replaces the old one part by
// part, one rename each. Before the first rename, the number of new parts
// goes to the commit note beside the archive ("zaloha.bck.~commit"); it is
// removed once every part is renamed and the old archive's surplus parts are
// gone. Whoever opens the archive next and finds the note finishes those
// steps first, so that after a crash between two renames the archive is the
// new one whole, never new parts mixed with old ones.
namespace partscommit {

QString NotePath(const QString& archivePath);
// Writes the note (atomically, synced); false when it cannot be written.
bool Begin(const QString& archivePath, int parts);
// Removes the note: the new archive is in place.
void End(const QString& archivePath);
// Removes the continued parts after lastPart (of an older, longer archive)
// and their temporaries.
void RemovePartsAfter(const QString& archivePath, int lastPart);
// With a note beside the archive: renames the parts still waiting as
// temporaries, removes the surplus ones and the note.
void FinishInterrupted(const QString& archivePath);

} // namespace partscommit
} // namespace vartemo
