#include "ui/pictures/colour_key.h"

#include <cstring>

#include "zq.h"

namespace {

// One channel scaled down to its width in the format. Wider channels than
// eight bits take the value shifted up instead, so nothing is shifted by a
// negative amount.
DWORD ScaleChannel(int value, int bits) {
    const DWORD channel = static_cast<DWORD>(value) & 0xFF;
    if (bits <= 0) return 0;
    return bits <= 8 ? channel >> (8 - bits) : channel << (bits - 8);
}

} // namespace

DWORD ColourInSurfaceFormat(IDirectDrawSurface* surface, int red, int green, int blue) {
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    if (surface != nullptr) surface->GetPixelFormat(&format);
    int redBits = 0, greenBits = 0, blueBits = 0, alphaBits = 0;
    ZQGetRGBABits(&format, &redBits, &greenBits, &blueBits, &alphaBits);
    if (redBits == 8 && greenBits == 8 && blueBits == 8) {
        return (static_cast<DWORD>(red & 0xFF) << 16) | (static_cast<DWORD>(green & 0xFF) << 8) |
               static_cast<DWORD>(blue & 0xFF);
    }
    return (ScaleChannel(red, redBits) << (greenBits + blueBits)) |
           (ScaleChannel(green, greenBits) << blueBits) | ScaleChannel(blue, blueBits);
}

void SetColourKey(IDirectDrawSurface* surface, int red, int green, int blue) {
    if (surface == nullptr) return;
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = ColourInSurfaceFormat(surface, red, green, blue);
    key.dwColorSpaceHighValue = key.dwColorSpaceLowValue;
    surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

void SetBlueKey(IDirectDrawSurface* surface) {
    SetColourKey(surface, 0, 0, 255);
}

DWORD ReadPixel(IDirectDrawSurface* surface, int column, int row) {
    if (surface == nullptr || column < 0 || row < 0) return 0;
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return 0;
    DWORD value = 0;
    if (static_cast<DWORD>(column) < desc.dwWidth && static_cast<DWORD>(row) < desc.dwHeight &&
        desc.lpSurface != nullptr) {
        const BYTE* line = static_cast<const BYTE*>(desc.lpSurface) + desc.lPitch * row;
        switch (desc.ddpfPixelFormat.dwRGBBitCount) {
        case 8:
            value = line[column];
            break;
        case 16: {
            WORD pixel;
            std::memcpy(&pixel, line + column * 2, sizeof pixel);
            value = pixel;
            break;
        }
        case 24: {
            const BYTE* p = line + column * 3;
            value = static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 |
                    static_cast<DWORD>(p[2]) << 16;
            break;
        }
        case 32:
            std::memcpy(&value, line + column * 4, sizeof value);
            break;
        default:
            break;
        }
    }
    surface->Unlock(desc.lpSurface);
    return value;
}

int SurfaceSize(IDirectDrawSurface* surface, int32_t* width, int32_t* height) {
    if (width != nullptr) *width = 0;
    if (height != nullptr) *height = 0;
    if (surface == nullptr) return 0;
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    if (FAILED(surface->GetSurfaceDesc(&desc))) return 0;
    if (width != nullptr) *width = static_cast<int32_t>(desc.dwWidth);
    if (height != nullptr) *height = static_cast<int32_t>(desc.dwHeight);
    return 1;
}
