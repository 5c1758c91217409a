// The suite end to end: the launcher starts Pearlwreck in its folder with the
// launcher's path, the game's "menu" starts the launcher with the game's name,
// and the launcher opens on Pearlwreck's title page. The programs really
// start one another; each reads the input script from its own folder.
#include "launcher_test_support.h"

#include <unistd.h>

namespace {

using namespace launchertest;

class WholeSuite : public LauncherProgram {};

TEST_F(WholeSuite, LauncherToGameAndBack) {
    if (!fs::exists(dist_ / "Pearlwreck" / "Pearlwreck")) GTEST_SKIP() << "the game is not staged";
    const Picture title = ReadBmp(dist_ / "Pearlwreck" / "title" / "titlebackground.bmp");
    ASSERT_TRUE(title.Loaded());
    // The launcher: splash, Pearlwreck's slot, Play, then its credit picture.
    WriteText(dist_ / "script.txt", "wait 300\nclick 400 60\nwait 500\n" + Click(SlotCentre(1)) +
                                        "wait 300\n" + Click(PlayButton) + "click 400 300\n");
    // The game: splash, then "menu" (at 649, 531), then its credit picture.
    WriteText(dist_ / "Pearlwreck" / "script.txt", "wait 300\nclick 400 20\nwait 800\n" +
                                                       Shot(shots_ / "game.bmp") +
                                                       "click 683 552\nwait 300\nclick 400 300\n");
    EXPECT_EQ(RunProgram("script.txt", {}, true), 0);
    // The launcher has read its script and ended; the one the game starts reads this one.
    WriteText(dist_ / "script.txt", "wait 300\nclick 400 60\nwait 600\n" +
                                        Shot(shots_ / "back.bmp") + "wait 100\nclose\n");

    const fs::path back = shots_ / "back.bmp";
    for (int waited = 0; waited < 60000 && !(fs::exists(back) && Opened().size() >= 2); waited += 5)
        usleep(5000);
    // Let the second launcher finish writing its shot and close.
    for (int waited = 0; waited < 10000 && !ReadBmp(back).Loaded(); waited += 5)
        usleep(5000);

    const std::string root = dist_.string();
    EXPECT_EQ(Opened(),
              (std::vector<std::string>{"open|Pearlwreck.exe|" + root + "|Pearlwreck",
                                        "open|" + root + "\\Ludora.exe|Pearlwreck|" + root}));
    EXPECT_TRUE(ReadBmp(shots_ / "game.bmp").Loaded());
    const Picture shot = ReadBmp(back);
    ASSERT_TRUE(shot.Loaded());
    int same = 0;
    for (int x = 300; x < 500; ++x)
        same += Quantised(shot.At(x, 30)) == Quantised(title.At(x, 30));
    EXPECT_EQ(same, 200);
}

} // namespace
