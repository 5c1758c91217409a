#include "audio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace content {

void Sound::add(long i, float v, float pan, bool wrap) {
    long n = long(frames());
    if (wrap) i = ((i % n) + n) % n;
    if (i < 0 || i >= n) return;
    if (channels == 1) {
        samples[size_t(i)] += v;
        return;
    }
    if (pan != pan_) { // constant-power pan, worked out once per change of position
        double angle = (pan + 1) * M_PI / 4;
        pan_ = pan, left_ = float(std::cos(angle) * M_SQRT2),
        right_ = float(std::sin(angle) * M_SQRT2);
    }
    samples[size_t(i) * 2] += v * left_;
    samples[size_t(i) * 2 + 1] += v * right_;
}

void normalise(Sound& sound, float peak) {
    float loudest = 0;
    for (float s : sound.samples)
        loudest = std::max(loudest, std::abs(s));
    if (loudest <= 0) return;
    for (float& s : sound.samples)
        s *= peak / loudest;
}

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

bool write_wav(const std::string& path, const Sound& sound) {
    uint32_t data_bytes = uint32_t(sound.samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + data_bytes);
    for (char c : std::string("RIFF"))
        out.push_back(uint8_t(c));
    put32(out, 36 + data_bytes);
    for (char c : std::string("WAVEfmt "))
        out.push_back(uint8_t(c));
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, uint32_t(sound.channels));
    put32(out, kSampleRate);
    put32(out, uint32_t(kSampleRate * sound.channels * 2));
    put16(out, uint32_t(sound.channels * 2));
    put16(out, 16);
    for (char c : std::string("data"))
        out.push_back(uint8_t(c));
    put32(out, data_bytes);
    for (float s : sound.samples) {
        long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        put16(out, uint32_t(uint16_t(int16_t(v))));
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

double note_frequency(const std::string& name) {
    if (name.empty() || name == "-") return 0;
    static const int semis[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G from C
    int semitone = semis[name[0] - 'A'];
    size_t i = 1;
    if (i < name.size() && name[i] == '#')
        ++semitone, ++i;
    else if (i < name.size() && name[i] == 'b')
        --semitone, ++i;
    int octave = name[i] - '0';
    int midi = 12 * (octave + 1) + semitone;
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

} // namespace content
