// The sound card's mixer through ALSA's simple mixer interface.

#include "platform/mixer.h"

#include <alsa/asoundlib.h>

namespace vartemo {

namespace {

const char* const kElementNames[kMixerLineCount] = {"Master", "PCM", "Bass", "Treble"};

class AlsaMixer : public Mixer {
public:
    explicit AlsaMixer(snd_mixer_t* handle) : handle_(handle) {
        for (int i = 0; i < kMixerLineCount; ++i) {
            snd_mixer_selem_id_t* id = nullptr;
            snd_mixer_selem_id_alloca(&id);
            snd_mixer_selem_id_set_index(id, 0);
            snd_mixer_selem_id_set_name(id, kElementNames[i]);
            snd_mixer_elem_t* elem = snd_mixer_find_selem(handle_, id);
            if (elem && snd_mixer_selem_has_playback_volume(elem))
                elements_[size_t(i)] = elem;
        }
    }
    ~AlsaMixer() override { snd_mixer_close(handle_); }

    bool present() const override { return true; }
    bool has(MixerLine line) const override { return element(line) != nullptr; }

    int level(MixerLine line) const override {
        snd_mixer_elem_t* e = element(line);
        if (!e)
            return 0;
        long minimum = 0, maximum = 0, value = 0;
        snd_mixer_selem_get_playback_volume_range(e, &minimum, &maximum);
        if (snd_mixer_selem_get_playback_volume(e, firstChannel(e), &value) < 0)
            return 0;
        return ScaleFromElement(value, minimum, maximum);
    }

    void setLevel(MixerLine line, int level) override {
        if (snd_mixer_elem_t* e = element(line)) {
            long minimum = 0, maximum = 0;
            snd_mixer_selem_get_playback_volume_range(e, &minimum, &maximum);
            snd_mixer_selem_set_playback_volume_all(e, ScaleToElement(level, minimum, maximum));
        }
    }

    bool muted() const override {
        snd_mixer_elem_t* e = element(MixerLine::Master);
        int on = 1;
        if (e && snd_mixer_selem_has_playback_switch(e))
            snd_mixer_selem_get_playback_switch(e, firstChannel(e), &on);
        return on == 0;
    }

    void setMuted(bool muted) override {
        snd_mixer_elem_t* e = element(MixerLine::Master);
        if (e && snd_mixer_selem_has_playback_switch(e))
            snd_mixer_selem_set_playback_switch_all(e, muted ? 0 : 1);
    }

    MixerValues values() const override {
        MixerValues out;
        for (int i = 0; i < kMixerLineCount; ++i) {
            snd_mixer_elem_t* e = elements_[size_t(i)];
            if (!e)
                continue;
            MixerElementValues& v = out[size_t(i)];
            v.present = true;
            const bool hasSwitch = snd_mixer_selem_has_playback_switch(e);
            for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
                const auto channel = snd_mixer_selem_channel_id_t(c);
                if (!snd_mixer_selem_has_playback_channel(e, channel))
                    continue;
                long value = 0;
                snd_mixer_selem_get_playback_volume(e, channel, &value);
                v.volumes.push_back(value);
                if (hasSwitch) {
                    int on = 1;
                    snd_mixer_selem_get_playback_switch(e, channel, &on);
                    v.switches.push_back(on);
                }
            }
        }
        return out;
    }

    void restore(const MixerValues& values) override {
        for (int i = 0; i < kMixerLineCount; ++i) {
            snd_mixer_elem_t* e = elements_[size_t(i)];
            const MixerElementValues& v = values[size_t(i)];
            if (!e || !v.present)
                continue;
            size_t n = 0;
            for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
                const auto channel = snd_mixer_selem_channel_id_t(c);
                if (!snd_mixer_selem_has_playback_channel(e, channel))
                    continue;
                if (n < v.volumes.size())
                    snd_mixer_selem_set_playback_volume(e, channel, v.volumes[n]);
                if (n < v.switches.size() && snd_mixer_selem_has_playback_switch(e))
                    snd_mixer_selem_set_playback_switch(e, channel, v.switches[n]);
                ++n;
            }
        }
    }

private:
    snd_mixer_elem_t* element(MixerLine line) const { return elements_[size_t(line)]; }
    static snd_mixer_selem_channel_id_t firstChannel(snd_mixer_elem_t* e) {
        for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c)
            if (snd_mixer_selem_has_playback_channel(e, snd_mixer_selem_channel_id_t(c)))
                return snd_mixer_selem_channel_id_t(c);
        return SND_MIXER_SCHN_MONO;
    }

    snd_mixer_t* handle_;
    std::array<snd_mixer_elem_t*, kMixerLineCount> elements_{};
};

} // namespace

// ALSA reports a machine without a card on stderr; to the station that is
// simply no mixer.
static void Quiet(const char*, int, const char*, int, const char*, ...) {}

std::unique_ptr<Mixer> OpenAlsaMixer(const QString& device) {
    snd_lib_error_set_handler(&Quiet);
    snd_mixer_t* handle = nullptr;
    if (snd_mixer_open(&handle, 0) < 0)
        return nullptr;
    const QByteArray name = device.toLocal8Bit();
    if (snd_mixer_attach(handle, name.constData()) < 0 || snd_mixer_selem_register(handle, nullptr, nullptr) < 0 ||
        snd_mixer_load(handle) < 0) {
        snd_mixer_close(handle);
        return nullptr;
    }
    return std::make_unique<AlsaMixer>(handle);
}

} // namespace vartemo
