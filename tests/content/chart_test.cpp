// The game's chart: cell pictures tile the hexagonal grid without seams, the background shows
// sea exactly where cells are in play, and the status panel leaves room for what is drawn on it.
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "content_files.h"

using namespace content_test;

namespace {

constexpr int kColumns = 38, kRows = 37, kCells = kColumns * kRows;

int cell_x(int i) {
    return 50 + 14 * (i % kColumns) + ((i / kColumns) % 2 ? 7 : 0);
}
int cell_y(int i) {
    return 84 + 12 * (i / kColumns);
}

// The cells under the chart's frame, by row: first and last column of each run.
bool excluded(int i) {
    static const std::set<int> cells = [] {
        struct Run {
            int row, first, last;
        };
        const Run runs[] = {{0, 0, 9},    {0, 25, 37},  {1, 0, 2},    {1, 33, 37},  {2, 0, 1},
                            {2, 34, 37},  {3, 0, 0},    {3, 35, 37},  {4, 0, 0},    {6, 0, 0},
                            {8, 0, 0},    {14, 0, 0},   {15, 0, 0},   {16, 0, 0},   {9, 37, 37},
                            {19, 37, 37}, {21, 37, 37}, {27, 37, 37}, {29, 37, 37}, {20, 0, 0},
                            {20, 37, 37}, {30, 0, 0},   {30, 37, 37}, {31, 36, 37}, {32, 0, 0},
                            {32, 36, 37}, {33, 0, 0},   {33, 35, 37}, {34, 0, 1},   {34, 35, 37},
                            {35, 0, 2},   {35, 33, 37}, {36, 0, 5},   {36, 20, 26}, {36, 32, 37}};
        std::set<int> s;
        for (const Run& r : runs)
            for (int c = r.first; c <= r.last; ++c)
                s.insert(r.row * kColumns + c);
        return s;
    }();
    return cells.count(i) > 0;
}

using Mask = std::vector<std::vector<bool>>;

Mask opaque_mask(const Picture& p, int x0, int y0, int w, int h) {
    Mask m(h, std::vector<bool>(w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            m[y][x] = !p.keyed(x0 + x, y0 + y);
    return m;
}

bool sea(uint32_t c) {
    return int(c & 255) > int(c >> 16) + 20;
}

} // namespace

TEST(Chart, WaterAndIslandCellsShareOneHexagonThatTilesWithoutSeams) {
    Picture water = picture("Pearlwreck\\tileset.bmp");
    ASSERT_EQ(water.width, 11 * 14);
    ASSERT_EQ(water.height, 17);
    Mask hex = opaque_mask(water, 2 * 14, 0, 14, 17);
    for (int f = 0; f < 11; ++f)
        EXPECT_EQ(opaque_mask(water, f * 14, 0, 14, 17), hex) << "water frame " << f;
    Picture islands = picture("Pearlwreck\\islands.bmp");
    ASSERT_EQ(islands.width % 14, 0);
    ASSERT_EQ(islands.height % 17, 0);
    for (int y = 0; y < islands.height; y += 17)
        for (int x = 0; x < islands.width; x += 14) {
            Mask m = opaque_mask(islands, x, y, 14, 17);
            bool blank = true;
            for (auto& row : m)
                for (bool b : row)
                    blank = blank && !b;
            if (!blank) {
                EXPECT_EQ(m, hex) << "island cell at " << x << "," << y;
            }
        }
    // Stamp the hexagon at every cell: inside the chart every pixel is covered exactly once.
    std::vector<int> cover(800 * 600, 0);
    for (int i = 0; i < kCells; ++i)
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 14; ++x)
                if (hex[y][x]) ++cover[(cell_y(i) + y) * 800 + cell_x(i) + x];
    for (int y = 92; y < 525; ++y)
        for (int x = 60; x < 580; ++x)
            ASSERT_EQ(cover[y * 800 + x], 1) << "pixel " << x << "," << y;
}

TEST(Chart, BackgroundShowsSeaExactlyOnTheCellsInPlay) {
    Picture bg = picture("Pearlwreck\\background.bmp");
    ASSERT_EQ(bg.width, 800);
    ASSERT_EQ(bg.height, 600);
    Mask hex = opaque_mask(picture("Pearlwreck\\tileset.bmp"), 2 * 14, 0, 14, 17);
    for (int i = 0; i < kCells; ++i) {
        int wrong = 0;
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 14; ++x)
                if (hex[y][x] && sea(bg.at(cell_x(i) + x, cell_y(i) + y)) == excluded(i)) ++wrong;
        EXPECT_EQ(wrong, 0) << "cell " << i << (excluded(i) ? " (under the frame)" : " (in play)");
    }
}

TEST(Chart, StatusPanelHoldsItsPicturesAndNumbersApartAndBesideTheChart) {
    struct Rect {
        int x, y, w, h;
    };
    Picture digits = picture("Pearlwreck\\NumberFont.bmp");
    const int d = digits.width / 10, dh = digits.height;
    Picture small = picture("Pearlwreck\\round1small.bmp"),
            bonus = picture("Pearlwreck\\turnbonus3.bmp");
    Picture help = picture("Pearlwreck\\help.bmp");
    std::vector<Rect> rects = {
        {755 - 6 * d, 16, 7 * d, dh},      // best score, seven digits ending at 755
        {755 - 6 * d, 77, 7 * d, dh},      // score
        {712 - 3 * d / 2, 165, 3 * d, dh}, // searches left, three digits centred
        {706, 370, d, dh},                 // round number
        {649, 264, small.width, small.height},
        {662, 139, bonus.width / 2, bonus.height},
        {649, 485, help.width / 3, help.height},
        {720, 485, help.width / 3, help.height},
        {649, 531, help.width / 3, help.height},
        {720, 531, help.width / 3, help.height},
    };
    for (int k = 1; k <= 5; ++k) {
        Picture g = picture(numbered("Pearlwreck\\g", k, ".bmp"));
        EXPECT_LE(g.width, 16) << "treasure pictures stand 16 pixels apart";
        rects.push_back({674 + 16 * (k - 1), 225, g.width, g.height});
    }
    for (const char* b :
         {"Pearlwreck\\newgame.bmp", "Pearlwreck\\menu.bmp", "Pearlwreck\\exit.bmp"}) {
        Picture p = picture(b);
        EXPECT_EQ(p.width, help.width) << b;
        EXPECT_EQ(p.height, help.height) << b;
    }
    int chart_right = 0;
    for (int i = 0; i < kCells; ++i)
        chart_right = std::max(chart_right, cell_x(i) + 14);
    for (size_t i = 0; i < rects.size(); ++i) {
        const Rect& a = rects[i];
        EXPECT_GE(a.x, chart_right) << i;
        EXPECT_LE(a.x + a.w, 800) << i;
        EXPECT_LE(a.y + a.h, 600) << i;
        for (size_t j = i + 1; j < rects.size(); ++j) {
            const Rect& b = rects[j];
            EXPECT_FALSE(a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h)
                << i << " and " << j;
        }
    }
}

TEST(Chart, PanelNumbersCoverThoseTheyReplace) {
    // The panel's numbers are drawn into the live background at every frame without wiping the
    // old ones first: each digit must be a solid cell, on the colour of the box it is drawn in.
    Picture digits = picture("Pearlwreck\\NumberFont.bmp");
    const int d = digits.width / 10, dh = digits.height;
    const uint32_t paper = digits.at(0, 0);
    for (int x = 0; x < digits.width; ++x)
        for (int y = 0; y < dh; ++y) {
            ASSERT_FALSE(digits.keyed(x, y)) << "digit " << x / d << " lets the old one show";
            // Digits stand edge to edge in a row, but above and below them lies plain box.
            if (y == 0 || y == dh - 1) {
                uint32_t c = digits.at(x, y);
                for (int shift : {0, 8, 16})
                    ASSERT_LE(std::abs(int(c >> shift & 255) - int(paper >> shift & 255)), 12)
                        << "digit " << x / d << " edge " << x << "," << y;
            }
        }
    Picture bg = picture("Pearlwreck\\background.bmp");
    struct Place {
        const char* what;
        int x, y, count;
    };
    const Place places[] = {{"best score", 755 - 6 * d, 16, 7},
                            {"score", 755 - 6 * d, 77, 7},
                            {"searches left", 712 - 3 * d / 2, 165, 3},
                            {"round", 706, 370, 1}};
    for (const Place& p : places) {
        int off = 0;
        for (int y = p.y; y < p.y + dh; ++y)
            for (int x = p.x; x < p.x + p.count * d; ++x)
                off += bg.at(x, y) != paper;
        EXPECT_EQ(off, 0) << p.what << ": the box under the digits is not the digits' colour";
    }
}
