#include "text_test_support.h"

#include "ui/pictures/redraw_list.h"
#include "zq.h"

#include <ludora/harness_window.h>

#include <cstring>
#include <fstream>
#include <random>

namespace texttest {

void Picture::Fill(int x, int y, int w, int h, uint32_t colour) {
    for (int row = y; row < y + h; ++row)
        for (int column = x; column < x + w; ++column)
            pixels[size_t(row) * width + column] = colour;
}

static void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

void WriteBmp(const std::string& path, const Picture& picture) {
    const uint32_t rowBytes = (uint32_t(picture.width) * 3 + 3) / 4 * 4;
    const uint32_t imageBytes = rowBytes * uint32_t(picture.height);
    std::vector<uint8_t> b;
    Put(b, 0x4D42, 2);
    Put(b, 54 + imageBytes, 4);
    Put(b, 0, 4);
    Put(b, 54, 4);
    Put(b, 40, 4);
    Put(b, uint32_t(picture.width), 4);
    Put(b, uint32_t(picture.height), 4);
    Put(b, 1, 2);
    Put(b, 24, 2);
    for (uint32_t field : {0u, imageBytes, 0u, 0u, 0u, 0u})
        Put(b, field, 4);
    for (int row = picture.height - 1; row >= 0; --row) {
        for (int column = 0; column < picture.width; ++column)
            Put(b, picture.pixels[size_t(row) * picture.width + column], 3);
        b.resize(b.size() + (rowBytes - uint32_t(picture.width) * 3));
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

int GlyphLeft(const std::vector<int>& widths, int j) {
    int left = 2;
    for (int i = 0; i < j; ++i)
        left += widths[size_t(i)] + 1;
    return left;
}

Picture FontPicture(const std::vector<int>& widths, int height, uint32_t colour) {
    const int total = GlyphLeft(widths, int(widths.size())) + 1;
    Picture picture(total, height, Blue);
    for (size_t j = 0; j < widths.size(); ++j)
        picture.Fill(GlyphLeft(widths, int(j)), 0, widths[j], height, colour);
    return picture;
}

Picture DigitStrip(int cellWidth, int height) {
    Picture picture(cellWidth * 10, height, Blue);
    for (int d = 0; d < 10; ++d)
        picture.Fill(d * cellWidth, 0, cellWidth, d + 1, White);
    return picture;
}

static LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void TextTest::SetUp() {
    previous_ = std::filesystem::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("text-" + std::string(info->name()) + "-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.lpszClassName = "text test";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "text test", "text test", WS_POPUP | WS_VISIBLE, 0, 0, 640,
                                  480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(ZQInitDirectX(window, 640, 480), 1);
}

void TextTest::TearDown() {
    g_RedrawList.Reset();
    for (IDirectDrawSurface* surface : targets_)
        surface->Release();
    ZQFreeDirectX();
    LudoraResetWindows();
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

IDirectDrawSurface* TextTest::MakeTarget(int width, int height) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_OFFSCREENPLAIN;
    desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 16;
    desc.ddpfPixelFormat.dwRBitMask = 0xF800;
    desc.ddpfPixelFormat.dwGBitMask = 0x07E0;
    desc.ddpfPixelFormat.dwBBitMask = 0x001F;
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(ZQGetLPDD()->CreateSurface(&desc, &surface, nullptr), DD_OK);
    if (surface == nullptr) return nullptr;
    DDSURFACEDESC locked = {};
    locked.dwSize = sizeof locked;
    if (SUCCEEDED(surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr))) {
        for (int row = 0; row < height; ++row)
            std::memset(static_cast<uint8_t*>(locked.lpSurface) + locked.lPitch * row, 0,
                        size_t(width) * 2);
        surface->Unlock(locked.lpSurface);
    }
    targets_.push_back(surface);
    return surface;
}

uint32_t TextTest::PixelAt(IDirectDrawSurface* surface, int x, int y) {
    DDSURFACEDESC locked = {};
    locked.dwSize = sizeof locked;
    if (FAILED(surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr))) return 0xFFFFFFFF;
    uint16_t value = 0;
    if (x >= 0 && y >= 0 && DWORD(x) < locked.dwWidth && DWORD(y) < locked.dwHeight)
        std::memcpy(&value, static_cast<uint8_t*>(locked.lpSurface) + locked.lPitch * y + x * 2, 2);
    surface->Unlock(locked.lpSurface);
    const uint32_t r = (value >> 11) & 0x1F, g = (value >> 5) & 0x3F, b = value & 0x1F;
    return (r * 255 / 31) << 16 | (g * 255 / 63) << 8 | (b * 255 / 31);
}

std::pair<int, int> TextTest::InkSpan(IDirectDrawSurface* surface, int y, int x0) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    surface->GetSurfaceDesc(&desc);
    int first = -1, last = -1;
    for (int x = x0; x < int(desc.dwWidth); ++x) {
        if (PixelAt(surface, x, y) != 0) {
            if (first < 0) first = x;
            last = x;
        }
    }
    return {first, last};
}

int TextTest::InkHeight(IDirectDrawSurface* surface, int x) {
    int rows = 0;
    while (rows < 4096 && PixelAt(surface, x, rows) != 0)
        ++rows;
    return rows;
}

} // namespace texttest
