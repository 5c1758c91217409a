// Text drawn from several threads at once with one shared font, as GDI allows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// Draws `text` in black on white in a fresh 32-bit memory canvas with `font`
// and returns its pixels.
std::vector<uint32_t> draw(HFONT font, const std::string& text, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    HGDIOBJ old_font = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    TextOutA(dc, 2, 2, text.c_str(), static_cast<int>(text.size()));
    const auto* p = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> pixels(p, p + static_cast<size_t>(width) * height);
    pixels.push_back(static_cast<uint32_t>(extent.cx));
    SelectObject(dc, old_font);
    SelectObject(dc, old_bitmap);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return pixels;
}

TEST(TextThreads, ThreadsSharingAFontDrawWhatOneThreadDraws) {
    std::string text;
    for (int c = 0x21; c < 0x7F; ++c)
        text += static_cast<char>(c);
    HFONT font = CreateFontA(19, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_STROKE_PRECIS,
                             CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    ASSERT_NE(font, nullptr);
    constexpr int kThreads = 4, kWidth = 900, kHeight = 28;
    // The glyphs are first rendered while the threads draw.
    std::vector<std::vector<uint32_t>> results(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] { results[i] = draw(font, text, kWidth, kHeight); });
    for (auto& t : threads)
        t.join();
    const std::vector<uint32_t> alone = draw(font, text, kWidth, kHeight);
    EXPECT_GT(alone.back(), 300u); // the extent: every character was measured
    for (int i = 0; i < kThreads; ++i)
        EXPECT_EQ(results[i], alone) << "thread " << i;
    EXPECT_TRUE(DeleteObject(font)); // no context holds it any more
}

} // namespace
