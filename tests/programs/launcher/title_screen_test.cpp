// A game's title screen: the sound and music switches, the eight players and
// the current one, and "Play" handing the launcher's folder to the game.
#include "launcher_test_support.h"

#include <map>

namespace {

using namespace launchertest;

class TitleScreen : public LauncherProgram {
protected:
    fs::path Options() const { return dist_ / "options.ini"; }
    // The highlight font's ink colour, and the normal font's.
    uint32_t Ink(const char* font) const {
        const Picture picture = ReadBmp(dist_ / font);
        std::map<uint32_t, int> counts;
        for (Rgb pixel : picture.pixels)
            if (pixel != Blue) ++counts[pixel.Packed()];
        uint32_t best = 0;
        int most = -1;
        for (const auto& [colour, count] : counts)
            if (count > most) best = colour, most = count;
        return best;
    }
    int InkInField(const Picture& shot, int slot, const char* font) const {
        const Point centre = PlayerField(slot);
        return CountColour(shot, centre.x - 60, centre.y - 15, 150, 30, Rgb::FromPacked(Ink(font)));
    }
};

TEST_F(TitleScreen, SoundSwitchStartsOffFromTheFileAndOneClickWritesY) {
    WriteText(Options(), "[setup]\nSFX=N\nMusic=Yes\n");
    const Picture sfx = ReadBmp(dist_ / "sfx.bmp");
    const Picture music = ReadBmp(dist_ / "music.bmp");
    ASSERT_TRUE(sfx.Loaded() && music.Loaded());
    Run(Shot(shots_ / "before.bmp") + Click(SfxSwitch) + Shot(shots_ / "after.bmp"),
        {"Pearlwreck"});
    const Picture before = ReadBmp(shots_ / "before.bmp");
    const Picture after = ReadBmp(shots_ / "after.bmp");
    // The switch shows its second ("off") picture, then its first.
    const auto offShown = MatchFrame(before, sfx, 2, 1, 52, 505);
    const auto onShown = MatchFrame(after, sfx, 2, 0, 52, 505);
    EXPECT_EQ(offShown.first, offShown.second);
    EXPECT_EQ(onShown.first, onShown.second);
    // "Yes" is not "N": music is on.
    const auto musicOn = MatchFrame(before, music, 2, 0, 106, 505);
    EXPECT_EQ(musicOn.first, musicOn.second);
    const std::string options = ReadText(Options());
    EXPECT_NE(options.find("SFX=Y"), std::string::npos) << options;
    EXPECT_NE(options.find("Music=Yes"), std::string::npos) << options;
}

TEST_F(TitleScreen, MusicSwitchWritesNThenY) {
    Run(Click(MusicSwitch) + "wait 100\n" + Shot(shots_ / "off.bmp"), {"Pearlwreck"});
    EXPECT_NE(ReadText(Options()).find("Music=N"), std::string::npos);
    const auto offShown =
        MatchFrame(ReadBmp(shots_ / "off.bmp"), ReadBmp(dist_ / "music.bmp"), 2, 1, 106, 505);
    EXPECT_EQ(offShown.first, offShown.second);
    Run(Click(MusicSwitch), {"Pearlwreck"});
    EXPECT_NE(ReadText(Options()).find("Music=Y"), std::string::npos);
}

TEST_F(TitleScreen, ClickingAPlayerMakesItCurrentAndHighlightsIt) {
    Run(Shot(shots_ / "first.bmp") + Click(PlayerField(1)) + Click({700, 560}) + "wait 200\n" +
            Shot(shots_ / "second.bmp"),
        {"Pearlwreck"});
    const std::string options = ReadText(Options());
    EXPECT_NE(options.find("playerid=1"), std::string::npos) << options;
    const Picture first = ReadBmp(shots_ / "first.bmp");
    const Picture second = ReadBmp(shots_ / "second.bmp");
    // At first player 1 (slot 0) is highlighted; after the clicks slot 1,
    // even after the click on the empty background.
    EXPECT_GT(InkInField(first, 0, "h_font.bmp"), 50);
    EXPECT_EQ(InkInField(first, 1, "h_font.bmp"), 0);
    EXPECT_GT(InkInField(second, 1, "h_font.bmp"), 50);
    EXPECT_EQ(InkInField(second, 1, "n_font.bmp"), 0);
    EXPECT_EQ(InkInField(second, 0, "h_font.bmp"), 0);
    EXPECT_GT(InkInField(second, 0, "n_font.bmp"), 50);
}

TEST_F(TitleScreen, NamesShowTheirFirstWordOnly) {
    WriteText(Options(), "[Player3]\nname=Ann Marie Smith\n");
    Run(Shot(shots_ / "long.bmp"), {"Pearlwreck"});
    WriteText(Options(), "[Player3]\nname=Ann\n");
    Run(Shot(shots_ / "short.bmp"), {"Pearlwreck"});
    const Picture cut = ReadBmp(shots_ / "long.bmp");
    const Picture plain = ReadBmp(shots_ / "short.bmp");
    EXPECT_GT(InkInField(plain, 2, "n_font.bmp"), 20);
    EXPECT_TRUE(SameArea(cut, plain, 238, 420, 150, 30));
}

TEST_F(TitleScreen, PlayHandsTheLaunchersFullPathToTheGameInItsFolder) {
    Run(Click(PlayButton), {"Pearlwreck"});
    const std::vector<std::string> opened = Opened();
    ASSERT_EQ(opened.size(), 1u);
    // verb | file | the only parameter: the launcher's folder | working directory
    EXPECT_EQ(opened[0], "open|Pearlwreck.exe|" + dist_.string() + "|Pearlwreck");
}

// A picture page drawn over the title screen leaves nothing behind once closed.
TEST_F(TitleScreen, ClosedCreditsPageLeavesTheTitleScreenAsItWas) {
    const Point creditsButton{122, 460};
    Run(Shot(shots_ / "before.bmp") + Click(creditsButton) + "wait 300\n" +
            Shot(shots_ / "page.bmp") + Click({400, 300}) + "wait 300\n" +
            Shot(shots_ / "after.bmp"),
        {"Pearlwreck"});
    const Picture before = ReadBmp(shots_ / "before.bmp");
    const Picture page = ReadBmp(shots_ / "page.bmp");
    const Picture after = ReadBmp(shots_ / "after.bmp");
    ASSERT_TRUE(before.Loaded() && page.Loaded() && after.Loaded());
    EXPECT_FALSE(SameArea(before, page, 0, 0, before.width, before.height)) << "no page shown";
    EXPECT_TRUE(SameArea(before, after, 0, 0, before.width, before.height));
}

} // namespace
