#pragma once

#include "core/clock.h"
#include "engine/passingevent.h"
#include "engine/raceboard.h"

#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace vartemo {

class CodeLearner;
class LapSettings;

// LearnSlot values: 0 timing; 1..8 learn a kart's first code; 11..81 learn
// its second code; 128 reading test (codes are only shown, nothing is timed).
inline constexpr int kLearnNone = 0;
inline constexpr int kLearnMonitor = 128;
bool IsLearnCodeSlot(int slot);

// Upper-case hexadecimal, at least four digits: how an infrared code becomes text.
QString IrCodeText(quint32 code);

// Turns passings into laps and splits on the race board. Lap passings are
// matched at once but taken as laps by the per-kart poll (every 2 ms), so the
// lap time is read at the poll; splits are appended at once.
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
    CodeLearner* learner() const { return learner_; }

    // --- passings -------------------------------------------------------
    // Lap code: sets PendingKart. Contained code or other sender: a split at
    // once. A code of no kart is ignored.
    void MatchCode(const QString& code, const QString& source);
    void MatchCode(const PassingEvent& e) { MatchCode(e.code, e.source); }
    // While the start lights run, passings wait (in order, at most
    // kMaxHeldPassings) and are matched when released right after the race
    // start, so that no split is measured from the previous race's start.
    static constexpr qsizetype kMaxHeldPassings = 4096;
    void holdPassings();
    void releasePassings();
    bool holdingPassings() const { return holding_; }
    void AddSplit(int kart, const QString& label);
    // Stores the code in the field named by LearnSlot; other slots do nothing.
    void LearnCode(const QString& code);
    // The WM_IRCODE handler: hex text, then learning or matching.
    void OnIrCode(quint32 code);

    // --- polls ----------------------------------------------------------
    void Poll(int kart);
    // All eight polls in kart order: what one tick of the 2 ms timer does.
    void PollAll();

    // --- timing state (driven by race control) -------------------------
    void startRace();            // RaceStart := now, RaceRunning := true, no marks
    void setRaceRunning(bool running) { raceRunning_ = running; }
    bool raceRunning() const { return raceRunning_; }
    TimeMs raceStart() const { return raceStart_; }
    TimeMs raceTime() const;     // now - RaceStart
    void resetMarks();           // every kart: no lap, no split yet

    int pendingKart() const { return pendingKart_; }
    void setPendingKart(int kart) { pendingKart_ = kart; }

    int learnSlot() const { return learnSlot_; }
    void setLearnSlot(int slot) { learnSlot_ = slot; }

    std::optional<TimeMs> lastLapMark(int kart) const { return lastLapMark_[idx(kart)]; }
    std::optional<TimeMs> lastSplitMark(int kart) const { return lastSplitMark_[idx(kart)]; }

private:
    static size_t idx(int kart) { return static_cast<size_t>(kart - 1); }
    bool triggered(int kart) const;

    RaceBoard& board_;
    const Clock& clock_;
    const LapSettings& settings_;
    CodeLearner* learner_ = nullptr;
    Hooks hooks_;

    TimeMs raceStart_ = 0;
    bool raceRunning_ = false;
    int pendingKart_ = 0;
    int learnSlot_ = kLearnNone;
    bool holding_ = false;
    QList<PassingEvent> held_;
    // Empty: the kart has not passed (or split) yet in this race.
    std::array<std::optional<TimeMs>, kKartCount> lastLapMark_{};
    std::array<std::optional<TimeMs>, kKartCount> lastSplitMark_{};
};

} // namespace vartemo
