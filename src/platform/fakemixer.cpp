#include "platform/fakemixer.h"

#include <algorithm>

namespace vartemo {

FakeMixer::FakeMixer(std::array<std::optional<Element>, kMixerLineCount> elements) : elements_(std::move(elements)) {}

bool FakeMixer::present() const {
    return std::any_of(elements_.begin(), elements_.end(), [](const auto& e) { return e.has_value(); });
}

bool FakeMixer::has(MixerLine line) const {
    return elements_[size_t(line)].has_value();
}

int FakeMixer::level(MixerLine line) const {
    const auto& e = elements_[size_t(line)];
    return e && !e->volumes.empty() ? ScaleFromElement(e->volumes.front(), e->minimum, e->maximum) : 0;
}

void FakeMixer::setLevel(MixerLine line, int level) {
    auto& e = elements_[size_t(line)];
    if (!e)
        return;
    ++writes_;
    std::fill(e->volumes.begin(), e->volumes.end(), ScaleToElement(level, e->minimum, e->maximum));
}

bool FakeMixer::muted() const {
    const auto& e = elements_[size_t(MixerLine::Master)];
    return e && !e->switches.empty() && e->switches.front() == 0;
}

void FakeMixer::setMuted(bool muted) {
    auto& e = elements_[size_t(MixerLine::Master)];
    if (!e)
        return;
    ++writes_;
    std::fill(e->switches.begin(), e->switches.end(), muted ? 0 : 1);
}

MixerValues FakeMixer::values() const {
    MixerValues out;
    for (size_t i = 0; i < elements_.size(); ++i)
        if (elements_[i])
            out[i] = MixerElementValues{true, elements_[i]->volumes, elements_[i]->switches};
    return out;
}

void FakeMixer::restore(const MixerValues& values) {
    for (size_t i = 0; i < elements_.size(); ++i) {
        auto& e = elements_[i];
        if (!e || !values[i].present)
            continue;
        ++writes_;
        if (values[i].volumes.size() == e->volumes.size())
            e->volumes = values[i].volumes;
        if (values[i].switches.size() == e->switches.size())
            e->switches = values[i].switches;
    }
}

} // namespace vartemo
