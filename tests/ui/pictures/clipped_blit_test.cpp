// The clipped blit: the destination rectangle is cut to the target's bounds
// and the source by the same amounts; blue is transparent unless asked otherwise.
#include "picture_fixture.h"

#include "ui/pictures/clipped_blit.h"

using namespace picturetest;

namespace {

class ClippedBlitTest : public PictureTest {
protected:
    static constexpr int TargetWidth = 20;
    static constexpr int TargetHeight = 16;
    static constexpr int SourceSize = 8;

    void SetUp() override {
        PictureTest::SetUp();
        target = MakeSurface(TargetWidth, TargetHeight);
        source = MakeSurface(SourceSize, SourceSize);
        ASSERT_NE(target, nullptr);
        ASSERT_NE(source, nullptr);
        FillSurface(target, 0);
        // Every source pixel tells where it came from: 1 + x + 8 y.
        for (int y = 0; y < SourceSize; ++y)
            for (int x = 0; x < SourceSize; ++x)
                SetPixelAt(source, x, y, SourceValue(x, y));
    }
    void TearDown() override {
        if (target) target->Release();
        if (source) source->Release();
        PictureTest::TearDown();
    }
    static uint32_t SourceValue(int x, int y) { return 0x100 + x + 8 * y; }

    // The target after a blit of the whole source at (dx, dy): every covered
    // pixel shows the source pixel it lies over, the rest stays 0.
    void ExpectSourceAt(int dx, int dy) {
        for (int y = 0; y < TargetHeight; ++y)
            for (int x = 0; x < TargetWidth; ++x) {
                const int sx = x - dx, sy = y - dy;
                const bool covered = sx >= 0 && sy >= 0 && sx < SourceSize && sy < SourceSize;
                const uint32_t expected = covered ? SourceValue(sx, sy) : 0;
                ASSERT_EQ(PixelAt(target, x, y), expected)
                    << "at " << x << "," << y << " after a blit to " << dx << "," << dy;
            }
    }

    IDirectDrawSurface* target = nullptr;
    IDirectDrawSurface* source = nullptr;
};

TEST_F(ClippedBlitTest, APictureOverAnyEdgeIsCutToTheTarget) {
    const RECT whole = {0, 0, SourceSize, SourceSize};
    const std::pair<int, int> places[] = {
        {6, 4},                // inside
        {-3, 4},               // over the left edge
        {6, -5},               // over the top
        {TargetWidth - 2, 4},  // over the right
        {6, TargetHeight - 3}, // over the bottom
        {-7, -7},              // a corner: one pixel left
        {TargetWidth - 1, TargetHeight - 1},
    };
    for (auto [x, y] : places) {
        FillSurface(target, 0);
        EXPECT_EQ(ClippedBlit(target, x, y, source, whole, PlainBlit), DD_OK);
        ExpectSourceAt(x, y);
    }
}

TEST_F(ClippedBlitTest, NothingLeftAfterClippingIsNotAnError) {
    const RECT whole = {0, 0, SourceSize, SourceSize};
    for (auto [x, y] : {std::pair{-SourceSize, 0},
                        {0, -SourceSize},
                        {TargetWidth, 0},
                        {0, TargetHeight},
                        {-100000, 3},
                        {2000000000, 2000000000}}) {
        EXPECT_EQ(ClippedBlit(target, x, y, source, whole, PlainBlit), DD_OK);
    }
    EXPECT_EQ(CountInRect(target, 0, 0, TargetWidth, TargetHeight, 0), TargetWidth * TargetHeight);
}

TEST_F(ClippedBlitTest, APartOfTheSourceIsCutTheSameWay) {
    // Source columns 2..6, rows 1..5 at (-1, -2): columns 3..6 and rows 3..5 remain.
    const RECT part = {2, 1, 7, 6};
    EXPECT_EQ(ClippedBlit(target, -1, -2, source, part, PlainBlit), DD_OK);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool covered = x < 4 && y < 3;
            EXPECT_EQ(PixelAt(target, x, y), covered ? SourceValue(x + 3, y + 3) : 0u)
                << x << "," << y;
        }
}

TEST_F(ClippedBlitTest, BlueIsTransparentByDefaultAndCopiedByAPlainBlit) {
    const DWORD blue = To565(Blue);
    DDCOLORKEY key = {blue, blue};
    source->SetColorKey(DDCKEY_SRCBLT, &key);
    SetPixelAt(source, 1, 1, blue);
    FillSurface(target, 0x7777);
    const RECT whole = {0, 0, SourceSize, SourceSize};
    EXPECT_EQ(ClippedBlit(target, 0, 0, source, whole), DD_OK);
    EXPECT_EQ(PixelAt(target, 1, 1), 0x7777u);
    EXPECT_EQ(PixelAt(target, 2, 1), SourceValue(2, 1));
    EXPECT_EQ(ClippedBlit(target, 0, 0, source, whole, PlainBlit), DD_OK);
    EXPECT_EQ(PixelAt(target, 1, 1), blue);
}

TEST_F(ClippedBlitTest, OffscreenSurfacesAreBlueKeyedInTheDisplayFormat) {
    IDirectDrawSurface* cell = CreateOffscreenSurface(12, 7);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(SizeOf(cell), std::make_pair(12, 7));
    EXPECT_EQ(SourceKey(cell), To565(Blue));
    cell->Release();
    EXPECT_EQ(CreateOffscreenSurface(0, 7), nullptr);
}

} // namespace
