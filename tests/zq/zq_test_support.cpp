#include "zq_test_support.h"

#include "diagnostics.h"
#include "zq.h"

#include <ludora/harness_window.h>

#include <fstream>
#include <iterator>
#include <random>

namespace zqtest {

std::vector<uint8_t> BuildBmp(const BmpSpec& spec) {
    uint32_t tableEntries = spec.colours;
    if (tableEntries == 0 && spec.bits <= 8) tableEntries = 1u << spec.bits;
    const size_t written = spec.paletteEntries == SIZE_MAX ? tableEntries : spec.paletteEntries;
    const size_t rowBytes =
        (static_cast<size_t>(spec.width) * spec.bits * spec.planes + 31) / 32 * 4;
    const size_t imageBytes =
        rowBytes * static_cast<size_t>(spec.height < 0 ? -spec.height : spec.height);
    const uint32_t offBits = spec.offBits != 0xFFFFFFFF
                                 ? spec.offBits
                                 : static_cast<uint32_t>(14 + spec.headerSize + written * 4);
    Bytes b;
    b.u16(0x4D42);
    b.u32(static_cast<uint32_t>(offBits + imageBytes));
    b.u16(spec.reserved1);
    b.u16(0);
    b.u32(offBits);
    b.u32(spec.headerSize);
    if (spec.headerSize == 12) {
        b.u16(static_cast<unsigned>(spec.width));
        b.u16(static_cast<unsigned>(spec.height));
        b.u16(static_cast<unsigned>(spec.planes));
        b.u16(static_cast<unsigned>(spec.bits));
    } else {
        b.u32(static_cast<uint32_t>(spec.width));
        b.u32(static_cast<uint32_t>(spec.height));
        b.u16(static_cast<unsigned>(spec.planes));
        b.u16(static_cast<unsigned>(spec.bits));
        b.u32(spec.compression);
        b.u32(static_cast<uint32_t>(imageBytes));
        b.u32(0);
        b.u32(0);
        b.u32(spec.colours);
        b.u32(0);
        b.fill(spec.headerSize - 40);
    }
    for (size_t i = 0; i < written; ++i) {
        const uint32_t rgb = i < spec.palette.size() ? spec.palette[i] : 0;
        b.u8(rgb & 0xFF);
        b.u8((rgb >> 8) & 0xFF);
        b.u8((rgb >> 16) & 0xFF);
        b.u8(0);
    }
    // An offset far beyond the file is written as it is, without the gap.
    while (b.data.size() < offBits && offBits < (1u << 20))
        b.u8(0);
    if (spec.pixels.empty())
        b.fill(imageBytes);
    else
        b.data.insert(b.data.end(), spec.pixels.begin(), spec.pixels.end());
    if (spec.truncateTo >= 0) b.data.resize(static_cast<size_t>(spec.truncateTo));
    return b.data;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
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

void ZqTest::SetUp() {
    previous_ = std::filesystem::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("zq-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
               std::to_string(std::random_device{}()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
    ZQDebugEnable(0);
    // Each test starts as a fresh process would: the first log line empties the file.
    g_pLogFile = nullptr;
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
    // Registered for every window: resetting the windows may forget the class.
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = nullptr;
    windowClass.lpszClassName = "zq test";
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, width, height};
    const DWORD style = WS_POPUP | WS_VISIBLE;
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, "zq test", "zq test", style, x, y, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, nullptr, nullptr);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return window;
}

} // namespace zqtest
