// The 200 island maps of "islands.dat": one signed byte per cell, -1 for open water,
// otherwise the frame of "islands.bmp" drawn there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hex_grid.h"

namespace content {

constexpr int kMapCount = 200;
constexpr int kPlayedMaps = 9; // rounds 1 to 9 use maps 0 to 8

// Island picture numbers: a coast tile for each set of land neighbours (bit d for direction d),
// then inland pictures with something growing or standing on them.
constexpr int kCoastTiles = 64;
constexpr int kInlandTiles = 16;
constexpr int kIslandTiles = kCoastTiles + kInlandTiles;

using IslandMap = std::vector<int8_t>; // kCells bytes

std::vector<IslandMap> make_island_maps();

} // namespace content
