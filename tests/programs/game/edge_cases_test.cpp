// The game's rarer paths through the staged program, in one session without
// islands.dat: the help page over a game and the chart repainted after it,
// the open sea searched from edge to edge, a score entered in the last free
// place (the notice closes by itself after a second), then a lower score
// against the full table entering nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/game/reference_deal.h"
#include "tests/support/files.h"
#include "tests/support/picture.h"
#include "tests/support/staged_copy.h"

using testkit::Picture;
using testkit::ReadBmp;

namespace {

constexpr uint32_t Seed = 4242;

// A zero-length click, as a touchpad taps: press and release reach the game
// in one pass of its message pump.
std::string ClickCell(int index) {
    return "click " + std::to_string(reference::CellX(index) + 9) + " " +
           std::to_string(reference::CellY(index) + 9) + " left 0\n";
}

int Differences(const Picture& shot, int x, int y, const Picture& picture) {
    return testkit::DifferentPixels(shot, x, y, picture, 0, 0, picture.width,
                                    std::min(picture.height, shot.height - y));
}

} // namespace

TEST(GameEdgeCases, HelpOpenSeaTheHallOfFameNoticeAndAFullTable) {
    if (!std::filesystem::exists(testkit::StagedDist() / "Pearlwreck/Pearlwreck"))
        GTEST_SKIP() << "no staged game in " << testkit::StagedDist();
    testkit::StagedCopy copy;
    ASSERT_TRUE(copy.Ready());
    std::filesystem::remove(copy.Game() / "islands.dat");
    testkit::WriteText(copy.dist / "options.ini", "[setup]\nmusic=N\nSFX=N\n");
    // Nineteen entries from 20 000 down to 2 000 and one free place.
    std::string table(5204, '\0');
    table[0] = 20;
    for (int i = 0; i < 19; ++i) {
        const uint32_t score = 1000u * (20 - i);
        table.replace(4 + 260 * i, 6, "Keeper");
        for (int b = 0; b < 4; ++b)
            table[4 + 260 * i + 256 + b] = static_cast<char>(score >> (8 * b));
    }
    testkit::WriteText(copy.Game() / "hiscore.dat", table);

    // Open sea dealt at start-up, then for each of the two games.
    reference::Rand rand(Seed);
    reference::Chart games[3];
    for (reference::Chart& chart : games) {
        chart = reference::ChartOfMap({}, 0);
        reference::Place(chart, rand);
    }
    std::vector<int> pieces[3];
    for (int g : {1, 2})
        for (int i = 0; i < reference::Cells; ++i)
            if (games[g].treasure[i]) pieces[g].push_back(i);
    // Five rows from top to bottom, five places along each from edge to edge:
    // the nearest visible cell that holds no piece in either game.
    std::vector<int> misses;
    for (int row : {0, 9, 18, 27, 36})
        for (int column : {0, 9, 18, 28, 37})
            for (int step = 0; step < reference::Columns; ++step) {
                const int cell = reference::Index(column < 19 ? column + step : column - step, row);
                if (!games[1].hidden[cell] && !games[1].treasure[cell] &&
                    !games[2].treasure[cell] &&
                    std::find(misses.begin(), misses.end(), cell) == misses.end()) {
                    misses.push_back(cell);
                    break;
                }
            }
    ASSERT_EQ(misses.size(), 25u);

    const std::string shots = copy.Shots().string() + "/";
    std::ostringstream script;
    script << "wait 500\nclick 400 300 left 100\nwait 1500\n"; // the splash
    for (int game : {1, 2}) {
        script << "click 754 506 left 100\nwait 1500\nclick 400 300 left 100\nwait 800\n";
        // Game 1 finds two pieces in a row (125 + 150), game 2 one (125).
        for (int p = 0; p < 3 - game; ++p)
            script << ClickCell(pieces[game][p]) << "wait 300\n";
        if (game == 1) {
            script << "wait 2000\nmove 684 506\nwait 200\nshot " << shots << "before-help.bmp\n";
            script << "click 684 506 left 100\nwait 800\nshot " << shots << "help.bmp\n";
            script << "click 684 506 left 100\nwait 800\nshot " << shots << "after-help.bmp\n";
        }
        // Each search's sonar holds the script back until it ends.
        for (int cell : misses)
            script << ClickCell(cell) << "wait 100\n";
        script << "wait 2500\nshot " << shots << "over" << game << ".bmp\n";
        script << "click 400 300 left 100\nwait 300\nshot " << shots << "notice" << game
               << ".bmp\n";
        script << "wait 1500\nshot " << shots << "after" << game << ".bmp\n";
    }
    script << "click 754 552 left 100\nwait 7000\n"; // "exit", then the credits
    EXPECT_EQ(copy.RunGame(script.str(), {},
                           {"LUDORA_SEED=" + std::to_string(Seed), "LUDORA_TIME_SCALE=5"}, 180000)
                  .status,
              0);

    // The help page centred over the game, then the chart as it was before.
    const Picture help = ReadBmp(copy.Game() / "title/HowToPlay.bmp");
    const Picture before = ReadBmp(shots + "before-help.bmp"),
                  after = ReadBmp(shots + "after-help.bmp");
    ASSERT_TRUE(help.Loaded() && before.Loaded() && after.Loaded());
    const Picture helpShot = ReadBmp(shots + "help.bmp");
    EXPECT_EQ(Differences(helpShot, helpShot.width / 2 - help.width / 2,
                          helpShot.height / 2 - help.height / 2, help),
              0);
    EXPECT_EQ(testkit::DifferentPixels(after, 50, 84, before, 50, 84, 14 * 38 + 7, 12 * 37), 0)
        << "the chart after the help page";

    // Both games lost: each of the 25 searches cost one. Game 1's 275 took
    // the free place and its notice closed after a second; game 2's 125,
    // below the full table, entered nothing and showed no notice.
    const Picture gameOver = ReadBmp(copy.Game() / "gameover.bmp");
    const Picture notice = ReadBmp(copy.Game() / "hallfamepop.bmp");
    ASSERT_TRUE(gameOver.Loaded() && notice.Loaded());
    for (int game : {1, 2}) {
        const std::string n = std::to_string(game);
        EXPECT_EQ(Differences(ReadBmp(shots + "over" + n + ".bmp"), 135, 153, gameOver), 0) << n;
        const int shown = Differences(ReadBmp(shots + "notice" + n + ".bmp"), 250, 202, notice);
        EXPECT_TRUE(game == 1 ? shown == 0 : shown > notice.width * notice.height / 4) << n;
        EXPECT_GT(Differences(ReadBmp(shots + "after" + n + ".bmp"), 250, 202, notice),
                  notice.width * notice.height / 4)
            << n;
    }
    const std::string written = testkit::ReadText(copy.Game() / "hiscore.dat");
    ASSERT_EQ(written.size(), 5204u);
    EXPECT_EQ(written.substr(0, 4 + 260 * 19), table.substr(0, 4 + 260 * 19));
    EXPECT_EQ(testkit::Little(written, 4 + 260 * 19 + 256, 4), 275u);
}
