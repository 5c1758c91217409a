// The island maps, "islands.dat": two hundred maps of one signed byte per
// cell, read into the board. Every cell holds its byte or open water where
// the file ended, and every map the file reached is painted whole, whatever
// frame number its bytes name.
#include "fuzz_display.h"

#include <memory>

#include "game/game_board.h"
#include "ui/pictures/sprite.h"

namespace {

// Paints the chart on the display's back surface; time moves only when asked.
class PaintingHost : public BoardHost {
public:
    int32_t Now() override { return clock; }
    void Sleep(int32_t milliseconds) override { clock += milliseconds; }
    void PlaySound(const char*) override {}
    void StopSound(const char*) override {}
    void PresentFrame() override {}
    IDirectDrawSurface* BoardSurface() override { return fuzz::BackSurface(); }
    void ShowTurnBonusPicture(int32_t) override {}
    void AddScorePopup(int32_t, int32_t) override {}

private:
    int32_t clock = 0;
};

struct Chart {
    PaintingHost host;
    Sprite water;
    Sprite islands;
    std::unique_ptr<GameBoard> board = std::make_unique<GameBoard>();
};

// The board is 4.5 MB: made once, with a water strip of eleven frames and an
// island grid of only six, so most bytes name frames that do not exist.
Chart& TheChart() {
    static Chart* chart = [] {
        if (fuzz::Display() == nullptr) __builtin_trap();
        fuzz::WriteSolidBmp("water.bmp", 14 * 11, 17, 0x2040A0);
        fuzz::WriteSolidBmp("islands.bmp", 14 * 3, 17 * 2, 0x30A040);
        Chart* made = new Chart;
        if (!made->water.LoadStrip("water.bmp", 11, 0) || made->water.FrameCountTotal() != 11)
            __builtin_trap();
        made->water.DivideWidthByFrames();
        if (!made->islands.LoadGrid("islands.bmp", 14, 17) || made->islands.FrameCountTotal() != 6)
            __builtin_trap();
        made->board->SetHost(&made->host);
        made->board->SetSprites(&made->water, &made->islands);
        return made;
    }();
    return *chart;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Chart& chart = TheChart();
    GameBoard& board = *chart.board;
    fuzz::WriteInput("islands.dat", data, size);
    board.LoadIslands("islands.dat");

    for (int32_t map = 0; map < MapCount; ++map) {
        for (int32_t cell = 0; cell < BoardCells; ++cell) {
            const size_t at = static_cast<size_t>(map) * BoardCells + static_cast<size_t>(cell);
            const int32_t expected =
                at < size ? static_cast<int32_t>(static_cast<int8_t>(data[at])) : OpenWater;
            if (board.maps[map][cell].tile != expected) __builtin_trap();
        }
    }
    // Painting is slow: the maps the file reached, at most four of them, and one beyond.
    const int32_t reached = static_cast<int32_t>(size / BoardCells) + 1;
    for (int32_t map = 0; map < MapCount && map < reached && map < 5; ++map) {
        board.mapIndex = map;
        board.SelectMap();
        board.ClearBoard();
        board.DrawBoard(true);
        // A searched water cell shows a tile state; an island keeps its picture.
        for (int32_t cell = 0; cell < BoardCells; cell += 97) {
            if (!board.IsIsland(cell)) board.cells[cell].state = Ring;
            board.cells[cell].dirty = 1;
        }
        board.DrawBoard(false);
        fuzz::g_sink = static_cast<unsigned>(board.cells[0].tile);
    }
    board.mapIndex = 0;
    return 0;
}
