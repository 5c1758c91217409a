// The base of every screen: its named pictures, its buttons and Present.
#include "picture_fixture.h"

#include "ui/buttons/button.h"
#include "ui/buttons/button_list.h"
#include "ui/buttons/pointer.h"
#include "ui/pictures/redraw_list.h"
#include "ui/pictures/scene.h"
#include "zq.h"

#include <ludora/harness_video.h>

#include <string>

using namespace picturetest;

namespace {

int g_buttonsDestroyed = 0;

class CountedButton : public Button {
public:
    CountedButton() : Button(0, 0, 10, 10) {}
    ~CountedButton() override { ++g_buttonsDestroyed; }
};

class PresentCounter : public Scene {
public:
    int Present() override {
        ++presented;
        return 42;
    }
    int presented = 0;
};

class SceneTest : public PictureTest {
protected:
    void SetUp() override {
        PictureTest::SetUp();
        // A 6 x 4 picture: red with a blue (transparent) left column.
        WriteBmp("flag.bmp", 6, 4, [](int x, int) { return x == 0 ? Blue : Red; });
        scene.Activate(ZQGetLPDD(), BackBuffer());
    }
    void TearDown() override {
        scene.Destroy();
        PictureTest::TearDown();
    }
    Scene scene;
};

TEST_F(SceneTest, AddImageKeepsOnlyPicturesThatLoad) {
    ImageRecord* flag = scene.AddImage("flag.bmp");
    ASSERT_NE(flag, nullptr);
    EXPECT_STREQ(flag->name, "flag.bmp");
    EXPECT_EQ(flag->x, 0);
    EXPECT_EQ(flag->y, 0);
    EXPECT_EQ(flag->width, 6);
    EXPECT_EQ(flag->height, 4);
    EXPECT_EQ(SourceKey(flag->surface), To565(Blue));

    EXPECT_EQ(scene.AddImage("missing.bmp"), nullptr);
    EXPECT_EQ(scene.Images()->Count(), 1);

    // Named images are kept even without their file.
    ImageRecord* ghost = scene.AddNamedImage("missing.bmp", "ghost");
    ASSERT_NE(ghost, nullptr);
    EXPECT_EQ(ghost->surface, nullptr);
    EXPECT_STREQ(ghost->name, "ghost");
    ImageRecord* unnamed = scene.AddNamedImage("flag.bmp", nullptr);
    EXPECT_STREQ(unnamed->name, "flag.bmp");
    EXPECT_EQ(scene.Images()->Count(), 3);
}

TEST_F(SceneTest, ImagesAreFoundByTheirExactNameAndRemovedWithoutBeingDestroyed) {
    ImageRecord* first = scene.AddNamedImage("flag.bmp", "Sea");
    ImageRecord* second = scene.AddNamedImage("flag.bmp", "Sea");
    scene.AddNamedImage("flag.bmp", "sea ");
    EXPECT_EQ(scene.FindImage("Sea"), first);
    EXPECT_EQ(scene.FindImage("sea"), nullptr);
    EXPECT_EQ(scene.FindImage("Se"), nullptr);
    EXPECT_EQ(scene.FindImage(nullptr), nullptr);

    scene.RemoveImageByName("Sea");
    EXPECT_EQ(scene.FindImage("Sea"), second);
    EXPECT_EQ(scene.Images()->Count(), 2);
    // Still whole: the caller holds it.
    EXPECT_EQ(SizeOf(first->surface), std::make_pair(6, 4));
    delete first;

    scene.RemoveImage(second);
    EXPECT_EQ(scene.FindImage("Sea"), nullptr);
    delete second;
    scene.RemoveImageByName("nobody");
    EXPECT_EQ(scene.Images()->Count(), 1);
}

TEST_F(SceneTest, DrawImageBlitsKeyedAndClippedAtAnyPlace) {
    IDirectDrawSurface* back = BackBuffer();
    ImageRecord* flag = scene.AddNamedImage("flag.bmp", "flag");
    flag->x = ScreenWidth - 3;
    flag->y = ScreenHeight - 2;
    FillSurface(back, 0x1234);
    EXPECT_EQ(scene.DrawImage(back, "nothing", 0, 0), 0);

    EXPECT_EQ(scene.DrawImage(back, "flag", 10, 20), 1);
    EXPECT_EQ(PixelAt(back, 10, 20), 0x1234u); // blue column left out
    EXPECT_EQ(CountInRect(back, 11, 20, 16, 24, To565(Red)), 20);

    // Partly off the left and top: the visible part is drawn, not skipped.
    EXPECT_EQ(scene.DrawImage(back, "flag", -3, -1), 1);
    EXPECT_EQ(CountInRect(back, 0, 0, 3, 3, To565(Red)), 9);
    EXPECT_EQ(PixelAt(back, 3, 0), 0x1234u);

    // At home, over the bottom right corner.
    EXPECT_EQ(scene.DrawImageAtHome(back, "flag"), 1);
    EXPECT_EQ(
        CountInRect(back, ScreenWidth - 3, ScreenHeight - 2, ScreenWidth, ScreenHeight, To565(Red)),
        4);
    EXPECT_EQ(PixelAt(back, ScreenWidth - 3, ScreenHeight - 1), 0x1234u);
    EXPECT_EQ(scene.DrawImageAtHome(back, "nothing"), 0);
}

TEST_F(SceneTest, NamesAreCutAt255Characters) {
    const std::string longName(400, 'n');
    scene.SetName(longName.c_str());
    EXPECT_EQ(std::string(scene.Name()), longName.substr(0, 255));
    scene.SetName("treasure");
    EXPECT_STREQ(scene.Name(), "treasure");
}

TEST_F(SceneTest, DestroyFreesButtonsAndImagesAndActivateMakesTheListsAgain) {
    g_buttonsDestroyed = 0;
    scene.Buttons()->originX = 30;
    scene.Buttons()->originY = 40;
    CountedButton* button = new CountedButton;
    scene.AddButton(button);
    EXPECT_EQ(button->originX, 30);
    EXPECT_EQ(button->originY, 40);
    EXPECT_EQ(scene.Buttons()->Count(), 1);
    scene.AddButton(new CountedButton);
    scene.AddImage("flag.bmp");

    scene.Destroy();
    EXPECT_EQ(g_buttonsDestroyed, 2);
    EXPECT_EQ(scene.Buttons(), nullptr);
    EXPECT_EQ(scene.Images(), nullptr);
    EXPECT_EQ(scene.FindImage("flag.bmp"), nullptr);

    scene.Activate(ZQGetLPDD(), BackBuffer());
    ASSERT_NE(scene.Buttons(), nullptr);
    ASSERT_NE(scene.Images(), nullptr);
    EXPECT_EQ(scene.Buttons()->Count(), 0);
    EXPECT_EQ(scene.Images()->Count(), 0);
    EXPECT_NE(scene.AddImage("flag.bmp"), nullptr);
    EXPECT_EQ(scene.OnMessage(nullptr, WM_PAINT, 0, 0), 1);
    EXPECT_EQ(scene.Frame(1), 1);
}

TEST_F(SceneTest, RedrawSurfacesGoToTheRepaintLists) {
    ImageRecord* flag = scene.AddImage("flag.bmp");
    scene.SetRedrawBackground(flag->surface);
    scene.SetRedrawPristine(BackBuffer());
    EXPECT_EQ(g_RedrawList.Background(), flag->surface);
    EXPECT_EQ(g_RedrawList.Pristine(), BackBuffer());
    g_RedrawList.Reset();
}

TEST_F(SceneTest, PresentShowsThePointerLeavesTheBackBufferCleanAndRepaintsMarksLater) {
    IDirectDrawSurface* back = BackBuffer();
    IDirectDrawSurface* background = MakeSurface(ScreenWidth, ScreenHeight);
    FillSurface(background, To565(Grey));
    scene.SetRedrawBackground(background);

    // An 8 x 8 white pointer at (100, 50).
    WriteBmp("pointer.bmp", 8, 8, [](int, int) { return White; });
    g_Pointer.SetImage("pointer.bmp");
    g_Pointer.SelectImage(0);
    g_Pointer.SetPosition(100, 50);
    g_Pointer.visible = 1;

    FillSurface(back, To565(Green));
    g_RedrawList.Mark(10, 10, 5, 5, RedrawOneShot | RedrawFromBackground);
    EXPECT_EQ(scene.Present(), 1);

    uint32_t screen = 0;
    ASSERT_EQ(LudoraReadScreenPixel(103, 53, &screen), 1);
    // Compared on the bits 5-6-5 keeps, however the screen widens them.
    EXPECT_EQ(screen & 0xF8FCF8u, White);
    ASSERT_EQ(LudoraReadScreenPixel(12, 12, &screen), 1);
    EXPECT_EQ(screen & 0xF8FCF8u, Green);
    // The pointer was taken off the back buffer again after the flip.
    EXPECT_EQ(CountInRect(back, 100, 50, 108, 58, To565(Green)), 64);
    // The mark belongs to the buffer shown next time round.
    EXPECT_EQ(CountInRect(back, 10, 10, 15, 15, To565(Green)), 25);
    scene.Present();
    EXPECT_EQ(CountInRect(back, 10, 10, 15, 15, To565(Grey)), 25);

    g_Pointer.visible = 0;
    g_Pointer.Release();
    g_RedrawList.Reset();
    background->Release();
}

TEST_F(SceneTest, AChildTakesOverPresent) {
    PresentCounter child;
    scene.SetChild(&child);
    EXPECT_EQ(scene.Child(), &child);
    EXPECT_EQ(scene.Present(), 42);
    EXPECT_EQ(child.presented, 1);
    scene.SetChild(nullptr);
    EXPECT_EQ(scene.Present(), 1);
    EXPECT_EQ(child.presented, 1);
}

} // namespace
