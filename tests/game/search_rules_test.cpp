// A click on the chart: what finds are worth, the sonar of a miss, extra
// searches for treasures found in one streak, and the round and game ends.
#include <gtest/gtest.h>

#include <vector>

#include "board_fixture.h"

namespace {

using Popups = std::vector<std::pair<int32_t, int32_t>>;

// Treasure 1 along row 10 from column 10, treasure 2 along row 14 from column 10.
std::vector<int32_t> Treasure1() {
    return {Index(10, 10), Index(11, 10), Index(12, 10), Index(13, 10), Index(14, 10)};
}
std::vector<int32_t> Treasure2() {
    return {Index(10, 14), Index(11, 14), Index(12, 14), Index(13, 14), Index(14, 14)};
}

void HideRun(GameBoard& board, int32_t treasure, const std::vector<int32_t>& cells) {
    for (int32_t index : cells)
        board.cells[index].treasure = treasure;
}

const int32_t FarWater = Index(30, 30);

// Records the order in which a ring treats its cells.
class MarkRecordingBoard : public GameBoard {
public:
    void MarkCell(int32_t index, int32_t value) override {
        marked.push_back(index);
        GameBoard::MarkCell(index, value);
    }
    std::vector<int32_t> marked;
};

} // namespace

TEST(SearchFinds, FirstFindIsWorth125AtLevelOne) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    HideRun(*board, 1, Treasure1());
    board->Search(Index(12, 10));
    EXPECT_EQ(board->score, 125);
    EXPECT_EQ(host.popups, (Popups{{Index(12, 10), 1}}));
    EXPECT_EQ(host.played, std::vector<std::string>{"1treasure"});
    EXPECT_EQ(board->cells[Index(12, 10)].state, 6);
    EXPECT_EQ(board->searchesLeft, 25);
    EXPECT_EQ(board->piecesLeft, 24);
    EXPECT_EQ(board->found[1], 1);
    EXPECT_EQ(board->lastSearched, Index(12, 10));
    EXPECT_GE(host.presented, 1);
}

TEST(SearchFinds, FiveInARowAfterAMissScore850AndEarnThree) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    HideRun(*board, 1, Treasure1());
    board->Search(FarWater);
    ASSERT_EQ(board->searchesLeft, 24);
    host.played.clear();
    for (int32_t index : Treasure1())
        board->Search(index);
    EXPECT_EQ(board->score, 125 + 150 + 175 + 200 + 200);
    const std::vector<int32_t> cells = Treasure1();
    EXPECT_EQ(host.popups,
              (Popups{{cells[0], 1}, {cells[1], 2}, {cells[2], 3}, {cells[3], 4}, {cells[4], 5}}));
    EXPECT_EQ(board->searchesLeft, 24 + 3);
    EXPECT_EQ(host.bonuses, std::vector<int32_t>{3});
    EXPECT_EQ(host.Count("5treasure"), 1);
    EXPECT_EQ(host.Count("1treasure"), 5);
    EXPECT_EQ(board->bonusUntil, host.clock + 2000);
    for (int32_t index : cells)
        EXPECT_EQ(board->cells[index].state, 6);
}

TEST(SearchFinds, TwoStreaksOfFiveEarnSix) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    HideRun(*board, 1, Treasure1());
    HideRun(*board, 2, Treasure2());
    for (int32_t index : Treasure1())
        board->Search(index);
    for (int32_t index : Treasure2())
        board->Search(index);
    EXPECT_EQ(host.bonuses, (std::vector<int32_t>{3, 6}));
    EXPECT_EQ(board->searchesLeft, 25 + 3 + 6);
    EXPECT_EQ(board->score, 850 + 5 * 200);
    EXPECT_EQ(board->cells[Treasure2()[0]].state, 7);
}

TEST(SearchFinds, MissBetweenFindsLosesTheBonus) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    HideRun(*board, 1, Treasure1());
    HideRun(*board, 2, Treasure2());
    const std::vector<int32_t> first = Treasure1();
    for (int i = 0; i < 3; ++i)
        board->Search(first[i]);
    board->Search(FarWater);
    board->Search(first[3]);
    board->Search(first[4]);
    EXPECT_EQ(host.Count("5treasure"), 0);
    EXPECT_TRUE(host.bonuses.empty());
    EXPECT_EQ(board->searchesLeft, 24);
    EXPECT_EQ(board->score, 125 + 150 + 175 + 125 + 150);
    EXPECT_EQ(board->bonusUntil, 0);
}

TEST(SearchFinds, BonusCountsEveryStreakOfExactlyFive) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    HideRun(*board, 1, Treasure1());
    HideRun(*board, 2, Treasure2());
    const std::vector<int32_t> first = Treasure1();
    for (int i = 0; i < 3; ++i)
        board->Search(first[i]);
    board->Search(FarWater);
    for (int32_t index : Treasure2())
        board->Search(index); // streak 5: 3
    board->Search(first[3]);
    board->Search(first[4]); // treasure 1 broken, treasure 2 still at 5: 3 again
    EXPECT_EQ(host.bonuses, (std::vector<int32_t>{3, 3}));
    EXPECT_EQ(board->searchesLeft, 24 + 3 + 3);
}

TEST(SearchFinds, StreakCarriesIntoTheNextRound) {
    for (bool sixthFind : {false, true}) {
        RecordingHost host;
        auto board = OpenSeaBoard(host);
        HideRun(*board, 1, Treasure1());
        for (int32_t index : Treasure1())
            board->Search(index);
        ASSERT_EQ(host.bonuses, std::vector<int32_t>{3});
        ASSERT_EQ(board->AdvanceRound(), 1);
        std::vector<int32_t> next[6];
        for (int32_t i = 0; i < 1406; ++i)
            if (board->cells[i].treasure) next[board->cells[i].treasure].push_back(i);
        ASSERT_EQ(next[2].size(), 5u);
        if (sixthFind) board->Search(next[1][0]); // treasure 1's streak becomes 6
        for (int32_t index : next[2])
            board->Search(index);
        EXPECT_EQ(host.bonuses.back(), sixthFind ? 3 : 6) << sixthFind;
        EXPECT_EQ(board->score, 2 * 850 + (sixthFind ? 6 : 5) * 200) << sixthFind;
    }
}

TEST(SearchRefusals, SameCellTwiceThenAgainAfterAnother) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    HideRun(*board, 1, Treasure1());
    board->Search(FarWater);
    EXPECT_EQ(board->searchesLeft, 24);
    const int presented = host.presented;
    board->Search(FarWater);
    EXPECT_EQ(board->searchesLeft, 24);
    EXPECT_EQ(host.presented, presented);
    EXPECT_EQ(host.Count("search"), 1);
    board->Search(Index(25, 30));
    EXPECT_EQ(board->cells[Index(25, 30)].state, LastMiss);
    EXPECT_NE(board->cells[FarWater].state, LastMiss);
    board->Search(FarWater);
    EXPECT_EQ(board->searchesLeft, 22);
    EXPECT_EQ(host.Count("search"), 3);
    EXPECT_EQ(board->findValue, 100);
}

TEST(SearchRefusals, IslandsBorderAndFoundPiecesCostNothing) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    HideRun(*board, 1, Treasure1());
    board->cells[Index(20, 20)].tile = 2;
    board->Search(-1);
    EXPECT_TRUE(host.played.empty());
    board->Search(0); // a border cell
    board->Search(Index(20, 20));
    EXPECT_EQ(host.played, (std::vector<std::string>{"negative", "negative"}));
    EXPECT_EQ(board->searchesLeft, 25);
    EXPECT_EQ(board->lastSearched, -1);
    EXPECT_EQ(board->cells[0].state, Unrevealed);
    EXPECT_EQ(board->cells[Index(20, 20)].state, Unrevealed);
    // A found piece clicked again after another search.
    board->Search(Index(10, 10));
    board->Search(Index(11, 10));
    host.played.clear();
    board->Search(Index(10, 10));
    EXPECT_TRUE(host.played.empty());
    EXPECT_EQ(board->score, 125 + 150);
    EXPECT_EQ(board->lastSearched, Index(11, 10));
}

TEST(Sonar, StopsAtTheNeighbourAndShowsTheRing) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    const int32_t centre = Index(20, 20); // an even row
    HideRun(*board, 1, {Index(21, 20), Index(22, 20), Index(23, 20), Index(24, 20), Index(25, 20)});
    board->cells[Index(19, 20)].treasure = 2; // a found piece to the west
    board->cells[Index(19, 20)].state = 7;
    board->cells[Index(19, 19)].state = Cleared; // north-west, searched before
    const int32_t start = host.clock;
    board->Search(centre);
    EXPECT_EQ(board->searchesLeft, 24);
    EXPECT_EQ(board->cells[centre].state, LastMiss);
    EXPECT_EQ(board->cells[Index(19, 19)].state, RingOnCleared);
    EXPECT_EQ(board->cells[Index(20, 19)].state, Ring);
    EXPECT_EQ(board->cells[Index(21, 20)].state, Ring); // the hidden piece looks like the ring
    EXPECT_EQ(board->cells[Index(20, 21)].state, Ring);
    EXPECT_EQ(board->cells[Index(19, 21)].state, Ring);
    EXPECT_EQ(board->cells[Index(19, 20)].state, 7);
    EXPECT_EQ(board->cells[Index(22, 20)].state, Unrevealed);
    EXPECT_EQ(board->cells[Index(18, 20)].state, Unrevealed);
    // Rings 0 and 1, fifty milliseconds each, presented once and then twice a sleep.
    EXPECT_EQ(host.clock - start, 100);
    EXPECT_EQ(host.presented, 2 * (1 + 2 * 50));
    EXPECT_EQ(host.played, std::vector<std::string>{"search"});
    EXPECT_EQ(host.stopped, std::vector<std::string>{"search"});
    EXPECT_EQ(board->findValue, 100);
}

TEST(Sonar, EmptyRingsAreLeftClearedAndFoundPiecesDoNotStopIt) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    const int32_t centre = Index(20, 21); // an odd row
    HideRun(*board, 1, {Index(23, 21), Index(24, 21), Index(25, 21), Index(26, 21), Index(27, 21)});
    board->cells[Index(21, 21)].treasure = 2; // found, one cell east
    board->cells[Index(21, 21)].state = 7;
    const int32_t start = host.clock;
    board->Search(centre);
    EXPECT_EQ(host.clock - start, 4 * 50);
    // Ring 1 (odd row: NW is the same column) and ring 2 are cleared water.
    for (int32_t index :
         {Index(20, 20), Index(21, 20), Index(20, 22), Index(21, 22), Index(19, 21)})
        EXPECT_EQ(board->cells[index].state, Cleared) << index;
    EXPECT_EQ(board->cells[Index(21, 21)].state, 7);
    EXPECT_EQ(board->cells[Index(22, 21)].state, Cleared);
    EXPECT_EQ(board->cells[Index(18, 21)].state, Cleared);
    // Ring 3 stays as the ring.
    EXPECT_EQ(board->cells[Index(23, 21)].state, Ring);
    EXPECT_EQ(board->cells[Index(17, 21)].state, Ring);
    EXPECT_EQ(board->cells[Index(20, 18)].state, Ring);
    EXPECT_EQ(board->cells[Index(24, 21)].state, Unrevealed);
    EXPECT_EQ(board->cells[Index(16, 21)].state, Unrevealed);
}

TEST(Sonar, RingsWalkTheirCellsInOrder) {
    auto board = std::make_unique<MarkRecordingBoard>();
    board->LoadIslands("/nonexistent/islands.dat");
    board->SelectMap();
    board->ClearBoard();
    board->SweepRing(Index(10, 10), 1, Ring);
    EXPECT_EQ(board->marked, (std::vector<int32_t>{Index(9, 9), Index(10, 9), Index(11, 10),
                                                   Index(10, 11), Index(9, 11), Index(9, 10)}));
    board->marked.clear();
    board->SweepRing(Index(10, 11), 1, Ring);
    EXPECT_EQ(board->marked, (std::vector<int32_t>{Index(10, 10), Index(11, 10), Index(11, 11),
                                                   Index(11, 12), Index(10, 12), Index(9, 11)}));
    board->marked.clear();
    board->SweepRing(Index(10, 10), 0, Ring);
    EXPECT_TRUE(board->marked.empty());
    board->SweepRing(Index(10, 10), 3, Ring);
    EXPECT_EQ(board->marked.size(), 18u);
    std::set<int32_t> distinct(board->marked.begin(), board->marked.end());
    EXPECT_EQ(distinct.size(), 18u);
    board->marked.clear();
    board->SweepRing(0, 1, Ring); // the top-left corner: four neighbours lie off the board
    EXPECT_EQ(board->marked, (std::vector<int32_t>{1, 38}));
}

TEST(Sonar, MarksNeverCoverFoundPieces) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    struct Case {
        int32_t before, value, after, dirty;
    };
    const Case cases[] = {{Cleared, Ring, RingOnCleared, 1},
                          {RingOnCleared, Cleared, Cleared, 1},
                          {RingOnCleared, Ring, RingOnCleared, 0},
                          {Cleared, Cleared, Cleared, 0},
                          {Unrevealed, Ring, Ring, 1},
                          {LastMiss, Ring, Ring, 1},
                          {Ring, Cleared, Cleared, 1},
                          {Unrevealed, Cleared, Cleared, 1},
                          {8, Ring, 8, 0},
                          {10, Cleared, 10, 0}};
    for (const Case& c : cases) {
        Cell& cell = board->cells[Index(5, 5)];
        cell.state = c.before;
        cell.dirty = 0;
        board->MarkCell(Index(5, 5), c.value);
        EXPECT_EQ(cell.state, c.after) << c.before << " " << c.value;
        EXPECT_EQ(cell.dirty, c.dirty) << c.before << " " << c.value;
    }
}

TEST(GameEnds, LastSearchUsedLeavesNone) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    HideRun(*board, 1, Treasure1());
    board->searchesLeft = 1;
    board->Search(FarWater);
    EXPECT_EQ(board->searchesLeft, 0);
}

TEST(GameEnds, RoundChangeDoublesTheScoreAndDealsTheNextMap) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    HideRun(*board, 1, Treasure1());
    for (int32_t index : Treasure1())
        board->Search(index);
    board->score = 1000;
    board->searchesLeft = 17;
    board->lastSearched = Index(14, 10);
    ASSERT_EQ(board->AdvanceRound(), 1);
    EXPECT_EQ(board->score, 2000);
    EXPECT_EQ(board->round, 1);
    EXPECT_EQ(board->mapIndex, 1);
    EXPECT_EQ(board->cells, board->maps[1]);
    EXPECT_EQ(board->searchesLeft, 17);
    EXPECT_EQ(board->findValue, 225);
    EXPECT_EQ(board->streak[1], 5);
    EXPECT_EQ(board->piecesLeft, 25);
    EXPECT_EQ(board->lastSearched, -1);
    EXPECT_EQ(board->found[1], 0);
    int pieces = 0;
    for (int32_t i = 0; i < 1406; ++i)
        pieces += board->cells[i].treasure != 0;
    EXPECT_EQ(pieces, 25);
}

TEST(GameEnds, NinthRoundWonEndsTheGame) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    board->round = 8;
    board->mapIndex = 8;
    board->score = 1234;
    EXPECT_EQ(board->AdvanceRound(), 0);
    EXPECT_EQ(board->round, 8);
    EXPECT_EQ(board->score, 1234);
    EXPECT_EQ(board->mapIndex, 8);
}

TEST(GameEnds, WinConvertsEverySearchLeft) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    board->score = 500;
    board->searchesLeft = 4;
    int steps = 0;
    while (board->ConvertSearch())
        ++steps;
    EXPECT_EQ(steps, 4);
    EXPECT_EQ(board->score, 40500);
    EXPECT_EQ(board->searchesLeft, 0);
    EXPECT_FALSE(board->ConvertSearch());
    EXPECT_EQ(board->score, 40500);
}

TEST(GameEnds, NewGameStartsFromNothing) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    board->score = 99;
    board->findValue = 175;
    board->searchesLeft = 3;
    board->round = 4;
    board->streak[3] = 5;
    board->StartGame(25);
    EXPECT_EQ(board->score, 0);
    EXPECT_EQ(board->findValue, 100);
    EXPECT_EQ(board->findStep, 25);
    EXPECT_EQ(board->findBase, 100);
    EXPECT_EQ(board->searchesLeft, 25);
    EXPECT_EQ(board->round, 0);
    EXPECT_EQ(board->streak[3], 0);
}
