// The BMP suite: every good file loads with its reference pixels; every
// questionable or bad file is loaded or refused without harm.
#include "png_reference.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

const std::string kSuite = std::string(LUDORA_CORPORA_DIR) + "/bmpsuite/";

// file -> reference renderings named for it in descriptions.tsv
std::map<std::string, std::vector<std::string>> references() {
    std::map<std::string, std::vector<std::string>> out;
    std::ifstream tsv(kSuite + "descriptions.tsv");
    std::string line;
    std::getline(tsv, line); // header
    while (std::getline(tsv, line)) {
        std::istringstream fields(line);
        std::string file, version, rendering;
        std::getline(fields, file, '\t');
        std::getline(fields, version, '\t');
        std::getline(fields, rendering, '\t');
        // "a.png,b.png or" lists alternatives.
        rendering = rendering.substr(0, rendering.find(' '));
        std::istringstream names(rendering);
        std::string name;
        while (std::getline(names, name, ',')) {
            if (!name.empty() && name != "N/A") out[file].push_back(name);
        }
    }
    return out;
}

HBITMAP load(const std::string& path) {
    return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                           LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

// Reads every pixel of a loaded bitmap through a memory context.
std::vector<uint32_t> pixels_of(HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> out;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_NE(old, nullptr);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            out.push_back((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return out;
}

TEST(BmpSuite, EveryGoodFileLoadsWithTheSizeAndPixelsOfItsReference) {
    const auto refs = references();
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kSuite + "g")) {
        const std::string name = "g/" + entry.path().filename().string();
        SCOPED_TRACE(name);
        HBITMAP bitmap = load(entry.path().string());
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
        ASSERT_TRUE(refs.count(name));
        gdi_test::RgbImage reference;
        bool found = false;
        for (const std::string& png : refs.at(name)) {
            if (gdi_test::read_png(kSuite + "html/" + png, reference) &&
                reference.width == info.bmWidth && reference.height == info.bmHeight) {
                found = true;
                break;
            }
        }
        ASSERT_TRUE(found) << "no reference of " << info.bmWidth << "x" << info.bmHeight;
        const std::vector<uint32_t> got = pixels_of(bitmap, info.bmWidth, info.bmHeight);
        int wrong = 0;
        for (size_t i = 0; i < got.size(); ++i) {
            if (got[i] != reference.pixels[i] && wrong++ < 3) {
                ADD_FAILURE() << "pixel " << i % info.bmWidth << "," << i / info.bmWidth << ": "
                              << std::hex << got[i] << " instead of " << reference.pixels[i];
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_TRUE(DeleteObject(bitmap));
        ++checked;
    }
    EXPECT_EQ(checked, 27);
}

TEST(BmpSuite, QuestionableAndBadFilesAreLoadedOrRefusedCleanly) {
    // Files that describe impossible pictures are refused.
    const std::set<std::string> must_refuse = {
        "b/badbitcount.bmp", "b/badheadersize.bmp", "b/badplanes.bmp", "b/badwidth.bmp",
        "b/reallybig.bmp",   "b/rletopdown.bmp",    "b/shortfile.bmp", "b/badpalettesize.bmp"};
    int files = 0;
    for (const char* folder : {"q", "b"}) {
        for (const auto& entry : std::filesystem::directory_iterator(kSuite + folder)) {
            const std::string name = std::string(folder) + "/" + entry.path().filename().string();
            SCOPED_TRACE(name);
            SetLastError(0);
            HBITMAP bitmap = load(entry.path().string());
            ++files;
            if (!bitmap) {
                EXPECT_NE(GetLastError(), 0u);
                continue;
            }
            EXPECT_FALSE(must_refuse.count(name)) << "loaded";
            BITMAP info{};
            ASSERT_GT(GetObjectA(bitmap, sizeof(info), &info), 0);
            EXPECT_GT(info.bmWidth, 0);
            EXPECT_GT(info.bmHeight, 0);
            // Reading every pixel shows no access outside the bitmap (under the sanitizers).
            if (static_cast<int64_t>(info.bmWidth) * info.bmHeight <= 1 << 20) {
                pixels_of(bitmap, info.bmWidth, info.bmHeight);
            }
            EXPECT_TRUE(DeleteObject(bitmap));
        }
    }
    EXPECT_EQ(files, 63);
}

TEST(BmpSuite, QuestionableFilesThatWindowsReadsMatchTheirReferences) {
    const auto refs = references();
    for (const char* file :
         {"q/pal8offs.bmp", "q/pal8oversizepal.bmp", "q/pal8os2sp.bmp", "q/rgb24largepal.bmp",
          "q/pal1p1.bmp", "q/pal8rletrns.bmp", "q/rgb32h52.bmp"}) {
        SCOPED_TRACE(file);
        HBITMAP bitmap = load(kSuite + file);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        GetObjectA(bitmap, sizeof(info), &info);
        const std::vector<uint32_t> got = pixels_of(bitmap, info.bmWidth, info.bmHeight);
        // Skipped RLE pixels take palette index 0, one of the suite's accepted renderings.
        bool matched = false;
        for (const std::string& png : refs.at(file)) {
            gdi_test::RgbImage reference;
            if (gdi_test::read_png(kSuite + "html/" + png, reference) && reference.pixels == got) {
                matched = true;
            }
        }
        EXPECT_TRUE(matched);
        DeleteObject(bitmap);
    }
}

} // namespace
