// The board model: reading the island maps, preparing a round, where cells
// are on the screen and which cell a point hits, and painting the chart.
#include "game/game_board.h"

#include <cstdio>

#include "game/excluded_cells.h"
#include "ui/pictures/sprite.h"

namespace {

// Stands in until the game gives the board its host: time moves only by the
// board's own sleeps, and nothing is heard or shown.
class DetachedHost : public BoardHost {
public:
    int32_t Now() override { return clock; }
    void Sleep(int32_t milliseconds) override { clock += milliseconds; }
    void PlaySound(const char*) override {}
    void StopSound(const char*) override {}
    void PresentFrame() override {}
    IDirectDrawSurface* BoardSurface() override { return nullptr; }
    void ShowTurnBonusPicture(int32_t) override {}
    void AddScorePopup(int32_t, int32_t) override {}

private:
    int32_t clock = 0;
};

DetachedHost detachedHost;

// Hit boxes reach from 2 to 16 pixels right of and below a cell's corner.
constexpr int32_t HitBoxStart = 2;
constexpr int32_t HitBoxEnd = 16;

} // namespace

GameBoard::GameBoard() : host(&detachedHost) {
    for (auto& map : maps) {
        for (Cell& cell : map) {
            cell = Cell{Unrevealed, 0, 1, OpenWater};
        }
    }
}

void GameBoard::LoadIslands(const char* path) {
    FILE* file = std::fopen(path, "rb");
    // A file shorter than two hundred maps leaves the missing cells open water;
    // the bytes of a longer one are not read.
    signed char bytes[BoardCells];
    for (auto& map : maps) {
        size_t got = 0;
        if (file) {
            got = std::fread(bytes, 1, sizeof(bytes), file);
        }
        for (int32_t i = 0; i < BoardCells; ++i) {
            map[i].tile = static_cast<size_t>(i) < got ? static_cast<int32_t>(bytes[i]) : OpenWater;
            map[i].dirty = 1;
        }
        if (file && got < sizeof(bytes)) {
            std::fclose(file);
            file = nullptr;
        }
    }
    if (file) {
        std::fclose(file);
    }
}

void GameBoard::SelectMap() {
    if (mapIndex < 0 || mapIndex >= MapCount) {
        mapIndex = 0;
    }
    cells = maps[mapIndex];
}

void GameBoard::ClearBoard() {
    for (int32_t i = 0; i < BoardCells; ++i) {
        Cell& cell = cells[i];
        cell.state = Unrevealed;
        cell.treasure = 0;
        cell.dirty = cell.tile != OpenWater ? 1 : 0;
    }
    roundComplete = false;
    lastSearched = -1;
}

bool GameBoard::IsExcluded(int32_t index) const {
    return IsExcludedCell(index);
}

bool GameBoard::IsIsland(int32_t index) const {
    return cells[index].tile != OpenWater;
}

int32_t GameBoard::CellX(int32_t index) {
    const GridPosition position = PositionOf(index);
    return (position.row & 1 ? 57 : 50) + 14 * position.column;
}

int32_t GameBoard::CellY(int32_t index) {
    return 84 + 12 * PositionOf(index).row;
}

int32_t GameBoard::CellAt(int32_t px, int32_t py) {
    // Neighbouring boxes overlap; the lower index (upper row, left column) wins.
    for (int32_t index = 0; index < BoardCells; ++index) {
        const int32_t x = CellX(index);
        const int32_t y = CellY(index);
        if (px >= x + HitBoxStart && px <= x + HitBoxEnd && py >= y + HitBoxStart &&
            py <= y + HitBoxEnd) {
            return index;
        }
    }
    return -1;
}

void GameBoard::DrawCell(int32_t index, int32_t frame, IDirectDrawSurface* target) {
    if (IsExcluded(index)) {
        return;
    }
    tileSprite = cells[index].tile == OpenWater ? waterSprite : islandSprite;
    if (!tileSprite) {
        return;
    }
    tileSprite->SetFrameUnchecked(frame);
    tileSprite->SetPosition(CellX(index), CellY(index));
    tileSprite->Draw(target);
}

void GameBoard::DrawBoard(bool force) {
    IDirectDrawSurface* target = host->BoardSurface();
    for (int32_t index = 0; index < BoardCells; ++index) {
        Cell& cell = cells[index];
        if (cell.tile == OpenWater) {
            if (cell.state == Unrevealed) {
                continue;
            }
            if (cell.dirty || force) {
                DrawCell(index, cell.state, target);
            }
            cell.dirty = 0;
        } else {
            if (cell.dirty || force) {
                DrawCell(index, cell.tile, target);
            }
            cell.dirty = 0;
        }
    }
}
