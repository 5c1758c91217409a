#include "dsound/pcm_mix.h"

namespace ludora::audio {
namespace {

template <int Bits> inline float sample_at(const uint8_t* data, size_t index) {
    if constexpr (Bits == 8) {
        return static_cast<float>((static_cast<int>(data[index]) - 128) * 256);
    } else {
        const int16_t value = static_cast<int16_t>(data[index * 2] | (data[index * 2 + 1] << 8));
        return static_cast<float>(value);
    }
}

template <int Bits, int Channels>
uint32_t mix_format(const PcmView& source, uint64_t& position, uint64_t step, bool looping,
                    StereoGain gain, float* bus, uint32_t frames) {
    const uint64_t end = static_cast<uint64_t>(source.frames) << 32;
    uint64_t pos = position;
    uint32_t produced = 0;
    for (; produced < frames; ++produced) {
        if (pos >= end) {
            if (!looping) break;
            pos %= end;
        }
        const uint32_t index = static_cast<uint32_t>(pos >> 32);
        uint32_t next = index + 1;
        if (next >= source.frames) next = looping ? 0 : index;
        const float frac = static_cast<float>(pos & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
        float left;
        float right;
        if constexpr (Channels == 1) {
            const float a = sample_at<Bits>(source.data, index);
            const float b = sample_at<Bits>(source.data, next);
            left = right = a + (b - a) * frac;
        } else {
            const float al = sample_at<Bits>(source.data, size_t{index} * 2);
            const float bl = sample_at<Bits>(source.data, size_t{next} * 2);
            const float ar = sample_at<Bits>(source.data, size_t{index} * 2 + 1);
            const float br = sample_at<Bits>(source.data, size_t{next} * 2 + 1);
            left = al + (bl - al) * frac;
            right = ar + (br - ar) * frac;
        }
        bus[produced * 2] += left * gain.left;
        bus[produced * 2 + 1] += right * gain.right;
        pos += step;
    }
    if (looping && end != 0 && pos >= end) pos %= end;
    position = pos;
    return produced;
}

} // namespace

uint32_t mix_pcm(const PcmView& source, uint64_t& position, uint64_t step, bool looping,
                 StereoGain gain, float* bus, uint32_t frames) {
    if (source.data == nullptr || source.frames == 0) return 0;
    const bool stereo = source.channels == 2;
    if (source.bits == 8) {
        return stereo ? mix_format<8, 2>(source, position, step, looping, gain, bus, frames)
                      : mix_format<8, 1>(source, position, step, looping, gain, bus, frames);
    }
    return stereo ? mix_format<16, 2>(source, position, step, looping, gain, bus, frames)
                  : mix_format<16, 1>(source, position, step, looping, gain, bus, frames);
}

} // namespace ludora::audio
