// For targets that draw what they read: a headless window with zq's display
// on it, made once, and small pictures written as files to load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>
#include <ddraw.h>

#include "fuzz_support.h"
#include "zq.h"

namespace fuzz {

// The display of a 640 x 480 window, or nullptr when it cannot be made.
inline IDirectDraw* Display() {
    static IDirectDraw* directDraw = [] {
        ScratchFolder();
        ZQDebugEnable(0);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "ludora fuzz display";
        RegisterClassA(&windowClass);
        HWND window = CreateWindowExA(0, windowClass.lpszClassName, "fuzz", WS_POPUP | WS_VISIBLE,
                                      0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        if (window == nullptr || ZQInitDirectX(window, 640, 480) != 1)
            return static_cast<IDirectDraw*>(nullptr);
        return ZQGetLPDD();
    }();
    return directDraw;
}

inline IDirectDrawSurface* BackSurface() {
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    ZQGetDDInfo(&primary, &back);
    return back;
}

// A 24-bit BMP of one colour, written to `name` in the scratch folder.
inline void WriteSolidBmp(const char* name, int32_t width, int32_t height, uint32_t rgb) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
    std::vector<uint8_t> bytes(54 + pixelBytes, 0);
    auto put = [&bytes](size_t at, uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<uint32_t>(bytes.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, pixelBytes, 4);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            put(54 + rowBytes * static_cast<uint32_t>(y) + static_cast<uint32_t>(x) * 3, rgb, 3);
    WriteInput(name, bytes.data(), bytes.size());
}

} // namespace fuzz
