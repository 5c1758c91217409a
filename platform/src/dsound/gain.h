// DirectSound's attenuation law: volume and pan in hundredths of a decibel.
#pragma once

#include <cmath>
#include <cstdint>

namespace ludora::audio {

// The amplitude factor for an attenuation of `hundredths_db` (0 or below);
// DSBVOLUME_MIN and below are silence.
inline float attenuation_gain(int32_t hundredths_db) {
    if (hundredths_db >= 0) return 1.0f;
    if (hundredths_db <= -10000) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredths_db / 2000.0));
}

struct StereoGain {
    float left;
    float right;
};

// Volume attenuates both sides; pan attenuates only the side opposite to it,
// by |pan| hundredths of a decibel.
inline StereoGain volume_pan_gain(int32_t volume, int32_t pan) {
    const float level = attenuation_gain(volume);
    StereoGain gain{level, level};
    if (pan > 0) gain.left *= attenuation_gain(-pan);
    if (pan < 0) gain.right *= attenuation_gain(pan);
    return gain;
}

} // namespace ludora::audio
