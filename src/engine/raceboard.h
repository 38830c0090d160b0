#pragma once

#include "core/clock.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>

namespace vartemo {

inline constexpr int kKartCount = 8;

// The two lists of a kart slot: lap times, and track times (full laps and
// the times between trackside sensors).
enum class BoardList { Lap, Track };

// The race board: for each of the eight karts the lap list, the track list,
// the driver name and two flags. The lines are the race data; every other
// part of the station reads and writes them through this object. Karts are
// numbered 1 to 8.
class RaceBoard : public QObject {
    Q_OBJECT
public:
    explicit RaceBoard(QObject* parent = nullptr);

    static QString DefaultDriverName(int kart); // "kara1" ... "kara8"
    static QString TrackLapLine(TimeMs lap);    // "  L 00:12:234"
    static QString SplitLine(const QString& label, TimeMs split); // "10 00:04:321"

    const QStringList& lines(int kart, BoardList list) const;
    int lapCount(int kart) const { return static_cast<int>(lines(kart, BoardList::Lap).size()); }

    // Appending selects the new last line (the views scroll to it).
    void AddLapLine(int kart, TimeMs lap);
    void AddTrackLapLine(int kart, TimeMs lap);
    void AddSplitLine(int kart, const QString& label, TimeMs split);

    void ClearLists();                             // all sixteen lists
    void DeleteFirstLine();                        // line 0 of each list where present
    void clearList(int kart, BoardList list);
    void deleteLine(int kart, BoardList list, int row); // a row out of range does nothing
    void setLines(int kart, BoardList list, const QStringList& lines);

    QString DriverName(int kart) const;
    void setDriverName(int kart, const QString& name);
    void resetDriverNames();

    bool isWoman(int kart) const;
    void setWoman(int kart, bool on);
    bool isExcluded(int kart) const; // "Bez účasti"
    void setExcluded(int kart, bool on);

signals:
    // A line was appended at the end of a list (and is the selected one).
    void lineAppended(int kart, vartemo::BoardList list, const QString& line);
    // Anything else changed the list: views reload it whole.
    void listReset(int kart, vartemo::BoardList list);
    void driverNameChanged(int kart, const QString& name);
    void flagsChanged(int kart);

private:
    struct Slot {
        QStringList laps;
        QStringList track;
        QString driver;
        bool woman = false;
        bool excluded = false;
    };
    Slot& slot(int kart);
    const Slot& slot(int kart) const;
    QStringList& list(int kart, BoardList which);
    void append(int kart, BoardList which, const QString& line);

    std::array<Slot, kKartCount> slots_;
};

} // namespace vartemo
