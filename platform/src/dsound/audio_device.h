// The drivers that pull audio from the mixer: SDL's audio callback, or a
// thread on the layer clock when there is no sound device (headless).
#pragma once

#include <memory>

namespace ludora::audio {

class Mixer;

// Frames a device asks the mixer for at a time: a sound card's period.
constexpr unsigned kDevicePeriodFrames = 1024;

class AudioDevice {
public:
    virtual ~AudioDevice() = default;
    // The mixer's output format has changed.
    virtual void format_changed() {}
    // A voice started or moved: when the next signal is due may have changed.
    virtual void timing_changed() {}
    // Mixes what the clock says is due now (a device that mixes ahead of
    // time has nothing to do). Called without the mixer's lock.
    virtual void catch_up() {}
};

// SDL's default output device; null when SDL finds none.
std::unique_ptr<AudioDevice> open_sdl_audio_device(Mixer& mixer);
// SDL's device opened on a thread of its own, the headless one when SDL finds
// none; nothing is mixed until one is open.
std::unique_ptr<AudioDevice> open_audio_device_in_background(Mixer& mixer);
// Mixes a device's period at a time, on the layer clock, on a thread of its own.
std::unique_ptr<AudioDevice> open_headless_audio_device(Mixer& mixer);

} // namespace ludora::audio
