// The chart: where cells are, which cell a point hits, the hidden border
// cells, the island file and what a round's preparation leaves.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "board_fixture.h"
#include "tests/support/temp_folder.h"

using testkit::TempFolder;

namespace {

// Records which cells the board paints, with which frame.
class PaintRecordingBoard : public GameBoard {
public:
    void DrawCell(int32_t index, int32_t frame, IDirectDrawSurface*) override {
        painted.emplace_back(index, frame);
    }
    std::vector<std::pair<int32_t, int32_t>> painted;
};

} // namespace

TEST(BoardGeometry, CellCornersFollowTheOffsetRows) {
    EXPECT_EQ(GameBoard::CellX(0), 50);
    EXPECT_EQ(GameBoard::CellY(0), 84);
    EXPECT_EQ(GameBoard::CellX(39), 71); // row 1, column 1
    EXPECT_EQ(GameBoard::CellY(39), 96);
    EXPECT_EQ(GameBoard::CellX(Index(37, 36)), 50 + 14 * 37);
    EXPECT_EQ(GameBoard::CellY(Index(37, 36)), 84 + 12 * 36);
    EXPECT_EQ(GameBoard::CellX(Index(5, 7)), 57 + 70);
}

TEST(BoardGeometry, PointsHitTheUpperAndLeftCellFirst) {
    EXPECT_EQ(GameBoard::CellAt(52, 86), 0); // a hidden border cell still hits
    EXPECT_EQ(GameBoard::CellAt(10, 10), -1);
    EXPECT_EQ(GameBoard::CellAt(51, 86), -1);
    EXPECT_EQ(GameBoard::CellAt(52, 85), -1);
    // Cell 1 (66..80, 86..100) and cell 39 below it (73..87, 98..112) overlap.
    EXPECT_EQ(GameBoard::CellAt(75, 99), 1);
    EXPECT_EQ(GameBoard::CellAt(75, 101), 39);
    EXPECT_EQ(GameBoard::CellAt(85, 100), 2); // cell 2 (80..94) before cell 39
    // Cells 0 and 1 share the column x = 66; the left one wins.
    EXPECT_EQ(GameBoard::CellAt(66, 90), 0);
    EXPECT_EQ(GameBoard::CellAt(67, 90), 1);
    // The far corner of the last cell is inside, one beyond it is not.
    const int32_t last = Index(37, 36);
    EXPECT_EQ(GameBoard::CellAt(50 + 14 * 37 + 16, 84 + 12 * 36 + 16), last);
    EXPECT_EQ(GameBoard::CellAt(50 + 14 * 37 + 17, 84 + 12 * 36 + 16), -1);
    EXPECT_EQ(GameBoard::CellAt(50 + 14 * 37 + 16, 84 + 12 * 36 + 17), -1);
}

TEST(BoardGeometry, HiddenBorderIsExactlyTheFramedCells) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    const std::set<int32_t> hidden = HiddenBorderCells();
    ASSERT_EQ(hidden.size(), 97u);
    for (int32_t index = 0; index < 1406; ++index)
        EXPECT_EQ(board->IsExcluded(index), hidden.count(index) == 1) << index;
}

TEST(IslandFile, BytesAreSignedTilesMapAfterMap) {
    TempFolder folder;
    std::vector<unsigned char> bytes(281200, 0xFF);
    bytes[Index(4, 3)] = 0x05;
    bytes[1406 + 7] = 0x00;
    bytes[1406 * 199 + 1405] = 0x7F;
    bytes[1406 * 5 + 100] = 0x80; // any other value is a picture number, even a negative one
    folder.Write("islands.dat", bytes);
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    for (int32_t i = 0; i < 1406; ++i)
        board->cells[i] = Cell{Cleared, 3, 0, OpenWater};
    board->LoadIslands(folder.File("islands.dat").c_str());
    EXPECT_EQ(board->maps[0][Index(4, 3)].tile, 5);
    EXPECT_EQ(board->maps[0][Index(5, 3)].tile, -1);
    EXPECT_EQ(board->maps[1][7].tile, 0);
    EXPECT_EQ(board->maps[199][1405].tile, 127);
    EXPECT_EQ(board->maps[5][100].tile, -128);
    for (int32_t m = 0; m < 200; ++m)
        for (int32_t i = 0; i < 1406; ++i)
            ASSERT_EQ(board->maps[m][i].dirty, 1) << m << " " << i;
    // Reading changes tiles only.
    EXPECT_EQ(board->maps[0][Index(4, 3)].state, Cleared);
    EXPECT_EQ(board->maps[0][Index(4, 3)].treasure, 3);
    EXPECT_TRUE(board->IsIsland(Index(4, 3)));
    EXPECT_FALSE(board->IsIsland(Index(5, 3)));
}

TEST(IslandFile, ShortFileEndsInOpenWaterAndLongFileIsCut) {
    TempFolder folder;
    std::vector<unsigned char> bytes(1406 + 10, 0x02);
    folder.Write("short.dat", bytes);
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    for (auto& map : board->maps)
        for (Cell& cell : map)
            cell.tile = 9;
    board->LoadIslands(folder.File("short.dat").c_str());
    EXPECT_EQ(board->maps[0][1405].tile, 2);
    EXPECT_EQ(board->maps[1][9].tile, 2);
    EXPECT_EQ(board->maps[1][10].tile, -1);
    EXPECT_EQ(board->maps[199][0].tile, -1);

    std::vector<unsigned char> longer(281200 + 5000, 0x01);
    folder.Write("long.dat", longer);
    board->LoadIslands(folder.File("long.dat").c_str());
    EXPECT_EQ(board->maps[199][1405].tile, 1);

    folder.Write("empty.dat", {});
    board->LoadIslands(folder.File("empty.dat").c_str());
    EXPECT_EQ(board->maps[0][0].tile, -1);
}

TEST(IslandFile, MissingFileIsOpenSeaEverywhere) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    for (auto& map : board->maps)
        for (Cell& cell : map)
            cell = Cell{Ring, 0, 0, 4};
    board->LoadIslands("/nonexistent/islands.dat");
    for (int32_t m = 0; m < 200; ++m)
        for (int32_t i = 0; i < 1406; ++i) {
            ASSERT_EQ(board->maps[m][i].tile, -1);
            ASSERT_EQ(board->maps[m][i].dirty, 1);
        }
}

TEST(RoundSetUp, ClearingShowsNothingButTheIslands) {
    TempFolder folder;
    std::vector<unsigned char> bytes(281200, 0xFF);
    bytes[1406 * 3 + 500] = 0x04;
    folder.Write("islands.dat", bytes);
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    board->LoadIslands(folder.File("islands.dat").c_str());
    board->mapIndex = 3;
    board->SelectMap();
    EXPECT_EQ(board->cells, board->maps[3]);
    board->cells[10] = Cell{Ring, 2, 1, OpenWater};
    board->lastSearched = 10;
    board->roundComplete = true;
    board->ClearBoard();
    for (int32_t i = 0; i < 1406; ++i) {
        EXPECT_EQ(board->cells[i].state, Unrevealed);
        EXPECT_EQ(board->cells[i].treasure, 0);
        EXPECT_EQ(board->cells[i].dirty, i == 500 ? 1 : 0) << i;
    }
    EXPECT_EQ(board->lastSearched, -1);
    EXPECT_FALSE(board->roundComplete);
    // Other maps are not touched.
    EXPECT_EQ(board->maps[2][10].dirty, 1);
}

TEST(BoardPainting, OnlyChangedCellsUnlessForced) {
    auto board = std::make_unique<PaintRecordingBoard>();
    board->LoadIslands("/nonexistent/islands.dat");
    board->SelectMap();
    board->cells[Index(10, 10)].tile = 3;
    board->ClearBoard();
    board->cells[Index(12, 12)].state = Cleared;
    board->cells[Index(12, 12)].dirty = 1;
    board->cells[Index(13, 12)].state = Ring; // shown, but not changed
    board->cells[Index(14, 12)].dirty = 1;    // unrevealed water is never painted
    board->DrawBoard(false);
    using Painted = std::vector<std::pair<int32_t, int32_t>>;
    EXPECT_EQ(board->painted, (Painted{{Index(10, 10), 3}, {Index(12, 12), Cleared}}));
    board->painted.clear();
    board->DrawBoard(false);
    EXPECT_TRUE(board->painted.empty());
    board->DrawBoard(true);
    EXPECT_EQ(board->painted,
              (Painted{{Index(10, 10), 3}, {Index(12, 12), Cleared}, {Index(13, 12), Ring}}));
    // An island shows its picture whatever its state.
    board->cells[Index(10, 10)].state = Ring;
    board->cells[Index(10, 10)].dirty = 1;
    board->painted.clear();
    board->DrawBoard(false);
    EXPECT_EQ(board->painted, (Painted{{Index(10, 10), 3}}));
}
