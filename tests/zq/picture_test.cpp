// A whole frame as a program makes it: display start-up (windowed, then
// full-screen), a loaded picture, text from both text functions, presentation
// and a shot, compared with the same picture composed independently in a DIB.
#include "zq_test_support.h"

#include "zq.h"

#include <ludora/harness_video.h>
#include <ludora/harness_window.h>

#include <cstdlib>

using zqtest::BmpLayout;
using zqtest::ZqTest;

namespace {

const int kPictureWidth = 64;
const int kPictureHeight = 48;
const int kPictureX = 30;
const int kPictureY = 40;
const uint32_t kBackground = 0x203040;

uint32_t PicturePixel(int x, int y) {
    return static_cast<uint32_t>((x * 4) << 16 | (y * 5) << 8 | ((x + y) * 2));
}

void WritePicture(const char* path) {
    BmpLayout layout;
    layout.width = kPictureWidth;
    layout.height = kPictureHeight;
    for (int y = kPictureHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const uint32_t rgb = PicturePixel(x, y);
            layout.pixels.push_back(rgb & 0xFF);
            layout.pixels.push_back((rgb >> 8) & 0xFF);
            layout.pixels.push_back((rgb >> 16) & 0xFF);
        }
    }
    zqtest::WriteBytes(path, zqtest::BuildBmp(layout));
}

// The expected frame: background, picture and both texts drawn by GDI into a
// 32-bit DIB section.
std::vector<uint32_t> Expected(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    std::vector<uint32_t> frame;
    if (dib == nullptr || bits == nullptr) return frame;
    uint32_t* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i)
        pixels[i] = kBackground;
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            pixels[(kPictureY + y) * width + kPictureX + x] = PicturePixel(x, y);

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previousBitmap = SelectObject(dc, dib);
    HFONT font =
        CreateFontA(24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_STROKE_PRECIS,
                    CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0x000000FF);
    TextOutA(dc, 120, 60, "Pearlwreck", 10);
    SelectObject(dc, previousFont);
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, 0x008080FF);
    TextOutA(dc, 200, 0, "61.50", 5);
    frame.assign(pixels, pixels + width * height);
    SelectObject(dc, previousBitmap);
    DeleteDC(dc);
    DeleteObject(font);
    DeleteObject(dib);
    return frame;
}

// A shot file's pixels, top row first, as 0x00RRGGBB.
std::vector<uint32_t> ReadShot(const char* path, int* width, int* height) {
    const std::vector<uint8_t> file = zqtest::ReadBytes(path);
    std::vector<uint32_t> pixels;
    if (file.size() < 54) return pixels;
    int32_t w, h;
    uint32_t offBits;
    uint16_t bits;
    std::memcpy(&offBits, file.data() + 10, 4);
    std::memcpy(&w, file.data() + 18, 4);
    std::memcpy(&h, file.data() + 22, 4);
    std::memcpy(&bits, file.data() + 28, 2);
    if (bits != 24) return pixels;
    const bool bottomUp = h > 0;
    h = std::abs(h);
    const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
    if (file.size() < offBits + rowBytes * h) return pixels;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = file.data() + offBits + rowBytes * (bottomUp ? h - 1 - y : y);
        for (int x = 0; x < w; ++x)
            pixels.push_back(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16);
    }
    *width = w;
    *height = h;
    return pixels;
}

// Equal within what a 16-bit display keeps of each channel.
bool Close(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(d) > 12) return false;
    }
    return true;
}

class Picture : public ZqTest {
protected:
    // Draws the frame through zq, presents it and compares the shot.
    void DrawPresentAndCompare(int width, int height) {
        IDirectDrawSurface* back = nullptr;
        ZQGetDDInfo(nullptr, &back);
        ASSERT_NE(back, nullptr);
        DDBLTFX fx = {};
        fx.dwSize = sizeof fx;
        DDSURFACEDESC desc;
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        back->GetSurfaceDesc(&desc);
        ASSERT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
        fx.dwFillColor = zqtest::To565(kBackground);
        ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);

        IDirectDrawSurface* picture = ZQLoadBitmap("..\\Pictures\\Tile.BMP", 16);
        ASSERT_NE(picture, nullptr);
        RECT target = {kPictureX, kPictureY, kPictureX + kPictureWidth, kPictureY + kPictureHeight};
        ASSERT_EQ(back->Blt(&target, picture, nullptr, DDBLT_WAIT, nullptr), DD_OK);
        picture->Release();

        ASSERT_EQ(ZQDrawText(back, "Pearlwreck", 120, 60, 0x000000FF, ZQ_FONT_24), 1);
        ASSERT_EQ(ZQPrintString("61.50", 200, 0), 1);
        ASSERT_EQ(ZQFlip(), 1);
        ASSERT_EQ(LudoraSaveShot("shot.bmp"), 1);

        int shotWidth = 0, shotHeight = 0;
        const std::vector<uint32_t> shot = ReadShot("shot.bmp", &shotWidth, &shotHeight);
        ASSERT_EQ(shotWidth, width);
        ASSERT_EQ(shotHeight, height);
        const std::vector<uint32_t> expected = Expected(width, height);
        ASSERT_EQ(expected.size(), shot.size());
        int differing = 0;
        for (size_t i = 0; i < shot.size(); ++i) {
            if (Close(shot[i], expected[i])) continue;
            if (++differing <= 5)
                ADD_FAILURE() << "pixel " << i % width << "," << i / width << ": shot " << std::hex
                              << shot[i] << " expected " << expected[i];
        }
        EXPECT_EQ(differing, 0);
    }
};

TEST_F(Picture, WindowedFrameMatchesTheComposedPicture) {
    std::filesystem::create_directories("pictures");
    WritePicture("pictures/tile.bmp");
    std::filesystem::create_directories("game");
    std::filesystem::current_path("game");
    HWND window = MakeWindow(320, 200, 40, 30);
    ASSERT_EQ(ZQInitDirectX(window, 320, 200), 1);
    ZQInitFont(window);
    DrawPresentAndCompare(320, 200);
}

TEST_F(Picture, FullScreenFrameMatchesTheComposedPicture) {
    std::filesystem::create_directories("pictures");
    WritePicture("pictures/tile.bmp");
    std::filesystem::create_directories("game");
    std::filesystem::current_path("game");
    HWND window = MakeWindow(800, 600);
    ASSERT_EQ(ZQInitDirectX(window, 800, 600, 16), 1);
    ZQInitFont(window);
    DrawPresentAndCompare(800, 600);
}

} // namespace
