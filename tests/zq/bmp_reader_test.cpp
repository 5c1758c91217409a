// The library's own BMP reader: accepted layouts, refused files, and safety
// on every file of the BMP suite.
#include "zq_test_support.h"

#include "bmp_file.h"
#include "diagnostics.h"
#include "zq.h"

#include <cstdlib>
#include <memory>

using zqtest::BmpLayout;

namespace {

struct FreeDib {
    void operator()(BITMAPINFOHEADER* dib) const { std::free(dib); }
};
using DibPtr = std::unique_ptr<BITMAPINFOHEADER, FreeDib>;

DibPtr Read(const std::string& path) {
    return DibPtr(OpenBMPFile(path.c_str()));
}
DibPtr ReadBuilt(const BmpLayout& layout) {
    zqtest::WriteBytes("built.bmp", zqtest::BuildBmp(layout));
    return Read("built.bmp");
}
const uint8_t* Table(const BITMAPINFOHEADER* dib) {
    return reinterpret_cast<const uint8_t*>(dib + 1);
}
const uint8_t* Rows(const BITMAPINFOHEADER* dib) {
    return Table(dib) + PackedDIBColourBytes(dib);
}

class BmpReader : public zqtest::ZqTest {};

TEST_F(BmpReader, RowsAndTablesAreLaidOutAsInTheFile) {
    BmpLayout rgb; // 24 bits, 3 wide: rows of 9 pixel bytes and 3 padding bytes
    rgb.width = 3;
    for (int i = 0; i < 24; ++i)
        rgb.pixels.push_back(static_cast<uint8_t>(i + 1));
    DibPtr dib = ReadBuilt(rgb);
    ASSERT_TRUE(dib);
    EXPECT_EQ(PackedDIBColourBytes(dib.get()), 0u);
    ASSERT_EQ(PackedDIBImageBytes(dib.get()), 24u);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), rgb.pixels.data(), 24), 0);

    BmpLayout four; // no colour count: the depth's 16 entries
    four.bits = 4;
    four.width = 8;
    four.height = 1;
    for (uint32_t i = 0; i < 16; ++i)
        four.palette.push_back(0x010203u * i);
    four.pixels = {0x12, 0x34, 0xAB, 0xCD};
    dib = ReadBuilt(four);
    ASSERT_TRUE(dib);
    ASSERT_EQ(PackedDIBColourBytes(dib.get()), 64u);
    EXPECT_EQ(Table(dib.get())[60], 45); // entry 15: blue, green, red
    EXPECT_EQ(Table(dib.get())[62], 15);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), four.pixels.data(), 4), 0);

    BmpLayout sixteen; // no table at all
    sixteen.bits = 16;
    sixteen.height = 1;
    sixteen.pixels = {1, 2, 3, 4};
    dib = ReadBuilt(sixteen);
    ASSERT_TRUE(dib);
    EXPECT_EQ(PackedDIBColourBytes(dib.get()), 0u);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), sixteen.pixels.data(), 4), 0);
}

TEST_F(BmpReader, PixelOffsetIsHonouredAndZeroMeansRightAfterTheTable) {
    BmpLayout gap;
    gap.bits = 8;
    gap.colours = 3;
    gap.width = 4;
    gap.height = 1;
    gap.offBits = 14 + 40 + 12 + 100; // unused bytes between table and rows
    gap.pixels = {9, 8, 7, 6};
    DibPtr dib = ReadBuilt(gap);
    ASSERT_TRUE(dib);
    EXPECT_EQ(PackedDIBColourBytes(dib.get()), 12u);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), gap.pixels.data(), 4), 0);

    gap.offBits = 0;
    dib = ReadBuilt(gap);
    ASSERT_TRUE(dib);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), gap.pixels.data(), 4), 0);
}

TEST_F(BmpReader, RefusedFilesReportTheirReasonAndLoadNothing) {
    const char* const kRead = "ReadBMPFile: error reading file";
    const char* const kFormat = "ReadBMPFile: bad BMP format";
    const char* const kOs2 = "ReadBMPFile: OS/2 format not supported";
    std::vector<std::pair<BmpLayout, const char*>> cases;
    auto add = [&](const char* message, auto change) {
        BmpLayout layout;
        change(layout);
        cases.push_back({layout, message});
    };
    add(kFormat, [](BmpLayout& s) { s.reserved1 = 7; });
    add(kOs2, [](BmpLayout& s) { s.headerSize = 12, s.height = 8; });
    add(kOs2, [](BmpLayout& s) { s.headerSize = 108; });
    add(kRead, [](BmpLayout& s) { s.height = 64, s.truncateTo = 54 + 8 * 10; }); // 10 rows of 64
    add(kRead, [](BmpLayout& s) { s.truncateTo = 10; });
    add(kRead, [](BmpLayout& s) { s.bits = 8, s.colours = 0x40000000, s.paletteEntries = 4; });
    add(kRead, [](BmpLayout& s) { s.width = s.height = 0x7FFFFFFF, s.pixels = {0, 0, 0, 0}; });
    add(kRead, [](BmpLayout& s) { s.offBits = 0x7FFFFFF0; });
    add(kFormat, [](BmpLayout& s) { s.height = -2; });
    add(kFormat, [](BmpLayout& s) { s.bits = 8, s.compression = BI_RLE8; });

    ZQDebugEnable(1);
    std::string expected;
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(ReadBuilt(cases[i].first));
        EXPECT_STREQ(g_ErrorText, (std::string(cases[i].second) + "\n").c_str());
        EXPECT_EQ(ZQLoadBitmap(nullptr, "built.bmp", 1), nullptr);
        expected += std::string(cases[i].second) + "\n" + cases[i].second +
                    "\nLoadBitmapFromMemory : invalid memory bitmap\n";
    }
    EXPECT_FALSE(Read("absent.bmp"));
    EXPECT_EQ(Log(), expected + "ReadBMPFile: error opening file <absent.bmp>\n");
}

TEST_F(BmpReader, WindowsPathsReachTheFile) {
    std::filesystem::create_directories("Pics");
    zqtest::WriteBytes("Pics/Tile.bmp", zqtest::BuildBmp(BmpLayout()));
    EXPECT_TRUE(Read(".\\pics\\TILE.BMP"));
}

// Every file of the suite is read whole or refused, never read past its end.
TEST_F(BmpReader, EveryCorpusFileIsReadSafely) {
    int accepted = 0, refused = 0;
    for (const char* folder : {"g", "q", "b", "x"}) {
        for (const auto& entry : std::filesystem::directory_iterator(zqtest::Corpus(folder))) {
            SCOPED_TRACE(entry.path().string());
            DibPtr dib = Read(entry.path().string());
            if (!dib) {
                refused += entry.path().extension() == ".bmp";
                continue;
            }
            ++accepted;
            const size_t total =
                40 + PackedDIBColourBytes(dib.get()) + PackedDIBImageBytes(dib.get());
            EXPECT_LE(total, std::filesystem::file_size(entry.path()) + 40);
            unsigned sum = 0; // every byte touched: the sanitizers see a short block
            for (size_t i = 0; i < total; ++i)
                sum += reinterpret_cast<const uint8_t*>(dib.get())[i];
            EXPECT_GE(sum, 0u);
        }
    }
    EXPECT_GT(accepted, 20);
    EXPECT_GT(refused, 20);
}

TEST_F(BmpReader, CorpusFilesGetTheExpectedVerdicts) {
    for (const char* good : {"g/pal1.bmp", "g/pal4.bmp", "g/pal8-0.bmp", "g/pal8w125.bmp",
                             "g/rgb16.bmp", "g/rgb24.bmp", "g/rgb32.bmp", "q/pal8oversizepal.bmp"})
        EXPECT_TRUE(Read(zqtest::Corpus(good))) << good;
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
        EXPECT_FALSE(Read(zqtest::Corpus(file))) << file;
        EXPECT_STREQ(g_ErrorText, message) << file;
    }

    // Rows are the file's bytes from its pixel offset on (here past a gap).
    DibPtr dib = Read(zqtest::Corpus("q/pal8offs.bmp"));
    ASSERT_TRUE(dib);
    const std::vector<uint8_t> file = zqtest::ReadBytes(zqtest::Corpus("q/pal8offs.bmp"));
    uint32_t offBits;
    std::memcpy(&offBits, file.data() + 10, 4);
    EXPECT_EQ(std::memcmp(Rows(dib.get()), file.data() + offBits, PackedDIBImageBytes(dib.get())),
              0);
    // A 5-6-5 file keeps its three channel masks as its table.
    dib = Read(zqtest::Corpus("g/rgb16-565.bmp"));
    ASSERT_TRUE(dib);
    uint32_t masks[3];
    std::memcpy(masks, Table(dib.get()), sizeof masks);
    EXPECT_EQ(masks[0], 0xF800u);
    EXPECT_EQ(masks[1], 0x07E0u);
    EXPECT_EQ(masks[2], 0x001Fu);
}

} // namespace
