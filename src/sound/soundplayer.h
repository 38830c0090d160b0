#pragma once

#include "sound/mediabackend.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <functional>
#include <memory>

namespace vartemo {

// The station's sounds: the end-of-race sound and the applause, and the
// sound page's "Přehrát" and "Zastavit". The media player runs on a thread
// of its own, because loading a damaged file can hold its caller for a
// second; every call here only posts the request and returns. Errors are
// swallowed.
class SoundPlayer {
public:
    using BackendFactory = std::function<std::unique_ptr<MediaBackend>()>;
    // The factory runs on the player's thread; by default Qt's media player.
    explicit SoundPlayer(BackendFactory factory = {});
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Loaded and paused, ready for play() (race start, start-up).
    void prepare(const QString& file);
    // Plays what is loaded (the race time is over).
    void play();
    // Loads and plays at once ("Přehrát", the applause): it stays loaded
    // until the next prepare().
    void playFile(const QString& file);
    void stop();

    // Returns once every request posted so far was handled (tests, the end).
    void waitIdle();

private:
    void post(std::function<void(MediaBackend&)> request);

    QThread thread_;
    QObject* context_ = nullptr; // lives on the thread
    std::unique_ptr<MediaBackend> backend_;
    BackendFactory factory_;
};

// Qt Multimedia's player with a default audio output, from the sound module
// (loaded by the first call); a player that stays silent when the module
// cannot be loaded.
std::unique_ptr<MediaBackend> MakeQtMediaBackend();

} // namespace vartemo
