// Shared set-up of the zq tests: a scratch working folder per test, a window,
// BMP files built byte by byte, surfaces filled and read back.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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

std::vector<uint8_t> BuildBmp(const BmpLayout& layout);
// Little-endian 16- and 32-bit fields, appended.
void Put16(std::vector<uint8_t>& out, unsigned value);
void Put32(std::vector<uint8_t>& out, uint32_t value);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
std::string Corpus(const std::string& relative); // a file of the BMP suite

// A system-memory surface of 8 (palettised), 16 (5-6-5) or 32 bits.
IDirectDrawSurface* MakeSurface(IDirectDraw* dd, int width, int height, int bits);
// Pixels row by row (any depth up to 32 bits); fn(x, y) gives each value.
std::vector<uint32_t> ReadPixels(IDirectDrawSurface* surface, int* width = nullptr,
                                 int* height = nullptr);
bool FillPixels(IDirectDrawSurface* surface, uint32_t (*fn)(int x, int y, void* context),
                void* context);
template <typename Fn> bool Fill(IDirectDrawSurface* surface, Fn fn) {
    return FillPixels(
        surface, [](int x, int y, void* f) { return (*static_cast<Fn*>(f))(x, y); }, &fn);
}
inline uint16_t To565(uint32_t rgb) {
    return static_cast<uint16_t>(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 |
                                 ((rgb >> 3) & 0x1F));
}

// Every test runs in its own empty folder, with logging off; the library's
// display, fonts and input are released afterwards.
class ZqTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Log() const { return ReadText("debug.log"); }
    // A visible top-level window whose client area is width by height.
    HWND MakeWindow(int width, int height, int x = 0, int y = 0);

    std::filesystem::path previous_, folder_;
};

} // namespace zqtest
