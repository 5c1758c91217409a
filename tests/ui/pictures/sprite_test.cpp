// Sprites: frames from files, strips and grids; drawing with centring,
// clipping and repaint marks; animation over a frame range with its end modes.
#include "picture_fixture.h"

#include "shell/core/tick_clock.h"
#include "ui/pictures/redraw_list.h"
#include "ui/pictures/sprite.h"
#include "zq.h"

#include <cstdlib>
#include <string>

using namespace picturetest;

namespace {

// Strip colours: frame i of a strip is painted StripColour[i].
constexpr uint32_t StripColour[3] = {Red, Green, Grey};

class SpriteTest : public PictureTest {
protected:
    void SetUp() override {
        PictureTest::SetUp();
        // 300 x 40: three 100-wide frames, each with a blue top-left pixel.
        WriteBmp("strip.bmp", 300, 40, [](int x, int y) {
            return (x % 100 == 0 && y == 0) ? Blue : StripColour[x / 100];
        });
        WriteBmp("cell.bmp", 5, 3, [](int, int) { return Red; });
    }
    // A sprite of `count` frames of 4 x 2 each.
    static void AddPlainFrames(Sprite& sprite, int count) {
        for (int i = 0; i < count; ++i) {
            IDirectDrawSurface* frame = MakeSurface(4, 2);
            FillSurface(frame, 0x100 + i);
            sprite.AddFrame(frame);
        }
    }
    // Lets `elapsed` milliseconds of the tick clock pass since the last step.
    static void Elapse(Sprite& sprite, int32_t elapsed) {
        sprite.lastStep = g_TickClock.Now() - elapsed;
    }
};

TEST_F(SpriteTest, AddedFramesAreKeyedBlueAndSetTheSizeAndTheRange) {
    Sprite sprite;
    EXPECT_EQ(sprite.firstFrame, -1);
    EXPECT_EQ(sprite.frameCount, -1);
    sprite.AddFrame(nullptr);
    EXPECT_EQ(sprite.FrameCountTotal(), 0);

    AddPlainFrames(sprite, 2);
    EXPECT_EQ(sprite.FrameCountTotal(), 2);
    EXPECT_EQ(sprite.frameWidth, 4);
    EXPECT_EQ(sprite.frameHeight, 2);
    EXPECT_EQ(sprite.sizeChanged, 0);
    EXPECT_EQ(sprite.firstFrame, 0);
    EXPECT_EQ(sprite.frameCount, 2);
    EXPECT_EQ(SourceKey(sprite.FrameSurface(1)), To565(Blue));

    IDirectDrawSurface* wide = MakeSurface(6, 2);
    sprite.AddFrame(wide);
    EXPECT_EQ(sprite.sizeChanged, 1);
    EXPECT_EQ(sprite.frameWidth, 6);
    EXPECT_EQ(sprite.frameCount, 3);

    Sprite single;
    single.AddFrame(MakeSurface(9, 9));
    EXPECT_EQ(single.sizeChanged, 0);
}

TEST_F(SpriteTest, AMissingFrameFileIsReportedByNameAndSkipped) {
    const std::string log = (folder_ / "boxes.log").string();
    setenv("LUDORA_MESSAGE_LOG", log.c_str(), 1);
    Sprite sprite;
    sprite.AddFrameFromFile("cell.bmp");
    sprite.AddFrameFromFile("gone.bmp");
    sprite.AddFrameFromFile("cell.bmp");
    unsetenv("LUDORA_MESSAGE_LOG");
    EXPECT_EQ(ReadText(log), "ERROR: can't find file!|gone.bmp\n");
    EXPECT_EQ(sprite.FrameCountTotal(), 2);
    EXPECT_EQ(sprite.frameCount, 2);
    EXPECT_EQ(PixelAt(sprite.FrameSurface(1), 4, 2), To565(Red));
}

TEST_F(SpriteTest, AStripOf300By40WithCountThreeGivesThreeFramesOf100By40) {
    Sprite sprite;
    EXPECT_EQ(sprite.LoadStrip("strip.bmp", 3, 0), 1);
    ASSERT_EQ(sprite.FrameCountTotal(), 3);
    for (int i = 0; i < 3; ++i) {
        IDirectDrawSurface* frame = sprite.FrameSurface(i);
        EXPECT_EQ(SizeOf(frame), std::make_pair(100, 40));
        EXPECT_EQ(SourceKey(frame), To565(Blue));
        EXPECT_EQ(PixelAt(frame, 0, 0), To565(Blue)) << "frame " << i;
        EXPECT_EQ(CountInRect(frame, 0, 0, 100, 40, To565(StripColour[i])), 100 * 40 - 1)
            << "frame " << i;
    }
    // The whole strip's size until the owner divides it.
    EXPECT_EQ(sprite.frameWidth, 300);
    EXPECT_EQ(sprite.frameHeight, 40);
    EXPECT_EQ(sprite.firstFrame, 0);
    EXPECT_EQ(sprite.frameCount, 3);
    sprite.DivideWidthByFrames();
    EXPECT_EQ(sprite.frameWidth, 100);

    // A missing file or a count of nothing changes nothing.
    EXPECT_EQ(sprite.LoadStrip("gone.bmp", 3, 0), 0);
    EXPECT_EQ(sprite.LoadStrip("strip.bmp", 0, 0), 0);
    EXPECT_EQ(sprite.FrameCountTotal(), 3);
    EXPECT_EQ(sprite.frameWidth, 100);
}

TEST_F(SpriteTest, AVerticalStripIsCutTopToBottom) {
    WriteBmp("tower.bmp", 20, 61, [](int, int y) { return StripColour[y / 20 < 3 ? y / 20 : 0]; });
    Sprite sprite;
    EXPECT_EQ(sprite.LoadStrip("tower.bmp", 3, 1), 1);
    ASSERT_EQ(sprite.FrameCountTotal(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SizeOf(sprite.FrameSurface(i)), std::make_pair(20, 20));
        EXPECT_EQ(CountInRect(sprite.FrameSurface(i), 0, 0, 20, 20, To565(StripColour[i])), 400);
    }
    EXPECT_EQ(sprite.frameWidth, 20);
    EXPECT_EQ(sprite.frameHeight, 61);
}

TEST_F(SpriteTest, AGridIsCutRowByRowAndLeftoverEdgesAreDropped) {
    // 3 whole columns and 2 whole rows of 10 x 8 cells, plus a ragged edge.
    auto cellColour = [](int column, int row) {
        return static_cast<uint32_t>((column * 0x40) << 16 | (row * 0x80) << 8 | 0x08);
    };
    WriteBmp("grid.bmp", 35, 20, [&](int x, int y) { return cellColour(x / 10, y / 8); });
    Sprite sprite;
    EXPECT_EQ(sprite.LoadGrid("grid.bmp", 10, 8), 1);
    ASSERT_EQ(sprite.FrameCountTotal(), 6);
    for (int i = 0; i < 6; ++i) {
        const uint16_t expected = To565(cellColour(i % 3, i / 3));
        EXPECT_EQ(CountInRect(sprite.FrameSurface(i), 0, 0, 10, 8, expected), 80) << "cell " << i;
    }
    EXPECT_EQ(sprite.frameWidth, 10);
    EXPECT_EQ(sprite.frameHeight, 8);
    EXPECT_EQ(sprite.frameCount, 6);
    EXPECT_EQ(sprite.LoadGrid("gone.bmp", 10, 8), 0);
    EXPECT_EQ(sprite.FrameCountTotal(), 6);
}

TEST_F(SpriteTest, AGridOfARealWorldPictureMatchesThePictureCellByCell) {
    const std::string path = std::string(LUDORA_CORPORA_DIR) + "/bmpsuite/g/rgb24.bmp";
    IDirectDrawSurface* whole = ZQLoadBitmap(path.c_str(), 16);
    ASSERT_NE(whole, nullptr) << path;
    const auto [width, height] = SizeOf(whole);
    ASSERT_EQ(width, 127);
    ASSERT_EQ(height, 64);
    Sprite sprite;
    EXPECT_EQ(sprite.LoadGrid(path.c_str(), 32, 32), 1);
    ASSERT_EQ(sprite.FrameCountTotal(), 3 * 2);
    int differing = 0;
    for (int i = 0; i < 6; ++i)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (PixelAt(sprite.FrameSurface(i), x, y) !=
                    PixelAt(whole, (i % 3) * 32 + x, (i / 3) * 32 + y))
                    ++differing;
    EXPECT_EQ(differing, 0);
    whole->Release();
}

class SpriteDrawing : public SpriteTest {
protected:
    void SetUp() override {
        SpriteTest::SetUp();
        back = BackBuffer();
        FillSurface(back, 0);
        sprite.AddFrameFromFile("cell.bmp"); // 5 x 3 red
    }
    int RedOnBack(int left, int top, int right, int bottom) {
        return CountInRect(back, left, top, right, bottom, To565(Red));
    }
    const RedrawEntry* LastMark() {
        const PointerList<RedrawEntry>& list = g_RedrawList.List(g_RedrawList.InUse());
        return list.At(list.Count() - 1);
    }
    IDirectDrawSurface* back = nullptr;
    Sprite sprite;
};

TEST_F(SpriteDrawing, DrawsAtItsTruncatedPositionAndMarksTheRectangle) {
    sprite.x = 10.9f;
    sprite.y = 20.2f;
    sprite.Draw(back);
    EXPECT_EQ(RedOnBack(10, 20, 15, 23), 15);
    EXPECT_EQ(RedOnBack(0, 0, ScreenWidth, ScreenHeight), 15);
    const RedrawEntry* mark = LastMark();
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->x, 10);
    EXPECT_EQ(mark->y, 20);
    EXPECT_EQ(mark->width, 5);
    EXPECT_EQ(mark->height, 3);
    EXPECT_EQ(mark->flags, 0x1001);

    sprite.SetMarkAfterDraw(0);
    sprite.SetPosition(50, 50);
    sprite.Draw(back);
    EXPECT_EQ(g_RedrawList.List(0).Count(), 1);
    EXPECT_EQ(RedOnBack(50, 50, 55, 53), 15);
}

TEST_F(SpriteDrawing, ACentredSpriteTakesHalfItsSizeOffRoundedTowardZero) {
    sprite.SetCentred(1);
    sprite.x = 100.0f;
    sprite.y = 50.0f;
    sprite.Draw(back);
    // 5 / 2 = 2 and 3 / 2 = 1.
    EXPECT_EQ(RedOnBack(98, 49, 103, 52), 15);
    EXPECT_EQ(LastMark()->x, 98);
    EXPECT_EQ(LastMark()->y, 49);

    // -0.5 - 2 = -2.5 truncates to -2: three columns of the frame remain.
    FillSurface(back, 0);
    sprite.x = -0.5f;
    sprite.y = 1.0f;
    sprite.Draw(back);
    EXPECT_EQ(RedOnBack(0, 0, ScreenWidth, ScreenHeight), 9);
    EXPECT_EQ(LastMark()->x, -2);
    EXPECT_EQ(LastMark()->y, 0);
}

TEST_F(SpriteDrawing, APartlyOffScreenSpriteIsClippedNotSkipped) {
    const std::pair<int, int> places[] = {
        {-2, 10}, {10, -1}, {ScreenWidth - 2, 10}, {10, ScreenHeight - 1}, {-4, -2}};
    const int visible[] = {9, 10, 6, 5, 1};
    for (int i = 0; i < 5; ++i) {
        FillSurface(back, 0);
        sprite.SetPosition(places[i].first, places[i].second);
        sprite.Draw(back);
        EXPECT_EQ(RedOnBack(0, 0, ScreenWidth, ScreenHeight), visible[i])
            << "at " << places[i].first << "," << places[i].second;
    }
}

TEST_F(SpriteDrawing, InvisibleSpritesStillMarkAndInvalidFramesDrawNothing) {
    sprite.SetVisible(0);
    sprite.Draw(back);
    EXPECT_EQ(RedOnBack(0, 0, ScreenWidth, ScreenHeight), 0);
    EXPECT_EQ(g_RedrawList.List(0).Count(), 1);

    sprite.SetVisible(1);
    for (int32_t frame : {-1, 1, 7}) {
        sprite.SetFrameUnchecked(frame);
        sprite.Draw(back);
    }
    EXPECT_EQ(RedOnBack(0, 0, ScreenWidth, ScreenHeight), 0);
    EXPECT_EQ(g_RedrawList.List(0).Count(), 1);
}

TEST_F(SpriteDrawing, EraseBeforeDrawRestoresTheUncentredRectangleFromThePristineCopy) {
    IDirectDrawSurface* background = MakeSurface(ScreenWidth, ScreenHeight);
    IDirectDrawSurface* pristine = MakeSurface(ScreenWidth, ScreenHeight);
    FillSurface(background, 0x1111);
    FillSurface(pristine, 0x2222);
    g_RedrawList.SetBackground(background);
    g_RedrawList.SetPristine(pristine);

    sprite.eraseBeforeDraw = 1;
    sprite.SetCentred(1);
    sprite.x = 30.7f;
    sprite.y = 40.0f;
    sprite.Draw(back);
    // Restored at (30, 40), not at the centred (28, 39).
    EXPECT_EQ(CountInRect(background, 30, 40, 35, 43, 0x2222), 15);
    EXPECT_EQ(CountInRect(background, 0, 0, ScreenWidth, ScreenHeight, 0x2222), 15);
    EXPECT_EQ(RedOnBack(28, 39, 33, 42), 15);
    // The restore and the drawn rectangle, in that order.
    const PointerList<RedrawEntry>& list = g_RedrawList.List(0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.At(0)->x, 30);
    EXPECT_EQ(list.At(1)->x, 28);
    g_RedrawList.Reset();
    background->Release();
    pristine->Release();
}

TEST_F(SpriteDrawing, DrawPartAndDrawOnBackBuffer) {
    WriteBmp("two.bmp", 4, 2, [](int x, int) { return x < 2 ? Red : Green; });
    Sprite two;
    two.AddFrameFromFile("two.bmp");
    two.DrawPart(2, 0, 2, 2, back, -1, 5);
    EXPECT_EQ(CountInRect(back, 0, 5, 1, 7, To565(Green)), 2);
    EXPECT_EQ(CountInRect(back, 0, 0, ScreenWidth, ScreenHeight, To565(Green)), 2);
    EXPECT_EQ(RedOnBack(0, 0, ScreenWidth, ScreenHeight), 0);
    EXPECT_EQ(LastMark()->x, -1);
    EXPECT_EQ(LastMark()->width, 2);

    sprite.SetPosition(7, 8);
    sprite.DrawOnBackBuffer();
    EXPECT_EQ(RedOnBack(7, 8, 12, 11), 15);
}

TEST_F(SpriteTest, ColourKeysAndFrameSelection) {
    Sprite sprite;
    AddPlainFrames(sprite, 3);
    sprite.SetColourKey(255, 0, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SourceKey(sprite.FrameSurface(i)), To565(Red));

    sprite.SetFrame(2);
    EXPECT_EQ(sprite.CurrentFrame(), 2);
    sprite.SetFrame(3);
    sprite.SetFrame(-1);
    EXPECT_EQ(sprite.CurrentFrame(), 2);
    sprite.SetFrameUnchecked(9);
    EXPECT_EQ(sprite.CurrentFrame(), 9);
    sprite.Rewind();
    EXPECT_EQ(sprite.CurrentFrame(), 0);
}

TEST_F(SpriteTest, BorrowedFramesOutliveTheSprite) {
    IDirectDrawSurface* shared = MakeSurface(4, 4);
    {
        Sprite sprite;
        sprite.AddBorrowedFrame(shared);
        EXPECT_EQ(sprite.framesBorrowed, 1);
    }
    EXPECT_EQ(shared->AddRef(), 2u);
    shared->Release();
    shared->Release();
}

struct EndCase {
    int32_t endMode;
    int32_t step;
    int32_t startFrame;
    int32_t frame;   // after one step
    int32_t playing; // after one step
};

TEST_F(SpriteTest, EveryEndModeForwardsAndBackwards) {
    // Frames 0..4, range 1..3 (end 4).
    const EndCase cases[] = {
        {SpriteLoop, 1, 3, 1, 1},
        {SpriteOnce, 1, 3, 3, 0},
        {SpriteOnceAndRewind, 1, 3, 1, 0},
        {SpriteOnceAndVanish, 1, 3, -1, 0},
        {SpriteLoop, 1, 1, 2, 1}, // inside the range nothing ends
        // Backwards the end is below frame 0, not below the range.
        {SpriteLoop, -1, 0, 3, 1},
        {SpriteOnce, -1, 0, 1, 0},
        {SpriteOnceAndRewind, -1, 0, 1, 0},
        {SpriteOnceAndVanish, -1, 0, -1, 0},
        {SpriteLoop, -1, 1, 0, 1},
    };
    for (const EndCase& c : cases) {
        Sprite sprite;
        AddPlainFrames(sprite, 5);
        sprite.SetRange(1, 4);
        sprite.SetEndMode(c.endMode);
        sprite.step = c.step;
        sprite.SetFrameUnchecked(c.startFrame);
        sprite.SetPlaying(1);
        sprite.SetInterval(50);
        Elapse(sprite, 51);
        sprite.Animate();
        EXPECT_EQ(sprite.CurrentFrame(), c.frame)
            << "end mode " << c.endMode << ", step " << c.step << " from " << c.startFrame;
        EXPECT_EQ(sprite.playing, c.playing) << "end mode " << c.endMode << ", step " << c.step;
        EXPECT_EQ(sprite.lastStep, g_TickClock.Now());
    }
}

TEST_F(SpriteTest, AVanishedSpriteDrawsNothing) {
    Sprite sprite;
    sprite.AddFrameFromFile("cell.bmp");
    sprite.AddFrameFromFile("cell.bmp");
    sprite.SetEndMode(SpriteOnceAndVanish);
    sprite.SetPlaying(1);
    sprite.SetFrame(1);
    Elapse(sprite, 1);
    sprite.Animate();
    EXPECT_EQ(sprite.CurrentFrame(), -1);
    FillSurface(BackBuffer(), 0);
    sprite.SetPosition(0, 0);
    sprite.Draw(BackBuffer());
    EXPECT_EQ(CountInRect(BackBuffer(), 0, 0, ScreenWidth, ScreenHeight, To565(Red)), 0);
}

TEST_F(SpriteTest, StepsOnlyAfterMoreThanTheIntervalAndTheEndTestRunsWhenStopped) {
    Sprite sprite;
    AddPlainFrames(sprite, 4);
    sprite.SetPlaying(1);
    sprite.SetEndMode(SpriteLoop);
    sprite.SetInterval(30);
    Elapse(sprite, 30); // exactly the interval: not yet
    sprite.Animate();
    EXPECT_EQ(sprite.CurrentFrame(), 0);
    EXPECT_EQ(sprite.lastStep, g_TickClock.Now() - 30);
    Elapse(sprite, 31);
    sprite.Animate();
    EXPECT_EQ(sprite.CurrentFrame(), 1);

    // Interval 0: any time at all is enough, none is not.
    sprite.SetInterval(0);
    Elapse(sprite, 1);
    sprite.Animate();
    EXPECT_EQ(sprite.CurrentFrame(), 2);
    sprite.Animate(); // no time since the last step
    EXPECT_EQ(sprite.CurrentFrame(), 2);

    // Not playing: the frame stays, but a frame past the end is still dealt with.
    sprite.SetPlaying(0);
    Elapse(sprite, 1);
    sprite.Animate();
    EXPECT_EQ(sprite.CurrentFrame(), 2);
    sprite.SetFrameUnchecked(4);
    Elapse(sprite, 1);
    sprite.Animate();
    EXPECT_EQ(sprite.CurrentFrame(), 0);

    // Switched off, or without frames: nothing at all.
    sprite.animated = 0;
    sprite.SetFrameUnchecked(4);
    Elapse(sprite, 100);
    sprite.Animate();
    EXPECT_EQ(sprite.CurrentFrame(), 4);
    Sprite empty;
    empty.SetPlaying(1);
    Elapse(empty, 100);
    empty.Animate();
    EXPECT_EQ(empty.CurrentFrame(), 0);
    EXPECT_EQ(empty.lastStep, g_TickClock.Now() - 100);
}

TEST_F(SpriteTest, StepOnceWaitsForItsDueTimeAndWrapsWhenAsked) {
    Sprite sprite;
    AddPlainFrames(sprite, 3);
    sprite.SetInterval(40);
    const int32_t now = g_TickClock.Now();
    sprite.lastStep = now + 1; // due in the future
    EXPECT_EQ(sprite.StepOnce(), 0);
    EXPECT_EQ(sprite.CurrentFrame(), 0);

    sprite.lastStep = now;
    EXPECT_EQ(sprite.StepOnce(), 1);
    EXPECT_EQ(sprite.CurrentFrame(), 1);
    EXPECT_EQ(sprite.lastStep, now + 40);

    const struct {
        int32_t wrap, step, from, to;
    } ends[] = {{0, 1, 2, 2}, {1, 1, 2, 0}, {0, -1, 0, 0}, {1, -1, 0, 2}, {1, -1, 2, 1}};
    for (const auto& e : ends) {
        sprite.wrap = e.wrap;
        sprite.step = e.step;
        sprite.SetFrame(e.from);
        sprite.lastStep = now;
        EXPECT_EQ(sprite.StepOnce(), 1);
        EXPECT_EQ(sprite.CurrentFrame(), e.to)
            << "wrap " << e.wrap << ", step " << e.step << " from " << e.from;
    }
}

} // namespace
