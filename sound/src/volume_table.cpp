// The library's 0..65535 volume and pan scales in DirectSound's hundredths of
// a decibel.
#include "zqsound.h"

#include <cmath>

short ZQSound::g_VolumeTable[16384];

namespace {

// Entry i is 1000 * log2(i / 16384), truncated, and never below -10000: every
// halving of the level is -10 dB.
struct VolumeTableBuilder {
    VolumeTableBuilder() {
        ZQSound::g_VolumeTable[0] = -10000;
        for (int i = 1; i < 16384; ++i) {
            double db = 1000.0 * std::log2((double)i / 16384.0);
            long value = (long)db; // toward zero
            ZQSound::g_VolumeTable[i] = (short)(value < -10000 ? -10000 : value);
        }
    }
};
const VolumeTableBuilder g_buildVolumeTable;

} // namespace

int ZQSound::MapVolume(int volume) {
    int index;
    if (volume > 65535)
        index = 16383;
    else if (volume < 0)
        index = 0;
    else
        index = volume >> 2;
    return g_VolumeTable[index];
}

// DirectSound's pan runs from -10000 (left) to +10000 (right); small values
// on our scale lean right and large ones left, as the programs expect.
int ZQSound::MapPan(int pan) {
    if (pan > 65535) return -10000;
    if (pan >= 32768) return g_VolumeTable[16383 - ((pan - 32768) / 2)];
    if (pan >= 1) return -g_VolumeTable[pan / 2];
    return 10000;
}
