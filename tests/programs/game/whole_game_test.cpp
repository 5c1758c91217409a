// Whole games of the staged program, played headless from input scripts: the
// boards come from the seed by the written placement rule, and the checks are
// on what the game leaves behind (hall of fame, captured sound, shots).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/game/reference_deal.h"
#include "tests/support/audio_measure.h"
#include "tests/support/files.h"
#include "tests/support/picture.h"
#include "tests/support/staged_copy.h"
#include "tests/support/wav.h"

using testkit::Picture;
using testkit::ReadBmp;
using testkit::StagedCopy;

namespace {

constexpr uint32_t Seed = 20261207;

std::string Dist() {
    return LUDORA_DIST_DIR;
}

// A file of the copy's launcher folder, and of its game folder.
std::string Root(const StagedCopy& copy, const std::string& name) {
    return (copy.dist / name).string();
}
std::string Game(const StagedCopy& copy, const std::string& name = "") {
    return (copy.Game() / name).string();
}

// Runs the game in its folder with exactly these settings; answers its exit
// status, or -1 when it had to be stopped.
int Play(const StagedCopy& copy, const std::vector<std::string>& settings,
         const std::string& commandLine = "") {
    testkit::Launch launch{copy.Game() / "Pearlwreck", copy.Game(), {}, settings, {}};
    if (!commandLine.empty()) launch.arguments.push_back(commandLine);
    const testkit::Outcome outcome = testkit::Run(launch, 180);
    return outcome.finished ? outcome.status : -1;
}

bool StagedGameExists() {
    return std::filesystem::exists(Dist() + "/Pearlwreck/Pearlwreck");
}

// The middle of a cell is inside its hit box and no lower cell's.
std::string ClickCell(int index, int holdMs = 250) {
    std::ostringstream line;
    line << "click " << reference::CellX(index) + 9 << " " << reference::CellY(index) + 9
         << " left " << holdMs << "\n";
    return line.str();
}

// Rings from a cell until the nearest of the pieces: hex distance over the chart.
std::vector<int> RingDistances(const reference::Chart& chart) {
    std::vector<int> distance(reference::Cells, -1);
    std::deque<int> queue;
    for (int i = 0; i < reference::Cells; ++i)
        if (chart.treasure[i]) {
            distance[i] = 0;
            queue.push_back(i);
        }
    while (!queue.empty()) {
        const int cell = queue.front();
        queue.pop_front();
        const int column = cell % reference::Columns, row = cell / reference::Columns;
        for (int direction = 0; direction < 6; ++direction) {
            const int c = column + reference::ColumnChange[direction][row & 1];
            const int r = row + reference::RowChange[direction];
            if (c < 0 || c >= reference::Columns || r < 0 || r >= reference::Rows) continue;
            const int next = reference::Index(c, r);
            if (distance[next] != -1) continue;
            distance[next] = distance[cell] + 1;
            queue.push_back(next);
        }
    }
    return distance;
}

// Crossings per second and loudness of 50 ms windows of a sound.
struct Window {
    double crossingsPerSecond;
    double rms;
};

std::vector<Window> Windows(const std::vector<int16_t>& samples, int rate, size_t start,
                            int count) {
    std::vector<Window> windows;
    const size_t length = static_cast<size_t>(rate / 20);
    for (int w = 0; w < count && start + (w + 1) * length <= samples.size(); ++w) {
        const std::vector<int16_t> part(samples.begin() + start + w * length,
                                        samples.begin() + start + (w + 1) * length);
        windows.push_back({audio_measure::zero_crossings(part) * 20.0, audio_measure::rms(part)});
    }
    return windows;
}

// Whether the capture holds a stretch whose pitch follows the sample's for
// its first half second, window by window.
bool Heard(const testkit::Sound& capture, const testkit::Sound& sample) {
    const std::vector<Window> wanted = Windows(sample.samples, sample.rate, 0, 10);
    if (wanted.size() < 10 || capture.rate <= 0) return false;
    const size_t step = static_cast<size_t>(capture.rate / 200); // 5 ms
    const size_t length = static_cast<size_t>(capture.rate / 20) * wanted.size();
    for (size_t start = 0; start + length <= capture.samples.size(); start += step) {
        const std::vector<Window> got =
            Windows(capture.samples, capture.rate, start, static_cast<int>(wanted.size()));
        bool same = true;
        for (size_t w = 0; w < wanted.size() && same; ++w) {
            if (wanted[w].rms < 500) continue; // quiet parts say nothing of the pitch
            same = got[w].rms > 300 &&
                   std::abs(got[w].crossingsPerSecond - wanted[w].crossingsPerSecond) <=
                       0.12 * wanted[w].crossingsPerSecond + 40;
        }
        if (same) return true;
    }
    return false;
}

// The number sprite's digit n from the staged font: ten cells side by side.
int DigitDifferences(const Picture& screen, const Picture& font, int penX, int y,
                     const std::string& text) {
    const int step = font.width / 10;
    int different = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int digit = text[i] - '0';
        different += testkit::DifferentPixels(screen, penX + static_cast<int>(i) * step, y, font,
                                              digit * step, 0, step, font.height);
    }
    return different;
}

} // namespace

// One round without a miss, then a round of misses until the searches run out.
TEST(WholeGame, RoundWithoutAMissThenLost) {
    if (!StagedGameExists()) GTEST_SKIP() << "no staged game in " << Dist();
    StagedCopy copy;
    ASSERT_TRUE(copy.Ready());
    testkit::WriteText(Root(copy, "options.ini"), "[setup]\nmusic=N\nSFX=Y\nplayerid=0\n"
                                                  "[Player1]\nname=Anna\naddress=Harbour Road\n"
                                                  "email=anna@example.org\nsend=N\n");
    std::filesystem::remove(Game(copy, "hiscore.dat"));

    // The boards: start-up deals map 0 once, the new game deals it again, then map 1.
    const std::vector<uint8_t> islands = testkit::ReadBytes(Dist() + "/Pearlwreck/islands.dat");
    ASSERT_EQ(islands.size(), 281200u);
    reference::Rand rand(Seed);
    reference::Chart atStart = reference::ChartOfMap(islands, 0);
    reference::Place(atStart, rand);
    reference::Chart round1 = reference::ChartOfMap(islands, 0);
    reference::Place(round1, rand);
    reference::Chart round2 = reference::ChartOfMap(islands, 1);
    reference::Place(round2, rand);

    std::vector<int> pieces[6];
    for (int i = 0; i < reference::Cells; ++i)
        if (round1.treasure[i]) pieces[round1.treasure[i]].push_back(i);

    const std::string shots = Root(copy, "");
    std::ostringstream script;
    script << "wait 500\nclick 400 300 left 250\nwait 1500\n"; // the splash ends on a click
    script << "shot " << shots << "idle.bmp\n";
    script << "click 754 506 left 250\nwait 1500\n"; // "newgame"
    script << "shot " << shots << "round.bmp\n";
    script << "key down SPACE\nwait 250\nkey up SPACE\nwait 800\n";
    bool first = true;
    for (int t = 1; t <= 5; ++t)
        for (int cell : pieces[t]) {
            script << ClickCell(cell) << "wait 1200\n"; // each find's sound stands alone
            if (first) script << "shot " << shots << "search.bmp\n";
            first = false;
        }
    // One second later the next round's picture: closed with a click.
    script << "wait 2500\nclick 400 300 left 250\nwait 800\n";
    // Round 2: seventy searches next to the pieces, each costing one.
    const std::vector<int> distance = RingDistances(round2);
    std::vector<int> misses;
    for (int d = 1; d < 80 && misses.size() < 70; ++d)
        for (int i = 0; i < reference::Cells && misses.size() < 70; ++i)
            if (distance[i] == d && !round2.hidden[i] && round2.tile[i] == -1) misses.push_back(i);
    ASSERT_EQ(misses.size(), 70u);
    for (int cell : misses)
        script << ClickCell(cell) << "wait " << (distance[cell] + 1) * 50 + 300 << "\n";
    // Game over one second later: its sound plays out under the picture.
    script << "wait 4500\nclick 400 300 left 250\nwait 2500\n";
    script << "shot " << shots << "panel.bmp\n";
    script << "click 754 552 left 250\nwait 7000\n"; // "exit", then the credits
    testkit::WriteText(Root(copy, "script.txt"), script.str());

    // The headless driver mixes without a sound device and writes what it plays.
    const int status =
        Play(copy, {"LUDORA_VIDEO=headless", "LUDORA_AUDIO_OUT=" + Root(copy, "sound.wav"),
                    "LUDORA_SEED=" + std::to_string(Seed), "LUDORA_TIME_SCALE=5",
                    "LUDORA_SCRIPT=" + Root(copy, "script.txt"),
                    "LUDORA_MESSAGE_LOG=" + Root(copy, "messages.log")});
    EXPECT_EQ(status, 0);

    // Round 1: 125, 150, 175, 200 and twenty-one finds of 200; doubled at the round change.
    const int32_t finalScore = 2 * (125 + 150 + 175 + 200 + 21 * 200);
    const std::vector<uint8_t> hallOfFame = testkit::ReadBytes(Game(copy, "hiscore.dat"));
    ASSERT_EQ(hallOfFame.size(), 5204u);
    EXPECT_EQ(testkit::Little(hallOfFame, 0, 4), 20u);
    const std::string composed = "Anna:Harbour Road:anna@example.org:N";
    std::vector<uint8_t> expected(5204, 0);
    expected[0] = 20;
    std::copy(composed.begin(), composed.end(), expected.begin() + 4);
    for (int i = 0; i < 4; ++i)
        expected[4 + 256 + i] = static_cast<uint8_t>(finalScore >> (8 * i));
    EXPECT_EQ(hallOfFame, expected);

    const testkit::Sound capture = testkit::ReadWav(Root(copy, "sound.wav"));
    ASSERT_GT(capture.samples.size(), 0u);
    EXPECT_TRUE(Heard(capture, testkit::ReadWav(Game(copy, "sounds/02.wav")))) << "\"1treasure\"";
    EXPECT_TRUE(Heard(capture, testkit::ReadWav(Game(copy, "sounds/13.wav")))) << "\"gameover\"";
    // Nor is the measure fooled: "win" belongs to a won game only.
    EXPECT_FALSE(Heard(capture, testkit::ReadWav(Game(copy, "sounds/12.wav")))) << "\"win\"";
    // The effects come from both speakers alike (music is off here).
    const double left = audio_measure::rms(testkit::ReadWav(Root(copy, "sound.wav"), 0).samples);
    const double right = audio_measure::rms(testkit::ReadWav(Root(copy, "sound.wav"), 1).samples);
    EXPECT_GT(left, 0.8 * right) << "left " << left << ", right " << right;
    EXPECT_GT(right, 0.8 * left) << "left " << left << ", right " << right;

    const Picture background = ReadBmp(Game(copy, "background.bmp"));
    const Picture tiles = ReadBmp(Game(copy, "tileset.bmp"));
    const Picture font = ReadBmp(Game(copy, "NumberFont.bmp"));
    const Picture roundPicture = ReadBmp(Game(copy, "round1.bmp"));
    ASSERT_TRUE(background.Loaded() && tiles.Loaded() && font.Loaded() && roundPicture.Loaded());

    // Before a game the chart shows the bare sea where map 0 has islands.
    const Picture idle = ReadBmp(Root(copy, "idle.bmp"));
    ASSERT_TRUE(idle.Loaded());
    int islandsChecked = 0;
    for (int i = 0; i < reference::Cells && islandsChecked < 20; ++i)
        if (round1.tile[i] != -1 && !round1.hidden[i]) {
            EXPECT_EQ(testkit::DifferentPixels(idle, reference::CellX(i), reference::CellY(i),
                                               background, reference::CellX(i), reference::CellY(i),
                                               14, 12),
                      0)
                << "island cell " << i;
            ++islandsChecked;
        }
    EXPECT_GT(islandsChecked, 0);
    // The panel before a game: round 1, score 0, no searches.
    const int digitStep = font.width / 10;
    EXPECT_EQ(DigitDifferences(idle, font, 755, 77, "0"), 0) << "score";
    EXPECT_EQ(DigitDifferences(idle, font, 712 - (3 * digitStep) / 2, 165, "000"), 0) << "searches";
    EXPECT_EQ(DigitDifferences(idle, font, 706, 370, "1"), 0) << "round";

    // The round picture at (135, 153).
    const Picture round = ReadBmp(Root(copy, "round.bmp"));
    ASSERT_TRUE(round.Loaded());
    int compared = 0;
    EXPECT_EQ(testkit::DifferentPixels(round, 135, 153, roundPicture, 0, 0,
                                       std::min(roundPicture.width, round.width - 135),
                                       std::min(roundPicture.height, round.height - 153),
                                       &compared),
              0);
    EXPECT_GT(compared, 1000);

    // After the first search the piece shows as treasure 1's find (frame 6 of the strip).
    const Picture search = ReadBmp(Root(copy, "search.bmp"));
    ASSERT_TRUE(search.Loaded());
    const int frameWidth = tiles.width / 11;
    const int found = pieces[1][0];
    EXPECT_EQ(testkit::DifferentPixels(search, reference::CellX(found), reference::CellY(found),
                                       tiles, 6 * frameWidth, 0, frameWidth, 12, &compared),
              0);
    EXPECT_GT(compared, 20);
    // Its neighbour along the run is still hidden: the bare chart.
    const int hidden = pieces[1][1];
    EXPECT_EQ(testkit::DifferentPixels(
                  search, reference::CellX(hidden), reference::CellY(hidden) + 5, background,
                  reference::CellX(hidden), reference::CellY(hidden) + 5, 14, 7),
              0);

    // The status panel after the game: best and score, round 2, no searches left.
    const Picture panel = ReadBmp(Root(copy, "panel.bmp"));
    ASSERT_TRUE(panel.Loaded());
    const int step = font.width / 10;
    const std::string scoreText = std::to_string(finalScore);
    const int scorePen = 755 - (static_cast<int>(scoreText.size()) - 1) * step;
    EXPECT_EQ(DigitDifferences(panel, font, scorePen, 77, scoreText), 0) << "score";
    EXPECT_EQ(DigitDifferences(panel, font, scorePen, 16, scoreText), 0) << "best";
    EXPECT_EQ(DigitDifferences(panel, font, 712 - (3 * step) / 2, 165, "000"), 0) << "searches";
    EXPECT_EQ(DigitDifferences(panel, font, 706, 370, "2"), 0) << "round";

    EXPECT_TRUE(testkit::ReadBytes(Root(copy, "messages.log")).empty());
}

// Without its maps, sounds, hall of fame and shared options the game still plays.
TEST(WholeGame, PlaysWithNothingButItsPictures) {
    if (!StagedGameExists()) GTEST_SKIP() << "no staged game in " << Dist();
    StagedCopy copy;
    ASSERT_TRUE(copy.Ready());
    std::filesystem::remove(Game(copy, "islands.dat"));
    std::filesystem::remove_all(Game(copy, "sounds"));
    std::filesystem::remove(Game(copy, "hiscore.dat"));
    std::filesystem::remove(Root(copy, "options.ini"));

    // Open sea everywhere: map 0 dealt at start-up and again for the game.
    reference::Rand rand(Seed);
    reference::Chart sea = reference::ChartOfMap({}, 0);
    reference::Place(sea, rand);
    sea = reference::ChartOfMap({}, 0);
    reference::Place(sea, rand);
    int piece = -1;
    for (int i = 0; i < reference::Cells && piece < 0; ++i)
        if (sea.treasure[i] == 1) piece = i;
    ASSERT_GE(piece, 0);

    std::ostringstream script;
    script << "wait 500\nclick 400 300 left 250\nwait 1500\nclick 754 506 left 250\nwait 1500\n";
    script << "click 400 300 left 250\nwait 800\n" << ClickCell(piece) << "wait 1500\n";
    script << "shot " << Root(copy, "found.bmp") << "\n";
    script << "click 754 552 left 250\nwait 7000\n";
    testkit::WriteText(Root(copy, "script.txt"), script.str());
    const int status = Play(copy, {"LUDORA_VIDEO=headless", "LUDORA_AUDIO=none",
                                   "LUDORA_SEED=" + std::to_string(Seed), "LUDORA_TIME_SCALE=5",
                                   "LUDORA_SCRIPT=" + Root(copy, "script.txt"),
                                   "LUDORA_MESSAGE_LOG=" + Root(copy, "messages.log")});
    EXPECT_EQ(status, 0);
    const Picture found = ReadBmp(Root(copy, "found.bmp"));
    const Picture tiles = ReadBmp(Game(copy, "tileset.bmp"));
    const Picture font = ReadBmp(Game(copy, "NumberFont.bmp"));
    ASSERT_TRUE(found.Loaded() && tiles.Loaded() && font.Loaded());
    const int frameWidth = tiles.width / 11;
    EXPECT_EQ(testkit::DifferentPixels(found, reference::CellX(piece), reference::CellY(piece),
                                       tiles, 6 * frameWidth, 0, frameWidth, 12),
              0);
    EXPECT_EQ(DigitDifferences(found, font, 755 - 2 * (font.width / 10), 77, "125"), 0) << "score";
    EXPECT_FALSE(std::filesystem::exists(Game(copy, "hiscore.dat")));
    EXPECT_TRUE(testkit::ReadBytes(Root(copy, "messages.log")).empty());
}

// "menu" starts the launcher with the game's name and ends the game; a game
// started on its own has no launcher to go back to and plays on.
TEST(WholeGame, MenuHandsOverToTheLauncherWhenThereIsOne) {
    if (!StagedGameExists()) GTEST_SKIP() << "no staged game in " << Dist();
    for (bool fromLauncher : {true, false}) {
        StagedCopy copy;
        ASSERT_TRUE(copy.Ready());
        std::ostringstream script;
        script
            << "wait 500\nclick 400 300 left 250\nwait 1500\nclick 684 552 left 250\nwait 7000\n";
        script << "shot " << Root(copy, "after.bmp") << "\nclick 754 552 left 250\nwait 7000\n";
        testkit::WriteText(Root(copy, "script.txt"), script.str());
        const int status = Play(copy,
                                {"LUDORA_VIDEO=headless", "LUDORA_AUDIO=none",
                                 "LUDORA_TIME_SCALE=5", "LUDORA_SCRIPT=" + Root(copy, "script.txt"),
                                 "LUDORA_SHELL_LOG=" + Root(copy, "shell.log")},
                                fromLauncher ? copy.dist.string() : "");
        EXPECT_EQ(status, 0) << fromLauncher;
        const std::vector<uint8_t> log = testkit::ReadBytes(Root(copy, "shell.log"));
        const std::string started(log.begin(), log.end());
        if (fromLauncher) {
            EXPECT_EQ(started, "open|" + copy.dist.string() + "\\Ludora.exe|Pearlwreck|" +
                                   copy.dist.string() + "\n");
            // It ended at once: the script's later shot was never taken.
            EXPECT_FALSE(std::filesystem::exists(Root(copy, "after.bmp")));
        } else {
            EXPECT_EQ(started, "");
            EXPECT_TRUE(std::filesystem::exists(Root(copy, "after.bmp")));
        }
    }
}

// A game abandoned with "newgame" enters nothing, and a lost game of no
// score is not entered either: no hall of fame is written at all.
TEST(WholeGame, AbandonedGameEntersNothing) {
    if (!StagedGameExists()) GTEST_SKIP() << "no staged game in " << Dist();
    StagedCopy copy;
    ASSERT_TRUE(copy.Ready());
    testkit::WriteText(Root(copy, "options.ini"), "[setup]\nmusic=N\n");
    std::filesystem::remove(Game(copy, "hiscore.dat"));
    const std::vector<uint8_t> islands = testkit::ReadBytes(Dist() + "/Pearlwreck/islands.dat");
    reference::Rand rand(Seed);
    reference::Chart chart = reference::ChartOfMap(islands, 0);
    reference::Place(chart, rand); // start-up
    reference::Place(chart, rand); // the first game
    std::vector<int> firstPieces;
    for (int i = 0; i < reference::Cells && firstPieces.size() < 3; ++i)
        if (chart.treasure[i]) firstPieces.push_back(i);
    reference::Place(chart, rand); // the second game, on map 0 again
    const std::vector<int> distance = RingDistances(chart);
    std::vector<int> misses;
    for (int d = 1; d < 80 && misses.size() < 25; ++d)
        for (int i = 0; i < reference::Cells && misses.size() < 25; ++i)
            if (distance[i] == d && !chart.hidden[i] && chart.tile[i] == -1) misses.push_back(i);
    ASSERT_EQ(misses.size(), 25u);

    std::ostringstream script;
    script << "wait 500\nclick 400 300 left 250\nwait 1500\nclick 754 506 left 250\nwait 1500\n";
    script << "click 400 300 left 250\nwait 800\n";
    for (int cell : firstPieces)
        script << ClickCell(cell) << "wait 400\n";
    script << "click 754 506 left 250\nwait 1500\nclick 400 300 left 250\nwait 800\n";
    for (int cell : misses)
        script << ClickCell(cell) << "wait " << (distance[cell] + 1) * 50 + 300 << "\n";
    script << "wait 2500\nshot " << Root(copy, "over.bmp")
           << "\nclick 400 300 left 250\nwait 2500\n";
    script << "click 754 552 left 250\nwait 7000\n";
    testkit::WriteText(Root(copy, "script.txt"), script.str());
    const int status = Play(copy, {"LUDORA_VIDEO=headless", "LUDORA_AUDIO=none",
                                   "LUDORA_SEED=" + std::to_string(Seed), "LUDORA_TIME_SCALE=5",
                                   "LUDORA_SCRIPT=" + Root(copy, "script.txt")});
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(std::filesystem::exists(Game(copy, "hiscore.dat")));
    // The game-over picture was up: the searches ran out in the second game.
    const Picture over = ReadBmp(Root(copy, "over.bmp"));
    const Picture gameOver = ReadBmp(Game(copy, "gameover.bmp"));
    ASSERT_TRUE(over.Loaded() && gameOver.Loaded());
    int compared = 0;
    EXPECT_EQ(testkit::DifferentPixels(over, 135, 153, gameOver, 0, 0,
                                       std::min(gameOver.width, over.width - 135),
                                       std::min(gameOver.height, over.height - 153), &compared),
              0);
    EXPECT_GT(compared, 1000);
}
