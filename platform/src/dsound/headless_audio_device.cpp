// Without a sound device the mixer runs on its own thread, paced by the layer
// clock: a held clock stops it, a scaled clock speeds it up. While a capture
// file takes what is mixed, it mixes in the periods a sound card would ask
// for (half a second at a time while the program is at rest: streams hold
// more than that, so every notification still comes, in order). Otherwise
// nobody hears it: it sleeps until the next notification or end is due (at
// most half a second), and whoever starts, moves, stops or looks at a voice
// first has it catch up to the clock, so positions and ends come as before.
#include "core/clock.h"
#include "core/rest.h"
#include "dsound/audio_device.h"
#include "dsound/mixer.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace ludora::audio {
namespace {

class HeadlessAudioDevice : public AudioDevice {
public:
    explicit HeadlessAudioDevice(Mixer& mixer) : mixer_(mixer) {
        rate_ = mixer_.format().rate;
        base_us_ = clock_us();
        mixer_.set_timing_listener(this);
        thread_ = std::thread([this] { run(); });
    }

    ~HeadlessAudioDevice() override {
        mixer_.set_timing_listener(nullptr);
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    void timing_changed() override {
        {
            std::lock_guard lock(mutex_);
            ++timing_changes_;
        }
        wake_.notify_all();
    }

    void catch_up() override {
        std::lock_guard lock(render_mutex_);
        mix_what_is_due();
    }

private:
    void run() {
        while (true) {
            uint64_t seen = 0;
            {
                std::lock_guard lock(mutex_);
                if (stopping_) return;
                seen = timing_changes_;
            }
            // The voices stand where the clock is before they say when they next need us.
            catch_up();
            const uint64_t sleep_us = next_wake_us();
            std::unique_lock lock(mutex_);
            clock_wait(wake_, lock, sleep_us, [&] { return stopping_ || timing_changes_ != seen; });
        }
    }

    uint64_t next_wake_us() {
        const uint32_t rate = std::max<uint32_t>(1, mixer_.format().rate);
        if (mixer_.capturing()) {
            return resting() ? kRestWakeUs : uint64_t{kDevicePeriodFrames} * 1000000 / rate;
        }
        const uint64_t frames = mixer_.frames_until_signal();
        if (frames >= kRestWakeUs * rate / 1000000) return kRestWakeUs;
        return (frames * 1000000 + rate - 1) / rate;
    }

    // Under the render lock.
    void mix_what_is_due() {
        const OutputFormat format = mixer_.format();
        const uint64_t now = clock_us();
        if (format.rate != rate_) {
            rate_ = format.rate;
            base_us_ = now;
            mixed_ = 0;
        }
        const uint64_t due = (now - base_us_) * rate_ / 1000000;
        while (mixed_ < due) {
            const uint32_t frames =
                static_cast<uint32_t>(std::min<uint64_t>(due - mixed_, kDevicePeriodFrames));
            block_.resize(size_t{frames} * format.block_align());
            mixer_.render(block_.data(), frames);
            mixed_ += frames;
            std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
    }

    Mixer& mixer_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    uint64_t timing_changes_ = 0;

    std::mutex render_mutex_; // taken before the mixer's lock
    uint32_t rate_ = 0;
    uint64_t base_us_ = 0;
    uint64_t mixed_ = 0;
    std::vector<uint8_t> block_;

    std::thread thread_;
};

} // namespace

std::unique_ptr<AudioDevice> open_headless_audio_device(Mixer& mixer) {
    return std::make_unique<HeadlessAudioDevice>(mixer);
}

} // namespace ludora::audio
