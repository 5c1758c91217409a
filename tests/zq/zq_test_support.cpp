#include "zq_test_support.h"

#include "diagnostics.h"
#include "zq.h"

#include <ludora/harness_window.h>

#include "tests/support/test_window.h"

namespace zqtest {

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

std::string Corpus(const std::string& relative) {
    return std::string(LUDORA_CORPORA_DIR) + "/bmpsuite/" + relative;
}

void ZqTest::SetUp() {
    scratch_ = std::make_unique<testkit::WorkingFolder>("zq");
    ASSERT_TRUE(scratch_->Made());
    folder_ = scratch_->path;
    ZQDebugEnable(0);
    g_pLogFile = nullptr; // as in a fresh process: the first line empties the file
}

void ZqTest::TearDown() {
    ZQDebugEnable(0);
    ZQFreeFont();
    ZQFreeDirectInput();
    ZQFreeDirectX();
    LudoraResetWindows();
    scratch_.reset();
}

HWND ZqTest::MakeWindow(int width, int height, int x, int y) {
    HWND window = testkit::MakeTestWindow("zq test", width, height, DefWindowProcA, x, y);
    if (window != nullptr) {
        SetForegroundWindow(window);
        testkit::PumpMessages();
    }
    return window;
}

} // namespace zqtest
