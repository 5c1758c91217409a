// The mixer on the page's Web Audio: the page pulls blocks from the mixer as
// its audio graph needs them, at the mixer's own rate. Browsers let a page
// play sound only after the user has clicked or pressed a key, so until then
// nothing is mixed: sound started meanwhile begins a moment late, as while a
// desktop device is still being opened.
#ifdef __EMSCRIPTEN__

#include "dsound/audio_device.h"
#include "dsound/mixer.h"

#include <emscripten.h>

#include <atomic>
#include <vector>

namespace ludora::audio {
namespace {

class WebAudioDevice;
std::atomic<WebAudioDevice*> g_device{nullptr};

class WebAudioDevice : public AudioDevice {
public:
    explicit WebAudioDevice(Mixer& mixer) : mixer_(mixer) {
        g_device.store(this);
        format_changed();
    }
    ~WebAudioDevice() override {
        g_device.store(nullptr);
        MAIN_THREAD_EM_ASM({ Module.ludoraAudioFormat(0); });
    }

    void format_changed() override {
        const int rate = static_cast<int>(mixer_.format().rate);
        MAIN_THREAD_EM_ASM({ Module.ludoraAudioFormat($0); }, rate);
    }

    // Fills `frames` samples of each channel as floats in -1..1.
    void render(float* left, float* right, int frames) {
        const OutputFormat format = mixer_.format();
        block_.resize(static_cast<size_t>(frames) * format.block_align());
        mixer_.render(block_.data(), static_cast<uint32_t>(frames));
        for (int i = 0; i < frames; ++i) {
            float sample[2];
            for (int c = 0; c < format.channels; ++c) {
                const size_t at =
                    (static_cast<size_t>(i) * format.channels + c) * (format.bits / 8);
                sample[c] = format.bits == 8
                                ? (block_[at] - 128) / 128.0f
                                : static_cast<int16_t>(block_[at] | block_[at + 1] << 8) / 32768.0f;
            }
            left[i] = sample[0];
            right[i] = format.channels == 2 ? sample[1] : sample[0];
        }
    }

    bool playing() { return mixer_.has_voices(); }

private:
    Mixer& mixer_;
    std::vector<uint8_t> block_;
};

} // namespace

std::unique_ptr<AudioDevice> open_audio_device_in_background(Mixer& mixer) {
    return std::make_unique<WebAudioDevice>(mixer);
}

} // namespace ludora::audio

// Called by the page's audio graph; 0 when there is no mixer to play.
extern "C" EMSCRIPTEN_KEEPALIVE int ludora_web_audio_render(float* left, float* right, int frames) {
    ludora::audio::WebAudioDevice* device = ludora::audio::g_device.load();
    if (!device) return 0;
    device->render(left, right, frames);
    return 1;
}

// Whether the mixer has anything to play: the page rests its audio graph
// while it has not.
extern "C" EMSCRIPTEN_KEEPALIVE int ludora_web_audio_playing() {
    ludora::audio::WebAudioDevice* device = ludora::audio::g_device.load();
    return device && device->playing() ? 1 : 0;
}

#endif
