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
    int format = 0, channels = 0, rate = 0, bits = 0; // format 1 is PCM
    uint32_t riffSize = 0, dataSize = 0;
    bool whole = true; // every chunk up to the data lies inside the file
    size_t dataOffset = 0, fileSize = 0;
    std::vector<uint8_t> data; // the data chunk, as far as the file holds it
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
// 16-bit mono at 22050 Hz: `frames` frames of a square wave, -amplitude then
// +amplitude, 25 frames each.
bool WriteSquareWav(const fs::path& path, uint32_t frames, int16_t amplitude = 8000);

// The first "fmt " and "data" chunks of a RIFF WAVE file; 0 when there are none.
bool ReadWavFile(const fs::path& path, WavFile& wav);
// The 16-bit samples of a file: all channels summed, or one (0 left, 1 right).
Sound ReadWav(const fs::path& path, int onlyChannel = -1);

} // namespace testkit
