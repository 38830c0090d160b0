#pragma once

#include <QString>

namespace vartemo {

// What the sound player asks of a media player. Lives on the player's
// thread; every failure is swallowed there.
class MediaBackend {
public:
    virtual ~MediaBackend() = default;
    // Closes what is loaded and loads the file.
    virtual void open(const QString& file) = 0;
    // Plays from the start when the last playing reached the end.
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
};

// The sound module, with Qt Multimedia's player, and its entry function of
// type MakeMediaBackend.
inline constexpr char kSoundModule[] = "vartemo_media";
inline constexpr char kSoundModuleEntry[] = "vartemo_make_media_backend";
using MakeMediaBackend = MediaBackend* (*)();

} // namespace vartemo
