#include "dsound/mixer.h"

#include "core/clock.h"
#include "core/settings.h"
#include "dsound/gain.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ludora::audio {
namespace {

int16_t clip16(float value) {
    if (value >= 32767.0f) return 32767;
    if (value <= -32768.0f) return -32768;
    return static_cast<int16_t>(std::lrintf(value));
}

} // namespace

Mixer& Mixer::instance() {
    // Never destroyed: drivers and voices may outlive static destruction order.
    static Mixer* mixer = new Mixer();
    return *mixer;
}

void Mixer::activate_locked(const std::shared_ptr<Voice>& voice) {
    if (std::find(voices_.begin(), voices_.end(), voice) == voices_.end()) voices_.push_back(voice);
    timing_changed_locked();
}

uint64_t Mixer::frames_until_signal() {
    std::lock_guard lock(mutex_);
    uint64_t frames = kNoSignal;
    for (const std::shared_ptr<Voice>& voice : voices_)
        frames = std::min(frames, voice->frames_until_signal(format_.rate));
    return frames;
}

bool Mixer::capturing() {
    std::lock_guard lock(mutex_);
    return capture_.is_open();
}

void Mixer::timing_changed_locked() {
    std::lock_guard lock(listener_mutex_);
    if (timing_listener_) timing_listener_->timing_changed();
}

void Mixer::catch_up() {
    std::lock_guard device_lock(device_mutex_);
    if (device_) device_->catch_up();
}

void Mixer::set_timing_listener(AudioDevice* device) {
    std::lock_guard lock(listener_mutex_);
    timing_listener_ = device;
}

void Mixer::set_master_locked(int32_t volume, int32_t pan) {
    const StereoGain gain = volume_pan_gain(volume, pan);
    master_left_ = gain.left;
    master_right_ = gain.right;
}

OutputFormat Mixer::format() {
    std::lock_guard lock(mutex_);
    return format_;
}

void Mixer::set_format(const OutputFormat& format) {
    {
        std::lock_guard lock(mutex_);
        if (format == format_) return;
        format_ = format;
        // A capture holds one format: a new one starts the file again.
        if (capture_.is_open()) capture_.open(capture_.path(), format_);
    }
    std::lock_guard device_lock(device_mutex_);
    if (device_) device_->format_changed();
}

void Mixer::render(uint8_t* out, uint32_t frames, int16_t* stereo16) {
    Signals signals;
    {
        std::lock_guard lock(mutex_);
        bus_.assign(size_t{frames} * 2, 0.0f);
        signals_.clear();
        for (size_t i = 0; i < voices_.size();) {
            if (voices_[i]->mix(bus_.data(), frames, format_.rate, signals_)) {
                ++i;
            } else {
                voices_.erase(voices_.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        const uint32_t align = format_.block_align();
        uint8_t* target = out;
        if (target == nullptr && capture_.is_open()) {
            scratch_.resize(size_t{frames} * align);
            target = scratch_.data();
        }
        for (uint32_t f = 0; f < frames; ++f) {
            const int16_t left = clip16(bus_[f * 2] * master_left_);
            const int16_t right = clip16(bus_[f * 2 + 1] * master_right_);
            if (stereo16 != nullptr) {
                stereo16[f * 2] = left;
                stereo16[f * 2 + 1] = right;
            }
            if (target == nullptr) continue;
            uint8_t* at = target + size_t{f} * align;
            if (format_.channels == 2) {
                if (format_.bits == 16) {
                    at[0] = static_cast<uint8_t>(left);
                    at[1] = static_cast<uint8_t>(left >> 8);
                    at[2] = static_cast<uint8_t>(right);
                    at[3] = static_cast<uint8_t>(right >> 8);
                } else {
                    at[0] = static_cast<uint8_t>((left >> 8) + 128);
                    at[1] = static_cast<uint8_t>((right >> 8) + 128);
                }
            } else {
                const int16_t mono = static_cast<int16_t>((left + right) / 2);
                if (format_.bits == 16) {
                    at[0] = static_cast<uint8_t>(mono);
                    at[1] = static_cast<uint8_t>(mono >> 8);
                } else {
                    at[0] = static_cast<uint8_t>((mono >> 8) + 128);
                }
            }
        }
        if (target != nullptr) capture_.write(target, size_t{frames} * align);
        frames_mixed_.fetch_add(frames);
        signals.swap(signals_);
    }
    deliver(signals);
}

bool Mixer::has_voices() {
    std::lock_guard lock(mutex_);
    return !voices_.empty();
}

bool Mixer::acquire() {
    static std::once_flag exit_hook;
    std::call_once(exit_hook, [] {
        // The driver's thread uses the layer clock: make sure the clock is
        // built before the hook, so the hook runs before the clock is destroyed.
        clock_us();
        std::atexit([] { Mixer::instance().close_at_exit(); });
    });
    std::lock_guard device_lock(device_mutex_);
    if (users_ == 0) {
        device_ = settings::headless() ? open_headless_audio_device(*this)
                                       : open_audio_device_in_background(*this);
        if (!device_) return false;
        const std::string out = settings::audio_out();
        if (!out.empty()) {
            std::lock_guard lock(mutex_);
            if (!capture_.is_open()) capture_.open(out, format_);
        }
    }
    ++users_;
    return true;
}

void Mixer::release() {
    // The driver's thread or callback takes the mixer's lock, never the
    // device lock, so the driver can be stopped with the device lock held.
    std::lock_guard device_lock(device_mutex_);
    if (users_ == 0) return;
    if (--users_ > 0) return;
    device_.reset();
    // The capture goes on into the next session (the music may be reopened
    // after a pause of the device); until then the file is complete as it stands.
    std::lock_guard lock(mutex_);
    capture_.fix_header();
}

void Mixer::close_at_exit() {
    std::lock_guard device_lock(device_mutex_);
    device_.reset();
    users_ = 0;
    std::lock_guard lock(mutex_);
    capture_.close();
}

bool Mixer::device_open() {
    std::lock_guard device_lock(device_mutex_);
    return device_ != nullptr;
}

bool Mixer::start_capture(const std::string& path) {
    std::lock_guard lock(mutex_);
    timing_changed_locked(); // a device that slept mixes a period at a time again
    return capture_.open(path, format_);
}

void Mixer::stop_capture() {
    std::lock_guard lock(mutex_);
    capture_.close();
}

} // namespace ludora::audio
