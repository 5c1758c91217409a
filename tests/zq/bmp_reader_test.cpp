// The library's own BMP reader: accepted layouts, refused files and safety on
// every file of the BMP suite.
#include "zq_test_support.h"

#include "bmp_file.h"
#include "diagnostics.h"
#include "zq.h"

#include <cstdlib>
#include <cstring>
#include <memory>

using zqtest::BmpSpec;
using zqtest::BuildBmp;
using zqtest::ZqTest;

namespace {

struct FreeDib {
    void operator()(BITMAPINFOHEADER* dib) const { std::free(dib); }
};
using DibPtr = std::unique_ptr<BITMAPINFOHEADER, FreeDib>;

DibPtr Read(const std::string& path) {
    return DibPtr(OpenBMPFile(path.c_str()));
}

const uint8_t* Rows(const BITMAPINFOHEADER* dib) {
    return reinterpret_cast<const uint8_t*>(dib) + 40 + PackedDIBColourBytes(dib);
}

class BmpReader : public ZqTest {};

TEST_F(BmpReader, TwentyFourBitRowsArePaddedToFourBytes) {
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    for (int i = 0; i < 24; ++i)
        spec.pixels.push_back(static_cast<uint8_t>(i + 1));
    zqtest::WriteBytes("rgb.bmp", BuildBmp(spec));

    DibPtr dib = Read("rgb.bmp");
    ASSERT_TRUE(dib);
    EXPECT_EQ(PackedDIBColourBytes(dib.get()), 0u);
    EXPECT_EQ(PackedDIBImageBytes(dib.get()), 24u); // 9 pixel bytes and 3 padding bytes a row
    EXPECT_EQ(std::memcmp(Rows(dib.get()), spec.pixels.data(), 24), 0);
}

TEST_F(BmpReader, ColourTableFollowsTheDepthWhenNoCountIsGiven) {
    BmpSpec four;
    four.bits = 4;
    four.width = 4;
    four.height = 1;
    for (uint32_t i = 0; i < 16; ++i)
        four.palette.push_back(0x010203u * i);
    four.pixels = {0x12, 0x34, 0xAB, 0xCD};
    zqtest::WriteBytes("four.bmp", BuildBmp(four));
    DibPtr dib = Read("four.bmp");
    ASSERT_TRUE(dib);
    ASSERT_EQ(PackedDIBColourBytes(dib.get()), 64u);
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(dib.get() + 1);
    EXPECT_EQ(table[15].rgbRed, 15);
    EXPECT_EQ(table[15].rgbGreen, 30);
    EXPECT_EQ(table[15].rgbBlue, 45);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), four.pixels.data(), 4), 0);

    BmpSpec sixteen;
    sixteen.bits = 16;
    sixteen.width = 2;
    sixteen.height = 1;
    sixteen.pixels = {1, 2, 3, 4};
    zqtest::WriteBytes("sixteen.bmp", BuildBmp(sixteen));
    dib = Read("sixteen.bmp");
    ASSERT_TRUE(dib);
    EXPECT_EQ(PackedDIBColourBytes(dib.get()), 0u);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), sixteen.pixels.data(), 4), 0);

    BmpSpec counted;
    counted.bits = 8;
    counted.colours = 3;
    counted.width = 4;
    counted.height = 1;
    counted.palette = {0xFF0000, 0x00FF00, 0x0000FF};
    counted.pixels = {0, 1, 2, 1};
    zqtest::WriteBytes("counted.bmp", BuildBmp(counted));
    dib = Read("counted.bmp");
    ASSERT_TRUE(dib);
    EXPECT_EQ(PackedDIBColourBytes(dib.get()), 12u);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), counted.pixels.data(), 4), 0);
}

TEST_F(BmpReader, PixelOffsetIsHonouredAndZeroMeansAfterTheTable) {
    BmpSpec gap;
    gap.bits = 8;
    gap.width = 4;
    gap.height = 1;
    gap.offBits = 14 + 40 + 1024 + 100; // unused bytes between table and rows
    gap.pixels = {9, 8, 7, 6};
    zqtest::WriteBytes("gap.bmp", BuildBmp(gap));
    DibPtr dib = Read("gap.bmp");
    ASSERT_TRUE(dib);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), gap.pixels.data(), 4), 0);

    BmpSpec zero = gap;
    zero.offBits = 0;
    std::vector<uint8_t> bytes = BuildBmp(zero);
    zqtest::WriteBytes("zero.bmp", bytes);
    dib = Read("zero.bmp");
    ASSERT_TRUE(dib);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), gap.pixels.data(), 4), 0);
}

struct Refusal {
    const char* name;
    BmpSpec spec;
    const char* message;
};

TEST_F(BmpReader, RefusedFilesReportTheirReasonAndLoadNothing) {
    std::vector<Refusal> cases;
    BmpSpec spec;
    spec.reserved1 = 7;
    cases.push_back({"reserved", spec, "ReadBMPFile: bad BMP format"});
    spec = BmpSpec();
    spec.headerSize = 12;
    spec.height = 8;
    cases.push_back({"os2", spec, "ReadBMPFile: OS/2 format not supported"});
    spec = BmpSpec();
    spec.headerSize = 108;
    cases.push_back({"v4", spec, "ReadBMPFile: OS/2 format not supported"});
    spec = BmpSpec();
    spec.height = 64;
    spec.truncateTo = 54 + 8 * 10; // ten rows of sixty-four
    cases.push_back({"short", spec, "ReadBMPFile: error reading file"});
    spec = BmpSpec();
    spec.truncateTo = 10;
    cases.push_back({"stub", spec, "ReadBMPFile: error reading file"});
    spec = BmpSpec();
    spec.bits = 8;
    spec.colours = 0x40000000; // a billion colours in a tiny file
    spec.paletteEntries = 4;
    cases.push_back({"colours", spec, "ReadBMPFile: error reading file"});
    spec = BmpSpec();
    spec.width = 0x7FFFFFFF;
    spec.height = 0x7FFFFFFF;
    spec.pixels = {0, 0, 0, 0};
    cases.push_back({"huge", spec, "ReadBMPFile: error reading file"});
    spec = BmpSpec();
    spec.offBits = 0x7FFFFFF0;
    cases.push_back({"offset", spec, "ReadBMPFile: error reading file"});
    spec = BmpSpec();
    spec.height = -2;
    cases.push_back({"topdown", spec, "ReadBMPFile: bad BMP format"});
    spec = BmpSpec();
    spec.bits = 8;
    spec.compression = 1;
    cases.push_back({"rle", spec, "ReadBMPFile: bad BMP format"});

    ZQDebugEnable(1);
    std::string expected;
    for (const Refusal& refusal : cases) {
        SCOPED_TRACE(refusal.name);
        const std::string file = std::string(refusal.name) + ".bmp";
        zqtest::WriteBytes(file, BuildBmp(refusal.spec));
        EXPECT_EQ(Read(file), nullptr);
        EXPECT_STREQ(g_ErrorText, (std::string(refusal.message) + "\n").c_str());
        EXPECT_EQ(ZQLoadBitmap(nullptr, file.c_str(), 1), nullptr);
        expected += std::string(refusal.message) + "\n" + refusal.message +
                    "\nLoadBitmapFromMemory : invalid memory bitmap\n";
    }
    zqtest::WriteBytes("magic.bmp", {'B', 'N', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(Read("magic.bmp"), nullptr);
    expected += "ReadBMPFile: bad BMP format\n";
    EXPECT_EQ(Read("absent.bmp"), nullptr);
    expected += "ReadBMPFile: error opening file <absent.bmp>\n";
    EXPECT_EQ(Log(), expected);
}

TEST_F(BmpReader, WindowsPathsReachTheFile) {
    std::filesystem::create_directories("Pics");
    zqtest::WriteBytes("Pics/Tile.bmp", BuildBmp(BmpSpec()));
    EXPECT_TRUE(Read(".\\pics\\TILE.BMP"));
}

// Every file of the suite is either read whole or refused; never read past.
TEST_F(BmpReader, EveryCorpusFileIsReadSafely) {
    int accepted = 0, refused = 0;
    for (const char* folder : {"g", "q", "b", "x"}) {
        for (const auto& entry : std::filesystem::directory_iterator(zqtest::Corpus(folder))) {
            if (entry.path().extension() != ".bmp") continue;
            SCOPED_TRACE(entry.path().string());
            DibPtr dib = Read(entry.path().string());
            if (!dib) {
                ++refused;
                continue;
            }
            ++accepted;
            EXPECT_EQ(dib->biSize, 40u);
            EXPECT_GE(dib->biWidth, 0);
            EXPECT_GE(dib->biHeight, 0);
            const size_t total =
                40 + PackedDIBColourBytes(dib.get()) + PackedDIBImageBytes(dib.get());
            EXPECT_LE(total, static_cast<size_t>(std::filesystem::file_size(entry.path())) + 40);
            // Touch every byte: the sanitizers catch a block shorter than its header claims.
            unsigned sum = 0;
            for (size_t i = 0; i < total; ++i)
                sum += reinterpret_cast<const uint8_t*>(dib.get())[i];
            (void)sum;
        }
    }
    EXPECT_GT(accepted, 20);
    EXPECT_GT(refused, 20);
}

TEST_F(BmpReader, CorpusFilesGetTheExpectedVerdicts) {
    for (const char* good : {"g/pal1.bmp", "g/pal4.bmp", "g/pal8.bmp", "g/pal8-0.bmp",
                             "g/pal8w125.bmp", "g/rgb16.bmp", "g/rgb16-565.bmp", "g/rgb24.bmp",
                             "g/rgb32.bmp", "q/pal8offs.bmp", "q/pal8oversizepal.bmp"}) {
        SCOPED_TRACE(good);
        EXPECT_TRUE(Read(zqtest::Corpus(good)));
    }
    ZQDebugEnable(1);
    const std::pair<const char*, const char*> bad[] = {
        {"g/pal8os2.bmp", "ReadBMPFile: OS/2 format not supported\n"},
        {"g/pal8v5.bmp", "ReadBMPFile: OS/2 format not supported\n"},
        {"g/pal8topdown.bmp", "ReadBMPFile: bad BMP format\n"},
        {"g/pal8rle.bmp", "ReadBMPFile: bad BMP format\n"},
        {"b/shortfile.bmp", "ReadBMPFile: error reading file\n"},
        {"b/reallybig.bmp", "ReadBMPFile: error reading file\n"},
        {"b/badwidth.bmp", "ReadBMPFile: bad BMP format\n"},
        {"x/ba-bm.bmp", "ReadBMPFile: bad BMP format\n"},
    };
    for (const auto& [file, message] : bad) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(Read(zqtest::Corpus(file)));
        EXPECT_STREQ(g_ErrorText, message);
    }

    // The eight-bit rows are the file's own bytes from its pixel offset on.
    DibPtr dib = Read(zqtest::Corpus("g/pal8.bmp"));
    ASSERT_TRUE(dib);
    const std::vector<uint8_t> file = zqtest::ReadBytes(zqtest::Corpus("g/pal8.bmp"));
    uint32_t offBits;
    std::memcpy(&offBits, file.data() + 10, 4);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), file.data() + offBits, PackedDIBImageBytes(dib.get())),
              0);
    // The suite's 5-6-5 file keeps its three channel masks as its table.
    dib = Read(zqtest::Corpus("g/rgb16-565.bmp"));
    ASSERT_TRUE(dib);
    const uint32_t* masks = reinterpret_cast<const uint32_t*>(dib.get() + 1);
    EXPECT_EQ(masks[0], 0xF800u);
    EXPECT_EQ(masks[1], 0x07E0u);
    EXPECT_EQ(masks[2], 0x001Fu);
}

} // namespace
