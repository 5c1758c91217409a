// The software mixer behind DirectSound and MCI: any number of voices mixed,
// with volume and pan, clipped, into the device's format.
#pragma once

#include "dsound/audio_device.h"
#include "dsound/output_format.h"
#include "dsound/voice.h"
#include "dsound/wav_capture.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ludora::audio {

class Mixer {
public:
    static Mixer& instance();

    // Guards every voice's state and the mixer's own. Events and messages are
    // delivered only after it is released, so waiters can call back in.
    std::mutex& mutex() { return mutex_; }

    // With the lock held: puts a voice on the mixer (once).
    void activate_locked(const std::shared_ptr<Voice>& voice);
    // With the lock held: master level from the primary buffer.
    void set_master_locked(int32_t volume, int32_t pan);
    OutputFormat format_locked() const { return format_; }

    OutputFormat format();
    // Switches the device and any capture to a new format.
    void set_format(const OutputFormat& format);

    // Mixes `frames` frames in the output format into `out` (may be null);
    // `stereo16` (may be null) receives them as 16-bit stereo as well.
    void render(uint8_t* out, uint32_t frames, int16_t* stereo16 = nullptr);
    uint64_t frames_mixed() const { return frames_mixed_.load(); }
    // Whether any voice is on the mixer: with none, every block is silence.
    bool has_voices();
    // Output frames until some voice next queues a signal or stops (kNoSignal: none will).
    uint64_t frames_until_signal();
    // Whether a capture file takes what is mixed.
    bool capturing();
    // With the lock held: a voice started, moved or changed speed. Tells the
    // device that listens (one, a device that sleeps until the next signal).
    void timing_changed_locked();
    void set_timing_listener(AudioDevice* device);
    // Before a voice is started, moved, stopped or looked at: the device
    // mixes what is due by now. Without the mixer's lock.
    void catch_up();

    // Users of the device (DirectSound objects, open MCI devices). The first
    // starts the driver and the capture file, the last stops them.
    bool acquire();
    void release();
    bool device_open();
    // A program that ends without releasing its objects still gets a complete capture file.
    void close_at_exit();

    bool start_capture(const std::string& path);
    void stop_capture();

private:
    Mixer() = default;

    std::mutex mutex_;
    std::vector<std::shared_ptr<Voice>> voices_;
    std::vector<float> bus_;
    std::vector<uint8_t> scratch_;
    Signals signals_;
    OutputFormat format_;
    float master_left_ = 1.0f;
    float master_right_ = 1.0f;
    WavCapture capture_;
    std::atomic<uint64_t> frames_mixed_{0};

    std::mutex device_mutex_;
    int users_ = 0;
    std::unique_ptr<AudioDevice> device_;

    // Taken last, after the mixer's lock or the device lock.
    std::mutex listener_mutex_;
    AudioDevice* timing_listener_ = nullptr;
};

} // namespace ludora::audio
