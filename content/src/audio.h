// Sound synthesis for the effects and music: simple oscillators and envelopes, written as
// PCM WAV files of 22050 Hz and 16 bits.
#pragma once

#include <string>
#include <vector>

namespace content {

constexpr int kSampleRate = 22050;

struct Sound {
    int channels = 1;
    std::vector<float> samples; // interleaved, -1..1

    explicit Sound(int channel_count = 1, double seconds = 0)
        : channels(channel_count), samples(size_t(seconds * kSampleRate) * channel_count, 0.0f) {}
    size_t frames() const { return samples.size() / channels; }
    // Adds v to frame i of every channel, panned (-1 left .. 1 right); with wrap the index is
    // taken modulo the length, so tails run on into the start of a loop.
    void add(long i, float v, float pan = 0, bool wrap = false);

private:
    float pan_ = 0, left_ = 1, right_ = 1;
};

// Scales the sound so that its loudest sample reaches `peak`.
void normalise(Sound& sound, float peak);
bool write_wav(const std::string& path, const Sound& sound);

// Frequency of a note name such as "A4", "C#5" or "Bb3"; 0 for "-" (a rest).
double note_frequency(const std::string& name);

} // namespace content
