#include "hex_grid.h"

#include <cmath>
#include <cstdint>

namespace content {

namespace {

// Excluded columns by row: pairs of inclusive ranges.
struct Range {
    int row, first, last;
};
constexpr Range kFrame[] = {
    {0, 0, 9},   {0, 25, 37},  {1, 0, 2},    {1, 33, 37},  {2, 0, 1},    {2, 34, 37},  {3, 0, 0},
    {3, 35, 37}, {4, 0, 0},    {6, 0, 0},    {8, 0, 0},    {14, 0, 0},   {15, 0, 0},   {16, 0, 0},
    {9, 37, 37}, {19, 37, 37}, {21, 37, 37}, {27, 37, 37}, {29, 37, 37}, {20, 0, 0},   {20, 37, 37},
    {30, 0, 0},  {30, 37, 37}, {31, 36, 37}, {32, 0, 0},   {32, 36, 37}, {33, 0, 0},   {33, 35, 37},
    {34, 0, 1},  {34, 35, 37}, {35, 0, 2},   {35, 33, 37}, {36, 0, 5},   {36, 20, 26}, {36, 32, 37},
};

int floor_mod(int a, int m) {
    return ((a % m) + m) % m;
}

} // namespace

int cell_x(int index) {
    int column = index % kColumns, row = index / kColumns;
    return 50 + 14 * column + ((row & 1) ? 7 : 0);
}

int cell_y(int index) {
    return 84 + 12 * (index / kColumns);
}

bool is_excluded(int index) {
    int column = index % kColumns, row = index / kColumns;
    for (const Range& r : kFrame)
        if (r.row == row && column >= r.first && column <= r.last) return true;
    return false;
}

bool is_playable(int index) {
    return index >= 0 && index < kCells && !is_excluded(index);
}

int neighbour(int index, int direction) {
    int column = index % kColumns, row = index / kColumns;
    bool odd = row & 1;
    switch (direction) {
    case 0:
        ++column;
        break;
    case 1:
        --column;
        break;
    case 2:
        column -= odd ? 0 : 1, --row;
        break;
    case 3:
        column += odd ? 1 : 0, --row;
        break;
    case 4:
        column += odd ? 1 : 0, ++row;
        break;
    case 5:
        column -= odd ? 0 : 1, ++row;
        break;
    }
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return -1;
    return row * kColumns + column;
}

Offset neighbour_offset(int direction) {
    static const Offset offsets[6] = {{14, 0}, {-14, 0}, {-7, -12}, {7, -12}, {7, 12}, {-7, 12}};
    return offsets[direction];
}

CellPosition pixel_owner(int x, int y) {
    // Doubled coordinates keep the comparison exact; ties go to the upper row, then the left
    // column.
    int64_t px = 2 * int64_t(x) + 1, py = 2 * int64_t(y) + 1;
    int guess = int(std::floor((y - 84) / 12.0));
    CellPosition best{0, 0};
    int64_t best_d = -1;
    for (int row = guess - 2; row <= guess + 2; ++row) {
        int shift = floor_mod(row, 2) ? 7 : 0;
        int cguess = int(std::floor((x - 50 - shift) / 14.0));
        for (int column = cguess - 2; column <= cguess + 2; ++column) {
            int64_t cx = 2 * (57 + 14 * int64_t(column) + shift),
                    cy = 2 * (84 + 12 * int64_t(row)) + 17;
            int64_t d = (px - cx) * (px - cx) + (py - cy) * (py - cy);
            if (best_d < 0 || d < best_d ||
                (d == best_d && (row < best.row || (row == best.row && column < best.column)))) {
                best_d = d;
                best = {column, row};
            }
        }
    }
    return best;
}

const HexMask& hex_mask() {
    static const HexMask mask = [] {
        HexMask m{};
        for (int y = 0; y < kCellHeight; ++y)
            for (int x = 0; x < kCellWidth; ++x) {
                CellPosition owner = pixel_owner(50 + x, 84 + y);
                m[y][x] = owner.column == 0 && owner.row == 0;
            }
        return m;
    }();
    return mask;
}

double edge_distance(int x, int y, int direction) {
    double px = x + 0.5 - 7.0, py = y + 0.5 - 8.5;
    Offset n = neighbour_offset(direction);
    double len = std::hypot(n.x, n.y);
    // Distance to the perpendicular bisector between the two centres.
    return (len * len / 2 - (px * n.x + py * n.y)) / len;
}

} // namespace content
