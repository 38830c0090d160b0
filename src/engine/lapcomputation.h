#pragma once

#include "core/clock.h"
#include "engine/passingevent.h"
#include "engine/raceboard.h"
#include "engine/waitingpassings.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <array>
#include <functional>
#include <optional>

namespace vartemo {

class CodeLearner;
class LapSettings;
class RideJournal;
class SensorHealth;

// What a code turned out to be: a kart's lap, a kart's split, or no kart's.
enum class CodeMatch { Lap, Split, NoKart };

// LearnSlot values: 0 timing; 1..8 learn a kart's first code; 11..81 learn
// its second code; 128 reading test (codes are only shown, nothing is timed).
inline constexpr int kLearnNone = 0;
inline constexpr int kLearnMonitor = 128;
bool IsLearnCodeSlot(int slot);

// Upper-case hexadecimal, at least four digits: how an infrared code becomes text.
QString IrCodeText(quint32 code);

// Turns passings into laps and splits on the race board. Every passing comes
// with the time it happened; a lap passing waits in its kart's queue until
// the kart's poll takes it, and the lap is measured to the passing's own
// time, not to the poll. Karts crossing together never overwrite each
// other. Splits are appended at once, also measured to their own time.
class LapComputation {
public:
    // Everything outside the engine that a counted lap or a poll touches.
    struct Hooks {
        // Parallel-port input of kart 1..4 active (only asked when the port is in use).
        std::function<bool(int kart)> kartInputActive;
        // TV display: kart, driver, lines in the lap list before this lap, the lap.
        std::function<void(int kart, const QString& driver, int linesBefore, TimeMs lap)> updateRaceRow;
        // Hardware control: the output pulse of a counted lap.
        std::function<void()> startPulse;
    };

    LapComputation(RaceBoard& board, const Clock& clock, const LapSettings& settings);

    void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }
    const Hooks& hooks() const { return hooks_; }
    void setLearner(CodeLearner* learner) { learner_ = learner; }
    // Every lap and split taken during a ride goes to the journal first.
    void setJournal(RideJournal* journal) { journal_ = journal; }
    // Each kart's passings (laps, splits, contacts) are told to the health
    // model, which marks a kart not seen for too long.
    void setHealth(SensorHealth* health) { health_ = health; }
    SensorHealth* health() const { return health_; }
    const LapSettings& settings() const { return settings_; }
    CodeLearner* learner() const { return learner_; }

    // Called whenever a lap passing starts waiting, so that a poll can be
    // arranged (only the parallel-port contacts need polling all the time).
    void setPassingWaiting(std::function<void()> notify) { passingWaiting_ = std::move(notify); }

    const Clock& clock() const { return clock_; }

    // --- passings -------------------------------------------------------
    // Lap code: the passing waits for its kart's poll. Contained code or
    // other sender: a split at once. A code of no kart is ignored (and not
    // held while the lights run). Without a time, the passing happened now.
    // Returns what the code was (also for a passing held while the lights run).
    CodeMatch MatchCode(const QString& code, const QString& source, std::optional<TimeUs> at = {});
    CodeMatch MatchCode(const PassingEvent& e) { return MatchCode(e.code, e.source, e.at); }
    // While the start lights run, passings wait (in order, at most
    // kMaxHeldPassings) and are matched when released right after the race
    // start, so that no split is measured from the previous race's start.
    static constexpr qsizetype kMaxHeldPassings = 4096;
    void holdPassings();
    void releasePassings();
    bool holdingPassings() const { return holding_; }
    void AddSplit(int kart, const QString& label, std::optional<TimeUs> at = {});
    // Stores the code in the field named by LearnSlot; other slots do nothing.
    void LearnCode(const QString& code);
    // The WM_IRCODE handler: hex text, then learning or matching (nullopt
    // while learning: the code was not timed).
    std::optional<CodeMatch> OnIrCode(quint32 code, std::optional<TimeUs> at = {});

    // --- polls ----------------------------------------------------------
    // Takes every waiting passing of the kart in order, then (karts 1..4,
    // parallel port in use) an active input as a passing now.
    void Poll(int kart);
    // All eight polls in kart order: what one tick of the 2 ms timer does.
    void PollAll();

    // --- timing state (driven by race control) -------------------------
    void startRace();            // RaceStart := now, RaceRunning := true, no marks
    void setRaceRunning(bool running) { raceRunning_ = running; }
    bool raceRunning() const { return raceRunning_; }
    TimeMs raceStart() const { return FloorToMs(raceStartUs_); }
    TimeUs raceStartUs() const { return raceStartUs_; }
    TimeMs raceTime() const;     // now - RaceStart
    void resetMarks();           // every kart: no lap, no split yet (the STOP)
    // A ride continued after an outage: its start and the karts' marks back.
    void resumeRace(TimeUs raceStartUs, const std::array<std::optional<TimeUs>, kKartCount>& lapMarks,
                    const std::array<std::optional<TimeUs>, kKartCount>& splitMarks, bool running);

    // PendingKart: a kart whose lap code has been recognised and not yet
    // taken (the most recently recognised one that still waits), 0 for none.
    int pendingKart() const;
    bool hasWaitingPassings() const { return pendingKart() != 0; }
    // Forgets every waiting passing (the START, the re-arm of the automatic
    // start): the passing that starts a ride is not a lap.
    void forgetWaitingPassings();
    // kart's lap code recognised now; 0 forgets every waiting passing.
    void setPendingKart(int kart);
    std::size_t waitingPassings(int kart) const { return waiting_[idx(kart)].size(); }
    // Passings dropped from a full queue during rides since the program started.
    qint64 droppedPassings() const { return dropped_; }

    int learnSlot() const { return learnSlot_; }
    void setLearnSlot(int slot) { learnSlot_ = slot; }

    // Race times (µs since RaceStart) of the kart's last counted lap and split.
    std::optional<TimeUs> lastLapMarkUs(int kart) const { return lastLapMark_[idx(kart)]; }
    std::optional<TimeUs> lastSplitMarkUs(int kart) const { return lastSplitMark_[idx(kart)]; }

private:
    static size_t idx(int kart) { return static_cast<size_t>(kart - 1); }
    bool parallelInputActive(int kart) const;
    void queueLap(int kart, TimeUs at);
    // The kart a code names: a lap at the lap sensor, else a split with its label.
    struct Found {
        int kart = 0;
        bool lap = false;
        QString label;
    };
    std::optional<Found> find(const QString& code, const QString& source) const;
    // A passing's race time: before the race start it counts at the start.
    TimeUs raceTimeOf(TimeUs at) const { return std::max<TimeUs>(at - raceStartUs_, 0); }
    // False when the minimum lap time left the passing out.
    bool takeLap(int kart, TimeUs t, TimeUs stampUs);
    bool journaling() const;

    RaceBoard& board_;
    const Clock& clock_;
    const LapSettings& settings_;
    CodeLearner* learner_ = nullptr;
    RideJournal* journal_ = nullptr;
    SensorHealth* health_ = nullptr;
    Hooks hooks_;

    std::function<void()> passingWaiting_;
    TimeUs raceStartUs_ = 0;
    bool raceRunning_ = false;
    bool timing_ = false; // from the start to the stop
    std::array<WaitingPassings, kKartCount> waiting_{};
    int lastRecognised_ = 0;
    qint64 dropped_ = 0;
    int learnSlot_ = kLearnNone;
    bool holding_ = false;
    QList<PassingEvent> held_;
    // Empty: the kart has not passed (or split) yet in this race.
    std::array<std::optional<TimeUs>, kKartCount> lastLapMark_{};
    std::array<std::optional<TimeUs>, kKartCount> lastSplitMark_{};
};

} // namespace vartemo
