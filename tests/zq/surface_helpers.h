// Surfaces for the tests: created with a given format, filled and read back.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace zqtest {

inline IDirectDrawSurface* MakeSurface(IDirectDraw* dd, int width, int height, int bits) {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_OFFSCREENPLAIN;
    DDPIXELFORMAT& f = desc.ddpfPixelFormat;
    f.dwSize = sizeof f;
    f.dwRGBBitCount = static_cast<DWORD>(bits);
    if (bits == 8) {
        f.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    } else if (bits == 16) {
        f.dwFlags = DDPF_RGB;
        f.dwRBitMask = 0xF800;
        f.dwGBitMask = 0x07E0;
        f.dwBBitMask = 0x001F;
    } else {
        f.dwFlags = DDPF_RGB;
        f.dwRBitMask = 0xFF0000;
        f.dwGBitMask = 0x00FF00;
        f.dwBBitMask = 0x0000FF;
    }
    IDirectDrawSurface* surface = nullptr;
    if (FAILED(dd->CreateSurface(&desc, &surface, nullptr))) return nullptr;
    return surface;
}

// Pixels of any depth up to 32 bits, row by row.
inline std::vector<uint32_t> ReadPixels(IDirectDrawSurface* surface, int* width = nullptr,
                                        int* height = nullptr) {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    std::vector<uint32_t> pixels;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return pixels;
    const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        const uint8_t* row =
            static_cast<const uint8_t*>(desc.lpSurface) + desc.lPitch * static_cast<LONG>(y);
        for (DWORD x = 0; x < desc.dwWidth; ++x) {
            uint32_t value = 0;
            std::memcpy(&value, row + x * bytes, bytes);
            pixels.push_back(value);
        }
    }
    surface->Unlock(desc.lpSurface);
    if (width) *width = static_cast<int>(desc.dwWidth);
    if (height) *height = static_cast<int>(desc.dwHeight);
    return pixels;
}

// Writes pixels row by row; fn(x, y) gives each value.
template <typename Fn> bool FillPixels(IDirectDrawSurface* surface, Fn fn) {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return false;
    const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        uint8_t* row = static_cast<uint8_t*>(desc.lpSurface) + desc.lPitch * static_cast<LONG>(y);
        for (DWORD x = 0; x < desc.dwWidth; ++x) {
            const uint32_t value = fn(static_cast<int>(x), static_cast<int>(y));
            std::memcpy(row + x * bytes, &value, bytes);
        }
    }
    surface->Unlock(desc.lpSurface);
    return true;
}

inline uint16_t To565(uint32_t rgb) {
    return static_cast<uint16_t>((((rgb >> 16) & 0xFF) >> 3) << 11 |
                                 (((rgb >> 8) & 0xFF) >> 2) << 5 | ((rgb & 0xFF) >> 3));
}

} // namespace zqtest
