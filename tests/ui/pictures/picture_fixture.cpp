#include "picture_fixture.h"

#include "ui/pictures/redraw_list.h"
#include "zq.h"

#include <ludora/harness_window.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace picturetest {

namespace {

void Put16(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Locked {
    explicit Locked(IDirectDrawSurface* s) : surface(s) {
        desc.dwSize = sizeof desc;
        ok = surface != nullptr && SUCCEEDED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    }
    ~Locked() {
        if (ok) surface->Unlock(desc.lpSurface);
    }
    uint8_t* At(int x, int y) const {
        return static_cast<uint8_t*>(desc.lpSurface) + desc.lPitch * y +
               x * static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
    }
    int Bytes() const { return static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8); }
    bool Inside(int x, int y) const {
        return x >= 0 && y >= 0 && x < static_cast<int>(desc.dwWidth) &&
               y < static_cast<int>(desc.dwHeight);
    }
    IDirectDrawSurface* surface;
    DDSURFACEDESC desc = {};
    bool ok = false;
};

} // namespace

void WriteBmp(const std::string& path, int width, int height,
              const std::function<uint32_t(int, int)>& colour) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    std::vector<uint8_t> b;
    Put16(b, 0x4D42);
    Put32(b, 54 + imageBytes);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(width));
    Put32(b, static_cast<uint32_t>(height));
    Put16(b, 1);
    Put16(b, 24);
    for (uint32_t field : {0u, imageBytes, 2835u, 2835u, 0u, 0u})
        Put32(b, field);
    for (int y = height - 1; y >= 0; --y) {
        const size_t start = b.size();
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = colour(x, y);
            b.push_back(rgb & 0xFF);
            b.push_back((rgb >> 8) & 0xFF);
            b.push_back((rgb >> 16) & 0xFF);
        }
        b.resize(start + rowBytes);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

IDirectDrawSurface* MakeSurface(int width, int height) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface* surface = nullptr;
    IDirectDraw* dd = ZQGetLPDD();
    return dd != nullptr && SUCCEEDED(dd->CreateSurface(&desc, &surface, nullptr)) ? surface
                                                                                   : nullptr;
}

IDirectDrawSurface* MakeSurfaceOfDepth(int width, int height, int bits) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_OFFSCREENPLAIN;
    DDPIXELFORMAT& f = desc.ddpfPixelFormat;
    f.dwSize = sizeof f;
    f.dwRGBBitCount = bits;
    f.dwFlags = DDPF_RGB | (bits == 8 ? DDPF_PALETTEINDEXED8 : 0);
    f.dwRBitMask = bits == 16 ? 0xF800 : bits >= 24 ? 0xFF0000 : 0;
    f.dwGBitMask = bits == 16 ? 0x07E0 : bits >= 24 ? 0x00FF00 : 0;
    f.dwBBitMask = bits == 16 ? 0x001F : bits >= 24 ? 0x0000FF : 0;
    IDirectDrawSurface* surface = nullptr;
    IDirectDraw* dd = ZQGetLPDD();
    return dd != nullptr && SUCCEEDED(dd->CreateSurface(&desc, &surface, nullptr)) ? surface
                                                                                   : nullptr;
}

uint32_t PixelAt(IDirectDrawSurface* surface, int x, int y) {
    Locked lock(surface);
    if (!lock.ok || !lock.Inside(x, y)) {
        ADD_FAILURE() << "cannot read pixel " << x << "," << y;
        return 0xDEADBEEF;
    }
    uint32_t value = 0;
    std::memcpy(&value, lock.At(x, y), lock.Bytes());
    return value;
}

void SetPixelAt(IDirectDrawSurface* surface, int x, int y, uint32_t value) {
    Locked lock(surface);
    if (lock.ok && lock.Inside(x, y)) std::memcpy(lock.At(x, y), &value, lock.Bytes());
}

void FillSurface(IDirectDrawSurface* surface, uint32_t value) {
    Locked lock(surface);
    if (!lock.ok) return;
    for (int y = 0; y < static_cast<int>(lock.desc.dwHeight); ++y)
        for (int x = 0; x < static_cast<int>(lock.desc.dwWidth); ++x)
            std::memcpy(lock.At(x, y), &value, lock.Bytes());
}

int CountInRect(IDirectDrawSurface* surface, int left, int top, int right, int bottom,
                uint32_t value) {
    Locked lock(surface);
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            if (!lock.ok || !lock.Inside(x, y)) continue;
            uint32_t pixel = 0;
            std::memcpy(&pixel, lock.At(x, y), lock.Bytes());
            if (pixel == value) ++count;
        }
    return count;
}

std::pair<int, int> SizeOf(IDirectDrawSurface* surface) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (surface == nullptr || FAILED(surface->GetSurfaceDesc(&desc))) return {0, 0};
    return {static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight)};
}

int64_t SourceKey(IDirectDrawSurface* surface) {
    DDCOLORKEY key = {};
    if (surface == nullptr || FAILED(surface->GetColorKey(DDCKEY_SRCBLT, &key))) return -1;
    return key.dwColorSpaceLowValue;
}

void PictureTest::SetUp() {
    previous_ = std::filesystem::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ =
        std::filesystem::temp_directory_path() /
        ("pictures-" + std::string(info->name()) + "-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.lpszClassName = "pictures test";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "pictures test", "pictures test", WS_POPUP | WS_VISIBLE, 0, 0,
                              ScreenWidth, ScreenHeight, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    ASSERT_EQ(ZQInitDirectX(window_, ScreenWidth, ScreenHeight), 1);
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    ASSERT_NE(BackBuffer(), nullptr);
    BackBuffer()->GetPixelFormat(&format);
    // Every expected value below is worked out for 5-6-5.
    ASSERT_EQ(format.dwRGBBitCount, 16u);
    ASSERT_EQ(format.dwRBitMask, 0xF800u);
    ASSERT_EQ(format.dwGBitMask, 0x07E0u);
    ASSERT_EQ(format.dwBBitMask, 0x001Fu);
    g_RedrawList.Reset();
}

void PictureTest::TearDown() {
    g_RedrawList.Reset();
    ZQFreeDirectX();
    LudoraResetWindows();
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

IDirectDrawSurface* PictureTest::BackBuffer() const {
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    ZQGetDDInfo(&primary, &back);
    return back;
}

} // namespace picturetest
