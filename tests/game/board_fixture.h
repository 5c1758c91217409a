// A board under test with a host that records what the rules ask for and a
// clock that moves only when the rules sleep.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/game_board.h"

class RecordingHost : public BoardHost {
public:
    int32_t Now() override { return clock; }
    void Sleep(int32_t milliseconds) override { clock += milliseconds; }
    void PlaySound(const char* soundName) override { played.emplace_back(soundName); }
    void StopSound(const char* soundName) override { stopped.emplace_back(soundName); }
    void PresentFrame() override { ++presented; }
    IDirectDrawSurface* BoardSurface() override { return nullptr; }
    void ShowTurnBonusPicture(int32_t bonus) override { bonuses.push_back(bonus); }
    void AddScorePopup(int32_t index, int32_t level) override { popups.emplace_back(index, level); }

    int Count(const std::string& soundName) const {
        int count = 0;
        for (const std::string& name : played)
            count += name == soundName;
        return count;
    }

    int32_t clock = 1000;
    int presented = 0;
    std::vector<std::string> played;
    std::vector<std::string> stopped;
    std::vector<int32_t> bonuses;
    std::vector<std::pair<int32_t, int32_t>> popups;
};

// The C runtime's generator as the game was built with it, written out here.
class ReferenceRand {
public:
    explicit ReferenceRand(uint32_t seed) : state(seed) {}
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

private:
    uint32_t state;
};

inline int32_t Index(int32_t column, int32_t row) {
    return row * 38 + column;
}

// The border cells by row, as the chart's frame hides them.
inline std::set<int32_t> HiddenBorderCells() {
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
    std::set<int32_t> cells;
    for (const Span& span : spans)
        for (int column = span.first; column <= span.last; ++column)
            cells.insert(Index(column, span.row));
    return cells;
}

// A heap board (the maps are 4.5 MB) on open sea, with the recording host.
inline std::unique_ptr<GameBoard> OpenSeaBoard(RecordingHost& host) {
    auto board = std::make_unique<GameBoard>();
    board->SetHost(&host);
    board->LoadIslands("/nonexistent/islands.dat");
    board->mapIndex = 0;
    board->SelectMap();
    board->ClearBoard();
    board->StartGame(25);
    board->piecesLeft = 25;
    return board;
}

// Lays treasure k on the given cells by hand.
inline void Hide(GameBoard& board, int32_t treasure, std::initializer_list<int32_t> cells) {
    for (int32_t index : cells)
        board.cells[index].treasure = treasure;
}
