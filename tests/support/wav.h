// PCM WAV files for the tests: written from samples, read back as the
// format and data they hold, or as 16-bit samples of one channel.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace testkit {

namespace fs = std::filesystem;

// What a plain PCM file holds: its format, the declared sizes and the data chunk.
struct WavFile {
    int channels = 0, rate = 0, bits = 0;
    uint32_t riffSize = 0, dataSize = 0;
    std::vector<uint8_t> data;
};

// 16-bit samples as one channel, with their rate.
struct Sound {
    int rate = 0;
    std::vector<int16_t> samples;
};

// The bytes of a PCM WAV file: RIFF, "fmt " and "data".
std::vector<uint8_t> WavBytes(int channels, int rate, int bits, const std::vector<uint8_t>& data);
// A 16-bit PCM file of interleaved samples; 0 when it could not be written.
bool WriteWav(const fs::path& path, int channels, int rate, const std::vector<int16_t>& samples);
// `frames` frames of a square wave, -amplitude then +amplitude, `halfPeriod` frames each.
std::vector<int16_t> SquareWave(uint32_t frames, int16_t amplitude, uint32_t halfPeriod);

// The first "fmt " and "data" chunks of a RIFF WAVE file; 0 when there are none.
bool ReadWavFile(const fs::path& path, WavFile& wav);
// The 16-bit samples of a file: all channels summed, or one (0 left, 1 right).
Sound ReadWav(const fs::path& path, int onlyChannel = -1);

} // namespace testkit
