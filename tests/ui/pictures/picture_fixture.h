// Shared set-up of the picture tests: a scratch folder, a headless window with
// a windowed display (16 bits, 5-6-5), BMP files written pixel by pixel and
// surfaces filled and read back without the toolkit's own helpers.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <functional>
#include <string>

#include "tests/support/files.h"
#include "tests/support/surface_pixels.h"
#include "tests/support/temp_folder.h"

namespace picturetest {

using testkit::CountInRect;
using testkit::FillSurface;
using testkit::PixelAt;
using testkit::ReadText;
using testkit::SetPixelAt;
using testkit::To565;
using testkit::WriteText;

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

// A system-memory surface in the display's format (no colour key).
IDirectDrawSurface* MakeSurface(int width, int height);
// A system-memory surface of 8, 16 (5-6-5), 24 or 32 bits (8-8-8).
IDirectDrawSurface* MakeSurfaceOfDepth(int width, int height, int bits);
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

    std::unique_ptr<testkit::WorkingFolder> scratch_;
    std::filesystem::path folder_;
    HWND window_ = nullptr;
};

} // namespace picturetest
