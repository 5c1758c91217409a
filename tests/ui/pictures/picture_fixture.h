// Shared set-up of the picture tests: a scratch folder, a headless window with
// a windowed display (16 bits, 5-6-5), BMP files written pixel by pixel and
// surfaces filled and read back without the toolkit's own helpers.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace picturetest {

// 0x00RRGGBB to a 5-6-5 pixel, the low bits dropped.
inline uint16_t To565(uint32_t rgb) {
    return static_cast<uint16_t>(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 |
                                 ((rgb >> 3) & 0x1F));
}

// Colours that 5-6-5 holds exactly, so a loaded picture reads back unchanged.
constexpr uint32_t Red = 0xF80000;
constexpr uint32_t Green = 0x00FC00;
constexpr uint32_t Blue = 0x0000FF; // the toolkit's key
constexpr uint32_t Grey = 0x808080;
constexpr uint32_t White = 0xF8FCF8;
constexpr uint32_t Black = 0x000000;

// A 24-bit bottom-up BMP of width x height; colour(x, y) gives 0x00RRGGBB.
void WriteBmp(const std::string& path, int width, int height,
              const std::function<uint32_t(int, int)>& colour);
void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);

// A system-memory surface in the display's format (no colour key).
IDirectDrawSurface* MakeSurface(int width, int height);
// A system-memory surface of 8, 16 (5-6-5), 24 or 32 bits (8-8-8).
IDirectDrawSurface* MakeSurfaceOfDepth(int width, int height, int bits);
// Raw pixel values, read and written by locking.
uint32_t PixelAt(IDirectDrawSurface* surface, int x, int y);
void SetPixelAt(IDirectDrawSurface* surface, int x, int y, uint32_t value);
void FillSurface(IDirectDrawSurface* surface, uint32_t value);
// How many pixels of the rectangle hold value.
int CountInRect(IDirectDrawSurface* surface, int left, int top, int right, int bottom,
                uint32_t value);
// Width and height from the surface's description.
std::pair<int, int> SizeOf(IDirectDrawSurface* surface);
// The key a surface's source blit uses (low value), or -1 when it has none.
int64_t SourceKey(IDirectDrawSurface* surface);

class PictureTest : public ::testing::Test {
protected:
    static constexpr int ScreenWidth = 320;
    static constexpr int ScreenHeight = 200;

    void SetUp() override;
    void TearDown() override;
    IDirectDrawSurface* BackBuffer() const;

    std::filesystem::path previous_, folder_;
    HWND window_ = nullptr;
};

} // namespace picturetest
