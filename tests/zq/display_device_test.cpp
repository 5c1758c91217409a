// Start-up in both modes, the object trace, presentation and lost surfaces,
// against the layer's DirectDraw.
#include "zq_test_support.h"

#include "diagnostics.h"
#include "display_state.h"
#include "surface_helpers.h"
#include "zq.h"

#include <ludora/harness_video.h>

#include <regex>
#include <sstream>

using zqtest::ZqTest;

namespace {

// The log with every address replaced by "P".
std::vector<std::string> Lines(const std::string& log) {
    const std::string plain = std::regex_replace(log, std::regex("<[^>]*>"), "<P>");
    std::vector<std::string> lines;
    std::istringstream in(plain);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Each expected line appears, in this order (other lines may come between).
void ExpectInOrder(const std::vector<std::string>& lines,
                   const std::vector<std::string>& expected) {
    size_t at = 0;
    for (const std::string& want : expected) {
        while (at < lines.size() && lines[at].rfind(want, 0) != 0)
            ++at;
        EXPECT_LT(at, lines.size()) << "missing or out of order: " << want;
        if (at == lines.size()) return;
        ++at;
    }
}

int ScreenWidth() {
    HDC screen = GetDC(nullptr);
    const int width = GetDeviceCaps(screen, HORZRES);
    ReleaseDC(nullptr, screen);
    return width;
}

int ScreenHeight() {
    HDC screen = GetDC(nullptr);
    const int height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    return height;
}

uint32_t Screen(int x, int y) {
    uint32_t xrgb = 0xDEADBEEF;
    EXPECT_EQ(LudoraReadScreenPixel(x, y, &xrgb), 1);
    return xrgb;
}

class Display : public ZqTest {};

TEST_F(Display, WindowedStartUpTracesEveryObjectAndReleasesThemOnce) {
    HWND window = MakeWindow(640, 480, 100, 60);
    ASSERT_NE(window, nullptr);
    ZQDebugEnable(1);
    ASSERT_EQ(ZQInitDirectX(window, 640, 480), 1);
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    ZQGetDDInfo(&primary, &back);
    EXPECT_NE(primary, nullptr);
    EXPECT_NE(back, nullptr);
    EXPECT_NE(ZQGetLPDD(), nullptr);
    EXPECT_GE(ZQGetDisplayBPP(), 15u);
    // The desktop's own mode is listed like any other.
    EXPECT_EQ(
        ZQCheckDisplayMode(ScreenWidth(), ScreenHeight(), static_cast<int>(ZQGetDisplayBPP())), 1);

    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    ASSERT_EQ(back->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 640u);
    EXPECT_EQ(desc.dwHeight, 480u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, ZQGetDisplayBPP());

    ZQFreeDirectX();
    ZQFreeDirectX();
    ExpectInOrder(Lines(Log()), {
                                    "ZQInitDirectX : width=640,height=480",
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
                                    "RELEASE:<P>g_lpDD already NULL",
                                });
    EXPECT_EQ(ZQGetLPDD(), nullptr);
}

TEST_F(Display, WindowOffTheLeftEdgeIsPresentedFromItsVisiblePart) {
    HWND window = MakeWindow(640, 480, -50, 30);
    ASSERT_NE(window, nullptr);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    ASSERT_EQ(ZQInitDirectX(window, 640, 480), 1);
    EXPECT_EQ(g_rcDest.left, origin.x < 0 ? 0 : origin.x);
    EXPECT_EQ(g_rcSource.left, origin.x < 0 ? -origin.x : 0);
    EXPECT_EQ(g_rcDest.right - g_rcDest.left, g_rcSource.right - g_rcSource.left);

    // Moving the window right past the screen's edge.
    const int screenWidth = ScreenWidth();
    ZQSetWindowXY(screenWidth - 224, 0);
    EXPECT_EQ(g_rcDest.left, screenWidth - 224);
    EXPECT_EQ(g_rcDest.right, screenWidth);
    EXPECT_EQ(g_rcSource.left, 0);
    EXPECT_EQ(g_rcSource.right, 224);
    EXPECT_EQ(g_rcSource.bottom, 480);
}

TEST_F(Display, WindowAloneTakesItsClientSize) {
    HWND window = MakeWindow(320, 200, 10, 10);
    ASSERT_EQ(ZQInitDirectX(window), 1);
    EXPECT_EQ(g_rcWindow.right, 320);
    EXPECT_EQ(g_rcWindow.bottom, 200);
    IDirectDrawSurface* back = nullptr;
    ZQGetDDInfo(nullptr, &back);
    ASSERT_NE(back, nullptr);
    int width = 0, height = 0;
    zqtest::ReadPixels(back, &width, &height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
}

TEST_F(Display, FullScreenHasAFlippingChainAndNoPaletteAtSixteenBits) {
    HWND window = MakeWindow(800, 600);
    ASSERT_EQ(ZQInitDirectX(window, 800, 600, 16), 1);
    EXPECT_EQ(g_FullScreen, 1);
    EXPECT_EQ(g_rcDest.right, 800);
    EXPECT_EQ(g_rcSource.bottom, 600);
    EXPECT_EQ(ZQCheckDisplayMode(800, 600, 16), 1);
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    ZQGetDDInfo(&primary, &back);
    ASSERT_NE(primary, nullptr);
    ASSERT_NE(back, nullptr);
    DDSCAPS caps = {};
    ASSERT_EQ(primary->GetCaps(&caps), DD_OK);
    EXPECT_NE(caps.dwCaps & DDSCAPS_FLIP, 0u);
    EXPECT_EQ(caps.dwCaps & DDSCAPS_MODEX, 0u);
    IDirectDrawPalette* palette = nullptr;
    EXPECT_NE(primary->GetPalette(&palette), DD_OK);

    // Back to a window: the display mode is restored first.
    ZQDebugEnable(1);
    HWND small = MakeWindow(320, 240, 0, 0);
    ASSERT_EQ(ZQInitDirectX(small, 320, 240), 1);
    EXPECT_EQ(g_FullScreen, 0);
    ExpectInOrder(Lines(Log()),
                  {"SetDirectDrawWindowMode", "ZQInitDirectX : width=320,height=240",
                   "RELEASE:<P>g_lpBackBuffer", "InitDirectX(), width=800,height=600,bitdepth=16"});
}

TEST_F(Display, FullScreenEightBitsAttachesOneBlackPaletteToBothSurfaces) {
    HWND window = MakeWindow(640, 480);
    if (ZQInitDirectX(window, 640, 480, 8) != 1) GTEST_SKIP() << "no 8-bit mode on this display";
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    ZQGetDDInfo(&primary, &back);
    IDirectDrawPalette* onPrimary = nullptr;
    IDirectDrawPalette* onBack = nullptr;
    ASSERT_EQ(primary->GetPalette(&onPrimary), DD_OK);
    ASSERT_EQ(back->GetPalette(&onBack), DD_OK);
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
    const std::string log = Log();
    EXPECT_NE(log.find("DirectDraw Error DDERR_"), std::string::npos) << log;
    EXPECT_NE(log.find("\nin file zq/directx.cpp at line "), std::string::npos) << log;
    IDirectDrawSurface* primary = reinterpret_cast<IDirectDrawSurface*>(1);
    ZQGetDDInfo(&primary, nullptr);
    EXPECT_EQ(primary, nullptr);
    EXPECT_EQ(ZQFlip(), 1); // nothing to present
}

class Presentation : public ZqTest {
protected:
    void SetUp() override {
        ZqTest::SetUp();
        HWND window = MakeWindow(320, 240, 200, 100);
        ASSERT_EQ(ZQInitDirectX(window, 320, 240), 1);
        ZQGetDDInfo(&primary_, &back_);
        ASSERT_NE(back_, nullptr);
        DDSURFACEDESC desc;
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        back_->GetSurfaceDesc(&desc);
        is565_ =
            desc.ddpfPixelFormat.dwRBitMask == 0xF800 && desc.ddpfPixelFormat.dwGBitMask == 0x07E0;
    }
    void Fill(uint32_t rgb) {
        zqtest::FillPixels(back_, [&](int, int) { return is565_ ? zqtest::To565(rgb) : rgb; });
    }
    uint32_t At(int x, int y) { return Screen(g_rcDest.left + x, g_rcDest.top + y); }
    IDirectDrawSurface* primary_ = nullptr;
    IDirectDrawSurface* back_ = nullptr;
    bool is565_ = false;
};

TEST_F(Presentation, FlipCopiesTheBackBufferAndKeepsIt) {
    Fill(0xFF0000);
    EXPECT_EQ(ZQFlip(), 1);
    EXPECT_EQ(At(0, 0), 0xFF0000u);
    EXPECT_EQ(At(319, 239), 0xFF0000u);
    // The back buffer keeps its picture after presentation.
    const std::vector<uint32_t> pixels = zqtest::ReadPixels(back_);
    EXPECT_EQ(pixels.front(), is565_ ? 0xF800u : 0xFF0000u);
}

TEST_F(Presentation, LostSurfacesAreRestoredAndPresentedInTheSameCall) {
    Fill(0x0000FF);
    LudoraLoseAllSurfaces();
    EXPECT_NE(primary_->IsLost(), DD_OK);
    EXPECT_EQ(ZQFlip(), 1);
    EXPECT_EQ(primary_->IsLost(), DD_OK);
    EXPECT_EQ(back_->IsLost(), DD_OK);
    Fill(0x00FF00);
    EXPECT_EQ(ZQFlip(), 1);
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
    EXPECT_EQ(At(150, 100), 0xFF0000u); // inside: untouched
    EXPECT_EQ(At(99, 100), 0xFFFFFFu);  // left strip
    EXPECT_EQ(At(200, 100), 0xFFFFFFu); // right strip
    EXPECT_EQ(At(150, 49), 0xFFFFFFu);  // top strip
    EXPECT_EQ(At(150, 150), 0xFFFFFFu); // bottom strip
}

TEST_F(Presentation, StatisticsLineCanBeSwitchedOff) {
    Fill(0x000000);
    g_dwFpsF = 42.0f;
    ZQShowFPS(0);
    ZQShowStats();
    const std::vector<uint32_t> blank = zqtest::ReadPixels(back_);
    for (uint32_t pixel : blank)
        ASSERT_EQ(pixel, 0u);
    ZQShowFPS(1);
    ZQShowStats();
    const std::vector<uint32_t> drawn = zqtest::ReadPixels(back_);
    EXPECT_NE(drawn, blank);
}

TEST_F(Presentation, VideoMemoryFiguresAreLogged) {
    ZQDebugEnable(1);
    unsigned long total = 7, free = 7;
    ZQVideoMemoryStats(total, free);
    EXPECT_EQ(total, g_dwVidMemTotal);
    EXPECT_EQ(free, g_dwVidMemFree);
    EXPECT_NE(Log().find("ZQVideoMemoryStats : total="), std::string::npos);
}

} // namespace
