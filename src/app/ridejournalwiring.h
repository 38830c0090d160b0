#pragma once

#include "app/ridequestions.h"
#include "engine/ridejournal.h"

#include <QObject>
#include <functional>

namespace vartemo {

class Clock;
class RaceControl;
class TForm1;

// The ride journal in the station: race control journals every ride into
// the program folder's "jizdy"; at start-up a ride that did not close is
// offered to be continued or closed; "Konec" during a ride asks what to do
// with it before the program ends.
class RideJournalWiring : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QString folder; // where the journals live
        RaceControl& race;
        TForm1& mainWindow;
        const Clock& clock;
        std::function<void(const QString& line)> addLogEntry;
        // A message for the operator that does not stop the station.
        std::function<void(const QString& text)> tell;
        // Answers given in advance (--ride-answer); Ask asks.
        RideAnswer given = RideAnswer::Ask;
        // True when the program is being ended from outside (a signal):
        // then nothing is asked and the ride's journal stays open.
        std::function<bool()> endingFromOutside;
    };
    explicit RideJournalWiring(Parts parts);

    RideJournal& journal() { return journal_; }
    void setGivenAnswer(RideAnswer answer) { parts_.given = answer; }
    // A ride left open by an outage: told, asked, continued or closed. Run
    // once the main window is up.
    void RecoverUnclosedRide();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setAside(const RideJournal::Unclosed& found, const QString& why);
    QString summary(const RebuiltRide& ride, qint64 outageMs) const;

    Parts parts_;
    RideJournal journal_;
};

} // namespace vartemo
