// Bitmap surfaces from BMP files (both loaders), BMP writing byte by byte and
// surface subdivision.
#include "zq_test_support.h"

#include "diagnostics.h"
#include "surface_helpers.h"
#include "zq.h"

#include <cstring>

using zqtest::BmpSpec;
using zqtest::BuildBmp;
using zqtest::ZqTest;

namespace {

class Bitmaps : public ZqTest {
protected:
    void SetUp() override {
        ZqTest::SetUp();
        HWND window = MakeWindow(640, 480, 50, 50);
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(ZQInitDirectX(window, 640, 480), 1);
        dd_ = ZQGetLPDD();
        ASSERT_NE(dd_, nullptr);
    }
    void TearDown() override {
        for (IDirectDrawSurface* surface : owned_)
            surface->Release();
        ZqTest::TearDown();
    }
    IDirectDrawSurface* Keep(IDirectDrawSurface* surface) {
        if (surface != nullptr) owned_.push_back(surface);
        return surface;
    }
    static DDSURFACEDESC Describe(IDirectDrawSurface* surface) {
        DDSURFACEDESC desc;
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        surface->GetSurfaceDesc(&desc);
        return desc;
    }
    static DWORD SourceKey(IDirectDrawSurface* surface) {
        DDCOLORKEY key = {0xDEAD, 0xBEEF};
        surface->GetColorKey(DDCKEY_SRCBLT, &key);
        EXPECT_EQ(key.dwColorSpaceLowValue, key.dwColorSpaceHighValue);
        return key.dwColorSpaceLowValue;
    }
    // A 4 by 2 eight-bit picture with a three-colour table.
    static BmpSpec EightBit() {
        BmpSpec spec;
        spec.bits = 8;
        spec.width = 4;
        spec.height = 2;
        spec.colours = 3;
        spec.palette = {0xFF0000, 0x00FF00, 0x0000FF};
        spec.pixels = {0, 1, 2, 1, /* bottom row */ 2, 2, 0, 0 /* top row */};
        return spec;
    }
    IDirectDraw* dd_ = nullptr;
    std::vector<IDirectDrawSurface*> owned_;
};

TEST_F(Bitmaps, MissingFileIsLoggedByBothSystemLoaderForms) {
    ZQDebugEnable(1);
    EXPECT_EQ(ZQLoadBitmap("pics\\none.bmp"), nullptr);
    EXPECT_EQ(ZQLoadBitmap("other.bmp", 16), nullptr);
    EXPECT_EQ(ZQLoadBitmap(dd_, "third.bmp", 0), nullptr);
    EXPECT_EQ(Log(), "LoadBitmap : can't load bitmap <pics\\none.bmp>\n"
                     "LoadBitmap : can't load bitmap <other.bmp>\n"
                     "LoadBitmap : can't load bitmap <third.bmp>\n");
}

TEST_F(Bitmaps, UnknownLoaderGivesNothingAndSaysNothing) {
    zqtest::WriteBytes("a.bmp", BuildBmp(BmpSpec()));
    ZQDebugEnable(1);
    EXPECT_EQ(ZQLoadBitmap(dd_, "a.bmp", 2), nullptr);
    EXPECT_EQ(ZQLoadBitmap(dd_, "a.bmp", -1), nullptr);
    EXPECT_EQ(Log(), "");
}

TEST_F(Bitmaps, EightBitFileGivesAPalettisedSurfaceKeyedOnIndexZero) {
    zqtest::WriteBytes("eight.bmp", BuildBmp(EightBit()));
    IDirectDrawSurface* surface = Keep(ZQLoadBitmap("eight.bmp"));
    ASSERT_NE(surface, nullptr);
    const DDSURFACEDESC desc = Describe(surface);
    EXPECT_EQ(desc.dwWidth, 4u);
    EXPECT_EQ(desc.dwHeight, 2u);
    EXPECT_NE(desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8, 0u);
    EXPECT_NE(desc.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY, 0u);
    EXPECT_EQ(SourceKey(surface), 0u);

    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(surface->GetPalette(&palette), DD_OK);
    PALETTEENTRY entries[256];
    ASSERT_EQ(palette->GetEntries(0, 0, 256, entries), DD_OK);
    palette->Release();
    EXPECT_EQ(entries[0].peRed, 255);
    EXPECT_EQ(entries[0].peGreen, 0);
    EXPECT_EQ(entries[1].peGreen, 255);
    EXPECT_EQ(entries[2].peBlue, 255);
    EXPECT_EQ(entries[2].peRed, 0);
    for (int i = 3; i < 256; ++i)
        EXPECT_EQ(entries[i].peRed | entries[i].peGreen | entries[i].peBlue, 0);

    // Top row first in the surface.
    EXPECT_EQ(zqtest::ReadPixels(surface), (std::vector<uint32_t>{2, 2, 0, 0, 0, 1, 2, 1}));
}

TEST_F(Bitmaps, SameFileAtSixteenBitsTakesTheDisplayFormatKeyedOn255) {
    zqtest::WriteBytes("eight.bmp", BuildBmp(EightBit()));
    IDirectDrawSurface* surface = Keep(ZQLoadBitmap("eight.bmp", 16));
    ASSERT_NE(surface, nullptr);
    const DDSURFACEDESC desc = Describe(surface);
    EXPECT_EQ(desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8, 0u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, ZQGetDisplayBPP());
    EXPECT_EQ(SourceKey(surface), 255u);
    if (desc.ddpfPixelFormat.dwRBitMask == 0xF800 && desc.ddpfPixelFormat.dwGBitMask == 0x07E0) {
        EXPECT_EQ(zqtest::ReadPixels(surface),
                  (std::vector<uint32_t>{0x001F, 0x001F, 0xF800, 0xF800, 0xF800, 0x07E0, 0x001F,
                                         0x07E0}));
    }
}

TEST_F(Bitmaps, TwentyFourBitFileAskedForEightBitsGetsABlackPalette) {
    BmpSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.pixels = {0, 0, 255, 0, 255, 0, 0, 0};
    zqtest::WriteBytes("rgb.bmp", BuildBmp(spec));
    IDirectDrawSurface* surface = Keep(ZQLoadBitmap("rgb.bmp", 8));
    ASSERT_NE(surface, nullptr);
    EXPECT_NE(Describe(surface).ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8, 0u);
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(surface->GetPalette(&palette), DD_OK);
    PALETTEENTRY entries[256];
    ASSERT_EQ(palette->GetEntries(0, 0, 256, entries), DD_OK);
    palette->Release();
    for (const PALETTEENTRY& entry : entries)
        EXPECT_EQ(entry.peRed | entry.peGreen | entry.peBlue, 0);
}

TEST_F(Bitmaps, BothLoadersAgreeOnTheSuitesGoodFiles) {
    for (const char* name : {"g/pal1.bmp", "g/pal4.bmp", "g/pal8.bmp", "g/pal8w125.bmp",
                             "g/rgb16.bmp", "g/rgb16-565.bmp", "g/rgb24.bmp", "g/rgb32.bmp"}) {
        SCOPED_TRACE(name);
        const std::string path = zqtest::Corpus(name);
        IDirectDrawSurface* system = Keep(ZQLoadBitmap(path.c_str(), 16));
        IDirectDrawSurface* own = Keep(ZQLoadBitmap(dd_, path.c_str(), 1));
        ASSERT_NE(system, nullptr);
        ASSERT_NE(own, nullptr);
        int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
        const std::vector<uint32_t> a = zqtest::ReadPixels(system, &w1, &h1);
        const std::vector<uint32_t> b = zqtest::ReadPixels(own, &w2, &h2);
        EXPECT_EQ(w1, w2);
        EXPECT_EQ(h1, h2);
        EXPECT_TRUE(a == b);
    }
}

TEST_F(Bitmaps, OwnLoaderReadsPaddedRowsIntoTheDisplayFormat) {
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    // Bottom row: red, green, blue; top row: white, black, grey. Padding 0xEE.
    spec.pixels = {0,   0,   255, 0, 255, 0, 255, 0,   0,   0xEE, 0xEE, 0xEE,
                   255, 255, 255, 0, 0,   0, 128, 128, 128, 0xEE, 0xEE, 0xEE};
    zqtest::WriteBytes("three.bmp", BuildBmp(spec));
    IDirectDrawSurface* surface = Keep(ZQLoadBitmap(dd_, "three.bmp", 1));
    ASSERT_NE(surface, nullptr);
    const DDSURFACEDESC desc = Describe(surface);
    EXPECT_EQ(desc.dwWidth, 3u);
    EXPECT_EQ(desc.dwHeight, 2u);
    if (desc.ddpfPixelFormat.dwRBitMask == 0xF800 && desc.ddpfPixelFormat.dwGBitMask == 0x07E0) {
        EXPECT_EQ(zqtest::ReadPixels(surface),
                  (std::vector<uint32_t>{0xFFFF, 0x0000, zqtest::To565(0x808080), 0xF800, 0x07E0,
                                         0x001F}));
    }
}

TEST_F(Bitmaps, EveryCorpusFileLoadsOrFailsCleanlyThroughBothLoaders) {
    int loaded = 0;
    for (const char* folder : {"g", "q", "b", "x"}) {
        for (const auto& entry : std::filesystem::directory_iterator(zqtest::Corpus(folder))) {
            if (entry.path().extension() != ".bmp") continue;
            SCOPED_TRACE(entry.path().string());
            for (int loader = 0; loader < 2; ++loader) {
                IDirectDrawSurface* surface = ZQLoadBitmap(dd_, entry.path().c_str(), loader);
                if (surface == nullptr) continue;
                ++loaded;
                EXPECT_FALSE(zqtest::ReadPixels(surface).empty());
                surface->Release();
            }
        }
    }
    EXPECT_GT(loaded, 40);
}

// ---- BMP writing ----

std::vector<uint8_t> FileHeader(uint32_t size, uint32_t offBits) {
    zqtest::Bytes b;
    b.u16(0x4D42);
    b.u32(size);
    b.u32(0);
    b.u32(offBits);
    return b.data;
}

std::vector<uint8_t> InfoHeader(int width, int height, int bits, uint32_t imageBytes,
                                uint32_t colours) {
    zqtest::Bytes b;
    b.u32(40);
    b.u32(static_cast<uint32_t>(width));
    b.u32(static_cast<uint32_t>(height));
    b.u16(1);
    b.u16(static_cast<unsigned>(bits));
    b.u32(0);
    b.u32(imageBytes);
    b.u32(0);
    b.u32(0);
    b.u32(colours);
    b.u32(colours);
    return b.data;
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(Bitmaps, SixteenBitSurfaceIsWrittenAsTwentyFourBitsByteByByte) {
    IDirectDrawSurface* surface = Keep(zqtest::MakeSurface(dd_, 3, 2, 16));
    ASSERT_NE(surface, nullptr);
    const uint16_t pixels[2][3] = {{0xFFFF, 0xF800, 0x07E0}, {0x001F, 0x0000, 0x8410}};
    ASSERT_TRUE(zqtest::FillPixels(surface, [&](int x, int y) { return pixels[y][x]; }));
    ASSERT_EQ(ZQWriteSurfaceToBMPFile("out.bmp", surface), 1);

    const std::vector<uint8_t> expected = Join({
        FileHeader(54 + 24, 54),
        InfoHeader(3, 2, 24, 24, 0),
        // bottom row first: blue, black, grey; 9 pixel bytes and 3 zero bytes
        {0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x80, 0x80, 0, 0, 0},
        // top row: white (0xF8, 0xFC, 0xF8), red, green
        {0xF8, 0xFC, 0xF8, 0x00, 0x00, 0xF8, 0x00, 0xFC, 0x00, 0, 0, 0},
    });
    EXPECT_EQ(zqtest::ReadBytes("out.bmp"), expected);

    IDirectDrawSurface* small = Keep(zqtest::MakeSurface(dd_, 2, 2, 16));
    ASSERT_EQ(ZQWriteSurfaceToBMPFile("small.bmp", small), 1);
    const std::vector<uint8_t> written = zqtest::ReadBytes("small.bmp");
    ASSERT_EQ(written.size(), 70u);
    EXPECT_EQ(written[2], 70);
}

TEST_F(Bitmaps, EightBitSurfaceIsWrittenWithItsPalette) {
    IDirectDrawSurface* surface = Keep(zqtest::MakeSurface(dd_, 3, 2, 8));
    ASSERT_NE(surface, nullptr);
    PALETTEENTRY entries[256] = {};
    entries[1] = {10, 20, 30, 0};
    entries[255] = {255, 128, 1, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr),
              DD_OK);
    ASSERT_EQ(surface->SetPalette(palette), DD_OK);
    palette->Release();
    ASSERT_TRUE(zqtest::FillPixels(
        surface, [](int x, int y) { return static_cast<uint32_t>(y * 3 + x + 1); }));
    ASSERT_EQ(ZQWriteSurfaceToBMPFile("eight.bmp", surface), 1);

    const std::vector<uint8_t> file = zqtest::ReadBytes("eight.bmp");
    std::vector<uint8_t> table(1024, 0);
    table[4] = 30, table[5] = 20, table[6] = 10;           // entry 1: blue, green, red, 0
    table[1020] = 1, table[1021] = 128, table[1022] = 255; // entry 255
    const std::vector<uint8_t> expected = Join({
        FileHeader(1078 + 8, 1078),
        InfoHeader(3, 2, 8, 8, 256),
        table,
        {4, 5, 6, 0}, // bottom row, padded to four bytes
        {1, 2, 3, 0},
    });
    EXPECT_EQ(file, expected);

    // Without a palette the table is black; the file is still written.
    IDirectDrawSurface* bare = Keep(zqtest::MakeSurface(dd_, 3, 2, 8));
    ASSERT_EQ(ZQWriteSurfaceToBMPFile("bare.bmp", bare), 1);
    EXPECT_EQ(zqtest::ReadBytes("bare.bmp").size(), 1078u + 8);
}

TEST_F(Bitmaps, DeepSurfacesWriteNoFile) {
    ZQDebugEnable(1);
    IDirectDrawSurface* surface = Keep(zqtest::MakeSurface(dd_, 4, 4, 32));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(ZQWriteSurfaceToBMPFile("deep.bmp", surface), 0);
    EXPECT_FALSE(std::filesystem::exists("deep.bmp"));
    EXPECT_EQ(Log(), "ZQWriteSurfaceToBMPFile: unsupported depth 32 <deep.bmp>\n");
}

TEST_F(Bitmaps, UnwritableFileShowsItsBoxButTheImageCounts) {
    IDirectDrawSurface* surface = Keep(zqtest::MakeSurface(dd_, 2, 2, 16));
    EXPECT_EQ(ZQWriteSurfaceToBMPFile("no such folder\\x.bmp", surface), 1);
    EXPECT_FALSE(std::filesystem::exists("no such folder"));
}

TEST_F(Bitmaps, SheetIsCutIntoNumberedTilesRowByRow) {
    IDirectDrawSurface* sheet = Keep(zqtest::MakeSurface(dd_, 640, 480, 16));
    ASSERT_NE(sheet, nullptr);
    // Each tile gets its own blue level: its number.
    ASSERT_TRUE(zqtest::FillPixels(
        sheet, [](int x, int y) { return static_cast<uint32_t>((y / 240) * 4 + x / 160); }));
    std::filesystem::create_directories("pics");
    ASSERT_EQ(ZQSubdivideSurface("pics\\sheet.bmp", sheet, 4, 2), 1);
    for (int n = 0; n < 8; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "pics/sheet%03d.bmp", n);
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = zqtest::ReadBytes(name);
        ASSERT_EQ(file.size(), 54u + 160 * 3 * 240);
        int32_t width, height;
        std::memcpy(&width, file.data() + 18, 4);
        std::memcpy(&height, file.data() + 22, 4);
        EXPECT_EQ(width, 160);
        EXPECT_EQ(height, 240);
        EXPECT_EQ(file[54], static_cast<uint8_t>(n << 3)); // blue of the first pixel
        EXPECT_EQ(file[file.size() - 3], static_cast<uint8_t>(n << 3));
    }
    EXPECT_FALSE(std::filesystem::exists("pics/sheet008.bmp"));
}

TEST_F(Bitmaps, PixelsBeyondWholeTilesAreDropped) {
    IDirectDrawSurface* sheet = Keep(zqtest::MakeSurface(dd_, 100, 10, 16));
    ASSERT_EQ(ZQSubdivideSurface("strip.bmp", sheet, 3, 1), 1);
    for (const char* name : {"strip000.bmp", "strip001.bmp", "strip002.bmp"}) {
        const std::vector<uint8_t> file = zqtest::ReadBytes(name);
        ASSERT_GE(file.size(), 26u);
        int32_t width;
        std::memcpy(&width, file.data() + 18, 4);
        EXPECT_EQ(width, 33);
    }
    EXPECT_FALSE(std::filesystem::exists("strip003.bmp"));

    // No columns or rows: nothing written, and that is not a failure.
    EXPECT_EQ(ZQSubdivideSurface("none.bmp", sheet, 0, 2), 1);
    EXPECT_EQ(ZQSubdivideSurface("none.bmp", sheet, 2, -1), 1);
    EXPECT_FALSE(std::filesystem::exists("none000.bmp"));
}

} // namespace
