// Surfaces of the layer made, filled and read back by locking, without the
// toolkit's own helpers. Header-only: the tests that include it link the layer.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace testkit {

// A surface locked while this lives.
class LockedSurface {
public:
    explicit LockedSurface(IDirectDrawSurface* surface) : surface(surface) {
        desc.dwSize = sizeof desc;
        ok = surface != nullptr && SUCCEEDED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    }
    ~LockedSurface() {
        if (ok) surface->Unlock(desc.lpSurface);
    }
    LockedSurface(const LockedSurface&) = delete;
    LockedSurface& operator=(const LockedSurface&) = delete;

    int Width() const { return static_cast<int>(desc.dwWidth); }
    int Height() const { return static_cast<int>(desc.dwHeight); }
    int Bytes() const { return static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8); }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
    uint8_t* At(int x, int y) const {
        return static_cast<uint8_t*>(desc.lpSurface) + desc.lPitch * y + x * Bytes();
    }
    uint32_t Get(int x, int y) const {
        uint32_t value = 0;
        std::memcpy(&value, At(x, y), static_cast<size_t>(Bytes()));
        return value;
    }
    void Put(int x, int y, uint32_t value) const {
        std::memcpy(At(x, y), &value, static_cast<size_t>(Bytes()));
    }

    IDirectDrawSurface* surface;
    DDSURFACEDESC desc = {};
    bool ok = false;
};

// A system-memory surface of 8 (palettised), 16 (5-6-5), 24 or 32 bits (8-8-8).
inline IDirectDrawSurface* MakeSurface(IDirectDraw* directDraw, int width, int height, int bits) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_OFFSCREENPLAIN;
    DDPIXELFORMAT& f = desc.ddpfPixelFormat;
    f.dwSize = sizeof f;
    f.dwRGBBitCount = static_cast<DWORD>(bits);
    f.dwFlags = DDPF_RGB | (bits == 8 ? DDPF_PALETTEINDEXED8 : 0);
    f.dwRBitMask = bits == 16 ? 0xF800 : bits >= 24 ? 0xFF0000 : 0;
    f.dwGBitMask = bits == 16 ? 0x07E0 : bits >= 24 ? 0x00FF00 : 0;
    f.dwBBitMask = bits == 16 ? 0x001F : bits >= 24 ? 0x0000FF : 0;
    IDirectDrawSurface* surface = nullptr;
    return directDraw != nullptr && SUCCEEDED(directDraw->CreateSurface(&desc, &surface, nullptr))
               ? surface
               : nullptr;
}

// The raw value of a pixel (a failure of the test when it cannot be read).
inline uint32_t PixelAt(IDirectDrawSurface* surface, int x, int y) {
    LockedSurface lock(surface);
    if (!lock.ok || !lock.Inside(x, y)) {
        ADD_FAILURE() << "cannot read pixel " << x << "," << y;
        return 0xDEADBEEF;
    }
    return lock.Get(x, y);
}

inline void SetPixelAt(IDirectDrawSurface* surface, int x, int y, uint32_t value) {
    LockedSurface lock(surface);
    if (lock.ok && lock.Inside(x, y)) lock.Put(x, y, value);
}

// Every pixel's raw value, row by row from the top; the size when asked.
inline std::vector<uint32_t> ReadPixels(IDirectDrawSurface* surface, int* width = nullptr,
                                        int* height = nullptr) {
    std::vector<uint32_t> pixels;
    LockedSurface lock(surface);
    if (!lock.ok) return pixels;
    for (int y = 0; y < lock.Height(); ++y)
        for (int x = 0; x < lock.Width(); ++x)
            pixels.push_back(lock.Get(x, y));
    if (width) *width = lock.Width();
    if (height) *height = lock.Height();
    return pixels;
}

// Sets every pixel to value(x, y); 0 when the surface cannot be locked.
template <typename Value> bool FillPixels(IDirectDrawSurface* surface, Value value) {
    LockedSurface lock(surface);
    if (!lock.ok) return false;
    for (int y = 0; y < lock.Height(); ++y)
        for (int x = 0; x < lock.Width(); ++x)
            lock.Put(x, y, static_cast<uint32_t>(value(x, y)));
    return true;
}

inline void FillSurface(IDirectDrawSurface* surface, uint32_t value) {
    FillPixels(surface, [value](int, int) { return value; });
}

// How many pixels of the rectangle (right and bottom excluded) hold value.
inline int CountInRect(IDirectDrawSurface* surface, int left, int top, int right, int bottom,
                       uint32_t value) {
    LockedSurface lock(surface);
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += lock.ok && lock.Inside(x, y) && lock.Get(x, y) == value;
    return count;
}

// 0x00RRGGBB to a 5-6-5 pixel, the low bits dropped.
constexpr uint16_t To565(uint32_t rgb) {
    return static_cast<uint16_t>(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 |
                                 ((rgb >> 3) & 0x1F));
}

} // namespace testkit
