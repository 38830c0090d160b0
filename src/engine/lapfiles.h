#pragma once

#include "engine/raceboard.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace vartemo {

// The lap and track lists of the board as plain text files, one list per
// file: the lines in list order, Windows-1250, CR LF. Saved and loaded by
// hand, by dropping a file on a list, and for every kart at the stop.
namespace lapfiles {

inline const QString kLapExtension = QStringLiteral(".caskola");
inline const QString kTrackExtension = QStringLiteral(".casdraha");
// The filter of both file dialogs: caption|pattern pairs.
inline const QString kDialogFilter = QStringLiteral(
    "mezičasy kola|*.caskola|mezičasy dráha|*.casdraha|výsledky (starý formát)|*.txt");

// One dialog filter entry: its caption and pattern ("mezičasy kola", "*.caskola").
struct FilterEntry {
    QString caption;
    QString pattern;
};
QList<FilterEntry> FilterEntries(const QString& filter = kDialogFilter);

// The entry a save or load button starts with: 0 (lap files) for the lap
// list buttons Uloz1..8 and Nacti1..8, 1 (track files) for the *_Draha ones.
int InitialFilterIndex(const QString& buttonName);

// A typed name without an extension gets the one of the selected entry
// ("*.caskola" -> ".caskola"); a name with an extension keeps it.
QString WithFilterExtension(const QString& path, const QString& pattern);

// Writes the lines; false with *error (the message for the operator) when
// the file cannot be created. The file is replaced whole or not at all.
bool Save(const QString& path, const QStringList& lines, QString* error = nullptr);
// Any text: CR LF, LF and CR line ends, no validation. nullopt with *error
// when the file cannot be opened.
std::optional<QStringList> Load(const QString& path, QString* error = nullptr);

// The list a dropped file goes to, from the name of the control under the
// drop point and the file name: lap lists take ".caskola", track lists
// ".casdraha" (case-sensitive). nullopt: the drop is ignored.
struct DropTarget {
    int kart;
    BoardList list;
};
std::optional<DropTarget> TargetForDrop(const QString& controlName, const QString& fileName);

// Date and time of the automatic saving with every non-digit made "_":
// 17.5.2008 14:03:07 -> 17_5_2008_14_03_07.
QString TimeStamp(const QDateTime& when);
// A driver name as a part of a file name: characters no file name can hold
// become "_" (the name itself is not changed).
QString FileNamePart(const QString& driverName);
QString AutoLapFileName(const QString& driverName, const QString& stamp);
QString AutoTrackFileName(const QString& driverName, const QString& stamp);

// Saves every non-empty lap list, and every non-empty track list when the
// track lists are shown, into folder (created when missing). A file that
// cannot be written does not stop the others; the messages are returned.
QStringList AutoSaveResults(const RaceBoard& board, const QString& folder, bool trackListsShown,
                            const QDateTime& when);

} // namespace lapfiles
} // namespace vartemo
