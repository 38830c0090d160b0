#pragma once

#include "engine/sensorhealth.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>

namespace vartemo {

class LapComputation;
class LiveResults;
class ParallelPort;
class RaceBoard;
class RaceControl;
class Receivers;
class RegistryStore;
class SensorHealthStrip;
class Settings;
class TForm1;

// The sensor health in the station: the strip under the race board, the
// board's overdue marks and the live results' flags, the stuck contact's
// line in the log book. A 500 ms tick samples what has no events of its own
// (the contacts at rest, the infrared receivers' frame counters, the time
// that turns lamps grey and karts overdue); the passings themselves reach
// the model from the receivers and the lap computation as they happen.
//
// Whether the strip shows is the operator's choice in the settings dialog,
// kept in the per-user registry ("Software\vartemo_kestral\zdravi", value
// "Pruh"): no file of the program folder changes for it.
class SensorHealthWiring : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 500;
    static const QString kRegistryKey;
    static const QString kShownValue;

    struct Parts {
        SensorHealth& health;
        const Clock& clock;
        Settings& settings;
        TForm1& mainWindow;
        RaceBoard& board;
        RaceControl& race;
        LapComputation& laps;
        Receivers& receivers;
        ParallelPort& parallelPort;
        RegistryStore& registry;
        LiveResults* liveResults = nullptr;
        std::function<void(const QString& line)> addLogEntry;
    };

    explicit SensorHealthWiring(Parts parts, QObject* parent = nullptr);

    SensorHealthStrip& strip() { return *strip_; }
    bool stripShown() const { return shown_; }
    // The settings dialog's check box: shows or hides the strip and keeps the choice.
    void setStripShown(bool shown);

    // One tick, as the timer runs it.
    void tick();

private:
    void updateSourcesInUse();
    void sampleContacts(TimeUs now);
    void sampleInfrared(TimeUs now);
    void updateOverdue(TimeUs now);

    Parts parts_;
    SensorHealthStrip* strip_ = nullptr;
    QTimer timer_;
    bool shown_ = true;
    int ticks_ = 0;
    std::array<qint64, SensorHealth::kInfraredReceivers> framesSeen_{};
    std::array<qint64, SensorHealth::kInfraredReceivers> badFrames_{};
};

} // namespace vartemo
