#include "zq_test_support.h"

#include "diagnostics.h"
#include "zq.h"

#include <ludora/harness_window.h>

#include <fstream>
#include <iterator>
#include <random>

namespace zqtest {

void Put16(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::vector<uint8_t> BuildBmp(const BmpLayout& s) {
    const size_t table = s.colours != 0 ? s.colours : s.bits <= 8 ? 1u << s.bits : 0;
    const size_t written = s.paletteEntries == SIZE_MAX ? table : s.paletteEntries;
    const size_t rowBytes = (static_cast<size_t>(s.width) * s.bits * s.planes + 31) / 32 * 4;
    const size_t imageBytes = rowBytes * static_cast<size_t>(std::abs(s.height));
    const uint32_t offBits = s.offBits != 0xFFFFFFFF ? s.offBits : 14 + s.headerSize + written * 4;
    std::vector<uint8_t> b;
    Put16(b, 0x4D42);
    Put32(b, static_cast<uint32_t>(offBits + imageBytes));
    Put16(b, s.reserved1);
    Put16(b, 0);
    Put32(b, offBits);
    Put32(b, s.headerSize);
    if (s.headerSize == 12) { // the OS/2 header: 16-bit sizes
        for (int field : {s.width, s.height, s.planes, s.bits})
            Put16(b, field);
    } else {
        Put32(b, s.width);
        Put32(b, s.height);
        Put16(b, s.planes);
        Put16(b, s.bits);
        for (uint32_t field : {s.compression, uint32_t(imageBytes), 0u, 0u, s.colours, 0u})
            Put32(b, field);
        b.resize(b.size() + s.headerSize - 40);
    }
    for (size_t i = 0; i < written; ++i)
        Put32(b, i < s.palette.size() ? s.palette[i] & 0xFFFFFF : 0); // RGBQUAD: B, G, R, 0
    // An offset far beyond the file is written as it is, without the gap.
    if (b.size() < offBits && offBits < (1u << 20)) b.resize(offBits);
    if (s.pixels.empty())
        b.resize(b.size() + imageBytes);
    else
        b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    if (s.truncateTo >= 0) b.resize(static_cast<size_t>(s.truncateTo));
    return b;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Corpus(const std::string& relative) {
    return std::string(LUDORA_CORPORA_DIR) + "/bmpsuite/" + relative;
}

IDirectDrawSurface* MakeSurface(IDirectDraw* dd, int width, int height, int bits) {
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
    f.dwRBitMask = bits == 16 ? 0xF800 : bits == 32 ? 0xFF0000 : 0;
    f.dwGBitMask = bits == 16 ? 0x07E0 : bits == 32 ? 0x00FF00 : 0;
    f.dwBBitMask = bits == 16 ? 0x001F : bits == 32 ? 0x0000FF : 0;
    IDirectDrawSurface* surface = nullptr;
    return SUCCEEDED(dd->CreateSurface(&desc, &surface, nullptr)) ? surface : nullptr;
}

// Locks the surface and visits every pixel's bytes.
template <typename Visit> static bool EachPixel(IDirectDrawSurface* surface, Visit visit) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return false;
    const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            visit(static_cast<uint8_t*>(desc.lpSurface) + desc.lPitch * LONG(y) + x * bytes, bytes,
                  int(x), int(y), int(desc.dwWidth), int(desc.dwHeight));
    surface->Unlock(desc.lpSurface);
    return true;
}

std::vector<uint32_t> ReadPixels(IDirectDrawSurface* surface, int* width, int* height) {
    std::vector<uint32_t> pixels;
    EachPixel(surface, [&](uint8_t* p, int bytes, int, int, int w, int h) {
        uint32_t value = 0;
        std::memcpy(&value, p, bytes);
        pixels.push_back(value);
        if (width) *width = w;
        if (height) *height = h;
    });
    return pixels;
}

bool FillPixels(IDirectDrawSurface* surface, uint32_t (*fn)(int, int, void*), void* context) {
    return EachPixel(surface, [&](uint8_t* p, int bytes, int x, int y, int, int) {
        const uint32_t value = fn(x, y, context);
        std::memcpy(p, &value, bytes);
    });
}

void ZqTest::SetUp() {
    previous_ = std::filesystem::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("zq-" + std::string(info->name()) + "-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
    ZQDebugEnable(0);
    g_pLogFile = nullptr; // as in a fresh process: the first line empties the file
}

void ZqTest::TearDown() {
    ZQDebugEnable(0);
    ZQFreeFont();
    ZQFreeDirectInput();
    ZQFreeDirectX();
    LudoraResetWindows();
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

static LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND ZqTest::MakeWindow(int width, int height, int x, int y) {
    // Registered every time: resetting the windows may forget the class.
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.lpszClassName = "zq test";
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_POPUP | WS_VISIBLE, FALSE);
    HWND window = CreateWindowExA(0, "zq test", "zq test", WS_POPUP | WS_VISIBLE, x, y,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, nullptr, nullptr);
    if (window != nullptr) {
        SetForegroundWindow(window);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return window;
}

} // namespace zqtest
