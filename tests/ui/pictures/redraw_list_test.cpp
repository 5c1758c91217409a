// The repaint bookkeeping: a list of rectangles per back buffer, applied after
// every presentation from the background (and the pristine copy) onto the
// buffer that is drawn next.
#include "picture_fixture.h"

#include "ui/pictures/redraw_list.h"

using namespace picturetest;

namespace {

constexpr uint32_t BackgroundValue = 0x1111;
constexpr uint32_t PristineValue = 0x2222;
constexpr uint32_t Drawn = 0x0F0F;

class Redraw : public PictureTest {
protected:
    void SetUp() override {
        PictureTest::SetUp();
        background = MakeSurface(40, 30);
        pristine = MakeSurface(40, 30);
        buffer = MakeSurface(40, 30);
        ASSERT_TRUE(background && pristine && buffer);
        FillSurface(background, BackgroundValue);
        FillSurface(pristine, PristineValue);
        FillSurface(buffer, Drawn);
        list.SetBackground(background);
        list.SetPristine(pristine);
    }
    void TearDown() override {
        for (IDirectDrawSurface* s : {background, pristine, buffer})
            if (s) s->Release();
        PictureTest::TearDown();
    }
    // One presentation as far as the repaint lists are concerned.
    void Present() {
        list.Flip();
        list.Apply(buffer);
    }
    int Repainted(int left, int top, int right, int bottom) {
        return CountInRect(buffer, left, top, right, bottom, BackgroundValue);
    }
    int RepaintedAnywhere() { return Repainted(0, 0, 40, 30); }

    RedrawList list;
    IDirectDrawSurface* background = nullptr;
    IDirectDrawSurface* pristine = nullptr;
    IDirectDrawSurface* buffer = nullptr;
};

TEST_F(Redraw, AMarkIsRepaintedOnItsOwnBufferTwoPresentationsLaterThenForgotten) {
    list.Mark(5, 6, 4, 3, RedrawOneShot | RedrawFromBackground);
    EXPECT_EQ(list.List(0).Count(), 1);
    EXPECT_EQ(list.List(1).Count(), 0);

    Present(); // the other buffer's list: nothing to do
    EXPECT_EQ(list.InUse(), 1);
    EXPECT_EQ(RepaintedAnywhere(), 0);

    Present(); // back on the buffer the mark was drawn on
    EXPECT_EQ(list.InUse(), 0);
    EXPECT_EQ(Repainted(5, 6, 9, 9), 12);
    EXPECT_EQ(RepaintedAnywhere(), 12);
    EXPECT_EQ(list.List(0).Count(), 0);

    FillSurface(buffer, Drawn);
    Present();
    Present();
    EXPECT_EQ(RepaintedAnywhere(), 0);
}

TEST_F(Redraw, BothListsAndAlwaysPermanentRepaintOnEveryBuffer) {
    list.Mark(0, 0, 2, 2, RedrawOneShot | RedrawBothLists | RedrawFromBackground);
    EXPECT_EQ(list.List(0).Count(), 1);
    EXPECT_EQ(list.List(1).Count(), 1);
    Present();
    EXPECT_EQ(Repainted(0, 0, 2, 2), 4);
    FillSurface(buffer, Drawn);
    Present();
    EXPECT_EQ(Repainted(0, 0, 2, 2), 4);
    FillSurface(buffer, Drawn);
    Present();
    Present();
    EXPECT_EQ(RepaintedAnywhere(), 0);

    list.SetAlwaysPermanent(1);
    list.Mark(10, 10, 3, 1, RedrawOneShot | RedrawFromBackground);
    EXPECT_EQ(list.List(0).Count(), 1);
    EXPECT_EQ(list.List(1).Count(), 1);
    Present();
    EXPECT_EQ(Repainted(10, 10, 13, 11), 3);
}

TEST_F(Redraw, EntriesWithoutOneShotStayAndAreAppliedAtEveryPass) {
    list.Mark(1, 1, 2, 2, RedrawFromBackground);
    for (int pass = 0; pass < 3; ++pass) {
        Present();
        FillSurface(buffer, Drawn);
        Present();
        EXPECT_EQ(RepaintedAnywhere(), 4) << "pass " << pass;
        FillSurface(buffer, Drawn);
    }
    EXPECT_EQ(list.List(0).Count(), 1);
}

TEST_F(Redraw, ANewBackgroundDropsTheOneShotsOfTheListInUseAndStaleEntriesAreNotApplied) {
    list.Mark(0, 0, 1, 1, RedrawOneShot | RedrawFromBackground); // list 0, one-shot
    list.Mark(2, 0, 1, 1, RedrawFromBackground);                 // list 0, stays
    list.Flip();
    list.Mark(4, 0, 1, 1, RedrawOneShot | RedrawFromBackground); // list 1, one-shot
    IDirectDrawSurface* other = MakeSurface(40, 30);
    ASSERT_NE(other, nullptr);
    FillSurface(other, 0x3333);

    list.SetBackground(other);
    EXPECT_EQ(list.List(1).Count(), 0);
    EXPECT_EQ(list.List(0).Count(), 2);

    // Both entries of list 0 were registered with the old background: the
    // one-shot is freed unapplied, the permanent one waits.
    list.Flip();
    list.Apply(buffer);
    EXPECT_EQ(CountInRect(buffer, 0, 0, 40, 30, 0x3333), 0);
    EXPECT_EQ(RepaintedAnywhere(), 0);
    EXPECT_EQ(list.List(0).Count(), 1);

    // With the old background back, the waiting entry applies again.
    list.SetBackground(background);
    list.Apply(buffer);
    EXPECT_EQ(Repainted(2, 0, 3, 1), 1);
    other->Release();
}

TEST_F(Redraw, PristineEntriesRefreshTheBackgroundFirst) {
    list.Mark(3, 3, 2, 2, RedrawOneShot | RedrawFromPristine);
    Present();
    Present();
    EXPECT_EQ(CountInRect(background, 3, 3, 5, 5, PristineValue), 4);
    EXPECT_EQ(CountInRect(background, 0, 0, 40, 30, PristineValue), 4);
    EXPECT_EQ(CountInRect(buffer, 3, 3, 5, 5, PristineValue), 4);

    // A pristine copy that has changed since is not used; the background still is.
    FillSurface(background, BackgroundValue);
    FillSurface(buffer, Drawn);
    list.Mark(8, 8, 1, 1, RedrawOneShot | RedrawFromPristine);
    IDirectDrawSurface* other = MakeSurface(40, 30);
    FillSurface(other, 0x4444);
    list.SetPristine(other);
    Present();
    Present();
    EXPECT_EQ(PixelAt(background, 8, 8), BackgroundValue);
    EXPECT_EQ(PixelAt(buffer, 8, 8), BackgroundValue);
    other->Release();
}

TEST_F(Redraw, RestoreCopiesThePristineAreaNowAndRepaintsItLater) {
    list.Restore(6, 2, 3, 2);
    EXPECT_EQ(CountInRect(background, 0, 0, 40, 30, PristineValue), 6);
    EXPECT_EQ(CountInRect(background, 6, 2, 9, 4, PristineValue), 6);
    Present();
    EXPECT_EQ(CountInRect(buffer, 0, 0, 40, 30, PristineValue), 0);
    Present();
    EXPECT_EQ(CountInRect(buffer, 6, 2, 9, 4, PristineValue), 6);
    EXPECT_EQ(list.List(0).Count(), 0);

    // An area partly off the background is cut to it.
    list.Restore(-2, 28, 4, 5);
    EXPECT_EQ(CountInRect(background, 0, 28, 2, 30, PristineValue), 4);

    FillSurface(background, BackgroundValue);
    list.RestoreAll();
    EXPECT_EQ(CountInRect(background, 0, 0, 40, 30, PristineValue), 1200);
    ASSERT_EQ(list.List(0).Count(), 2);
    const RedrawEntry* whole = list.List(0).At(1);
    EXPECT_EQ(whole->x, 0);
    EXPECT_EQ(whole->y, 0);
    EXPECT_EQ(whole->width, 40);
    EXPECT_EQ(whole->height, 30);
    EXPECT_EQ(whole->flags, RedrawOneShot | RedrawFromBackground);
}

} // namespace
