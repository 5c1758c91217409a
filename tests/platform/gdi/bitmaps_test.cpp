// Device contexts, GDI objects, DIB sections and stretching, including onto
// DirectDraw surfaces as the picture loader does it.
#include <ddraw.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string kSuite = std::string(LUDORA_CORPORA_DIR) + "/bmpsuite/";

struct Dib8 {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

HBITMAP make_dib(int width, int height, int bits, void** pixels, const RGBQUAD* colours = nullptr,
                 int count = 0) {
    Dib8 info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = static_cast<DWORD>(count);
    if (colours) std::memcpy(info.colours, colours, sizeof(RGBQUAD) * count);
    return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, pixels,
                            nullptr, 0);
}

TEST(Gdi, TheScreenContextReportsTheDesktop) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 16);
    EXPECT_EQ(GetDeviceCaps(screen, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1024);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 768);
    EXPECT_TRUE(GetDeviceCaps(screen, RASTERCAPS) & RC_STRETCHBLT);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0); // already gone
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 0);
}

TEST(Gdi, ObjectsSelectDeleteAndDescribeThemselves) {
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP dib = make_dib(5, 3, 24, &bits);
    ASSERT_NE(dib, nullptr);
    ASSERT_NE(bits, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(dib, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmWidthBytes, 16); // rows padded to four bytes
    EXPECT_EQ(bm.bmBitsPixel, 24);
    EXPECT_EQ(bm.bmBits, bits);
    DIBSECTION ds{};
    EXPECT_EQ(GetObjectA(dib, sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
    EXPECT_EQ(ds.dsBmih.biHeight, 3);
    // Programs written for 32-bit Windows ask for 24 bytes.
    BITMAP small{};
    EXPECT_EQ(GetObjectA(dib, 24, &small), 24);
    EXPECT_EQ(small.bmBitsPixel, 24);

    HGDIOBJ first = SelectObject(dc, dib);
    ASSERT_NE(first, nullptr); // the context's own 1x1 bitmap
    GetObjectA(first, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_FALSE(DeleteObject(dib)); // still selected
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, dib), nullptr); // one context at a time
    DeleteDC(other);
    SelectObject(dc, first);
    EXPECT_TRUE(DeleteObject(dib));
    EXPECT_FALSE(DeleteObject(dib));
    EXPECT_EQ(GetObjectA(dib, sizeof(bm), &bm), 0);

    HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    EXPECT_EQ(GetObjectType(black), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(GetStockObject(SYSTEM_FONT)), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_GUI_FONT)), static_cast<DWORD>(OBJ_FONT));
    EXPECT_TRUE(DeleteObject(black)); // stock objects survive
    EXPECT_EQ(GetObjectType(black), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(Gdi, DibSectionsKeepTheirColourTablesAndStretchBetweenFormats) {
    // Red, blue, blue again and green (RGBQUAD is blue, green, red).
    RGBQUAD colours[4] = {{0, 0, 255, 0}, {255, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}};
    void* bits = nullptr;
    HBITMAP indexed = make_dib(4, 2, 8, &bits, colours, 4);
    ASSERT_NE(indexed, nullptr);
    // Bottom-up: the first row in memory is the bottom one.
    auto* p = static_cast<uint8_t*>(bits);
    const uint8_t bottom[4] = {0, 1, 2, 3}, top[4] = {3, 2, 1, 0};
    std::memcpy(p, bottom, 4);
    std::memcpy(p + 4, top, 4);
    HDC src = CreateCompatibleDC(nullptr);
    SelectObject(src, indexed);
    RGBQUAD table[256];
    EXPECT_EQ(GetDIBColorTable(src, 0, 256, table), 256u);
    EXPECT_EQ(table[0].rgbRed, 255);
    EXPECT_EQ(table[3].rgbGreen, 255);
    EXPECT_EQ(table[4].rgbRed, 0);
    EXPECT_EQ(GetPixel(src, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(src, 0, 1), RGB(255, 0, 0));

    // Onto a 16-bit 5-5-5 DIB, twice the size.
    void* out_bits = nullptr;
    HBITMAP high = make_dib(8, 4, 16, &out_bits);
    HDC dst = CreateCompatibleDC(nullptr);
    SelectObject(dst, high);
    ASSERT_TRUE(StretchBlt(dst, 0, 0, 8, 4, src, 0, 0, 4, 2, SRCCOPY));
    const auto* px = static_cast<const uint16_t*>(out_bits); // bottom row first
    EXPECT_EQ(px[0], 0x7C00u);                               // bottom-left: index 0, red
    EXPECT_EQ(px[1], 0x7C00u);
    EXPECT_EQ(px[7], 0x03E0u);         // index 3, green
    EXPECT_EQ(px[3 * 8 + 0], 0x03E0u); // top-left: index 3
    EXPECT_EQ(GetPixel(dst, 7, 0), RGB(255, 0, 0));

    // Onto an 8-bit DIB with the same table, indices are kept even where colours repeat.
    void* same_bits = nullptr;
    HBITMAP same = make_dib(4, 2, 8, &same_bits, colours, 4);
    HDC dsame = CreateCompatibleDC(nullptr);
    SelectObject(dsame, same);
    ASSERT_TRUE(BitBlt(dsame, 0, 0, 4, 2, src, 0, 0, SRCCOPY));
    EXPECT_EQ(std::memcmp(same_bits, bits, 8), 0);

    // Source rectangles reaching outside the bitmap are cut to it.
    ASSERT_TRUE(BitBlt(dst, 0, 0, 8, 4, src, 2, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst, 0, 0), RGB(0, 0, 255));
    EXPECT_FALSE(BitBlt(dst, 0, 0, 2, 2, src, 0, 0, SRCAND)); // not supported
    EXPECT_TRUE(BitBlt(dst, 0, 0, 1, 1, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(GetPixel(dst, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(SetStretchBltMode(dst, COLORONCOLOR), BLACKONWHITE);
    EXPECT_EQ(GetStretchBltMode(dst), COLORONCOLOR);

    DeleteDC(src);
    DeleteDC(dst);
    DeleteDC(dsame);
    EXPECT_TRUE(DeleteObject(indexed));
    EXPECT_TRUE(DeleteObject(high));
    EXPECT_TRUE(DeleteObject(same));
}

// The picture loader's path: LoadImageA, a surface in the display's format or a
// palettised one, and StretchBlt into the surface's device context.
TEST(Gdi, LoadedPicturesStretchIntoSurfaceContexts) {
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    const std::string file = kSuite + "g/pal8.bmp";
    HBITMAP picture = static_cast<HBITMAP>(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0,
                                                      LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(picture, nullptr);
    BITMAP bm{};
    GetObjectA(picture, sizeof(bm), &bm);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, picture);
    RGBQUAD table[256];
    ASSERT_EQ(GetDIBColorTable(memory, 0, 256, table), 256u);

    for (bool palettised : {false, true}) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (palettised ? DDSD_PIXELFORMAT : 0);
        desc.dwWidth = bm.bmWidth;
        desc.dwHeight = bm.bmHeight;
        desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE;
        desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        desc.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
        desc.ddpfPixelFormat.dwRGBBitCount = 8;
        IDirectDrawSurface* surface = nullptr;
        ASSERT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
        if (palettised) {
            PALETTEENTRY entries[256];
            for (int i = 0; i < 256; ++i) {
                entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
            }
            IDirectDrawPalette* palette = nullptr;
            dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr);
            surface->SetPalette(palette);
            palette->Release();
        }
        HDC dc = nullptr;
        ASSERT_EQ(surface->GetDC(&dc), DD_OK);
        ASSERT_TRUE(StretchBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, memory, 0, 0, bm.bmWidth,
                               bm.bmHeight, SRCCOPY));
        surface->ReleaseDC(dc);
        DDSURFACEDESC lock{};
        lock.dwSize = sizeof(lock);
        ASSERT_EQ(surface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
        const auto* bytes = static_cast<const uint8_t*>(lock.lpSurface);
        const auto* dib = static_cast<const uint8_t*>(bm.bmBits);
        for (int y = 0; y < bm.bmHeight; y += 3) {
            for (int x = 0; x < bm.bmWidth; x += 3) {
                const uint8_t index = dib[(bm.bmHeight - 1 - y) * bm.bmWidthBytes + x];
                const RGBQUAD c = table[index];
                if (palettised) {
                    ASSERT_EQ(bytes[y * lock.lPitch + x], index);
                } else {
                    const uint16_t expected = static_cast<uint16_t>(
                        ((c.rgbRed >> 3) << 11) | ((c.rgbGreen >> 2) << 5) | (c.rgbBlue >> 3));
                    ASSERT_EQ(reinterpret_cast<const uint16_t*>(bytes + y * lock.lPitch)[x],
                              expected);
                }
            }
        }
        surface->Unlock(nullptr);
        surface->Release();
    }
    DeleteDC(memory);
    EXPECT_TRUE(DeleteObject(picture));
    dd->Release();
}

IDirectDrawSurface* make_surface16(IDirectDraw* dd, int width, int height, bool rgb565) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 16;
    desc.ddpfPixelFormat.dwRBitMask = rgb565 ? 0xF800 : 0x7C00;
    desc.ddpfPixelFormat.dwGBitMask = rgb565 ? 0x07E0 : 0x03E0;
    desc.ddpfPixelFormat.dwBBitMask = 0x001F;
    IDirectDrawSurface* surface = nullptr;
    return dd->CreateSurface(&desc, &surface, nullptr) == DD_OK ? surface : nullptr;
}

uint16_t truncated16(COLORREF c, bool rgb565) {
    const uint32_t r = GetRValue(c) >> 3, g = GetGValue(c), b = GetBValue(c) >> 3;
    return static_cast<uint16_t>(rgb565 ? (r << 11) | ((g >> 2) << 5) | b
                                        : (r << 10) | ((g >> 3) << 5) | b);
}

// Every depth the loaders meet, either way up, blitted 1:1 onto 5-6-5 and 5-5-5
// surfaces: each pixel is the picture's colour truncated, and a blit hanging off
// the surface's edge writes only what lies inside.
TEST(Gdi, PicturesOfEveryDepthLandOnSixteenBitSurfacesTruncated) {
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    std::vector<HBITMAP> pictures;
    for (const char* name : {"g/rgb24.bmp", "g/rgb32.bmp", "g/pal8.bmp", "g/pal8topdown.bmp",
                             "g/pal8-0.bmp", "g/pal4.bmp", "g/rgb16.bmp"}) {
        const std::string file = kSuite + name;
        pictures.push_back(static_cast<HBITMAP>(LoadImageA(
            nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
        ASSERT_NE(pictures.back(), nullptr) << name;
    }
    // A top-down 24-bit section, as a program's own reader makes one.
    void* bits = nullptr;
    BITMAPINFOHEADER top_down{sizeof(BITMAPINFOHEADER), 45, -31, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    pictures.push_back(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&top_down),
                                        DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_NE(bits, nullptr);
    auto* bytes = static_cast<uint8_t*>(bits);
    for (int i = 0; i < 136 * 31; ++i) // rows of 45 * 3 bytes padded to 136
        bytes[i] = static_cast<uint8_t>(i * 97 + (i >> 5));

    HDC memory = CreateCompatibleDC(nullptr);
    for (HBITMAP picture : pictures) {
        BITMAP bm{};
        GetObjectA(picture, sizeof(bm), &bm);
        HGDIOBJ old = SelectObject(memory, picture);
        for (bool rgb565 : {true, false}) {
            SCOPED_TRACE(testing::Message() << bm.bmBitsPixel << " bits, " << bm.bmWidth << "x"
                                            << bm.bmHeight << (rgb565 ? " to 5-6-5" : " to 5-5-5"));
            IDirectDrawSurface* surface = make_surface16(dd, bm.bmWidth, bm.bmHeight, rgb565);
            ASSERT_NE(surface, nullptr);
            DDBLTFX fx{};
            fx.dwSize = sizeof(fx);
            fx.dwFillColor = 0x1234;
            surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
            HDC dc = nullptr;
            ASSERT_EQ(surface->GetDC(&dc), DD_OK);
            const int dx = bm.bmWidth / 3, dy = bm.bmHeight / 4;
            ASSERT_TRUE(BitBlt(dc, dx, dy, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY));
            surface->ReleaseDC(dc);
            DDSURFACEDESC lock{};
            lock.dwSize = sizeof(lock);
            ASSERT_EQ(surface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
            for (int y = 0; y < bm.bmHeight; ++y) {
                const auto* row = reinterpret_cast<const uint16_t*>(
                    static_cast<const uint8_t*>(lock.lpSurface) + y * lock.lPitch);
                for (int x = 0; x < bm.bmWidth; ++x) {
                    const uint16_t expected =
                        x < dx || y < dy ? 0x1234
                                         : truncated16(GetPixel(memory, x - dx, y - dy), rgb565);
                    ASSERT_EQ(row[x], expected) << x << "," << y;
                }
            }
            surface->Unlock(nullptr);
            surface->Release();
        }
        SelectObject(memory, old);
        EXPECT_TRUE(DeleteObject(picture));
    }
    DeleteDC(memory);
    dd->Release();
}

} // namespace
