// The game's sea chart: 38 x 37 hexagonal cells, odd rows half a cell to the right.
#pragma once

#include <array>
#include <vector>

namespace content {

constexpr int kColumns = 38;
constexpr int kRows = 37;
constexpr int kCells = kColumns * kRows;
constexpr int kCellWidth = 14;
constexpr int kCellHeight = 17;

int cell_x(int index); // top-left of the cell's picture on the 800 x 600 screen
int cell_y(int index);
bool is_excluded(int index); // hidden under the chart's frame
bool is_playable(int index); // on the chart and not excluded

// Neighbour in direction 0 east, 1 west, 2 north-west, 3 north-east, 4 south-east, 5 south-west;
// -1 when the step leaves the chart.
int neighbour(int index, int direction);

// Centre of the hexagon of direction d's neighbour, relative to the cell's own centre.
struct Offset {
    double x, y;
};
Offset neighbour_offset(int direction);

// Which cell (column, row; may lie off the chart) owns the screen pixel (x, y). Every pixel has
// exactly one owner, so cell pictures drawn with hex_mask() tile without seams or overlaps.
struct CellPosition {
    int column, row;
};
CellPosition pixel_owner(int x, int y);

// The pixels of a 14 x 17 cell picture that belong to the cell.
using HexMask = std::array<std::array<bool, kCellWidth>, kCellHeight>;
const HexMask& hex_mask();

// Distance in pixels from the pixel centre (x + 0.5, y + 0.5) of a cell picture to the edge
// shared with the neighbour in `direction`.
double edge_distance(int x, int y, int direction);

} // namespace content
