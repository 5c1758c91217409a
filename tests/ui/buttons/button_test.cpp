// A button's looks, its press, drag and release rules, and the list it lives in.
#include "buttons_test_support.h"

#include "ui/buttons/button.h"
#include "ui/buttons/button_list.h"
#include "ui/pictures/redraw_list.h"

namespace {

using namespace buttontest;

class Buttons : public ButtonsTest {
protected:
    // The look a button shows now: drawn on a black surface, read at its top-left.
    uint32_t Look(Button& button) {
        IDirectDrawSurface* target = MakeTarget(200, 150);
        button.DrawOn(target);
        return PixelAt(target, button.originX + button.x + 1, button.originY + button.y + 1);
    }
    // A 20 x 10 button at (30, 40) from origin (5, 6), frames cut from a strip of these colours.
    Button* Make(std::initializer_list<uint32_t> colours) {
        WriteStrip("strip.bmp", 20, 10, colours);
        auto* button = new Button(30, 40);
        EXPECT_EQ(button->LoadFrames("strip.bmp", int32_t(colours.size()), 0), 1);
        button->SetOrigin(5, 6);
        made_.emplace_back(button);
        return button;
    }
    std::vector<std::unique_ptr<Button>> made_;
    // Points inside and outside the 20 x 10 rectangle at (35, 46).
    static constexpr int InX = 40, InY = 50, OutX = 10, OutY = 10;
};

TEST_F(Buttons, PressAndReleaseInsideClicksForOneUpdateOnly) {
    Button& b = *Make({Red, Green, Yellow});
    EXPECT_EQ(b.width, 20);
    EXPECT_EQ(b.hitHeight, 10);
    EXPECT_EQ(Look(b), As565(Red));
    EXPECT_EQ(b.Update(InX, InY, 0), ButtonHover);
    EXPECT_EQ(Look(b), As565(Green));
    EXPECT_EQ(b.Update(InX, InY, 1), ButtonPressed);
    EXPECT_EQ(Look(b), As565(Yellow));
    EXPECT_EQ(b.Clicked(), 0);
    EXPECT_EQ(b.Update(InX, InY, 0), ButtonHover);
    EXPECT_EQ(b.Clicked(), 1);
    EXPECT_EQ(b.clickKind, 1);
    b.Update(InX, InY, 0);
    EXPECT_EQ(b.Clicked(), 0);
    EXPECT_EQ(b.Update(OutX, OutY, 0), ButtonNormal);
}

TEST_F(Buttons, DraggingOutCancelsAndDraggingBackInRestoresThePress) {
    Button& b = *Make({Red, Green, Yellow});
    b.Update(InX, InY, 1);
    EXPECT_EQ(b.Update(OutX, OutY, 1), ButtonNormal);
    EXPECT_EQ(b.Update(OutX, OutY, 0), ButtonNormal);
    EXPECT_EQ(b.Update(InX, InY, 0), ButtonHover);
    EXPECT_EQ(b.Clicked(), 0);

    b.Update(InX, InY, 1);
    b.Update(OutX, OutY, 1);
    EXPECT_EQ(b.Update(InX, InY, 1), ButtonPressed);
    b.Update(InX, InY, 0);
    EXPECT_EQ(b.Clicked(), 1);
}

TEST_F(Buttons, RightAndBottomEdgesAreOutsideForUpdateButInsideForMessages) {
    Button& b = *Make({Red});
    b.Update(35 + 19, 46 + 9, 0);
    EXPECT_EQ(b.Inside(), 1);
    b.Update(35 + 20, 46, 0);
    EXPECT_EQ(b.Inside(), 0);
    b.Update(35, 46 + 10, 0);
    EXPECT_EQ(b.Inside(), 0);

    const LPARAM corner = MAKELPARAM(35 + 20, 46 + 10);
    EXPECT_EQ(b.OnMouseMessage(WM_MOUSEMOVE, 0, corner), ButtonHover);
    EXPECT_EQ(b.OnMouseMessage(WM_LBUTTONDOWN, MK_LBUTTON, corner), ButtonPressed);
    EXPECT_EQ(b.OnMouseMessage(WM_LBUTTONUP, 0, corner), ButtonHover);
    EXPECT_EQ(b.clickKind, 1);
    b.OnMouseMessage(WM_RBUTTONUP, 0, MAKELPARAM(36, 47));
    EXPECT_EQ(b.Clicked(), 1);
    EXPECT_EQ(b.clickKind, 2);
    b.OnMouseMessage(WM_RBUTTONUP, 0, MAKELPARAM(35 + 21, 47));
    EXPECT_EQ(b.Clicked(), 0);
    EXPECT_EQ(b.OnMouseMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(OutX, OutY)), ButtonNormal);
}

TEST_F(Buttons, FrameChoiceForTwoFramesLockedLooksOffsetsAndForcedFrames) {
    Button& two = *Make({Red, Green});
    two.SetState(ButtonHover);
    EXPECT_EQ(Look(two), As565(Green));
    two.SetState(ButtonPressed); // beyond the frames: the last one
    EXPECT_EQ(Look(two), As565(Green));
    two.SetLockedLook(1);
    EXPECT_EQ(Look(two), As565(Green));
    two.SetState(ButtonHover);
    EXPECT_EQ(Look(two), As565(Red));

    Button& three = *Make({Red, Green, Yellow});
    three.SetFrameOffset(1);
    EXPECT_EQ(Look(three), As565(Green));
    three.SetForcedFrame(0);
    EXPECT_EQ(Look(three), As565(Red));
    three.SetState(ButtonPressed); // 2 + 1 is past the frames: the last wins over the forced one
    EXPECT_EQ(Look(three), As565(Yellow));

    Button none(30, 40, 20, 10);
    EXPECT_EQ(Look(none), As565(Black));
}

TEST_F(Buttons, PixelHitIgnoresTheBlueOfFrameZero) {
    // Frame 0's left half is blue; frame 1 is solid.
    WriteBmp("hole.bmp", 40, 10, [](int x, int) { return x < 10 ? Blue : x < 20 ? Red : Green; });
    Button b(30, 40);
    ASSERT_EQ(b.LoadFrames("hole.bmp", 2, 0), 1);
    b.SetOrigin(5, 6);
    b.SetPixelHit(1);
    const int blueX = 37, opaqueX = 50;
    EXPECT_EQ(b.Update(blueX, InY, 1), ButtonNormal);
    EXPECT_EQ(b.Update(blueX, InY, 0), ButtonNormal);
    EXPECT_EQ(b.Update(opaqueX, InY, 0), ButtonHover);
    EXPECT_EQ(b.Update(opaqueX, InY, 1), ButtonPressed);
    EXPECT_EQ(b.Update(blueX, InY, 1), ButtonPressed); // held: nothing changes
    EXPECT_EQ(b.Update(blueX, InY, 0), ButtonNormal);  // released on blue: no click
    EXPECT_EQ(b.Clicked(), 0);
    b.Update(opaqueX, InY, 1);
    b.Update(opaqueX, InY, 0);
    EXPECT_EQ(b.Clicked(), 1);
}

TEST_F(Buttons, LoadFramesAddsOnlyWhenTheCutGivesExactlyTheCount) {
    WriteStrip("ten.bmp", 1, 10, {Red, Red, Red, Red, Red, Green, Green, Green, Green, Green});
    Button b(0, 0);
    EXPECT_EQ(b.LoadFrames("ten.bmp", 4, 0), 0); // cells of 2 give five columns
    EXPECT_EQ(b.LoadFrames("ten.bmp", 11, 0), 0);
    EXPECT_EQ(b.LoadFrames("missing.bmp", 2, 0), 0);
    EXPECT_EQ(b.FrameTotal(), 0);
    EXPECT_EQ(b.LoadFrames("ten.bmp", 2, 0), 1);
    EXPECT_EQ(b.FrameTotal(), 2);
    EXPECT_EQ(b.width, 5);

    WriteStrip("stack.bmp", 8, 4, {Red, Green, Yellow}, true);
    Button stacked(0, 0);
    ASSERT_EQ(stacked.LoadFrames("stack.bmp", 3, 1), 1);
    EXPECT_EQ(stacked.height, 4);
    stacked.SetState(ButtonPressed);
    EXPECT_EQ(Look(stacked), As565(Yellow));
    EXPECT_EQ(stacked.AddFrameFromFile(3, "missing.bmp"), 0);
    EXPECT_EQ(stacked.FrameTotal(), 3);
}

TEST_F(Buttons, DrawingMarksRedrawsBakesAndSwaps) {
    Button& b = *Make({Red, Green});
    b.SetMarkOnDraw(1);
    b.Redraw();
    EXPECT_EQ(PixelAt(back_, 36, 47), As565(Red));
    const auto& list = g_RedrawList.List(g_RedrawList.InUse());
    ASSERT_EQ(list.Count(), 1);
    const RedrawEntry& mark = *list.At(0);
    EXPECT_EQ(std::vector<int>({mark.x, mark.y, mark.width, mark.height, mark.flags}),
              std::vector<int>({35, 46, 20, 10, RedrawOneShot | RedrawFromBackground}));

    b.SwapFirstTwoFrames();
    EXPECT_EQ(PixelAt(back_, 36, 47), As565(Green));

    b.SetEnabled(0);
    Clear(back_, Black);
    b.Redraw();
    EXPECT_EQ(PixelAt(back_, 36, 47), As565(Black));
    EXPECT_EQ(b.Update(InX, InY, 1), ButtonNormal);

    IDirectDrawSurface* pristine = MakeTarget(100, 100);
    IDirectDrawSurface* background = MakeTarget(100, 100);
    g_RedrawList.SetPristine(pristine);
    g_RedrawList.SetBackground(background);
    b.BakeIntoBackground(0);
    EXPECT_EQ(PixelAt(background, 36, 47), As565(Black));
    b.BakeIntoBackground(1);
    EXPECT_EQ(PixelAt(pristine, 36, 47), As565(Green));
    EXPECT_EQ(PixelAt(background, 36, 47), As565(Green));
}

// Counts destructions, to see that the list destroys its buttons.
struct CountedButton : Button {
    CountedButton(int x, int y, int w, int h, int* gone) : Button(x, y, w, h), gone(gone) {}
    ~CountedButton() override { ++*gone; }
    int* gone;
};

TEST_F(Buttons, ListOrderDecidesOverlapsDrawingAndWhichClickIsReported) {
    int gone = 0;
    {
        ButtonList list;
        auto* first = new CountedButton(0, 0, 20, 20, &gone);
        auto* second = new CountedButton(10, 10, 20, 20, &gone);
        first->SetName("first");
        second->SetName("Second");
        list.Add(first);
        list.Add(second);
        list.SetOrigin(100, 50);
        EXPECT_EQ(second->originX, 100);

        // A press and release where both overlap: both change state.
        list.UpdateAll(115, 65, 1);
        EXPECT_EQ(first->State() + second->State(), 2 * ButtonPressed);
        list.UpdateAll(115, 65, 0);
        EXPECT_EQ(list.FindClicked(), first);
        EXPECT_EQ(list.WasClicked("first"), 1);
        EXPECT_EQ(list.WasClicked("Second"), 0);
        first->SetEnabled(0);
        EXPECT_EQ(list.FindClicked(), second);
        EXPECT_EQ(list.FindByName("second"), nullptr);
        EXPECT_EQ(list.FindByName("Second"), second);
    }
    EXPECT_EQ(gone, 2);

    ButtonList list;
    list.Add(Make({Red}));
    list.Add(Make({Green}));
    made_.back()->x = 40; // overlaps the first by half
    for (auto& made : made_)
        made.release();
    list.SetOrigin(0, 0);
    list.DrawAll();
    EXPECT_EQ(PixelAt(back_, 35, 41), As565(Red));
    EXPECT_EQ(PixelAt(back_, 45, 41), As565(Green));
}

} // namespace
