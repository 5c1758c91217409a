// One picture type for every test: 24-bit colours, top row first, read from
// and written to BMP files, and the comparisons the tests make on shots.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testkit {

namespace fs = std::filesystem;

struct Rgb {
    uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
    uint32_t Packed() const { return uint32_t(red) << 16 | uint32_t(green) << 8 | blue; }
    static constexpr Rgb FromPacked(uint32_t rgb) {
        return {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};
    }
};

// Pure colours, exact in every display format; blue is the pictures' key.
constexpr Rgb Black{0, 0, 0};
constexpr Rgb White{255, 255, 255};
constexpr Rgb Red{255, 0, 0};
constexpr Rgb Green{0, 255, 0};
constexpr Rgb Blue{0, 0, 255};
constexpr Rgb Yellow{255, 255, 0};
constexpr Rgb Cyan{0, 255, 255};
constexpr Rgb Magenta{255, 0, 255};

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels; // top row first

    Picture() = default;
    Picture(int width, int height, Rgb fill = Black);
    bool Loaded() const { return width > 0 && height > 0; }
    Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void Set(int x, int y, Rgb colour) { pixels[static_cast<size_t>(y) * width + x] = colour; }
    // Fills the part of the rectangle that lies on the picture.
    void Fill(int left, int top, int width, int height, Rgb colour);
};

// A 24-bit BMP, bottom-up or top-down; an empty picture for anything else.
Picture ReadBmp(const fs::path& path);
// A bottom-up 24-bit BMP; 0 when it could not be written.
bool WriteBmp(const fs::path& path, const Picture& picture);
bool WriteBmp(const fs::path& path, int width, int height,
              const std::function<Rgb(int x, int y)>& colour);
bool WriteSolidBmp(const fs::path& path, int width, int height, Rgb colour);
// The bytes of a bottom-up 24-bit BMP.
std::vector<uint8_t> BmpBytes(const Picture& picture);

// A colour as the 16-bit display keeps it (5-6-5).
uint32_t Quantised(Rgb colour);
// Colours match when every channel is within `step` (a 5-bit channel's step by default).
bool Near(Rgb a, Rgb b, int step = 8);

// Pixels of the shot that differ from the expected picture (Near); `first`
// describes the first of them.
int DifferingPixels(const Picture& shot, const Picture& expected, std::string& first);
// Pixels of part of `source` that are not its blue key and differ (Near) from
// the shot at (shotX, shotY); `compared` counts those looked at.
int DifferentPixels(const Picture& shot, int shotX, int shotY, const Picture& source, int sourceX,
                    int sourceY, int width, int height, int* compared = nullptr);
// Pixels of a rectangle of the shot that hold (after quantising) the colour.
int CountColour(const Picture& shot, int x, int y, int width, int height, Rgb colour);
// 1 when the rectangle is the same in both shots.
bool SameArea(const Picture& a, const Picture& b, int x, int y, int width, int height);
// How many pixels of frame `frame` (of `frames` side by side) of the strip,
// blue excluded, match the shot at (x, y) once quantised, and how many were compared.
std::pair<int, int> MatchFrame(const Picture& shot, const Picture& strip, int frames, int frame,
                               int x, int y);

} // namespace testkit
