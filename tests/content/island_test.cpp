// "islands.dat": 200 maps of island pictures whose coasts join, clear of the chart's frame,
// more land round by round, and room to hide five treasures on every map played.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "content_files.h"

using namespace content_test;

namespace {

constexpr int kColumns = 38, kRows = 37, kCells = kColumns * kRows, kMaps = 200;

bool excluded(int i) {
    // Same frame as the chart's: column runs by row.
    static const std::set<int> cells = [] {
        const int runs[][3] = {
            {0, 0, 9},    {0, 25, 37},  {1, 0, 2},    {1, 33, 37},  {2, 0, 1},    {2, 34, 37},
            {3, 0, 0},    {3, 35, 37},  {4, 0, 0},    {6, 0, 0},    {8, 0, 0},    {14, 0, 0},
            {15, 0, 0},   {16, 0, 0},   {9, 37, 37},  {19, 37, 37}, {21, 37, 37}, {27, 37, 37},
            {29, 37, 37}, {20, 0, 0},   {20, 37, 37}, {30, 0, 0},   {30, 37, 37}, {31, 36, 37},
            {32, 0, 0},   {32, 36, 37}, {33, 0, 0},   {33, 35, 37}, {34, 0, 1},   {34, 35, 37},
            {35, 0, 2},   {35, 33, 37}, {36, 0, 5},   {36, 20, 26}, {36, 32, 37}};
        std::set<int> s;
        for (auto& r : runs)
            for (int c = r[1]; c <= r[2]; ++c)
                s.insert(r[0] * kColumns + c);
        return s;
    }();
    return cells.count(i) > 0;
}

// Step in direction 0 east, 1 west, 2 north-west, 3 north-east, 4 south-east, 5 south-west;
// false when it leaves the chart.
bool step(int& column, int& row, int direction) {
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
    default:
        column -= odd ? 0 : 1, ++row;
        break;
    }
    return column >= 0 && column < kColumns && row >= 0 && row < kRows;
}

int neighbour(int index, int direction) {
    int column = index % kColumns, row = index / kColumns;
    return step(column, row, direction) ? row * kColumns + column : -1;
}

std::vector<std::vector<int8_t>> load_maps() {
    std::vector<char> bytes = read_bytes("Pearlwreck\\islands.dat");
    std::vector<std::vector<int8_t>> maps;
    if (bytes.size() != size_t(kMaps) * kCells) return maps;
    for (int m = 0; m < kMaps; ++m)
        maps.emplace_back(bytes.begin() + m * kCells, bytes.begin() + (m + 1) * kCells);
    return maps;
}

// The C runtime's generator that the game draws from.
struct Rand {
    uint32_t state;
    int next() {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7FFF);
    }
};

// Hides five treasures the game's way; returns the number of start-and-direction draws.
int place_treasures(const std::vector<int8_t>& map, Rand& rand) {
    std::vector<int> treasure(kCells, 0);
    int draws = 0;
    for (int t = 1; t <= 5; ++t) {
        for (;;) {
            ++draws;
            if (draws > 100000) return draws;
            int start = rand.next() % kCells, direction = rand.next() % 6;
            int column = start % kColumns, row = start / kColumns;
            bool on = true, failed = false, hit = false;
            std::vector<int> cells;
            for (int i = 0; i < 5; ++i) {
                if (on && treasure[row * kColumns + column]) hit = true;
                if (on && !hit)
                    cells.push_back(row * kColumns + column);
                else
                    failed = true;
                on = step(column, row, direction);
            }
            for (int c : cells)
                failed = failed || excluded(c) || map[c] != -1;
            if (failed) continue;
            for (int c : cells)
                treasure[c] = t;
            break;
        }
    }
    return draws;
}

int free_lines(const std::vector<int8_t>& map) {
    int lines = 0;
    for (int start = 0; start < kCells; ++start)
        for (int d = 0; d < 6; ++d) {
            int column = start % kColumns, row = start / kColumns;
            bool ok = true;
            for (int i = 0; i < 5 && ok; ++i) {
                int c = row * kColumns + column;
                ok = !excluded(c) && map[c] == -1;
                if (i < 4) ok = ok && step(column, row, d);
            }
            lines += ok;
        }
    return lines;
}

bool coast_coloured(uint32_t c) {
    return int(c >> 16) > 200 && int((c >> 8) & 255) > 185;
}

} // namespace

TEST(IslandMaps, FileHoldsTwoHundredMapsOfKnownIslandPictures) {
    auto maps = load_maps();
    ASSERT_EQ(maps.size(), size_t(kMaps)) << "islands.dat must be 281200 bytes";
    Picture sheet = picture("Pearlwreck\\islands.bmp");
    int pictures = (sheet.width / 14) * (sheet.height / 17);
    for (int m = 0; m < kMaps; ++m)
        for (int i = 0; i < kCells; ++i) {
            int tile = maps[m][i];
            ASSERT_TRUE(tile == -1 || (tile >= 0 && tile < pictures))
                << "map " << m << " cell " << i;
            if (tile < 0) continue;
            // Land stays clear of the frame: neither on it nor beside it, nor at the chart's edge.
            ASSERT_FALSE(excluded(i)) << "map " << m << " cell " << i;
            for (int d = 0; d < 6; ++d) {
                int n = neighbour(i, d);
                ASSERT_TRUE(n >= 0 && !excluded(n))
                    << "map " << m << " cell " << i << " touches the frame";
            }
        }
}

TEST(IslandMaps, CoastsJoinTheirNeighbours) {
    auto maps = load_maps();
    ASSERT_EQ(maps.size(), size_t(kMaps));
    Picture sheet = picture("Pearlwreck\\islands.bmp");
    const int columns = sheet.width / 14;
    // Pixel just inside each edge of a cell picture, toward the neighbour in that direction.
    const int probe[6][2] = {{12, 8}, {1, 8}, {4, 3}, {9, 3}, {9, 13}, {4, 13}};
    for (int m = 0; m < kMaps; ++m)
        for (int i = 0; i < kCells; ++i) {
            int tile = maps[m][i];
            if (tile < 0) continue;
            for (int d = 0; d < 6; ++d) {
                int n = neighbour(i, d);
                bool land_beyond = n >= 0 && maps[m][n] != -1;
                uint32_t c = sheet.at((tile % columns) * 14 + probe[d][0],
                                      (tile / columns) * 17 + probe[d][1]);
                EXPECT_EQ(coast_coloured(c), !land_beyond)
                    << "map " << m << " cell " << i << " picture " << tile << " edge " << d;
            }
        }
}

TEST(IslandMaps, RoundsBringMoreLand) {
    auto maps = load_maps();
    ASSERT_EQ(maps.size(), size_t(kMaps));
    int previous = 0;
    for (int m = 0; m < 9; ++m) {
        int land =
            int(std::count_if(maps[m].begin(), maps[m].end(), [](int8_t t) { return t != -1; }));
        EXPECT_GT(land, previous) << "map " << m;
        previous = land;
    }
    EXPECT_GT(previous, 150) << "the last round's chart should be crowded";
}

TEST(IslandMaps, EveryPlayedMapLeavesRoomForTheTreasures) {
    auto maps = load_maps();
    ASSERT_EQ(maps.size(), size_t(kMaps));
    const std::vector<int8_t> open_sea(kCells, -1);
    const int open_lines = free_lines(open_sea);
    for (int m = 0; m < 9; ++m) {
        SCOPED_TRACE(numbered("map ", m, ""));
        EXPECT_GT(free_lines(maps[m]), open_lines / 3);
        int worst = 0;
        long total = 0;
        for (uint32_t seed = 1; seed <= 300; ++seed) {
            Rand rand{seed * 7919u};
            int draws = place_treasures(maps[m], rand);
            worst = std::max(worst, draws), total += draws;
        }
        EXPECT_LT(worst, 400);
        EXPECT_LT(total / 300.0, 25.0);
    }
}
