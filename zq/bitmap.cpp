// Bitmap loading into surfaces, BMP writing and surface subdivision.
#include "bmp_file.h"
#include "diagnostics.h"
#include "display_state.h"
#include "zq.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define ZQ_MODULE "zq/bitmap.cpp"

namespace {

// Every loaded picture lives in system memory.
HRESULT CreatePictureSurface(IDirectDraw* directDraw, int width, int height, bool palettised,
                             IDirectDrawSurface** surface) {
    DDSURFACEDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE;
    if (palettised) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
        desc.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
        desc.ddpfPixelFormat.dwRGBBitCount = 8;
    }
    return directDraw->CreateSurface(&desc, surface, nullptr);
}

HRESULT SetSourceKey(IDirectDrawSurface* surface, DWORD value) {
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = value;
    key.dwColorSpaceHighValue = value;
    return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

// The bitmap's colour table as a palette on the surface; entries the bitmap
// lacks stay black.
HRESULT AttachBitmapPalette(IDirectDraw* directDraw, IDirectDrawSurface* surface, HBITMAP bitmap) {
    RGBQUAD colours[256];
    memset(colours, 0, sizeof colours);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    UINT count = GetDIBColorTable(memory, 0, 256, colours);
    SelectObject(memory, previous);
    DeleteDC(memory);

    PALETTEENTRY entries[256];
    memset(entries, 0, sizeof entries);
    for (UINT i = 0; i < count && i < 256; ++i) {
        entries[i].peRed = colours[i].rgbRed;
        entries[i].peGreen = colours[i].rgbGreen;
        entries[i].peBlue = colours[i].rgbBlue;
        entries[i].peFlags = 0;
    }
    // Made on the library's own DirectDraw object, not the one passed in, as designed.
    IDirectDraw* owner = g_lpDD != nullptr ? g_lpDD : directDraw;
    IDirectDrawPalette* palette = nullptr;
    HRESULT hr = owner->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr);
    if (FAILED(hr)) return hr;
    hr = surface->SetPalette(palette);
    // The surface holds the palette from here on.
    palette->Release();
    return hr;
}

HRESULT CopyBitmapToSurface(IDirectDrawSurface* surface, HBITMAP bitmap, int x, int y, int width,
                            int height) {
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BITMAP info;
    memset(&info, 0, sizeof info);
    GetObjectA(bitmap, sizeof info, &info);
    if (width == 0) width = info.bmWidth;
    if (height == 0) height = info.bmHeight;

    DDSURFACEDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    HRESULT hr = surface->GetSurfaceDesc(&desc);
    if (SUCCEEDED(hr)) {
        HDC target = nullptr;
        // GDI converts between the bitmap's format and the surface's.
        if (SUCCEEDED(surface->GetDC(&target)) && target != nullptr) {
            StretchBlt(target, 0, 0, static_cast<int>(desc.dwWidth),
                       static_cast<int>(desc.dwHeight), memory, x, y, width, height, SRCCOPY);
            surface->ReleaseDC(target);
        }
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    return hr;
}

// depthRule 0: palettised when the file has 8 bits per pixel; otherwise
// palettised exactly when depthRule is 8.
IDirectDrawSurface* LoadBitmap(IDirectDraw* directDraw, const char* fileName, int depthRule) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (bitmap == nullptr) {
        ReportErrorF("LoadBitmap : can't load bitmap <%s>", fileName);
        return nullptr;
    }
    if (directDraw == nullptr) {
        DeleteObject(bitmap);
        ZQ_REPORT_DD(DDERR_NOTINITIALIZED);
        return nullptr;
    }
    BITMAP info;
    memset(&info, 0, sizeof info);
    GetObjectA(bitmap, sizeof info, &info);
    const bool palettised = depthRule == 0 ? info.bmBitsPixel == 8 : depthRule == 8;

    IDirectDrawSurface* surface = nullptr;
    HRESULT hr =
        CreatePictureSurface(directDraw, info.bmWidth, info.bmHeight, palettised, &surface);
    if (SUCCEEDED(hr)) {
        // Keyed on index 0 when palettised, on the raw value 255 otherwise, as designed.
        if (palettised) {
            hr = AttachBitmapPalette(directDraw, surface, bitmap);
            if (SUCCEEDED(hr)) hr = SetSourceKey(surface, 0);
        } else {
            hr = SetSourceKey(surface, 255);
        }
    }
    if (SUCCEEDED(hr)) hr = CopyBitmapToSurface(surface, bitmap, 0, 0, 0, 0);
    DeleteObject(bitmap);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        if (surface != nullptr) surface->Release();
        return nullptr;
    }
    return surface;
}

// A DIB section holding the packed DIB's pixels.
HBITMAP CreateDIBFromPacked(const BITMAPINFOHEADER* dib) {
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(dib),
                                       DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (section == nullptr) return nullptr;
    if (bits == nullptr) {
        DeleteObject(section);
        return nullptr;
    }
    // Never more than the section holds, whatever the header claimed.
    BITMAP info;
    memset(&info, 0, sizeof info);
    size_t bytes = PackedDIBImageBytes(dib);
    if (GetObjectA(section, sizeof info, &info) != 0) {
        const size_t sectionBytes =
            static_cast<size_t>(info.bmWidthBytes) *
            static_cast<size_t>(info.bmHeight < 0 ? -info.bmHeight : info.bmHeight);
        if (sectionBytes < bytes) bytes = sectionBytes;
    } else {
        bytes = 0;
    }
    memcpy(bits, reinterpret_cast<const BYTE*>(dib) + 40 + PackedDIBColourBytes(dib), bytes);
    return section;
}

IDirectDrawSurface* LoadBitmapFromMemory(IDirectDraw* directDraw, const char* fileName) {
    // Any failure of the reader, opening included, is followed by this report.
    BITMAPINFOHEADER* dib = OpenBMPFile(fileName);
    if (dib == nullptr) {
        ReportError("LoadBitmapFromMemory : invalid memory bitmap");
        return nullptr;
    }
    HBITMAP section = CreateDIBFromPacked(dib);
    const int width = dib->biWidth;
    const int height = dib->biHeight;
    free(dib);
    if (section == nullptr) {
        ReportError("LoadBitmapFromMemory : can't read memory bitmap");
        return nullptr;
    }
    if (directDraw == nullptr) {
        DeleteObject(section);
        ZQ_REPORT_DD(DDERR_NOTINITIALIZED);
        return nullptr;
    }
    IDirectDrawSurface* surface = nullptr;
    HRESULT hr = CreatePictureSurface(directDraw, width, height, false, &surface);
    if (SUCCEEDED(hr)) hr = CopyBitmapToSurface(surface, section, 0, 0, 0, 0);
    DeleteObject(section);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        if (surface != nullptr) surface->Release();
        return nullptr;
    }
    return surface;
}

} // namespace

IDirectDrawSurface* ZQLoadBitmap(const char* fileName) {
    return LoadBitmap(g_lpDD, fileName, 0);
}

IDirectDrawSurface* ZQLoadBitmap(const char* fileName, int bitDepth) {
    // Any depth but 8 means the display's format.
    return LoadBitmap(g_lpDD, fileName, bitDepth == 8 ? 8 : 16);
}

IDirectDrawSurface* ZQLoadBitmap(IDirectDraw* directDraw, const char* fileName, int loader) {
    if (loader == 0) return LoadBitmap(directDraw, fileName, 0);
    if (loader == 1) return LoadBitmapFromMemory(directDraw, fileName);
    return nullptr;
}

// ---- BMP writing ----

namespace {

struct ChannelShift {
    DWORD mask;
    int shift;
    int width;
};

ChannelShift Channel(DWORD mask) {
    ChannelShift channel = {mask, 0, 0};
    if (mask == 0) return channel;
    while (((mask >> channel.shift) & 1) == 0)
        ++channel.shift;
    for (DWORD rest = mask >> channel.shift; rest != 0; rest >>= 1)
        if (rest & 1) ++channel.width;
    return channel;
}

BYTE Expand(uint32_t pixel, const ChannelShift& channel) {
    if (channel.width == 0) return 0;
    uint32_t value = (pixel & channel.mask) >> channel.shift;
    if (channel.width > 8) return static_cast<BYTE>(value >> (channel.width - 8));
    return static_cast<BYTE>(value << (8 - channel.width));
}

BITMAPINFOHEADER* NewPackedDIB(int width, int height, int bits) {
    const size_t colourBytes = bits == 8 ? 1024 : 0;
    const size_t rowBytes = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    const size_t imageBytes = rowBytes * static_cast<size_t>(height);
    BITMAPINFOHEADER* dib =
        static_cast<BITMAPINFOHEADER*>(calloc(1, 40 + colourBytes + imageBytes));
    if (dib == nullptr) return nullptr;
    dib->biSize = 40;
    dib->biWidth = width;
    dib->biHeight = height;
    dib->biPlanes = 1;
    dib->biBitCount = static_cast<WORD>(bits);
    dib->biCompression = BI_RGB;
    dib->biSizeImage = static_cast<DWORD>(imageBytes);
    dib->biClrUsed = bits == 8 ? 256 : 0;
    dib->biClrImportant = bits == 8 ? 256 : 0;
    return dib;
}

void ReadPaletteInto(IDirectDrawSurface* surface, RGBQUAD* table) {
    IDirectDrawPalette* palette = nullptr;
    // A surface without a palette is saved with an all-black table.
    if (FAILED(surface->GetPalette(&palette)) || palette == nullptr) return;
    PALETTEENTRY entries[256];
    memset(entries, 0, sizeof entries);
    if (SUCCEEDED(palette->GetEntries(0, 0, 256, entries))) {
        for (int i = 0; i < 256; ++i) {
            table[i].rgbBlue = entries[i].peBlue;
            table[i].rgbGreen = entries[i].peGreen;
            table[i].rgbRed = entries[i].peRed;
            table[i].rgbReserved = 0;
        }
    }
    palette->Release();
}

// Fills the DIB's rows from the locked surface; 0 after a reported failure.
int CopySurfaceRows(IDirectDrawSurface* surface, const DDSURFACEDESC& format,
                    BITMAPINFOHEADER* dib) {
    DDSURFACEDESC locked;
    memset(&locked, 0, sizeof locked);
    locked.dwSize = sizeof locked;
    HRESULT hr = surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    const int width = dib->biWidth;
    const int height = dib->biHeight;
    const size_t rowBytes = (static_cast<size_t>(width) * dib->biBitCount + 31) / 32 * 4;
    BYTE* rows = reinterpret_cast<BYTE*>(dib) + 40 + PackedDIBColourBytes(dib);
    const BYTE* pixels = static_cast<const BYTE*>(locked.lpSurface);
    if (dib->biBitCount == 8) {
        for (int y = 0; y < height; ++y)
            memcpy(rows + rowBytes * (height - 1 - y), pixels + locked.lPitch * y, width);
    } else {
        const ChannelShift red = Channel(format.ddpfPixelFormat.dwRBitMask);
        const ChannelShift green = Channel(format.ddpfPixelFormat.dwGBitMask);
        const ChannelShift blue = Channel(format.ddpfPixelFormat.dwBBitMask);
        BYTE* out = rows;
        for (int y = height - 1; y >= 0; --y) {
            const BYTE* line = pixels + locked.lPitch * y;
            BYTE* row = out;
            for (int x = 0; x < width; ++x) {
                uint16_t pixel;
                memcpy(&pixel, line + 2 * x, 2);
                *row++ = Expand(pixel, blue);
                *row++ = Expand(pixel, green);
                *row++ = Expand(pixel, red);
            }
            out += rowBytes; // the padding stays zero
        }
    }
    hr = surface->Unlock(locked.lpSurface);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    return 1;
}

} // namespace

int ZQWriteSurfaceToBMPFile(const char* fileName, IDirectDrawSurface* surface) {
    if (surface == nullptr) return 0;
    DDSURFACEDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    HRESULT hr = surface->GetSurfaceDesc(&desc);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    const int width = static_cast<int>(desc.dwWidth);
    const int height = static_cast<int>(desc.dwHeight);
    const DWORD depth = desc.ddpfPixelFormat.dwRGBBitCount;
    int bits = 0;
    if (depth == 8 || (desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8) != 0)
        bits = 8;
    else if (depth == 16)
        bits = 24;
    if (bits == 0) {
        // 24- and 32-bit surfaces have no conversion here: no file is written.
        ReportErrorF("ZQWriteSurfaceToBMPFile: unsupported depth %d <%s>", static_cast<int>(depth),
                     fileName);
        return 0;
    }
    BITMAPINFOHEADER* dib = NewPackedDIB(width, height, bits);
    if (dib == nullptr) return 0;
    if (bits == 8) ReadPaletteInto(surface, reinterpret_cast<RGBQUAD*>(dib + 1));
    if (!CopySurfaceRows(surface, desc, dib)) {
        free(dib);
        return 0;
    }
    // A file that cannot be written has shown its message box; the image was built.
    WriteBMPFile(fileName, dib);
    free(dib);
    return 1;
}

namespace {

struct PathParts {
    char drive[MAX_PATH];
    char directory[MAX_PATH];
    char base[MAX_PATH];
    char extension[MAX_PATH];
};

void CopyPart(char* destination, const char* begin, const char* end) {
    size_t length = static_cast<size_t>(end - begin);
    if (length >= MAX_PATH) length = MAX_PATH - 1;
    memcpy(destination, begin, length);
    destination[length] = '\0';
}

// Drive ("C:"), directory (up to the last separator), base name, extension.
PathParts SplitPath(const char* path) {
    PathParts parts;
    const char* end = path + strlen(path);
    const char* rest = path;
    if (end - path >= 2 && path[1] == ':') rest = path + 2;
    CopyPart(parts.drive, path, rest);
    const char* name = rest;
    for (const char* p = rest; p < end; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    CopyPart(parts.directory, rest, name);
    const char* dot = end;
    for (const char* p = name; p < end; ++p)
        if (*p == '.') dot = p;
    CopyPart(parts.base, name, dot);
    CopyPart(parts.extension, dot, end);
    return parts;
}

} // namespace

int ZQSubdivideSurface(const char* path, IDirectDrawSurface* surface, int columns, int rows) {
    if (path == nullptr || surface == nullptr) return 0;
    const PathParts parts = SplitPath(path);
    DDSURFACEDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    HRESULT hr = surface->GetSurfaceDesc(&desc);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    if (columns <= 0 || rows <= 0) return 1;
    if (g_lpDD == nullptr) {
        ZQ_REPORT_DD(DDERR_NOTINITIALIZED);
        return 0;
    }
    // Pixels beyond whole tiles on the right and bottom are not saved.
    const DWORD tileWidth = desc.dwWidth / static_cast<DWORD>(columns);
    const DWORD tileHeight = desc.dwHeight / static_cast<DWORD>(rows);
    const bool palettised = (desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8) != 0;

    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            DDSURFACEDESC tileDesc;
            memset(&tileDesc, 0, sizeof tileDesc);
            tileDesc.dwSize = sizeof tileDesc;
            tileDesc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
            tileDesc.dwWidth = tileWidth;
            tileDesc.dwHeight = tileHeight;
            tileDesc.ddpfPixelFormat = desc.ddpfPixelFormat;
            tileDesc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE;
            IDirectDrawSurface* tile = nullptr;
            hr = g_lpDD->CreateSurface(&tileDesc, &tile, nullptr);
            if (FAILED(hr)) {
                ZQ_REPORT_DD(hr);
                return 0;
            }
            if (palettised) {
                IDirectDrawPalette* palette = nullptr;
                if (SUCCEEDED(surface->GetPalette(&palette)) && palette != nullptr) {
                    tile->SetPalette(palette);
                    palette->Release();
                }
            }
            RECT source = {static_cast<LONG>(c * tileWidth), static_cast<LONG>(r * tileHeight),
                           static_cast<LONG>((c + 1) * tileWidth),
                           static_cast<LONG>((r + 1) * tileHeight)};
            hr = tile->Blt(nullptr, surface, &source, DDBLT_WAIT, nullptr);
            if (FAILED(hr)) {
                ZQ_REPORT_DD(hr);
                tile->Release();
                return 0;
            }
            char number[MAX_PATH + 16];
            snprintf(number, sizeof number, "%s%03d", parts.base, r * columns + c);
            char name[5 * MAX_PATH];
            snprintf(name, sizeof name, "%s%s%s%s", parts.drive, parts.directory, number,
                     parts.extension);
            ZQWriteSurfaceToBMPFile(name, tile);
            tile->Release();
        }
    }
    return 1;
}
