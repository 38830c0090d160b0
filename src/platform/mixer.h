#pragma once

#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace vartemo {

// The lines of the sound card the station sets.
enum class MixerLine { Master, Wave, Bass, Treble };
constexpr int kMixerLineCount = 4;

// An element's values as the card holds them, per channel, so that they can
// be put back exactly.
struct MixerElementValues {
    bool present = false;
    std::vector<long> volumes;
    std::vector<int> switches; // playback switches (1 on); empty without
    friend bool operator==(const MixerElementValues&, const MixerElementValues&) = default;
};
using MixerValues = std::array<MixerElementValues, kMixerLineCount>;

// The sound card's mixer. Levels are 0..65535 whatever the element's own
// range; mute is the master's playback switch off. Errors are ignored.
class Mixer {
public:
    virtual ~Mixer() = default;
    // A mixer device exists.
    virtual bool present() const = 0;
    virtual bool has(MixerLine line) const = 0;
    // The level of the first channel; 0 for a line the card lacks.
    virtual int level(MixerLine line) const = 0;
    // Every channel of the line to the level.
    virtual void setLevel(MixerLine line, int level) = 0;
    virtual bool muted() const = 0;
    virtual void setMuted(bool muted) = 0;
    virtual MixerValues values() const = 0;
    virtual void restore(const MixerValues& values) = 0;
};

// 0..65535 onto an element's range and back.
long ScaleToElement(int level, long minimum, long maximum);
int ScaleFromElement(long value, long minimum, long maximum);

// ALSA's simple mixer of the default card: "Master", "PCM" as the wave
// line, "Bass", "Treble". Null when there is no mixer to open.
std::unique_ptr<Mixer> OpenAlsaMixer(const QString& device = QStringLiteral("default"));

// The card's values kept in a small file while the station has changed
// them, so that a crash or a power cut does not make the station's levels
// pass for the card's own at the next start.
std::optional<MixerValues> ReadMixerValues(const QString& path);
bool WriteMixerValues(const QString& path, const MixerValues& values);

} // namespace vartemo
