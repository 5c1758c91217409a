// Image-set descriptions: section "images" lists image01, image02, ...; each
// named section gives "file" (else the section name plus ".bmp"), "x" and "y".
#include "picture_fixture.h"

#include "ui/pictures/scene.h"
#include "zq.h"

#include <string>

using namespace picturetest;

namespace {

class ImageSet : public PictureTest {
protected:
    void SetUp() override {
        PictureTest::SetUp();
        scene.Activate(ZQGetLPDD(), BackBuffer());
    }
    void TearDown() override {
        scene.Destroy();
        PictureTest::TearDown();
    }
    static void Picture(const std::string& path, int width, int height, uint32_t rgb) {
        WriteBmp(path, width, height, [rgb](int, int) { return rgb; });
    }
    int Count() const { return scene.Images() ? scene.Images()->Count() : 0; }

    Scene scene;
};

TEST_F(ImageSet, SectionsNameTheirFileOrTheirOwnBmpAndPlaceIt) {
    Picture("sky.bmp", 16, 8, Grey);
    std::filesystem::create_directories("art");
    Picture("art/ship.bmp", 6, 4, Red);
    WriteText("set.ini", "[images]\r\nimage01=sky\r\nimage02=boat\r\n\r\n"
                         "[sky]\r\n\r\n"
                         "[boat]\r\nfile=.\\art\\ship.bmp\r\nx=40\r\ny=300\r\n");
    EXPECT_EQ(scene.LoadImageSet(".\\set.ini"), 2);
    ASSERT_EQ(Count(), 2);

    const ImageRecord* sky = scene.Images()->At(0);
    EXPECT_STREQ(sky->name, "sky");
    EXPECT_EQ(sky->x, 0);
    EXPECT_EQ(sky->y, 0);
    EXPECT_EQ(sky->width, 16);
    EXPECT_EQ(sky->height, 8);
    ASSERT_NE(sky->surface, nullptr);
    EXPECT_EQ(PixelAt(sky->surface, 3, 3), To565(Grey));

    const ImageRecord* boat = scene.Images()->At(1);
    EXPECT_STREQ(boat->name, "boat");
    EXPECT_EQ(boat->x, 40);
    EXPECT_EQ(boat->y, 300);
    EXPECT_EQ(boat->width, 6);
    ASSERT_NE(boat->surface, nullptr);
    EXPECT_EQ(PixelAt(boat->surface, 0, 0), To565(Red));
    EXPECT_EQ(SourceKey(boat->surface), To565(Blue));
    EXPECT_EQ(scene.FindImage("boat"), boat);
}

TEST_F(ImageSet, NumberingStopsAtTheFirstGapAndAMissingFirstKeyMeansNoPictures) {
    for (const char* name : {"a", "b", "d"})
        Picture(std::string(name) + ".bmp", 2, 2, Grey);
    WriteText("gap.ini", "[images]\nimage01=a\nimage02=b\nimage04=d\n");
    EXPECT_EQ(scene.LoadImageSet(".\\gap.ini"), 2);
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(scene.FindImage("d"), nullptr);

    scene.ClearImages();
    WriteText("late.ini", "[images]\nimage02=a\nimage03=b\n");
    EXPECT_EQ(scene.LoadImageSet(".\\late.ini"), 0);
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(scene.LoadImageSet(".\\no such set.ini"), 0);
    EXPECT_EQ(Count(), 0);
    // A section literally named "none" ends the list too.
    WriteText("none.ini", "[images]\nimage01=a\nimage02=none\nimage03=b\n");
    EXPECT_EQ(scene.LoadImageSet(".\\none.ini"), 1);
}

TEST_F(ImageSet, MissingOrOddPositionsReadAsAtoiDoes) {
    Picture("p.bmp", 2, 2, Grey);
    WriteText("pos.ini", "[images]\nimage01=one\nimage02=two\nimage03=three\nimage04=four\n"
                         "[one]\nfile=p.bmp\ny=7\n"
                         "[two]\nfile=p.bmp\nx=abc\ny=-12\n"
                         "[three]\nfile=p.bmp\nx=25px\ny= 9\n"
                         "[four]\nfile=p.bmp\nx=\ny=0x10\n");
    EXPECT_EQ(scene.LoadImageSet(".\\pos.ini"), 4);
    const int expected[4][2] = {{0, 7}, {0, -12}, {25, 9}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        const ImageRecord* record = scene.Images()->At(i);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->x, expected[i][0]) << record->name;
        EXPECT_EQ(record->y, expected[i][1]) << record->name;
    }
}

TEST_F(ImageSet, APictureWhoseFileIsMissingIsKeptAndDrawsNothing) {
    Picture("here.bmp", 4, 4, Red);
    WriteText("lost.ini", "[images]\nimage01=gone\nimage02=here\n[gone]\nx=5\ny=6\n");
    EXPECT_EQ(scene.LoadImageSet(".\\lost.ini"), 2);
    ImageRecord* gone = scene.FindImage("gone");
    ASSERT_NE(gone, nullptr);
    EXPECT_EQ(gone->surface, nullptr);
    EXPECT_EQ(gone->x, 5);
    EXPECT_EQ(gone->y, 6);
    EXPECT_EQ(gone->width, 0);
    EXPECT_NE(scene.FindImage("here"), nullptr);

    FillSurface(BackBuffer(), 0x1234);
    EXPECT_EQ(scene.DrawImageAtHome(BackBuffer(), "gone"), 1);
    EXPECT_EQ(scene.DrawImage(BackBuffer(), "gone", 0, 0), 1);
    EXPECT_EQ(CountInRect(BackBuffer(), 0, 0, ScreenWidth, ScreenHeight, 0x1234),
              ScreenWidth * ScreenHeight);
}

TEST_F(ImageSet, KeysAboveNinetyNineTakeThreeDigits) {
    Picture("p.bmp", 1, 1, Grey);
    std::string text = "[images]\n";
    for (int i = 1; i <= 101; ++i) {
        // Written by hand, not with the toolkit's own format.
        std::string number = std::to_string(i);
        if (number.size() < 2) number = "0" + number;
        text += "image" + number + "=s" + std::to_string(i) + "\n";
    }
    for (int i = 1; i <= 101; ++i)
        text += "[s" + std::to_string(i) + "]\nfile=p.bmp\nx=" + std::to_string(i) + "\n";
    WriteText("many.ini", text);
    EXPECT_EQ(scene.LoadImageSet(".\\many.ini"), 101);
    ASSERT_EQ(Count(), 101);
    EXPECT_STREQ(scene.Images()->At(99)->name, "s100");
    EXPECT_EQ(scene.Images()->At(100)->x, 101);
}

TEST_F(ImageSet, LongSectionNamesAreCutAndStillMakeAFileName) {
    const std::string longName(300, 'q');
    WriteText("long.ini", "[images]\nimage01=" + longName + "\n");
    EXPECT_EQ(scene.LoadImageSet(".\\long.ini"), 1);
    ASSERT_EQ(Count(), 1);
    const ImageRecord* record = scene.Images()->At(0);
    EXPECT_EQ(std::string(record->name), longName.substr(0, 255));
    EXPECT_EQ(record->surface, nullptr);
}

} // namespace
