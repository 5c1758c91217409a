// Bitmap surfaces from BMP files (both loaders), BMP writing byte by byte and
// surface subdivision.
#include "zq_test_support.h"

#include "zq.h"

using zqtest::BmpLayout;

namespace {

class Bitmaps : public zqtest::ZqTest {
protected:
    void SetUp() override {
        ZqTest::SetUp();
        ASSERT_EQ(ZQInitDirectX(MakeWindow(640, 480, 50, 50), 640, 480), 1);
        ASSERT_EQ(ZQGetDisplayBPP(), 16u);
        dd_ = ZQGetLPDD();
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
    static DWORD FormatFlags(IDirectDrawSurface* surface) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        surface->GetSurfaceDesc(&desc);
        return desc.ddpfPixelFormat.dwFlags;
    }
    static DWORD SourceKey(IDirectDrawSurface* surface) {
        DDCOLORKEY key = {1, 2};
        surface->GetColorKey(DDCKEY_SRCBLT, &key);
        EXPECT_EQ(key.dwColorSpaceLowValue, key.dwColorSpaceHighValue);
        return key.dwColorSpaceLowValue;
    }
    static std::vector<int> Palette(IDirectDrawSurface* surface) {
        IDirectDrawPalette* palette = nullptr;
        PALETTEENTRY entries[256] = {};
        EXPECT_EQ(surface->GetPalette(&palette), DD_OK);
        if (palette == nullptr) return {};
        palette->GetEntries(0, 0, 256, entries);
        palette->Release();
        std::vector<int> rgb;
        for (const PALETTEENTRY& e : entries)
            rgb.push_back(e.peRed << 16 | e.peGreen << 8 | e.peBlue);
        return rgb;
    }
    IDirectDraw* dd_ = nullptr;
    std::vector<IDirectDrawSurface*> owned_;
};

TEST_F(Bitmaps, MissingOrUnknownLoadsGiveNothing) {
    zqtest::WriteBytes("a.bmp", zqtest::BuildBmp(BmpLayout()));
    ZQDebugEnable(1);
    EXPECT_EQ(ZQLoadBitmap("pics\\none.bmp"), nullptr);
    EXPECT_EQ(ZQLoadBitmap("other.bmp", 16), nullptr);
    EXPECT_EQ(ZQLoadBitmap(dd_, "a.bmp", 2), nullptr); // unknown loaders say nothing
    EXPECT_EQ(ZQLoadBitmap(dd_, "a.bmp", -1), nullptr);
    EXPECT_EQ(Log(), "LoadBitmap : can't load bitmap <pics\\none.bmp>\n"
                     "LoadBitmap : can't load bitmap <other.bmp>\n");
}

TEST_F(Bitmaps, EightBitFileIsPalettisedOrDisplayFormatByTheRequestedDepth) {
    BmpLayout layout;
    layout.bits = 8;
    layout.width = 4;
    layout.colours = 3;
    layout.palette = {0xFF0000, 0x00FF00, 0x0000FF};
    layout.pixels = {0, 1, 2, 1, /* bottom row, then top */ 2, 2, 0, 0};
    zqtest::WriteBytes("eight.bmp", zqtest::BuildBmp(layout));

    IDirectDrawSurface* palettised = Keep(ZQLoadBitmap("eight.bmp"));
    ASSERT_NE(palettised, nullptr);
    EXPECT_NE(FormatFlags(palettised) & DDPF_PALETTEINDEXED8, 0u);
    EXPECT_EQ(SourceKey(palettised), 0u); // index 0 is transparent
    std::vector<int> expected(256, 0);
    expected[0] = 0xFF0000, expected[1] = 0x00FF00, expected[2] = 0x0000FF;
    EXPECT_EQ(Palette(palettised), expected);
    EXPECT_EQ(zqtest::ReadPixels(palettised), (std::vector<uint32_t>{2, 2, 0, 0, 0, 1, 2, 1}));

    IDirectDrawSurface* display = Keep(ZQLoadBitmap("eight.bmp", 16));
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(FormatFlags(display) & DDPF_PALETTEINDEXED8, 0u);
    EXPECT_EQ(SourceKey(display), 255u);
    EXPECT_EQ(zqtest::ReadPixels(display), (std::vector<uint32_t>{0x001F, 0x001F, 0xF800, 0xF800,
                                                                  0xF800, 0x07E0, 0x001F, 0x07E0}));
}

TEST_F(Bitmaps, TwentyFourBitFileAskedForEightBitsGetsABlackPalette) {
    BmpLayout layout;
    layout.pixels = {0, 0, 255, 0, 255, 0, 0, 0, 255, 255, 255, 0, 9, 9, 9, 0};
    zqtest::WriteBytes("rgb.bmp", zqtest::BuildBmp(layout));
    IDirectDrawSurface* surface = Keep(ZQLoadBitmap("rgb.bmp", 8));
    ASSERT_NE(surface, nullptr);
    EXPECT_NE(FormatFlags(surface) & DDPF_PALETTEINDEXED8, 0u);
    EXPECT_EQ(Palette(surface), std::vector<int>(256, 0));
}

TEST_F(Bitmaps, BothLoadersAgreeOnTheSuitesGoodFiles) {
    for (const char* name : {"g/pal1.bmp", "g/pal4.bmp", "g/pal8.bmp", "g/pal8w125.bmp",
                             "g/rgb16.bmp", "g/rgb16-565.bmp", "g/rgb24.bmp", "g/rgb32.bmp"}) {
        SCOPED_TRACE(name);
        const std::string path = zqtest::Corpus(name);
        IDirectDrawSurface* system = Keep(ZQLoadBitmap(path.c_str(), 16));
        IDirectDrawSurface* own = Keep(ZQLoadBitmap(dd_, path.c_str(), 1));
        ASSERT_TRUE(system && own);
        EXPECT_TRUE(zqtest::ReadPixels(system) == zqtest::ReadPixels(own));
    }
}

TEST_F(Bitmaps, EveryCorpusFileLoadsOrFailsCleanlyThroughBothLoaders) {
    int loaded = 0;
    for (const char* folder : {"g", "q", "b", "x"}) {
        for (const auto& entry : std::filesystem::directory_iterator(zqtest::Corpus(folder))) {
            for (int loader = 0; loader < 2; ++loader) {
                IDirectDrawSurface* surface = ZQLoadBitmap(dd_, entry.path().c_str(), loader);
                if (surface == nullptr) continue;
                ++loaded;
                EXPECT_FALSE(zqtest::ReadPixels(surface).empty()) << entry.path();
                surface->Release();
            }
        }
    }
    EXPECT_GT(loaded, 40);
}

std::vector<uint8_t> Headers(int width, int height, int bits, uint32_t tableBytes,
                             uint32_t imageBytes) {
    std::vector<uint8_t> b;
    zqtest::Put16(b, 0x4D42);
    for (uint32_t v : {54 + tableBytes + imageBytes, 0u, 54 + tableBytes, 40u})
        zqtest::Put32(b, v);
    zqtest::Put32(b, width);
    zqtest::Put32(b, height);
    zqtest::Put16(b, 1);
    zqtest::Put16(b, bits);
    const uint32_t colours = bits == 8 ? 256 : 0;
    for (uint32_t v : {0u, imageBytes, 0u, 0u, colours, colours})
        zqtest::Put32(b, v);
    return b;
}

TEST_F(Bitmaps, SixteenBitSurfaceIsWrittenAsTwentyFourBitsByteByByte) {
    IDirectDrawSurface* surface = Keep(zqtest::MakeSurface(dd_, 3, 2, 16));
    ASSERT_NE(surface, nullptr);
    static const uint16_t pixels[2][3] = {{0xFFFF, 0xF800, 0x07E0}, {0x001F, 0x0000, 0x8410}};
    zqtest::FillPixels(surface, [](int x, int y) -> uint32_t { return pixels[y][x]; });
    ASSERT_EQ(ZQWriteSurfaceToBMPFile("out.bmp", surface), 1);
    std::vector<uint8_t> expected = Headers(3, 2, 24, 0, 24);
    for (uint8_t byte :
         {0xF8, 0,    0,    0, 0, 0,    0x80, 0x80, 0x80, 0, 0, 0,  // blue, black, grey
          0xF8, 0xFC, 0xF8, 0, 0, 0xF8, 0,    0xFC, 0,    0, 0, 0}) // white, red, green
        expected.push_back(byte);
    EXPECT_EQ(zqtest::ReadBytes("out.bmp"), expected);

    ASSERT_EQ(ZQWriteSurfaceToBMPFile("small.bmp", Keep(zqtest::MakeSurface(dd_, 2, 2, 16))), 1);
    const std::vector<uint8_t> small = zqtest::ReadBytes("small.bmp");
    ASSERT_EQ(small.size(), 70u);
    EXPECT_EQ(small[2], 70); // bfSize
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
    surface->SetPalette(palette);
    palette->Release();
    zqtest::FillPixels(surface, [](int x, int y) -> uint32_t { return y * 3 + x + 1; });
    ASSERT_EQ(ZQWriteSurfaceToBMPFile("eight.bmp", surface), 1);
    std::vector<uint8_t> expected = Headers(3, 2, 8, 1024, 8);
    std::vector<uint8_t> table(1024, 0);
    table[4] = 30, table[5] = 20, table[6] = 10;           // entry 1: blue, green, red, 0
    table[1020] = 1, table[1021] = 128, table[1022] = 255; // entry 255
    expected.insert(expected.end(), table.begin(), table.end());
    for (uint8_t byte : {4, 5, 6, 0, 1, 2, 3, 0})
        expected.push_back(byte); // rows of four bytes
    EXPECT_EQ(zqtest::ReadBytes("eight.bmp"), expected);

    // Without a palette the table is black; the file is still written.
    ASSERT_EQ(ZQWriteSurfaceToBMPFile("bare.bmp", Keep(zqtest::MakeSurface(dd_, 3, 2, 8))), 1);
    EXPECT_EQ(zqtest::ReadBytes("bare.bmp").size(), expected.size());
}

TEST_F(Bitmaps, DeepSurfacesAndUnwritableFilesWriteNothing) {
    ZQDebugEnable(1);
    EXPECT_EQ(ZQWriteSurfaceToBMPFile("deep.bmp", Keep(zqtest::MakeSurface(dd_, 4, 4, 32))), 0);
    EXPECT_FALSE(std::filesystem::exists("deep.bmp"));
    EXPECT_EQ(Log(), "ZQWriteSurfaceToBMPFile: unsupported depth 32 <deep.bmp>\n");
    // The box is shown; the image was built, so the call still counts.
    EXPECT_EQ(
        ZQWriteSurfaceToBMPFile("no such folder\\x.bmp", Keep(zqtest::MakeSurface(dd_, 2, 2, 16))),
        1);
    EXPECT_FALSE(std::filesystem::exists("no such folder"));
}

TEST_F(Bitmaps, SheetIsCutIntoNumberedTilesRowByRow) {
    IDirectDrawSurface* sheet = Keep(zqtest::MakeSurface(dd_, 640, 480, 16));
    ASSERT_NE(sheet, nullptr);
    // Each tile's blue level is its number.
    zqtest::FillPixels(sheet, [](int x, int y) -> uint32_t { return (y / 240) * 4 + x / 160; });
    std::filesystem::create_directories("pics");
    ASSERT_EQ(ZQSubdivideSurface("pics\\sheet.bmp", sheet, 4, 2), 1);
    for (int n = 0; n < 8; ++n) {
        const std::vector<uint8_t> file =
            zqtest::ReadBytes("pics/sheet00" + std::to_string(n) + ".bmp");
        ASSERT_EQ(file.size(), 54u + 160 * 3 * 240) << n;
        EXPECT_EQ(file[18] | file[19] << 8, 160);
        EXPECT_EQ(file[22] | file[23] << 8, 240);
        EXPECT_EQ(file[54], n << 3);              // first pixel's blue
        EXPECT_EQ(file[file.size() - 3], n << 3); // last pixel's
    }
    EXPECT_FALSE(std::filesystem::exists("pics/sheet008.bmp"));

    // Pixels beyond whole tiles are dropped: 100 wide in three is 33 each.
    IDirectDrawSurface* strip = Keep(zqtest::MakeSurface(dd_, 100, 10, 16));
    ASSERT_EQ(ZQSubdivideSurface("strip.bmp", strip, 3, 1), 1);
    for (const char* name : {"strip000.bmp", "strip001.bmp", "strip002.bmp"})
        EXPECT_EQ(zqtest::ReadBytes(name).at(18), 33) << name;
    EXPECT_FALSE(std::filesystem::exists("strip003.bmp"));
    EXPECT_EQ(ZQSubdivideSurface("none.bmp", strip, 0, 2), 1); // nothing to cut is no failure
    EXPECT_EQ(ZQSubdivideSurface("none.bmp", strip, 2, -1), 1);
    EXPECT_FALSE(std::filesystem::exists("none000.bmp"));
}

TEST_F(Bitmaps, TilesOfAPalettisedSheetCarryItsPalette) {
    IDirectDrawSurface* sheet = Keep(zqtest::MakeSurface(dd_, 4, 1, 8));
    ASSERT_NE(sheet, nullptr);
    PALETTEENTRY entries[256] = {};
    entries[7] = {200, 100, 50, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr),
              DD_OK);
    sheet->SetPalette(palette);
    palette->Release();
    zqtest::FillPixels(sheet, [](int x, int) -> uint32_t { return x < 2 ? 7 : 3; });
    ASSERT_EQ(ZQSubdivideSurface("sheet.bmp", sheet, 2, 1), 1);
    for (const char* name : {"sheet000.bmp", "sheet001.bmp"}) {
        const std::vector<uint8_t> file = zqtest::ReadBytes(name);
        ASSERT_EQ(file.size(), 1078u + 4) << name; // one row of two pixels, padded to four
        EXPECT_EQ(file[28], 8) << name;
        EXPECT_EQ(file[54 + 7 * 4], 50) << name; // entry 7: blue, green, red
        EXPECT_EQ(file[54 + 7 * 4 + 2], 200) << name;
    }
    EXPECT_EQ(zqtest::ReadBytes("sheet000.bmp")[1078], 7);
    EXPECT_EQ(zqtest::ReadBytes("sheet001.bmp")[1078], 3);
}

} // namespace
