// Start-up in both modes, the object trace, presentation and lost surfaces,
// against the layer's DirectDraw.
#include "zq_test_support.h"

#include "diagnostics.h"
#include "display_state.h"
#include "zq.h"

#include <ludora/harness_video.h>

#include <regex>
#include <sstream>

namespace {

// Each expected line starts a line of the log, in this order; addresses are "<P>".
void ExpectInOrder(const std::string& log, const std::vector<std::string>& expected) {
    std::istringstream in(std::regex_replace(log, std::regex("<[^>]*>"), "<P>"));
    std::string line;
    for (const std::string& want : expected) {
        bool found = false;
        while (!found && std::getline(in, line))
            found = line.rfind(want, 0) == 0;
        ASSERT_TRUE(found) << "missing or out of order: " << want << "\nin:\n" << log;
    }
}

int Screen(int index) {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return value;
}

class Display : public zqtest::ZqTest {
protected:
    IDirectDrawSurface* Primary() {
        IDirectDrawSurface* primary = nullptr;
        ZQGetDDInfo(&primary, nullptr);
        return primary;
    }
    IDirectDrawSurface* Back() {
        IDirectDrawSurface* back = nullptr;
        ZQGetDDInfo(nullptr, &back);
        return back;
    }
};

TEST_F(Display, WindowedStartUpTracesEveryObjectAndReleasesThemOnce) {
    HWND window = MakeWindow(640, 480, 100, 60);
    ZQDebugEnable(1);
    ASSERT_EQ(ZQInitDirectX(window, 640, 480), 1);
    ASSERT_NE(Primary(), nullptr);
    int width = 0, height = 0;
    zqtest::ReadPixels(Back(), &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    // The desktop's own mode is listed like any other.
    EXPECT_EQ(ZQCheckDisplayMode(Screen(HORZRES), Screen(VERTRES), ZQGetDisplayBPP()), 1);

    ZQFreeDirectX();
    ZQFreeDirectX();
    EXPECT_EQ(ZQGetLPDD(), nullptr);
    ExpectInOrder(Log(), {"ZQInitDirectX : width=640,height=480",
                          "InitDirectX(), width=",
                          "DDEnumCallback()",
                          "DirectDrawEnumerate",
                          "CREATE:<P>InitDirectX : g_lpDD",
                          "EnterVideoModeWHBD(640,480,",
                          "RestoreDisplayMode",
                          "SetCooperativeLevel(NORMAL)",
                          "CREATE:<P>EnterVideoMode : g_lpPrimary",
                          "CREATE:<P>EnterVideoMode : g_lpClipper",
                          "CREATE:<P>EnterVideoMode : g_lpBackBuffer",
                          "Primary Pitch = ",
                          "Backbuffer Pitch = ",
                          "RELEASE:<P>g_lpBackBuffer->Release()=0",
                          "RELEASE:<P>g_lpPrimary->Release()=0",
                          "RELEASE:<P>g_lpClipper->Release()=",
                          "RELEASE:<P>g_lpDD->Release()=",
                          "RELEASE:<P>g_lpBackBuffer already NULL",
                          "RELEASE:<P>g_lpPrimary already NULL",
                          "RELEASE:<P>g_lpClipper already NULL",
                          "RELEASE:<P>g_lpDD already NULL"});
}

TEST_F(Display, WindowOffTheScreenIsPresentedFromItsVisiblePart) {
    HWND window = MakeWindow(320, 200, -50, 30);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    ASSERT_EQ(ZQInitDirectX(window), 1); // the back buffer takes the client size
    EXPECT_EQ(g_rcWindow.right, 320);
    EXPECT_EQ(g_rcWindow.bottom, 200);
    EXPECT_EQ(g_rcDest.left, std::max<LONG>(origin.x, 0));
    EXPECT_EQ(g_rcSource.left, std::max<LONG>(-origin.x, 0));
    ZQSetWindowXY(Screen(HORZRES) - 224, 0);
    EXPECT_EQ(g_rcDest.right, Screen(HORZRES));
    EXPECT_EQ(g_rcSource.right, 224);
}

TEST_F(Display, FullScreenHasAFlippingChainAndSwitchingBackRestoresTheDesktop) {
    ASSERT_EQ(ZQInitDirectX(MakeWindow(800, 600), 800, 600, 16), 1);
    EXPECT_EQ(g_rcDest.right, 800);
    EXPECT_EQ(g_rcSource.bottom, 600);
    EXPECT_EQ(ZQCheckDisplayMode(800, 600, 16), 1);
    ASSERT_NE(Back(), nullptr);
    DDSCAPS caps = {};
    ASSERT_EQ(Primary()->GetCaps(&caps), DD_OK);
    EXPECT_NE(caps.dwCaps & DDSCAPS_FLIP, 0u);
    EXPECT_EQ(caps.dwCaps & DDSCAPS_MODEX, 0u);
    IDirectDrawPalette* palette = nullptr;
    EXPECT_NE(Primary()->GetPalette(&palette), DD_OK); // no palette at 16 bits
    // Full-screen, the excluded area is ignored: the chain flips.
    zqtest::FillPixels(Back(), [](int, int) -> uint32_t { return 0xF800; });
    RECT area = {0, 0, 800, 600};
    EXPECT_EQ(ZQFlipExcludeRect(area), 1);
    uint32_t xrgb = 0;
    EXPECT_EQ(LudoraReadScreenPixel(400, 300, &xrgb), 1);
    EXPECT_EQ(xrgb, 0xFF0000u);

    ZQDebugEnable(1);
    ASSERT_EQ(ZQInitDirectX(MakeWindow(320, 240), 320, 240), 1);
    EXPECT_EQ(g_FullScreen, 0);
    ExpectInOrder(Log(),
                  {"SetDirectDrawWindowMode", "ZQInitDirectX : width=320,height=240",
                   "RELEASE:<P>g_lpBackBuffer", "InitDirectX(), width=800,height=600,bitdepth=16"});
}

TEST_F(Display, LowResolutionFullScreenIsModeXAndTracedInOrder) {
    for (int height : {240, 200}) {
        SCOPED_TRACE(height);
        ZQDebugEnable(1);
        ASSERT_EQ(ZQInitDirectX(MakeWindow(320, height), 320, height, 16), 1);
        DDSCAPS caps = {};
        ASSERT_EQ(Primary()->GetCaps(&caps), DD_OK);
        EXPECT_NE(caps.dwCaps & DDSCAPS_MODEX, 0u);
        ZQFreeDirectX();
        const std::string size = "320," + std::to_string(height);
        ExpectInOrder(
            Log(),
            {"InitDirectX(), width=320,height=" + std::to_string(height) + ",bitdepth=16",
             "EnterVideoModeWHBD(" + size + ",16),g_FullScreen=1", "SetCooperativeLevel(EXCLUSIVE)",
             "SetDisplayMode(" + size + ",16)", "CREATE:<P>EnterVideoMode : g_lpPrimary",
             "CREATE:<P>EnterVideoMode : g_lpBackBuffer",
             "Primary Pitch = ", "Backbuffer Pitch = ", "RELEASE:<P>g_lpBackBuffer->Release()=",
             "RELEASE:<P>g_lpPrimary->Release()=", "RELEASE:<P>g_lpClipper already NULL",
             "RestoreDisplayMode()", "RELEASE:<P>g_lpDD->Release()="});
        ZQDebugEnable(0);
        g_pLogFile = nullptr;
    }
}

TEST_F(Display, FullScreenEightBitsSharesOneBlackPalette) {
    if (ZQInitDirectX(MakeWindow(640, 480), 640, 480, 8) != 1) GTEST_SKIP() << "no 8-bit mode";
    IDirectDrawPalette* onPrimary = nullptr;
    IDirectDrawPalette* onBack = nullptr;
    ASSERT_EQ(Primary()->GetPalette(&onPrimary), DD_OK);
    ASSERT_EQ(Back()->GetPalette(&onBack), DD_OK);
    EXPECT_EQ(onPrimary, onBack);
    PALETTEENTRY entries[256];
    ASSERT_EQ(onPrimary->GetEntries(0, 0, 256, entries), DD_OK);
    for (const PALETTEENTRY& entry : entries)
        EXPECT_EQ(entry.peRed | entry.peGreen | entry.peBlue, 0);
    onPrimary->Release();
    onBack->Release();
}

TEST_F(Display, FailedStartUpIsReportedAgainstTheModule) {
    HWND window = MakeWindow(640, 480);
    ZQDebugEnable(1);
    EXPECT_EQ(ZQInitDirectX(window, 123, 45, 16), 0);
    EXPECT_TRUE(std::regex_search(Log(), std::regex("DirectDraw Error DDERR_[A-Z]+\nin file "
                                                    "zq/directx.cpp at line [0-9]+\n")))
        << Log();
    EXPECT_EQ(Primary(), nullptr); // whatever exists is handed out
    EXPECT_EQ(ZQFlip(), 1);        // nothing to present
}

class Presentation : public Display {
protected:
    void SetUp() override {
        Display::SetUp();
        ASSERT_EQ(ZQInitDirectX(MakeWindow(320, 240, 200, 100), 320, 240), 1);
        ASSERT_EQ(ZQGetDisplayBPP(), 16u);
    }
    void Fill(uint32_t rgb) {
        zqtest::FillPixels(Back(), [&](int, int) -> uint32_t { return zqtest::To565(rgb); });
    }
    uint32_t At(int x, int y) {
        uint32_t xrgb = 0xDEADBEEF;
        EXPECT_EQ(LudoraReadScreenPixel(g_rcDest.left + x, g_rcDest.top + y, &xrgb), 1);
        return xrgb;
    }
};

TEST_F(Presentation, FlipCopiesTheBackBufferWhichKeepsItsPicture) {
    Fill(0xFF0000);
    EXPECT_EQ(ZQFlip(), 1);
    EXPECT_EQ(At(0, 0), 0xFF0000u);
    EXPECT_EQ(At(319, 239), 0xFF0000u);
    EXPECT_EQ(zqtest::ReadPixels(Back()).front(), 0xF800u);
}

TEST_F(Presentation, LostSurfacesAreRestoredAndPresentedInTheSameCall) {
    LudoraLoseAllSurfaces();
    EXPECT_NE(Primary()->IsLost(), DD_OK);
    Fill(0x00FF00);
    EXPECT_EQ(ZQFlip(), 1);
    EXPECT_EQ(Primary()->IsLost(), DD_OK);
    EXPECT_EQ(Back()->IsLost(), DD_OK);
    EXPECT_EQ(At(5, 5), 0x00FF00u);
}

TEST_F(Presentation, ExcludedAreaIsLeftAsItWas) {
    Fill(0xFF0000);
    ZQFlip();
    Fill(0xFFFFFF);
    RECT everything = {0, 0, 320, 240};
    EXPECT_EQ(ZQFlipExcludeRect(everything), 1);
    EXPECT_EQ(At(0, 0), 0xFF0000u);
    EXPECT_EQ(At(319, 239), 0xFF0000u);
    RECT middle = {100, 50, 200, 150};
    EXPECT_EQ(ZQFlipExcludeRect(middle), 1);
    EXPECT_EQ(At(150, 100), 0xFF0000u);
    for (POINT strip : {POINT{99, 100}, POINT{200, 100}, POINT{150, 49}, POINT{150, 150}})
        EXPECT_EQ(At(strip.x, strip.y), 0xFFFFFFu) << strip.x << "," << strip.y;
}

TEST_F(Presentation, StatisticsLineCanBeSwitchedOffAndMemoryIsLogged) {
    Fill(0x000000);
    g_dwFpsF = 42.0f;
    ZQShowFPS(0);
    ZQShowStats();
    const std::vector<uint32_t> blank = zqtest::ReadPixels(Back());
    EXPECT_EQ(blank, std::vector<uint32_t>(blank.size(), 0));
    ZQShowFPS(1);
    ZQShowStats();
    // "FPS:42.00" sits centred on the bottom line of the mode.
    const std::vector<uint32_t> stats = zqtest::ReadPixels(Back());
    int left = 320, top = 240;
    for (int i = 0; i < 320 * 240; ++i) {
        if (stats[i] == 0) continue;
        left = std::min(left, i % 320);
        top = std::min(top, i / 320);
    }
    const int charWidth = static_cast<int>(ZQGetCharWidth());
    EXPECT_GE(top, 240 - static_cast<int>(ZQGetFontHeight()));
    EXPECT_LT(top, 240);
    EXPECT_GE(left, 160 - 9 * charWidth / 2);
    EXPECT_LT(left, 160 - 9 * charWidth / 2 + charWidth);

    ZQDebugEnable(1);
    unsigned long total = 7, free = 7;
    ZQVideoMemoryStats(total, free);
    EXPECT_EQ(total, g_dwVidMemTotal);
    EXPECT_EQ(free, g_dwVidMemFree);
    EXPECT_NE(Log().find("ZQVideoMemoryStats : total="), std::string::npos);
}

} // namespace
