// The game's dealing worked out from its written rules, for tests that check
// boards without calling the game's code: the C runtime's generator, the
// chart's hidden border and the placement of five straight treasures.
// An independent oracle on purpose: it repeats the rules, never the game's code.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <vector>

namespace reference {

constexpr int Columns = 38;
constexpr int Rows = 37;
constexpr int Cells = Columns * Rows;

// Column change on even and on odd rows, and row change, by direction code:
// east, west, north-west, north-east, south-east, south-west.
constexpr int ColumnChange[6][2] = {{1, 1}, {-1, -1}, {-1, 0}, {0, 1}, {0, 1}, {-1, 0}};
constexpr int RowChange[6] = {0, 0, -1, -1, 1, 1};

inline int Index(int column, int row) {
    return row * Columns + column;
}

// The C runtime's generator as the game was built with it.
class Rand {
public:
    explicit Rand(uint32_t seed) : state(seed) {}
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

private:
    uint32_t state;
};

// The border cells by row, as the chart's frame hides them.
inline std::set<int> HiddenBorderCells() {
    struct Span {
        int row, first, last;
    };
    std::vector<Span> spans = {{0, 0, 9},    {0, 25, 37}, {1, 0, 2},    {1, 33, 37},
                               {2, 0, 1},    {2, 34, 37}, {3, 0, 0},    {3, 35, 37},
                               {31, 36, 37}, {32, 0, 0},  {32, 36, 37}, {33, 0, 0},
                               {33, 35, 37}, {34, 0, 1},  {34, 35, 37}, {35, 0, 2},
                               {35, 33, 37}, {36, 0, 5},  {36, 20, 26}, {36, 32, 37}};
    for (int row : {4, 6, 8, 14, 15, 16})
        spans.push_back({row, 0, 0});
    for (int row : {9, 19, 21, 27, 29})
        spans.push_back({row, 37, 37});
    for (int row : {20, 30}) {
        spans.push_back({row, 0, 0});
        spans.push_back({row, 37, 37});
    }
    std::set<int> cells;
    for (const Span& span : spans)
        for (int column = span.first; column <= span.last; ++column)
            cells.insert(Index(column, span.row));
    return cells;
}

struct Chart {
    std::array<int, Cells> tile{};
    std::array<bool, Cells> hidden{};
    std::array<int, Cells> treasure{};
};

// The run of five from a start in a direction, or empty when it leaves the board.
inline std::vector<int> Run(int start, int direction) {
    std::vector<int> cells;
    int column = start % Columns, row = start / Columns;
    for (int step = 0; step < 5; ++step) {
        if (column < 0 || column >= Columns || row < 0 || row >= Rows) return {};
        cells.push_back(Index(column, row));
        column += ColumnChange[direction][row & 1];
        row += RowChange[direction];
    }
    return cells;
}

inline bool Fits(const Chart& chart, const std::vector<int>& run) {
    if (run.empty()) return false;
    for (int cell : run)
        if (chart.treasure[cell] != 0 || chart.hidden[cell] || chart.tile[cell] != -1) return false;
    return true;
}

// Five treasures, each drawn as a start and then a direction until it fits.
inline void Place(Chart& chart, Rand& rand) {
    chart.treasure.fill(0);
    for (int t = 1; t <= 5; ++t) {
        for (;;) {
            const int start = rand.Next() % Cells;
            const int direction = rand.Next() % 6;
            const std::vector<int> run = Run(start, direction);
            if (!Fits(chart, run)) continue;
            for (int cell : run)
                chart.treasure[cell] = t;
            break;
        }
    }
}

// A chart of one map of an island file's bytes (missing bytes are open water).
inline Chart ChartOfMap(const std::vector<unsigned char>& islands, int map) {
    Chart chart;
    const std::set<int> border = HiddenBorderCells();
    for (int i = 0; i < Cells; ++i) {
        const size_t offset = static_cast<size_t>(map) * Cells + i;
        chart.tile[i] = offset < islands.size() ? static_cast<signed char>(islands[offset]) : -1;
        chart.hidden[i] = border.count(i) == 1;
    }
    return chart;
}

// Top-left corner of a cell's picture on the screen.
inline int CellX(int index) {
    return ((index / Columns) & 1 ? 57 : 50) + 14 * (index % Columns);
}
inline int CellY(int index) {
    return 84 + 12 * (index / Columns);
}

} // namespace reference
