// The game pages: games found beside the launcher, twelve to a page, the
// collect place after the last one, page turns, and the command line a game
// hands back.
#include "launcher_test_support.h"

#include <cstdio>

namespace {

using namespace launchertest;

class GamePages : public LauncherProgram {
protected:
    // Games "Game01".."GameNN" beside Pearlwreck, which sorts after them.
    void AddGames(int count) {
        for (int i = 1; i <= count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "Game%02d", i);
            AddGame(name);
        }
    }
    std::string PlayLine(const std::string& game) const {
        return "open|" + game + ".exe|" + dist_.string() + "|" + game;
    }
};

TEST_F(GamePages, FiveGamesFillFiveSlotsThenTheCollectPlace) {
    AddGames(4); // Game01..Game04, Pearlwreck fifth
    // Slot 7 is disabled: nothing. Slot 6 is the collect place: the site.
    // Slot 3 opens Game03's title page, whose Play starts it.
    const std::string script = Click(SlotCentre(7)) + Click(SlotCentre(6)) + Click(SlotCentre(3)) +
                               "wait 300\n" + Click(PlayButton);
    Run(script);
    EXPECT_EQ(Opened(), (std::vector<std::string>{SiteLine(), PlayLine("Game03")}));
}

TEST_F(GamePages, ElevenGamesPutTheCollectPlaceInTheLastSlot) {
    AddGames(10);
    Run(Click(SlotCentre(12)) + Click(SlotCentre(11)) + "wait 300\n" + Click(PlayButton));
    EXPECT_EQ(Opened(), (std::vector<std::string>{SiteLine(), PlayLine("Pearlwreck")}));
}

TEST_F(GamePages, TwelveGamesGiveTheCollectPlaceAPageOfItsOwn) {
    AddGames(11);
    const Picture digits = ReadBmp(dist_ / "PageNumbers.bmp");
    ASSERT_TRUE(digits.Loaded());
    const std::string script =
        Shot(shots_ / "page1.bmp") + Click(RightArrow) + Click(RightArrow) + // no third page
        Shot(shots_ / "page2.bmp") +
        // Slot 5 holds no game here but stays enabled from page 1.
        Click(SlotCentre(5)) + Click(SlotCentre(1)) + Click(LeftArrow) + Shot(shots_ / "back.bmp") +
        Click(SlotCentre(12)) + "wait 300\n" + Click(PlayButton);
    Run(script);
    EXPECT_EQ(Opened(), (std::vector<std::string>{SiteLine(), SiteLine(), PlayLine("Pearlwreck")}));

    // The page number ends at x 716: one digit of the 16-pixel strip from 700, at y 30.
    const auto onePage = MatchFrame(ReadBmp(shots_ / "page1.bmp"), digits, 10, 1, 700, 30);
    const auto twoPages = MatchFrame(ReadBmp(shots_ / "page2.bmp"), digits, 10, 2, 700, 30);
    const auto backAgain = MatchFrame(ReadBmp(shots_ / "back.bmp"), digits, 10, 1, 700, 30);
    EXPECT_GT(onePage.second, 20);
    EXPECT_EQ(onePage.first, onePage.second);
    EXPECT_EQ(twoPages.first, twoPages.second);
    EXPECT_EQ(backAgain.first, backAgain.second);
    // Page 2 shows the collect picture in slot 1 (under the slot button's
    // frame) where page 1 showed the first game.
    const Picture collect = ReadBmp(dist_ / "CollectButton.bmp");
    const Picture game = ReadBmp(dist_ / "Pearlwreck" / "LudoraButton.bmp");
    const auto collectShown = MatchFrame(ReadBmp(shots_ / "page2.bmp"), collect, 1, 0, 14, 140);
    const auto gameShown = MatchFrame(ReadBmp(shots_ / "page1.bmp"), game, 1, 0, 14, 140);
    const auto collectOnPage1 = MatchFrame(ReadBmp(shots_ / "page1.bmp"), collect, 1, 0, 14, 140);
    EXPECT_GT(collectShown.first, collectShown.second * 9 / 10);
    EXPECT_GT(gameShown.first, gameShown.second * 9 / 10);
    EXPECT_LT(collectOnPage1.first, collectOnPage1.second / 2);
}

TEST_F(GamePages, OnlyPlainFoldersWithAButtonPictureAreGames) {
    AddGame(".Hidden");                     // begins with a dot
    AddGame("Odd \"one\"; $(touch pwned)"); // listed like any other, runs nothing
    fs::create_directories(dist_ / "NoPicture");
    WriteText(dist_ / "NotAFolder", "a file, not a folder");
    // Odd... sorts first, Pearlwreck second: slot 3 is the collect place.
    Run(Click(SlotCentre(3)) + Click(SlotCentre(4)) + Click(SlotCentre(1)) + "wait 300\n" +
        Click(PlayButton));
    EXPECT_EQ(Opened(),
              (std::vector<std::string>{SiteLine(), PlayLine("Odd \"one\"; $(touch pwned)")}));
    EXPECT_FALSE(fs::exists(dist_ / "pwned"));
    EXPECT_FALSE(fs::exists(dist_ / "Odd \"one\"; $(touch pwned)" / "pwned"));
}

TEST_F(GamePages, NoGamesLeaveOnlyTheCollectPlace) {
    fs::remove_all(dist_ / "Pearlwreck");
    Run(Click(SlotCentre(2)) + Click(SlotCentre(1)));
    EXPECT_EQ(Opened(), (std::vector<std::string>{SiteLine()}));
}

TEST_F(GamePages, LongFolderNamesAreCutNotOverrun) {
    const std::string longName(120, 'L');
    AddGame(longName);
    Run(Click(SlotCentre(1)) + "wait 300\n" + Click(PlayButton));
    // The entry keeps 63 characters of the name; the game is started by that name.
    const std::string kept = longName.substr(0, 63);
    EXPECT_EQ(Opened(),
              (std::vector<std::string>{"open|" + kept + ".exe|" + dist_.string() + "|" + kept}));
}

class CommandLine : public LauncherProgram {};

TEST_F(CommandLine, AGameHandingBackOpensOnItsTitlePage) {
    const Picture title = ReadBmp(dist_ / "Pearlwreck" / "title" / "titlebackground.bmp");
    ASSERT_TRUE(title.Loaded());
    Run(Shot(shots_ / "back.bmp") + Click(PlayButton), {"Pearlwreck"});
    const Picture shot = ReadBmp(shots_ / "back.bmp");
    ASSERT_TRUE(shot.Loaded());
    // The title picture's sky, away from every button.
    int same = 0;
    for (int x = 300; x < 500; ++x)
        same += Quantised(shot.At(x, 30)) == Quantised(title.At(x, 30));
    EXPECT_EQ(same, 200);
    EXPECT_EQ(Opened(),
              (std::vector<std::string>{"open|Pearlwreck.exe|" + dist_.string() + "|Pearlwreck"}));
}

TEST_F(CommandLine, APrefixChoosesTheLastMatchingGame) {
    AddGame("PearlA"); // sorts before Pearlwreck
    AddGame("Other");
    Run(Click(PlayButton), {"Pearl"});
    Run(Click(PlayButton), {"PearlA"});
    Run(Click(PlayButton), {"Pearlwreck.exe"});
    // Case matters and a text that matches nothing leaves the pages: slot 3 of
    // Other, PearlA, Pearlwreck is Pearlwreck, slot 4 the collect place.
    Run(Click(SlotCentre(4)), {"pearl"});
    const std::string root = dist_.string();
    EXPECT_EQ(Opened(), (std::vector<std::string>{"open|Pearlwreck.exe|" + root + "|Pearlwreck",
                                                  "open|PearlA.exe|" + root + "|PearlA",
                                                  "open|Pearlwreck.exe|" + root + "|Pearlwreck",
                                                  SiteLine()}));
}

TEST_F(CommandLine, MenuReturnsToThePages) {
    AddGame("Alpha");
    // Pearlwreck's page, Menu, then Alpha (slot 1) and Play.
    Run(Click(MenuButton) + Click(SlotCentre(1)) + "wait 300\n" + Click(PlayButton),
        {"Pearlwreck"});
    EXPECT_EQ(Opened(), (std::vector<std::string>{"open|Alpha.exe|" + dist_.string() + "|Alpha"}));
}

} // namespace
