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
#include "reference_deal.h"

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

using ReferenceRand = reference::Rand;

inline int32_t Index(int32_t column, int32_t row) {
    return reference::Index(column, row);
}

inline std::set<int32_t> HiddenBorderCells() {
    return reference::HiddenBorderCells();
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
