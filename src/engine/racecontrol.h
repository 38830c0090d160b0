#pragma once

#include "core/clock.h"
#include "engine/racefeeds.h"
#include "engine/riderebuild.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

namespace vartemo {

class LapComputation;
class RaceBoard;
class RaceSettings;
class ReceiverControl;
class RideJournal;
class StartInputs;
class StartLights;

// The timers of race control. Poll: karts 1..8 every 2 ms while timing with
// the parallel port, else once as soon as a passing waits.
// Display: the race clock and the end detection, 259 ms. ExtStart: the
// external and automatic start, 200 ms while armed. AutoStartDelay: the
// re-arm delay after a ride. LightsOff: the red light off after a ride.
// LightStep: the pause between red, orange and green.
enum class RaceTimer { Poll, Display, ExtStart, AutoStartDelay, LightsOff, LightStep };

// Idle ("&START"), the start lights running, timing ("&STOP"; the race may
// already be over and passings still recorded until the stop).
enum class RacePhase { Idle, Lights, Timing };

// One ride from START through the lights and the race clock to its end and
// the STOP that closes it and feeds the other subsystems. Time comes from the
// injected clock; the timers are real QTimers, and every tick handler can be
// run by hand (fire) so each step is testable without waiting.
class RaceControl : public QObject {
    Q_OBJECT
public:
    // Absent hardware (nullptr) is skipped.
    struct Hardware {
        StartLights* lights = nullptr;
        StartInputs* inputs = nullptr;
        ReceiverControl* receivers = nullptr;
    };
    // The race clock as the displays LcdDisplay3, LcdDisplay2, LcdDisplay1 show it.
    struct ShownClock {
        int minutes = 0;
        int seconds = 0;
        int millis = 0;
    };

    RaceControl(RaceBoard& board, LapComputation& laps, const Clock& clock,
                const RaceSettings& settings, Hardware hardware, QObject* parent = nullptr);

    void setFeeds(RaceFeeds feeds) { feeds_ = std::move(feeds); }
    RaceFeeds& feeds() { return feeds_; }
    // Local date and time for the log line and the file names.
    void setWallClock(std::function<QDateTime()> wallClock) { wallClock_ = std::move(wallClock); }
    // Where the automatic saving writes ("vysledky" in the program folder).
    void setResultsFolder(const QString& folder) { resultsFolder_ = folder; }

    // The ride's journal: opened at the start, fed with every passing, closed
    // by the STOP. Without one, rides are not journaled.
    void setJournal(RideJournal* journal);
    RideJournal* journal() const { return journal_; }

    // --- a ride that did not close (the station went down) ------------------
    // Continues it: the board, names, flags, race length and the karts' marks
    // come back, the race clock counts from the ride's own start (the time
    // away included), the receivers open and timing goes on. goodRecords:
    // the journal's readable records, which the new journal continues.
    void ResumeRide(const RebuiltRide& ride, const QByteArray& goodRecords, const ResumePoint& at);
    // Ends it as if STOP had been pressed at its last passing (or finishes a
    // STOP that was under way, without repeating its done steps).
    void CloseRecoveredRide(const RebuiltRide& ride, const QByteArray& goodRecords, const ResumePoint& at);
    // "Konec" with a ride on, ended without saving: its journal is closed as
    // abandoned and kept with the others.
    void AbandonRide();

    // The drivers of the ride for its sheets: the names taken at its stop
    // (before they are reset) until the next START, the board's names before.
    std::array<QString, kKartCount> rideDriverNames() const;

    // START when idle, STOP when timing; ignored while the lights run.
    void StartButton1Click();
    RacePhase phase() const { return phase_; }
    QString startCaption() const; // "&START" or "&STOP"

    // --- timer handlers ---------------------------------------------------
    void ZobrazTimerTimer();
    void ExtStartTimer();
    void AutoStartProdlevaTimerTimer();
    void TimerSemaforOffTimer();
    void SemaforStepTimer();
    // Runs the handler of the timer as a tick would: only while it is on.
    void fire(RaceTimer timer);
    bool isActive(RaceTimer timer) const { return timerOf(timer).isActive(); }
    int interval(RaceTimer timer) const { return timerOf(timer).interval(); }

    // TimerSemaforOff on when "Zhasnout semafor " is on (start-up, STOP).
    void ArmLightsOff();
    // The length of the lights-off delay's minute; trials of the station
    // shorten it, a track never does.
    void setMinuteMs(int ms) { minuteMs_ = ms; }

    void StopAllTimers();
    void EnableRaceButtons(bool enabled);
    bool raceButtonsEnabled() const { return raceButtonsEnabled_; }
    // The controls EnableRaceButtons switches, by name.
    static QStringList RaceButtonNames();
    void AddPriceEntry();

    // --- race length --------------------------------------------------------
    void CasZavoduChange(int value);
    void rbMinutyClick();
    void rbKolaClick();
    int raceLength() const { return raceLength_; }
    bool countsMinutes() const { return countsMinutes_; }
    // The TV's length label for a race by minutes or by laps.
    static QString TvLengthLabel(bool minutes);
    int progressMaximum() const { return progressMax_; }
    int progressPosition() const { return progressPos_; }
    const ShownClock& shownClock() const { return shown_; }

    // --- waiting for the start around the name input -----------------------
    void pauseStartWaiting();
    void resumeStartWaiting();
    // After the settings dialog (every close): with the external or automatic
    // start on and no ride going, the waiting starts afresh, without the
    // re-arm delay and without a passing seen meanwhile.
    void rearmStartWaiting();

    // --- the main window ----------------------------------------------------
    void FormShow();    // first showing
    void FormClose();   // closing, before the program ends
    void FormDestroy(); // the window goes away

signals:
    void captionChanged(const QString& caption);
    void clockShown(int minutes, int seconds, int millis);
    void progressChanged(int position, int maximum);
    void raceButtonsEnabledChanged(bool enabled);
    void raceLengthShown(int value);
    // A ride continued after an outage counts minutes (true) or laps.
    void unitShown(bool minutes);

private:
    // How a STOP runs: its moment (the lap files' time stamp), the clock it
    // charges (default: as shown), the steps already done before an outage,
    // and whether its journal record is already written.
    struct StopPlan {
        QDateTime wall;
        std::optional<ShownClock> clock;
        QSet<StopStep> done;
        bool recorded = false;
    };
    void Start();
    void Stop();
    void stopRide(const StopPlan& plan);
    void openReceivers();
    void openJournal();
    bool journaling() const;
    void journalBoardChange(const journal::Record& record);
    void restoreBoard(const RebuiltRide& ride);
    bool reopenJournal(const QByteArray& goodRecords, const ResumePoint& at);
    void beginTiming();
    void startPolling();
    void pollSoon();
    void pollTick();
    void addOperatingTimes(QStringList& errors);
    void dropShortLaps(QStringList& errors);
    void armExtStartIfWanted();
    void setLights(int state);
    void setPhase(RacePhase phase);
    void setProgress(int position);
    void setProgressMaximum(int maximum);
    QTimer& timerOf(RaceTimer timer);
    const QTimer& timerOf(RaceTimer timer) const;
    void startTimer(RaceTimer timer, int intervalMs);
    void stopTimer(RaceTimer timer) { timerOf(timer).stop(); }

    RaceBoard& board_;
    LapComputation& laps_;
    const Clock& clock_;
    const RaceSettings& settings_;
    Hardware hw_;
    RaceFeeds feeds_;
    RideJournal* journal_ = nullptr;
    std::optional<std::array<QString, kKartCount>> rideNames_;
    std::function<QDateTime()> wallClock_;
    QString resultsFolder_;

    RacePhase phase_ = RacePhase::Idle;
    int lightStage_ = 0;
    bool raceButtonsEnabled_ = true;
    int minuteMs_ = 60'000;
    int raceLength_ = 10;
    bool countsMinutes_ = true;
    int progressMax_ = 600;
    int progressPos_ = 600;
    ShownClock shown_;
    std::array<QTimer, 6> timers_;
};

} // namespace vartemo
