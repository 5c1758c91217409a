// Display modes, pixel formats, presentation rectangles and the frame rate.
#include "zq_test_support.h"

#include "diagnostics.h"
#include "display_state.h"
#include "zq.h"

#include <ludora/harness_clock.h>

#include <cstring>

using zqtest::ZqTest;

namespace {

class DisplayModes : public ZqTest {};

DDSURFACEDESC Mode(int width, int height, int bits) {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddpfPixelFormat.dwRGBBitCount = static_cast<DWORD>(bits);
    return desc;
}

TEST_F(DisplayModes, TableKeepsTheFirstHundredModesAndSaysSoFromTheHundredth) {
    ZQDebugEnable(1);
    g_nVideoModes = 0;
    for (int i = 0; i < 105; ++i) {
        DDSURFACEDESC desc = Mode(100 + i, 200 + i, i % 2 ? 16 : 32);
        EXPECT_EQ(DDEnumDisplayModesCallback(&desc, nullptr), DDENUMRET_OK);
    }
    EXPECT_EQ(g_nVideoModes, 100u);
    EXPECT_EQ(ZQCheckDisplayMode(100, 200, 32), 1);
    EXPECT_EQ(ZQCheckDisplayMode(199, 299, 16), 1); // the hundredth
    EXPECT_EQ(ZQCheckDisplayMode(200, 300, 32), 0); // the hundred-and-first was dropped
    EXPECT_EQ(ZQCheckDisplayMode(101, 201, 32), 0); // all three fields must match
    EXPECT_EQ(ZQCheckDisplayMode(101, 201, 16), 1);

    std::string expected;
    for (int i = 0; i < 6; ++i)
        expected += "DDEnumDisplayModesCallback::exceeded NUM_VID_MODES <100>\n\n";
    EXPECT_EQ(Log(), expected);
    g_nVideoModes = 0;
}

DDPIXELFORMAT Format(DWORD flags, DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a) {
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    format.dwFlags = flags;
    format.dwRGBBitCount = bits;
    format.dwRBitMask = r;
    format.dwGBitMask = g;
    format.dwBBitMask = b;
    format.dwRGBAlphaBitMask = a;
    return format;
}

struct Widths {
    int r, g, b, a;
    bool operator==(const Widths&) const = default;
};

Widths WidthsOf(DDPIXELFORMAT format) {
    Widths w{-1, -1, -1, -1};
    ZQGetRGBABits(&format, &w.r, &w.g, &w.b, &w.a);
    return w;
}

TEST_F(DisplayModes, ChannelWidthsOfCommonFormats) {
    EXPECT_EQ(WidthsOf(Format(DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F, 0)), (Widths{5, 6, 5, 0}));
    EXPECT_EQ(WidthsOf(Format(DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F, 0x8000)), (Widths{5, 5, 5, 0}));
    EXPECT_EQ(WidthsOf(Format(DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0x7C00, 0x03E0, 0x001F, 0x8000)),
              (Widths{5, 5, 5, 1}));
    EXPECT_EQ(WidthsOf(Format(DDPF_RGB | DDPF_ALPHAPIXELS, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)),
              (Widths{8, 8, 8, 8}));
    EXPECT_EQ(WidthsOf(Format(DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 0)),
              (Widths{0, 0, 0, 0}));
    EXPECT_EQ(WidthsOf(Format(DDPF_FOURCC, 16, 0xF800, 0x07E0, 0x001F, 0)), (Widths{0, 0, 0, 0}));
    EXPECT_EQ(WidthsOf(Format(DDPF_RGB, 24, 0xFF0000, 0, 0xFF, 0)), (Widths{8, 0, 8, 0}));
}

class PresentationRects : public ZqTest {
protected:
    void Place(int x, int y, int width = 640, int height = 480) {
        g_rcWindow = RECT{0, 0, width, height};
        ComputePresentationRects(x, y, 1024, 768);
    }
    static bool Equal(const RECT& a, const RECT& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

TEST_F(PresentationRects, OnlyThePartOnTheScreenIsPresented) {
    Place(-50, 30);
    EXPECT_TRUE(Equal(g_rcDest, RECT{0, 30, 590, 510}));
    EXPECT_TRUE(Equal(g_rcSource, RECT{50, 0, 640, 480}));

    Place(800, 0);
    EXPECT_TRUE(Equal(g_rcDest, RECT{800, 0, 1024, 480}));
    EXPECT_TRUE(Equal(g_rcSource, RECT{0, 0, 224, 480}));

    Place(100, 700);
    EXPECT_TRUE(Equal(g_rcDest, RECT{100, 700, 740, 768}));
    EXPECT_TRUE(Equal(g_rcSource, RECT{0, 0, 640, 68}));

    Place(-10, -20);
    EXPECT_TRUE(Equal(g_rcDest, RECT{0, 0, 630, 460}));
    EXPECT_TRUE(Equal(g_rcSource, RECT{10, 20, 640, 480}));

    Place(192, 144);
    EXPECT_TRUE(Equal(g_rcDest, RECT{192, 144, 832, 624}));
    EXPECT_TRUE(Equal(g_rcSource, RECT{0, 0, 640, 480}));
}

TEST_F(PresentationRects, BothRectanglesAlwaysHaveTheSameSize) {
    for (int x = -700; x <= 1100; x += 37) {
        for (int y = -500; y <= 800; y += 41) {
            Place(x, y);
            EXPECT_EQ(g_rcDest.right - g_rcDest.left, g_rcSource.right - g_rcSource.left);
            EXPECT_EQ(g_rcDest.bottom - g_rcDest.top, g_rcSource.bottom - g_rcSource.top);
        }
    }
}

class FrameRate : public ZqTest {
protected:
    void SetUp() override {
        ZqTest::SetUp();
        LudoraHoldClock();
    }
    void TearDown() override {
        LudoraReleaseClock();
        ZqTest::TearDown();
    }
};

TEST_F(FrameRate, FramesOfAWindowOfJustOverTwoSecondsAreHalved) {
    ASSERT_EQ(ZQGetLPDD(), nullptr);
    // Whatever came before, a call after more than two seconds closes a window.
    LudoraAdvanceClock(2500);
    EXPECT_EQ(ZQFlip(), 1); // nothing to present yet: only counted
    for (int call = 1; call <= 200; ++call) {
        LudoraAdvanceClock(10);
        ZQFlip();
        if (call == 200) {
            // 2000 ms accumulated is not yet more than two seconds.
            const float before = ZQGetFPS();
            LudoraAdvanceClock(10);
            ZQFlip(); // 2010 ms: 201 frames were counted
            EXPECT_FLOAT_EQ(ZQGetFPS(), 100.5f);
            EXPECT_NE(before, 100.5f);
        }
    }
    // The closing call opened the next window with one frame.
    LudoraAdvanceClock(2001);
    ZQFlip();
    EXPECT_FLOAT_EQ(ZQGetFPS(), 0.5f);
    EXPECT_FLOAT_EQ(g_dwFpsF, 0.5f);
}

TEST_F(FrameRate, SlowFramesGiveTheHalvedCountWithoutCorrection) {
    LudoraAdvanceClock(3000);
    ZQFlip();
    // 61 frames in a 2010 ms window: 30.5, not 30.35. The call that closes
    // a window belongs to the next one.
    for (int i = 0; i < 61; ++i) {
        LudoraAdvanceClock(i < 60 ? 33 : 2010 - 60 * 33);
        ZQFlip();
    }
    EXPECT_FLOAT_EQ(ZQGetFPS(), 30.5f);
}

} // namespace
