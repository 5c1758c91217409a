// Shared set-up of the zq tests: a scratch working folder per test, a window,
// BMP files built byte by byte, surfaces filled and read back.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/surface_pixels.h"
#include "tests/support/temp_folder.h"

namespace zqtest {

struct BmpLayout {
    int width = 2, height = 2, bits = 24, planes = 1;
    uint32_t colours = 0;     // biClrUsed
    uint32_t headerSize = 40; // biSize
    uint16_t reserved1 = 0;
    uint32_t compression = 0;
    uint32_t offBits = 0xFFFFFFFF;    // computed when left so
    size_t paletteEntries = SIZE_MAX; // entries written; default: the header's count
    long truncateTo = -1;             // cut the file to this many bytes
    std::vector<uint8_t> pixels;      // bottom row first, rows padded; zeros when empty
    std::vector<uint32_t> palette;    // 0x00RRGGBB entries
};

// A BMP as laid out, odd headers and cut files included (the reader's own
// test of the format; plain pictures come from the test kit).
std::vector<uint8_t> BuildBmp(const BmpLayout& layout);
// Little-endian 16- and 32-bit fields, appended.
inline void Put16(std::vector<uint8_t>& out, unsigned value) {
    testkit::PutLittle(out, value, 2);
}
inline void Put32(std::vector<uint8_t>& out, uint32_t value) {
    testkit::PutLittle(out, value, 4);
}
std::string Corpus(const std::string& relative); // a file of the BMP suite

using testkit::FillPixels;
using testkit::MakeSurface;
using testkit::ReadBytes;
using testkit::ReadPixels;
using testkit::ReadText;
using testkit::To565;
using testkit::WriteBytes;

// Every test runs in its own empty folder, with logging off; the library's
// display, fonts and input are released afterwards.
class ZqTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Log() const { return ReadText("debug.log"); }
    // A visible top-level window whose client area is width by height.
    HWND MakeWindow(int width, int height, int x = 0, int y = 0);

    std::unique_ptr<testkit::WorkingFolder> scratch_;
    std::filesystem::path folder_;
};

} // namespace zqtest
