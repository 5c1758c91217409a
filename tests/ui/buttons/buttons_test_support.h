// Shared set-up of the button tests: a scratch folder, a window whose
// procedure feeds the pointer as the shell's does, the display, pictures
// written as 24-bit BMP files and pixels read back as 0x00RRGGBB.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <functional>
#include <string>

#include "tests/support/temp_folder.h"

namespace buttontest {

constexpr uint32_t Black = 0x000000, Blue = 0x0000FF, Red = 0xFF0000, Green = 0x00FF00,
                   Yellow = 0xFFFF00, White = 0xFFFFFF;

// Writes a width x height 24-bit BMP whose pixel (x, y), counted from the top, is rgb(x, y).
void WriteBmp(const std::string& path, int width, int height,
              const std::function<uint32_t(int x, int y)>& rgb);
// A strip of solid cells of cellWidth x cellHeight, side by side or stacked.
void WriteStrip(const std::string& path, int cellWidth, int cellHeight,
                std::initializer_list<uint32_t> colours, bool vertical = false);

class ButtonsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The pixel as 0x00RRGGBB (a 5-6-5 surface widened with its low bits zero).
    static uint32_t PixelAt(IDirectDrawSurface* surface, int x, int y);
    static void Clear(IDirectDrawSurface* surface, uint32_t rgb);
    // A surface of the display's format, cleared to black; released at the end.
    IDirectDrawSurface* MakeTarget(int width, int height);
    // Takes every waiting message as a frame's pump would.
    static void Pump();

    HWND window_ = nullptr;
    IDirectDrawSurface* back_ = nullptr;
    std::unique_ptr<testkit::WorkingFolder> scratch_;
    std::filesystem::path folder_;
    std::vector<IDirectDrawSurface*> targets_;
};

// 5-6-5 keeps the top bits of each channel.
constexpr uint32_t As565(uint32_t rgb) {
    return rgb & 0xF8FCF8;
}

} // namespace buttontest
