#include "ludora/harness_audio.h"

#include "dsound/mixer.h"

#include <vector>

using ludora::audio::Mixer;
using ludora::audio::OutputFormat;

extern "C" uint32_t LudoraPumpAudio(uint32_t frames, int16_t* stereo16) {
    Mixer& mixer = Mixer::instance();
    if (!mixer.device_open() || frames == 0) return 0;
    const OutputFormat format = mixer.format();
    std::vector<uint8_t> out(size_t{frames} * format.block_align());
    mixer.render(out.data(), frames, stereo16);
    return frames;
}

extern "C" void LudoraAudioFormat(uint32_t* samples_per_second, uint16_t* channels,
                                  uint16_t* bits) {
    const OutputFormat format = Mixer::instance().format();
    if (samples_per_second != nullptr) *samples_per_second = format.rate;
    if (channels != nullptr) *channels = format.channels;
    if (bits != nullptr) *bits = format.bits;
}

extern "C" uint64_t LudoraAudioFramesMixed(void) {
    Mixer::instance().catch_up();
    return Mixer::instance().frames_mixed();
}

extern "C" int LudoraStartAudioCapture(const char* path) {
    if (path == nullptr) return 0;
    return Mixer::instance().start_capture(path) ? 1 : 0;
}

extern "C" void LudoraStopAudioCapture(void) {
    Mixer::instance().stop_capture();
}
