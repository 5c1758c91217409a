// The sea chart's grid: 38 columns by 37 rows of hexagonal cells, odd rows
// shifted half a cell to the right, indices row-major from the top-left.
#pragma once

#include <cstdint>

constexpr int32_t BoardColumns = 38;
constexpr int32_t BoardRows = 37;
constexpr int32_t BoardCells = BoardColumns * BoardRows; // 1406

enum Direction : int32_t {
    East = 0,
    West = 1,
    NorthWest = 2,
    NorthEast = 3,
    SouthEast = 4,
    SouthWest = 5,
};
constexpr int32_t DirectionCount = 6;

struct GridPosition {
    int32_t column;
    int32_t row;
};

inline GridPosition PositionOf(int32_t index) {
    return {index % BoardColumns, index / BoardColumns};
}

inline bool IsOnBoard(GridPosition position) {
    return position.column >= 0 && position.column < BoardColumns && position.row >= 0 &&
           position.row < BoardRows;
}

inline int32_t IndexOf(GridPosition position) {
    return position.row * BoardColumns + position.column;
}

// One step in a direction; the shift of a diagonal step depends on the parity
// of the row it starts from (positions may lie off the board while walking).
inline GridPosition Step(GridPosition position, int32_t direction) {
    const bool oddRow = (position.row & 1) != 0;
    switch (direction) {
    case East:
        return {position.column + 1, position.row};
    case West:
        return {position.column - 1, position.row};
    case NorthWest:
        return {position.column - (oddRow ? 0 : 1), position.row - 1};
    case NorthEast:
        return {position.column + (oddRow ? 1 : 0), position.row - 1};
    case SouthEast:
        return {position.column + (oddRow ? 1 : 0), position.row + 1};
    case SouthWest:
        return {position.column - (oddRow ? 0 : 1), position.row + 1};
    default:
        return position;
    }
}
