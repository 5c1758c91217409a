// The host's sound device, opened on a thread of its own: asking the host's
// sound system for its device can take a tenth of a second or more (longer
// when there is none and every backend is tried), and a program's first frame
// should not wait for it. Until the device is open nothing is mixed, so sound
// started meanwhile begins a moment late rather than being lost.
#include "dsound/audio_device.h"

#include <mutex>
#include <thread>

namespace ludora::audio {
namespace {

class BackgroundAudioDevice : public AudioDevice {
public:
    explicit BackgroundAudioDevice(Mixer& mixer) : mixer_(mixer) {
        opener_ = std::thread([this] { open(); });
    }

    ~BackgroundAudioDevice() override {
        opener_.join();
        std::lock_guard lock(mutex_);
        device_.reset();
    }

    void format_changed() override {
        std::lock_guard lock(mutex_);
        if (device_) device_->format_changed();
    }

    void catch_up() override {
        std::lock_guard lock(mutex_);
        if (device_) device_->catch_up();
    }

private:
    void open() {
        std::unique_ptr<AudioDevice> device = open_sdl_audio_device(mixer_);
        if (!device) device = open_headless_audio_device(mixer_);
        std::lock_guard lock(mutex_);
        device_ = std::move(device);
        // The format may have changed while the device was being opened.
        if (device_) device_->format_changed();
    }

    Mixer& mixer_;
    std::mutex mutex_;
    std::unique_ptr<AudioDevice> device_;
    std::thread opener_;
};

} // namespace

std::unique_ptr<AudioDevice> open_audio_device_in_background(Mixer& mixer) {
    return std::make_unique<BackgroundAudioDevice>(mixer);
}

} // namespace ludora::audio
