// Without a sound device the mixer runs on its own thread, paced by the layer
// clock: a held clock stops it, a scaled clock speeds it up. It mixes in the
// periods a sound card would ask for, so it wakes as often as one. While the program
// is at rest nobody hears it, and it mixes half a second at a time (streams
// hold more than that, so every notification still comes, in order).
#include "core/clock.h"
#include "core/rest.h"
#include "dsound/audio_device.h"
#include "dsound/mixer.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace ludora::audio {
namespace {

class HeadlessAudioDevice : public AudioDevice {
public:
    explicit HeadlessAudioDevice(Mixer& mixer) : mixer_(mixer) {
        thread_ = std::thread([this] { run(); });
    }

    ~HeadlessAudioDevice() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

private:
    void run() {
        uint32_t rate = mixer_.format().rate;
        uint64_t base_us = clock_us();
        uint64_t mixed = 0;
        std::vector<uint8_t> block;
        while (true) {
            {
                std::unique_lock lock(mutex_);
                const uint64_t period_us = uint64_t{kDevicePeriodFrames} * 1000000 / rate;
                clock_wait(wake_, lock, resting() ? kRestWakeUs : period_us,
                           [this] { return stopping_; });
                if (stopping_) return;
            }
            const OutputFormat format = mixer_.format();
            const uint64_t now = clock_us();
            if (format.rate != rate) {
                rate = format.rate;
                base_us = now;
                mixed = 0;
            }
            const uint64_t due = (now - base_us) * rate / 1000000;
            while (mixed < due) {
                const uint32_t frames =
                    static_cast<uint32_t>(std::min<uint64_t>(due - mixed, kDevicePeriodFrames));
                block.resize(size_t{frames} * format.block_align());
                mixer_.render(block.data(), frames);
                mixed += frames;
                std::lock_guard lock(mutex_);
                if (stopping_) return;
            }
        }
    }

    Mixer& mixer_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace

std::unique_ptr<AudioDevice> open_headless_audio_device(Mixer& mixer) {
    return std::make_unique<HeadlessAudioDevice>(mixer);
}

} // namespace ludora::audio
