// Sound effects and music: PCM at 22050 Hz and 16 bits, audible, of the lengths their uses
// need; the music loops without a click.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "content_files.h"

using namespace content_test;

namespace {

const char* const kEffects[] = {"search01.wav", "02.wav", "03.wav",      "04.wav",
                                "05.wav",       "06.wav", "09.wav",      "11.wav",
                                "13.wav",       "12.wav", "endlevel.wav"};

Wave effect(const std::string& name) {
    Wave w;
    EXPECT_TRUE(load_wave(std::string("Pearlwreck\\sounds\\").append(name), w)) << name;
    return w;
}

double crossings_per_second(const Wave& w) {
    int crossings = 0;
    for (size_t i = 1; i < w.samples.size(); ++i)
        crossings += (w.samples[i - 1] < 0) != (w.samples[i] < 0);
    return crossings / std::max(w.seconds(), 1e-3);
}

// Longest hex distance between two cells of the 38 x 37 chart (odd rows shifted right).
int widest_ring() {
    auto cube = [](int index, int& q, int& r) {
        int col = index % 38, row = index / 38;
        q = col - (row - (row & 1)) / 2, r = row;
    };
    int widest = 0;
    for (int a = 0; a < 1406; a += 37)
        for (int b = 0; b < 1406; ++b) {
            int qa, ra, qb, rb;
            cube(a, qa, ra), cube(b, qb, rb);
            int dq = qa - qb, dr = ra - rb;
            widest = std::max(widest, (std::abs(dq) + std::abs(dr) + std::abs(dq + dr)) / 2);
        }
    return widest;
}

} // namespace

TEST(Sounds, EffectsArePcmAt22050HzAnd16Bits) {
    std::vector<std::vector<int16_t>> seen;
    for (const char* name : kEffects) {
        SCOPED_TRACE(name);
        Wave w = effect(name);
        EXPECT_EQ(w.format, 1);
        EXPECT_EQ(w.rate, 22050);
        EXPECT_EQ(w.bits, 16);
        EXPECT_TRUE(w.channels == 1 || w.channels == 2);
        EXPECT_GT(w.seconds(), 0.15);
        EXPECT_LT(w.seconds(), 6.0);
        int peak = 0, clipped = 0;
        for (int16_t s : w.samples)
            peak = std::max(peak, std::abs(int(s))), clipped += std::abs(int(s)) >= 32767;
        EXPECT_GT(peak, 12000) << "too quiet";
        EXPECT_EQ(clipped, 0);
        for (const auto& other : seen)
            EXPECT_NE(other, w.samples) << "two effects are the same sound";
        seen.push_back(w.samples);
    }
}

TEST(Sounds, SonarPingLastsThroughTheWidestSweep) {
    // Rings grow 20 a second until one reaches a piece: at most the chart's widest distance.
    Wave ping = effect("search01.wav");
    EXPECT_GE(ping.seconds(), (widest_ring() + 1) * 0.05);
}

TEST(Sounds, FindChimeIsBrightAndRefusalIsLow) {
    double chime = crossings_per_second(effect("02.wav")),
           refusal = crossings_per_second(effect("11.wav"));
    EXPECT_GT(chime, 1500);
    EXPECT_LT(refusal, 800);
}

TEST(Sounds, MusicLoopsForHalfAMinuteWithoutAClick) {
    for (const char* name : {"sounds\\music.wav", "Pearlwreck\\sounds\\music.wav"}) {
        SCOPED_TRACE(name);
        Wave w;
        ASSERT_TRUE(load_wave(name, w));
        EXPECT_EQ(w.format, 1);
        EXPECT_EQ(w.rate, 22050);
        EXPECT_EQ(w.bits, 16);
        ASSERT_EQ(w.channels, 2);
        EXPECT_GE(w.seconds(), 30.0);
        size_t frames = w.samples.size() / 2;
        for (int ch = 0; ch < 2; ++ch) {
            std::vector<int> steps;
            int peak = 0;
            for (size_t i = 1; i < frames; ++i) {
                steps.push_back(std::abs(w.samples[i * 2 + ch] - w.samples[(i - 1) * 2 + ch]));
                peak = std::max(peak, std::abs(int(w.samples[i * 2 + ch])));
            }
            EXPECT_GT(peak, 8000) << "channel " << ch << " is nearly silent";
            std::sort(steps.begin(), steps.end());
            int typical = steps[steps.size() * 99 / 100];
            int join = std::abs(w.samples[ch] - w.samples[(frames - 1) * 2 + ch]);
            EXPECT_LE(join, typical) << "channel " << ch << " jumps where the loop repeats";
        }
    }
}
