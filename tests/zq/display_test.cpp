// Display modes, pixel formats, presentation rectangles and the frame rate.
#include "zq_test_support.h"

#include "display_state.h"
#include "zq.h"

#include <ludora/harness_clock.h>

namespace {

class DisplayModes : public zqtest::ZqTest {};

TEST_F(DisplayModes, TableKeepsTheFirstHundredModesAndSaysSoFromTheHundredth) {
    ZQDebugEnable(1);
    g_nVideoModes = 0;
    for (int i = 0; i < 105; ++i) {
        DDSURFACEDESC mode = {};
        mode.dwSize = sizeof mode;
        mode.dwWidth = 100 + i;
        mode.dwHeight = 200 + i;
        mode.ddpfPixelFormat.dwRGBBitCount = i % 2 ? 16 : 32;
        EXPECT_EQ(DDEnumDisplayModesCallback(&mode, nullptr), DDENUMRET_OK);
    }
    EXPECT_EQ(g_nVideoModes, 100u);
    EXPECT_EQ(ZQCheckDisplayMode(100, 200, 32), 1);
    EXPECT_EQ(ZQCheckDisplayMode(199, 299, 16), 1); // the hundredth
    EXPECT_EQ(ZQCheckDisplayMode(200, 300, 32), 0); // the hundred-and-first was dropped
    EXPECT_EQ(ZQCheckDisplayMode(101, 201, 32), 0); // all three fields must match
    std::string expected;
    for (int i = 0; i < 6; ++i)
        expected += "DDEnumDisplayModesCallback::exceeded NUM_VID_MODES <100>\n\n";
    EXPECT_EQ(Log(), expected);
    g_nVideoModes = 0;
}

TEST_F(DisplayModes, ChannelWidthsOfCommonFormats) {
    auto widths = [](DWORD flags, DWORD r, DWORD g, DWORD b, DWORD a) {
        DDPIXELFORMAT format = {};
        format.dwSize = sizeof format;
        format.dwFlags = flags;
        format.dwRBitMask = r, format.dwGBitMask = g, format.dwBBitMask = b;
        format.dwRGBAlphaBitMask = a;
        int w[4] = {-1, -1, -1, -1};
        ZQGetRGBABits(&format, &w[0], &w[1], &w[2], &w[3]);
        return std::vector<int>(w, w + 4);
    };
    using V = std::vector<int>;
    EXPECT_EQ(widths(DDPF_RGB, 0xF800, 0x07E0, 0x001F, 0), (V{5, 6, 5, 0}));
    EXPECT_EQ(widths(DDPF_RGB, 0x7C00, 0x03E0, 0x001F, 0x8000),
              (V{5, 5, 5, 0})); // alpha not flagged
    EXPECT_EQ(widths(DDPF_RGB | DDPF_ALPHAPIXELS, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
              (V{8, 8, 8, 8}));
    EXPECT_EQ(widths(DDPF_RGB | DDPF_PALETTEINDEXED8, 0, 0, 0, 0), (V{0, 0, 0, 0}));
    EXPECT_EQ(widths(DDPF_FOURCC, 0xF800, 0x07E0, 0x001F, 0), (V{0, 0, 0, 0}));
    EXPECT_EQ(widths(DDPF_RGB, 0xFF0000, 0, 0xFF, 0), (V{8, 0, 8, 0}));
}

class PresentationRects : public zqtest::ZqTest {
protected:
    // Destination and source for a 640 by 480 window on a 1024 by 768 screen.
    static std::vector<LONG> Place(int x, int y) {
        g_rcWindow = RECT{0, 0, 640, 480};
        ComputePresentationRects(x, y, 1024, 768);
        const RECT& d = g_rcDest;
        const RECT& s = g_rcSource;
        return {d.left, d.top, d.right, d.bottom, s.left, s.top, s.right, s.bottom};
    }
};

TEST_F(PresentationRects, OnlyThePartOnTheScreenIsPresented) {
    using V = std::vector<LONG>;
    EXPECT_EQ(Place(-50, 30), (V{0, 30, 590, 510, 50, 0, 640, 480}));
    EXPECT_EQ(Place(800, 0), (V{800, 0, 1024, 480, 0, 0, 224, 480}));
    EXPECT_EQ(Place(100, 700), (V{100, 700, 740, 768, 0, 0, 640, 68}));
    EXPECT_EQ(Place(-10, -20), (V{0, 0, 630, 460, 10, 20, 640, 480}));
    EXPECT_EQ(Place(192, 144), (V{192, 144, 832, 624, 0, 0, 640, 480}));
    for (int x = -700; x <= 1100; x += 37) {
        for (int y = -500; y <= 800; y += 41) {
            const V r = Place(x, y); // both rectangles always have the same size
            EXPECT_EQ(r[2] - r[0], r[6] - r[4]);
            EXPECT_EQ(r[3] - r[1], r[7] - r[5]);
        }
    }
}

class FrameRate : public zqtest::ZqTest {
protected:
    void SetUp() override {
        ZqTest::SetUp();
        LudoraHoldClock();
        // Whatever came before, a call after more than two seconds closes a window.
        LudoraAdvanceClock(2500);
        ZQFlip();
    }
    void TearDown() override {
        LudoraReleaseClock();
        ZqTest::TearDown();
    }
};

TEST_F(FrameRate, CallsTenMillisecondsApartGiveAHundredAndAHalf) {
    ASSERT_EQ(ZQGetLPDD(), nullptr); // nothing to present: frames are only counted
    for (int call = 1; call <= 200; ++call) {
        LudoraAdvanceClock(10);
        EXPECT_EQ(ZQFlip(), 1);
    }
    EXPECT_NE(ZQGetFPS(), 100.5f); // 2000 ms is not yet more than two seconds
    LudoraAdvanceClock(10);
    ZQFlip(); // 2010 ms: 201 frames counted, this call belongs to the next window
    EXPECT_FLOAT_EQ(ZQGetFPS(), 100.5f);
    LudoraAdvanceClock(2001);
    ZQFlip();
    EXPECT_FLOAT_EQ(ZQGetFPS(), 0.5f);
}

TEST_F(FrameRate, TheWindowsRealLengthIsNotCorrectedFor) {
    for (int i = 0; i < 61; ++i) {
        LudoraAdvanceClock(i < 60 ? 33 : 2010 - 60 * 33);
        ZQFlip();
    }
    EXPECT_FLOAT_EQ(ZQGetFPS(), 30.5f); // 61 frames in 2010 ms, not 30.35
}

} // namespace
