// Hiding a round's five treasures: straight runs of five open, playable water
// cells, drawn from the C runtime's rand so that a seed deals the same boards.
#include <cstdlib>

#include "game/game_board.h"

namespace {

// Far above what any playable map needs (a start and a direction in well
// under a hundred draws on the maps we ship), so normal boards never reach it.
constexpr int32_t PlacementAttempts = 100000;

} // namespace

bool GameBoard::TryPlaceTreasure(int32_t treasure, int32_t start, int32_t direction) {
    int32_t pieces[PiecesPerTreasure];
    bool failed = false;
    probing = true;
    probeHit = false;
    GridPosition position = PositionOf(start);
    for (int32_t step = 0; step < PiecesPerTreasure; ++step) {
        const bool onBoard = IsOnBoard(position);
        if (onBoard && cells[IndexOf(position)].treasure != 0) {
            probeHit = true;
        }
        // An occupied cell fails its own step and every later one.
        if (onBoard && !probeHit) {
            pieces[step] = IndexOf(position);
        } else {
            failed = true;
        }
        position = Step(position, direction);
    }
    probing = false;
    for (int32_t step = 0; !failed && step < PiecesPerTreasure; ++step) {
        if (IsExcluded(pieces[step]) || IsIsland(pieces[step])) {
            failed = true;
        }
    }
    if (failed) {
        return false;
    }
    for (int32_t piece : pieces) {
        cells[piece].state = Unrevealed;
        cells[piece].dirty = 1;
        cells[piece].treasure = treasure;
    }
    return true;
}

void GameBoard::PlaceTreasures() {
    piecesLeft = TreasureCount * PiecesPerTreasure;
    for (int32_t treasure = 1; treasure <= TreasureCount; ++treasure) {
        found[treasure] = 0;
        bool placed = false;
        for (int32_t attempt = 0; attempt < PlacementAttempts && !placed; ++attempt) {
            const int32_t start = std::rand() % BoardCells; // the start is drawn first
            const int32_t direction = std::rand() % DirectionCount;
            placed = TryPlaceTreasure(treasure, start, direction);
        }
        // A map without room never hangs the game: the first line that fits,
        // in index and direction order, or no treasure at all.
        for (int32_t start = 0; start < BoardCells && !placed; ++start) {
            for (int32_t direction = 0; direction < DirectionCount && !placed; ++direction) {
                placed = TryPlaceTreasure(treasure, start, direction);
            }
        }
        if (!placed) {
            piecesLeft -= PiecesPerTreasure;
        }
    }
    // A round with nothing hidden is already won.
    if (piecesLeft == 0) {
        roundComplete = true;
    }
}
