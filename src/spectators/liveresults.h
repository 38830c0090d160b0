#pragma once

#include "spectators/besttables.h"
#include "spectators/liveride.h"
#include "spectators/livesnapshot.h"

#include <QObject>
#include <QTimer>
#include <QVector>

namespace vartemo {

class RaceControl;

// The live results for the spectators' page: follows the ride through race
// control's caption and clock, the lap lists of the board and the best-twenty
// tables' change notice, and publishes the document as a snapshot. A lap
// (in the 2 ms poll) only marks it stale; it is rebuilt at most once per
// showing of the race clock, and every 500 ms between rides (fire()).
class LiveResults : public QObject {
    Q_OBJECT
public:
    static constexpr int kIdleTickMs = 500;

    LiveResults(const RaceBoard& board, const RaceControl& race, QObject* parent = nullptr);

    void setBestTables(BestTablesSource source);
    // The tables changed (saved): their rows are read again.
    void BestTablesChanged();

    // Off: the ride is still followed, but no snapshot is made. On: one
    // at once, then as described above.
    void setPublishing(bool on);
    bool publishing() const { return publishing_; }

    const LiveSnapshotSlot& published() const { return slot_; }
    std::shared_ptr<const LiveSnapshot> snapshot() const { return slot_.current(); }
    const LiveRide& ride() const { return ride_; }
    bool stale() const { return stale_; }

    // The tick between rides, as its timer runs it (only while it is on).
    void fire();
    bool tickActive() const { return idleTick_.isActive(); }

    void onCaptionChanged(const QString& caption);
    void onClockShown(int minutes, int seconds, int millis);
    void onLineAppended(int kart, vartemo::BoardList list, const QString& line);
    void onLengthMaybeChanged();
    // A kart's overdue mark came or went.
    void setOverdue(int kart, bool overdue);

private:
    struct PendingLine {
        int kart;
        QString line;
    };
    void takePendingLines();
    void rebuild();
    void updateTick();

    const RaceBoard& board_;
    const RaceControl& race_;
    BestTablesSource bestTables_;
    QByteArray bestJson_;
    LiveRide ride_;
    QVector<PendingLine> pending_;
    LiveSnapshotSlot slot_;
    QTimer idleTick_;
    quint64 seq_ = 0;
    bool stale_ = true;
    bool publishing_ = false;
};

} // namespace vartemo
