// Hiding the treasures: a seed deals the boards the placement rule gives with
// the C runtime's generator, every treasure a straight run of five playable
// water cells, and a map without room never hangs the game.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "board_fixture.h"
#include "reference_deal.h"
#include "tests/support/temp_folder.h"

using testkit::TempFolder;

namespace {

using reference::Chart;
using reference::Run;

void ReferencePlace(Chart& chart, ReferenceRand& rand) {
    reference::Place(chart, rand);
}

Chart ChartOf(const GameBoard& board, const std::set<int32_t>& border) {
    Chart chart;
    for (int i = 0; i < 1406; ++i) {
        chart.tile[i] = board.cells[i].tile;
        chart.hidden[i] = border.count(i) == 1;
    }
    return chart;
}

// Each treasure's five cells lie one step apart along one direction.
void ExpectStraightRuns(const GameBoard& board, const std::set<int32_t>& border) {
    for (int t = 1; t <= 5; ++t) {
        std::set<int> cells;
        for (int i = 0; i < 1406; ++i)
            if (board.cells[i].treasure == t) cells.insert(i);
        ASSERT_EQ(cells.size(), 5u) << "treasure " << t;
        bool straight = false;
        for (int start : cells)
            for (int direction = 0; direction < 6; ++direction) {
                const std::vector<int> run = Run(start, direction);
                straight |= std::set<int>(run.begin(), run.end()) == cells;
            }
        EXPECT_TRUE(straight) << "treasure " << t;
        for (int cell : cells) {
            EXPECT_EQ(border.count(cell), 0u) << cell;
            EXPECT_EQ(board.cells[cell].tile, -1) << cell;
            EXPECT_EQ(board.cells[cell].state, Unrevealed);
            EXPECT_EQ(board.cells[cell].dirty, 1);
        }
    }
}

// Deals maps 0..8 from a seed, as nine rounds would, and compares each with the rule.
void ExpectSeedDealsTheRule(GameBoard& board, uint32_t seed) {
    const std::set<int32_t> border = HiddenBorderCells();
    std::srand(seed);
    ReferenceRand reference(seed);
    for (int32_t map = 0; map < 9; ++map) {
        board.mapIndex = map;
        board.SelectMap();
        board.ClearBoard();
        board.PlaceTreasures();
        Chart chart = ChartOf(board, border);
        ReferencePlace(chart, reference);
        for (int i = 0; i < 1406; ++i)
            ASSERT_EQ(board.cells[i].treasure, chart.treasure[i])
                << "seed " << seed << " map " << map << " cell " << i;
        EXPECT_EQ(board.piecesLeft, 25);
        ExpectStraightRuns(board, border);
        for (int t = 1; t <= 5; ++t)
            EXPECT_EQ(board.found[t], 0);
        EXPECT_FALSE(board.roundComplete);
    }
}

std::string StagedIslands() {
    return std::string(LUDORA_DIST_DIR) + "/Pearlwreck/islands.dat";
}

} // namespace

TEST(TreasurePlacement, SeedsDealTheRuleOnOpenSea) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    for (uint32_t seed : {1u, 2u, 7u, 1234u, 99999u, 4000000000u})
        ExpectSeedDealsTheRule(*board, seed);
}

TEST(TreasurePlacement, SeedsDealTheRuleOnIslands) {
    // A chart with a thick island band, so that many draws are refused.
    TempFolder folder;
    std::vector<unsigned char> bytes(281200, 0xFF);
    for (int m = 0; m < 9; ++m)
        for (int i = 0; i < 1406; ++i)
            if ((i / 38 + m) % 3 != 0 || (i % 38) % 8 == m % 8)
                bytes[1406 * m + i] = static_cast<unsigned char>(i % 11);
    folder.Write("islands.dat", bytes);
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    board->LoadIslands(folder.File("islands.dat").c_str());
    for (uint32_t seed : {3u, 42u, 31337u})
        ExpectSeedDealsTheRule(*board, seed);
}

TEST(TreasurePlacement, SeedsDealTheRuleOnTheShippedMaps) {
    if (!std::filesystem::exists(StagedIslands())) GTEST_SKIP() << "no staged islands.dat";
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    board->LoadIslands(StagedIslands().c_str());
    for (uint32_t seed = 1; seed <= 40; ++seed)
        ExpectSeedDealsTheRule(*board, seed * 7919u);
}

TEST(TreasurePlacement, MapWithRoomForOneTreasureStillDeals) {
    TempFolder folder;
    std::vector<unsigned char> bytes(281200, 0x01);
    for (int column = 10; column < 15; ++column)
        bytes[Index(column, 18)] = 0xFF;
    folder.Write("islands.dat", bytes);
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    board->LoadIslands(folder.File("islands.dat").c_str());
    board->SelectMap();
    board->ClearBoard();
    std::srand(5);
    board->PlaceTreasures();
    for (int column = 10; column < 15; ++column)
        EXPECT_EQ(board->cells[Index(column, 18)].treasure, 1);
    int withTreasure = 0;
    for (int i = 0; i < 1406; ++i)
        withTreasure += board->cells[i].treasure != 0;
    EXPECT_EQ(withTreasure, 5);
    EXPECT_EQ(board->piecesLeft, 5);
    EXPECT_FALSE(board->roundComplete);
}

TEST(TreasurePlacement, MapWithoutRoomIsWonAtOnce) {
    TempFolder folder;
    folder.Write("islands.dat", std::vector<unsigned char>(281200, 0x00));
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    board->LoadIslands(folder.File("islands.dat").c_str());
    board->SelectMap();
    board->ClearBoard();
    board->PlaceTreasures();
    EXPECT_EQ(board->piecesLeft, 0);
    EXPECT_TRUE(board->roundComplete);
    for (int i = 0; i < 1406; ++i)
        ASSERT_EQ(board->cells[i].treasure, 0);
}
