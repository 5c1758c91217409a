// Shared set-up of the text tests: a scratch folder, the display, pictures
// written as 24-bit BMP files and a target surface read back pixel by pixel.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/picture.h"
#include "tests/support/temp_folder.h"

namespace texttest {

constexpr uint32_t Blue = 0x0000FF;
constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Red = 0xFF0000;

using testkit::Picture;
using testkit::WriteBmp;

// A font picture: glyph j (for "!" + j) is a solid block of widths[j]
// columns, one blue column between glyphs and two before the first.
Picture FontPicture(const std::vector<int>& widths, int height, uint32_t colour);
// The left edge of glyph j in FontPicture's layout.
int GlyphLeft(const std::vector<int>& widths, int j);

// A strip of ten digit cells, cellWidth wide: digit d is a white bar of
// d + 1 rows at the top of its cell, the rest blue.
Picture DigitStrip(int cellWidth, int height);

class TextTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A black 16-bit surface in the display's format.
    IDirectDrawSurface* MakeTarget(int width, int height);
    // The pixel as 0x00RRGGBB, widened from 5-6-5.
    uint32_t PixelAt(IDirectDrawSurface* surface, int x, int y);
    // The first and last column of row y whose pixel is not black, from x0 on
    // (both -1 when none).
    std::pair<int, int> InkSpan(IDirectDrawSurface* surface, int y, int x0 = 0);
    // How many rows from the top of column x are not black.
    int InkHeight(IDirectDrawSurface* surface, int x);

    std::unique_ptr<testkit::WorkingFolder> scratch_;
    std::filesystem::path folder_;
    std::vector<IDirectDrawSurface*> targets_;
};

} // namespace texttest
