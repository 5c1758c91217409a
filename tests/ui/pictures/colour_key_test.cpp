// Colour keys in a surface's own format and pixel reads at every depth.
#include "picture_fixture.h"

#include "ui/pictures/colour_key.h"
#include "zq.h"

using namespace picturetest;

namespace {

class ColourKey : public PictureTest {};

// A surface with explicit channel masks.
IDirectDrawSurface* SurfaceWithMasks(int bits, DWORD red, DWORD green, DWORD blue) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = 4;
    desc.dwHeight = 4;
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_OFFSCREENPLAIN;
    desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = bits;
    desc.ddpfPixelFormat.dwRBitMask = red;
    desc.ddpfPixelFormat.dwGBitMask = green;
    desc.ddpfPixelFormat.dwBBitMask = blue;
    IDirectDrawSurface* surface = nullptr;
    return SUCCEEDED(ZQGetLPDD()->CreateSurface(&desc, &surface, nullptr)) ? surface : nullptr;
}

TEST_F(ColourKey, ColoursArePackedIntoEachFormat) {
    struct Case {
        int bits;
        DWORD red, green, blue;
        int r, g, b;
        DWORD expected;
    } cases[] = {
        // 5-6-5: each channel loses 3, 2 and 3 bits.
        {16, 0xF800, 0x07E0, 0x001F, 0, 0, 255, 0x001F},
        {16, 0xF800, 0x07E0, 0x001F, 255, 0, 0, 0xF800},
        {16, 0xF800, 0x07E0, 0x001F, 0x12, 0x34, 0x56,
         (0x12 >> 3) << 11 | (0x34 >> 2) << 5 | 0x56 >> 3},
        // 5-5-5.
        {16, 0x7C00, 0x03E0, 0x001F, 0, 0, 255, 0x001F},
        {16, 0x7C00, 0x03E0, 0x001F, 0x80, 0xFF, 0x08, 0x10 << 10 | 0x1F << 5 | 0x01},
        // Eight bits each: red, green, blue from the top.
        {32, 0xFF0000, 0x00FF00, 0x0000FF, 0, 0, 255, 0x0000FF},
        {32, 0xFF0000, 0x00FF00, 0x0000FF, 0x12, 0x34, 0x56, 0x123456},
        {24, 0xFF0000, 0x00FF00, 0x0000FF, 0xAB, 0xCD, 0xEF, 0xABCDEF},
    };
    for (const Case& c : cases) {
        IDirectDrawSurface* surface = SurfaceWithMasks(c.bits, c.red, c.green, c.blue);
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(ColourInSurfaceFormat(surface, c.r, c.g, c.b), c.expected)
            << c.bits << " bits, red mask " << std::hex << c.red << ", colour " << c.r << "," << c.g
            << "," << c.b;
        SetColourKey(surface, c.r, c.g, c.b);
        EXPECT_EQ(SourceKey(surface), static_cast<int64_t>(c.expected));
        surface->Release();
    }
}

TEST_F(ColourKey, BlueKeyOnTheDisplayFormatAndOnAPalettedSurface) {
    IDirectDrawSurface* surface = MakeSurface(8, 8);
    ASSERT_NE(surface, nullptr);
    SetBlueKey(surface);
    EXPECT_EQ(SourceKey(surface), 0x001F);
    surface->Release();

    // A palette format has no channel bits: every colour packs to 0.
    IDirectDrawSurface* paletted = MakeSurfaceOfDepth(8, 8, 8);
    ASSERT_NE(paletted, nullptr);
    EXPECT_EQ(ColourInSurfaceFormat(paletted, 0, 0, 255), 0u);
    paletted->Release();
}

TEST_F(ColourKey, PixelsAreReadAtEveryDepthAndZeroOutside) {
    const struct {
        int bits;
        uint32_t value;
    } depths[] = {{8, 0xA7}, {16, 0xBEEF}, {24, 0x123456}, {32, 0x89ABCDEF}};
    for (const auto& depth : depths) {
        IDirectDrawSurface* surface = MakeSurfaceOfDepth(5, 3, depth.bits);
        ASSERT_NE(surface, nullptr) << depth.bits;
        FillSurface(surface, 0);
        SetPixelAt(surface, 4, 2, depth.value);
        SetPixelAt(surface, 3, 2, depth.bits == 8 ? 0xFF : 0xFFFFFFFF);
        EXPECT_EQ(ReadPixel(surface, 4, 2), depth.value) << depth.bits << " bits";
        EXPECT_EQ(ReadPixel(surface, 0, 0), 0u);
        // The neighbour's bytes do not leak into a 24-bit read.
        if (depth.bits == 24) {
            EXPECT_EQ(ReadPixel(surface, 3, 2), 0xFFFFFFu);
        }
        for (auto [x, y] : {std::pair{5, 0}, {0, 3}, {-1, 0}, {0, -1}, {1000, 1000}})
            EXPECT_EQ(ReadPixel(surface, x, y), 0u) << x << "," << y << " at " << depth.bits;
        surface->Release();
    }
    EXPECT_EQ(ReadPixel(nullptr, 0, 0), 0u);
}

TEST_F(ColourKey, SizesComeFromTheSurface) {
    IDirectDrawSurface* surface = MakeSurface(17, 9);
    int32_t width = -1, height = -1;
    EXPECT_EQ(SurfaceSize(surface, &width, &height), 1);
    EXPECT_EQ(width, 17);
    EXPECT_EQ(height, 9);
    surface->Release();
    EXPECT_EQ(SurfaceSize(nullptr, &width, &height), 0);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
}

} // namespace
