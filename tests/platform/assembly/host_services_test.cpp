// The host services table through the harness: the layer's own services are
// the window area's, and a test may put its own in their place and take them
// back.
#include <ddraw.h>
#include <ludora/harness.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Recorded {
    HWND window = nullptr;
    int width = 0, height = 0, fullscreen = -1;
    uint32_t first = 0;
};
std::vector<Recorded> g_recorded;

void record_present(HWND window, const uint32_t* xrgb, int width, int height, int, int fullscreen) {
    g_recorded.push_back({window, width, height, fullscreen, xrgb ? xrgb[0] : 0});
}

int g_lost_calls = 0;
void count_lose() {
    ++g_lost_calls;
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

class HostServices : public ::testing::Test {
protected:
    void SetUp() override {
        LudoraResetWindows();
        g_recorded.clear();
        g_lost_calls = 0;
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "Seam Class";
        ASSERT_NE(RegisterClassA(&wc), 0);
        // A captioned window: its client area starts inside the frame.
        hwnd = CreateWindowExA(0, "Seam Class", "Seam", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 40,
                               30, 200, 150, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
    }
    void TearDown() override {
        LudoraSetHostServices(nullptr);
        LudoraResetWindows();
    }

    // A windowed DirectDraw display of the window, its primary filled with `colour`.
    void present_filled(DWORD colour) {
        IDirectDraw* dd = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        ASSERT_EQ(dd->SetCooperativeLevel(hwnd, DDSCL_NORMAL), DD_OK);
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface* primary = nullptr;
        ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        fx.dwFillColor = colour;
        EXPECT_EQ(primary->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx),
                  DD_OK);
        primary->Release();
        dd->Release();
    }

    HWND hwnd = nullptr;
};

} // namespace

TEST_F(HostServices, TheLayersOwnServicesAreTheWindowAreas) {
    LudoraHostServices own{};
    LudoraGetHostServices(&own);
    ASSERT_NE(own.present, nullptr);
    ASSERT_NE(own.client_on_screen, nullptr);
    ASSERT_NE(own.lose_all_surfaces, nullptr);

    // The client area on the screen: inside the frame and below the caption.
    RECT client{};
    ASSERT_TRUE(own.client_on_screen(hwnd, &client));
    const int frame_x = GetSystemMetrics(SM_CXFIXEDFRAME);
    const int frame_y = GetSystemMetrics(SM_CYFIXEDFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(client.left, 40 + frame_x);
    EXPECT_EQ(client.top, 30 + frame_y + caption);
    EXPECT_EQ(client.right, 40 + 200 - frame_x);
    EXPECT_EQ(client.bottom, 30 + 150 - frame_y);
    EXPECT_FALSE(own.client_on_screen(nullptr, &client));
    EXPECT_FALSE(own.client_on_screen(hwnd, nullptr));

    // DirectDraw's frames reach the window area.
    present_filled(0xFFFF);
    int width = 0, height = 0;
    ASSERT_TRUE(LudoraLastFrameSize(&width, &height));
    EXPECT_EQ(width, 200 - 2 * frame_x);
    EXPECT_EQ(height, 150 - 2 * frame_y - caption);
}

TEST_F(HostServices, ATestMayStandInForAnAreaAndStepAside) {
    LudoraHostServices stand_in{};
    stand_in.present = record_present;
    stand_in.lose_all_surfaces = count_lose;
    LudoraSetHostServices(&stand_in);
    present_filled(0xF800); // pure red in 5-6-5
    ASSERT_EQ(g_recorded.size(), 1u);
    EXPECT_EQ(g_recorded[0].window, hwnd);
    EXPECT_EQ(g_recorded[0].fullscreen, 0);
    EXPECT_EQ(g_recorded[0].first, 0x00FF0000u);
    EXPECT_FALSE(LudoraLastFrameSize(nullptr, nullptr)) << "the window area saw nothing";
    // The entry left null is still the window area's: the frame has the client's size.
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(g_recorded[0].width, client.right);
    EXPECT_EQ(g_recorded[0].height, client.bottom);
    // The script's `lose` goes to the stand-in too.
    LudoraRunScript("lose\n");
    pump();
    EXPECT_EQ(g_lost_calls, 1);

    LudoraSetHostServices(nullptr);
    present_filled(0x001F);
    EXPECT_EQ(g_recorded.size(), 1u);
    EXPECT_TRUE(LudoraLastFrameSize(nullptr, nullptr));
}
