// Readers for the generated folder: BMP and WAV files, names resolved without regard to case
// (as the programs' file layer does), and bitmap fonts cut the way the toolkit cuts them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace content_test {

constexpr uint32_t kKey = 0x0000FF;

// Full path of a name as the programs spell it ("Title\\TovikSplash.bmp"), relative to the
// launcher folder; empty when nothing matches.
std::string resolve(const std::string& windows_path);

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0xRRGGBB, top row first
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool keyed(int x, int y) const { return at(x, y) == kKey; }
};

// Loads an uncompressed 24-bit BMP; false (with a message) for anything else.
bool load_picture(const std::string& windows_path, Picture& out);
Picture picture(const std::string& windows_path); // fails the current test when it cannot load

struct Wave {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples; // interleaved
    double seconds() const { return channels ? double(samples.size()) / channels / rate : 0; }
};
bool load_wave(const std::string& windows_path, Wave& out);

// The bitmap-font rule: glyph j starts at the first column with a non-key pixel after the
// previous glyph and ends at the next all-key column.
struct FontCut {
    bool ok = false;
    int height = 0;
    std::vector<int> widths;
    int space_width = 0, gap = 0;
};
FontCut cut_font(const Picture& font);

// "prefix<n>suffix", such as "round3.bmp".
std::string numbered(const std::string& prefix, int n, const std::string& suffix);

std::vector<std::string> read_lines(const std::string& path);
std::vector<char> read_bytes(const std::string& windows_path);

// Frames of a strip of `count` equal frames side by side.
Picture frame_of(const Picture& strip, int count, int index);
bool same_pixels(const Picture& a, const Picture& b);

} // namespace content_test
