// One cell of a map: what it shows, the treasure under it, whether it must be
// drawn again, and its island picture.
#pragma once

#include <cstdint>

// What a water cell shows; the value is also the frame of "tileset.bmp".
enum CellState : int32_t {
    Unrevealed = -1,
    LastMiss = 0,
    Cleared = 2,
    RingOnCleared = 3,
    Ring = 4,
    FoundPiece = 6, // 5 + the treasure's number, 6 to 10
};

constexpr int32_t OpenWater = -1;

struct Cell {
    int32_t state;
    int32_t treasure; // 0, or the treasure 1..5 whose piece lies here
    int32_t dirty;
    int32_t tile; // OpenWater, or the frame of "islands.bmp"
};
