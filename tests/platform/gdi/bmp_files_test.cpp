// LoadImageA on files cut short, corrupted or made by hand.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/files.h"

namespace {

const std::string kSuite = std::string(LUDORA_CORPORA_DIR) + "/bmpsuite/";

std::vector<uint8_t> read_all(const std::string& path) {
    return testkit::ReadBytes(path);
}

// Thousands of short files are written: memory-backed storage when there is some.
std::string temp_file(const char* name) {
    static const bool shm = [] {
        FILE* probe = std::fopen("/dev/shm/ludora_gdi_probe", "wb");
        if (probe) {
            std::fclose(probe);
            std::remove("/dev/shm/ludora_gdi_probe");
        }
        return probe != nullptr;
    }();
    return (shm ? std::string("/dev/shm") : ::testing::TempDir()) + "/" + name;
}

// One file per test, so tests running side by side do not share it.
std::string cut_file_name() {
    return std::string("ludora_gdi_") +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bmp";
}

HANDLE load_bytes(const std::vector<uint8_t>& bytes, size_t length, UINT flags = 0) {
    const std::string path = temp_file(cut_file_name().c_str());
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, length, f);
    std::fclose(f);
    return LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                      LR_LOADFROMFILE | LR_CREATEDIBSECTION | flags);
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(BmpFiles, FilesCutShortAnywhereAreRefused) {
    for (const char* name :
         {"g/pal8.bmp", "g/rgb16-565.bmp", "g/pal4rle.bmp", "g/pal8os2.bmp", "g/pal8v5.bmp"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = read_all(kSuite + name);
        ASSERT_GT(bytes.size(), 200u);
        HANDLE whole = load_bytes(bytes, bytes.size());
        ASSERT_NE(whole, nullptr);
        DeleteObject(whole);
        for (size_t length = 0; length < bytes.size(); length += (length < 300    ? 1
                                                                  : length < 1200 ? 7
                                                                                  : 61)) {
            SetLastError(0);
            HANDLE h = load_bytes(bytes, length);
            ASSERT_EQ(h, nullptr) << "length " << length;
            ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
        }
    }
    std::remove(temp_file(cut_file_name().c_str()).c_str());
}

TEST(BmpFiles, CorruptHeadersAreRefusedAndOddButValidOnesRead) {
    const std::vector<uint8_t> good = read_all(kSuite + "g/rgb24.bmp");
    auto with = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> b = good;
        put32(b, at, v);
        return b;
    };
    std::vector<uint8_t> b = with(0, 0x00004D41); // "AM"
    EXPECT_EQ(load_bytes(b, b.size()), nullptr);
    b = with(18, 0x80000000); // width: hugely negative
    EXPECT_EQ(load_bytes(b, b.size()), nullptr);
    b = with(22, 0); // height 0
    EXPECT_EQ(load_bytes(b, b.size()), nullptr);
    b = with(10, 0x7FFFFFF0); // pixels beyond the end
    EXPECT_EQ(load_bytes(b, b.size()), nullptr);
    b = with(30, 9); // unknown compression
    EXPECT_EQ(load_bytes(b, b.size()), nullptr);
    b = with(30, BI_RLE8); // RLE8 needs 8 bits per pixel
    EXPECT_EQ(load_bytes(b, b.size()), nullptr);

    // A top-down copy reads as the same picture.
    b = good;
    const int32_t width = static_cast<int32_t>(b[18] | b[19] << 8), height = b[22] | b[23] << 8;
    const size_t stride = ((width * 24 + 31) / 32) * 4, offset = b[10] | b[11] << 8;
    std::vector<uint8_t> flipped = b;
    for (int y = 0; y < height; ++y) {
        std::copy_n(b.begin() + offset + y * stride, stride,
                    flipped.begin() + offset + (height - 1 - y) * stride);
    }
    put32(flipped, 22, static_cast<uint32_t>(-height));
    HANDLE a = load_bytes(good, good.size());
    HANDLE c = load_bytes(flipped, flipped.size());
    ASSERT_NE(a, nullptr);
    ASSERT_NE(c, nullptr);
    HDC da = CreateCompatibleDC(nullptr), dc = CreateCompatibleDC(nullptr);
    SelectObject(da, a);
    SelectObject(dc, c);
    for (int y = 0; y < height; y += 7) {
        for (int x = 0; x < width; x += 5)
            ASSERT_EQ(GetPixel(da, x, y), GetPixel(dc, x, y));
    }
    DeleteDC(da);
    DeleteDC(dc);
    DeleteObject(a);
    DeleteObject(c);
    std::remove(temp_file(cut_file_name().c_str()).c_str());
}

TEST(BmpFiles, LoadImageAReportsMissingFilesAndWhatItCannotLoad) {
    SetLastError(0);
    EXPECT_EQ(LoadImageA(nullptr, "no\\such\\picture.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    const std::string pal8 = kSuite + "g/pal8.bmp";
    EXPECT_EQ(LoadImageA(nullptr, pal8.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, "SPLASH", IMAGE_BITMAP, 0, 0, 0), nullptr);

    // Without LR_CREATEDIBSECTION the picture takes the screen's format; with a
    // size it is stretched.
    HANDLE device = LoadImageA(nullptr, pal8.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(device, nullptr);
    BITMAP info{};
    GetObjectA(device, sizeof(info), &info);
    EXPECT_EQ(info.bmBitsPixel, 16);
    EXPECT_EQ(info.bmBits, nullptr);
    DeleteObject(device);
    HANDLE sized = LoadImageA(nullptr, pal8.c_str(), IMAGE_BITMAP, 254, 32,
                              LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(sized, nullptr);
    GetObjectA(sized, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 254);
    EXPECT_EQ(info.bmHeight, 32);
    EXPECT_EQ(info.bmBitsPixel, 8);
    DeleteObject(sized);
}

} // namespace
