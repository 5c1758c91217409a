// Shared set-up of the zq tests: a scratch working folder per test (for
// "debug.log" and written files), a window, BMP files built byte by byte.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zqtest {

// A little-endian byte buffer for building files.
struct Bytes {
    std::vector<uint8_t> data;
    void u8(unsigned value) { data.push_back(static_cast<uint8_t>(value)); }
    void u16(unsigned value) {
        u8(value & 0xFF);
        u8((value >> 8) & 0xFF);
    }
    void u32(uint32_t value) {
        u16(value & 0xFFFF);
        u16(value >> 16);
    }
    void fill(size_t count, uint8_t value = 0) { data.insert(data.end(), count, value); }
};

struct BmpSpec {
    int width = 2;
    int height = 2;
    int bits = 24;
    uint32_t colours = 0;     // biClrUsed
    uint32_t headerSize = 40; // biSize
    uint16_t reserved1 = 0;
    uint32_t offBits = 0xFFFFFFFF; // computed when left at this value
    uint32_t compression = 0;
    int planes = 1;
    size_t paletteEntries = SIZE_MAX; // entries actually written; default: the header's count
    long truncateTo = -1;             // cut the file to this many bytes
    std::vector<uint8_t> pixels;      // bottom row first, rows padded; zeros when empty
    std::vector<uint32_t> palette;    // 0x00RRGGBB entries
};

std::vector<uint8_t> BuildBmp(const BmpSpec& spec);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);

// Every test runs in its own empty folder, with logging off and the library's
// display, fonts and input released afterwards.
class ZqTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The log as written so far ("" when there is none).
    std::string Log() const { return ReadText("debug.log"); }
    // A visible top-level window whose client area is width by height.
    HWND MakeWindow(int width, int height, int x = 0, int y = 0);

    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

// The corpus of real-world BMP files.
std::string Corpus(const std::string& relative);

} // namespace zqtest
