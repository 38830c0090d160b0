#pragma once

#include "platform/mixer.h"

namespace vartemo {

// A card in memory for tests: each element with its own range and channels.
class FakeMixer : public Mixer {
public:
    struct Element {
        long minimum = 0;
        long maximum = 0;
        std::vector<long> volumes; // per channel
        std::vector<int> switches; // empty: no playback switch
    };
    // An element left empty is one the card lacks; no element at all is no device.
    explicit FakeMixer(std::array<std::optional<Element>, kMixerLineCount> elements);

    bool present() const override;
    bool has(MixerLine line) const override;
    int level(MixerLine line) const override;
    void setLevel(MixerLine line, int level) override;
    bool muted() const override;
    void setMuted(bool muted) override;
    MixerValues values() const override;
    void restore(const MixerValues& values) override;

    const std::optional<Element>& element(MixerLine line) const { return elements_[size_t(line)]; }
    int writes() const { return writes_; }

private:
    std::array<std::optional<Element>, kMixerLineCount> elements_;
    int writes_ = 0;
};

} // namespace vartemo
