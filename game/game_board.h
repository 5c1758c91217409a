// The sea chart in play: every map of "islands.dat", the selected one, the
// round's treasures, and the rules of a search with its sonar and scoring.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

#include "game/board_host.h"
#include "game/cell.h"
#include "game/hex_grid.h"

class Sprite;

constexpr int32_t MapCount = 200;
constexpr int32_t TreasureCount = 5;
constexpr int32_t PiecesPerTreasure = 5;
constexpr int32_t FindValueCap = 200;
constexpr int32_t RoundsPerGame = 9;
constexpr int32_t SearchValue = 10000; // each search left at the end of a won game
constexpr const char* IslandFileName = "islands.dat";

class GameBoard {
public:
    GameBoard();
    virtual ~GameBoard() = default;
    GameBoard(const GameBoard&) = delete;
    GameBoard& operator=(const GameBoard&) = delete;

    void SetHost(BoardHost* boardHost) { host = boardHost; }
    void SetSprites(Sprite* water, Sprite* island) {
        waterSprite = water;
        islandSprite = island;
    }

    // The board.
    virtual void LoadIslands(const char* path = IslandFileName);
    virtual void SelectMap();
    virtual void ClearBoard();
    virtual void PlaceTreasures();
    virtual bool IsExcluded(int32_t index) const;
    virtual bool IsIsland(int32_t index) const;
    static int32_t CellX(int32_t index);
    static int32_t CellY(int32_t index);
    static int32_t CellAt(int32_t px, int32_t py);
    virtual void DrawCell(int32_t index, int32_t frame, IDirectDrawSurface* target);
    virtual void DrawBoard(bool force);

    // The rules.
    virtual void StartGame(int32_t searches);
    virtual void Search(int32_t index);
    virtual void MarkCell(int32_t index, int32_t value);
    virtual void SweepRing(int32_t centre, int32_t radius, int32_t value);
    virtual void ShowTurnBonus(int32_t bonus);
    virtual int AdvanceRound();
    virtual bool ConvertSearch();

    // Fields of the board.
    Cell maps[MapCount][BoardCells];
    int32_t mapIndex = 0;
    Cell* cells = maps[0];
    int32_t piecesLeft = 0;
    int32_t found[TreasureCount + 1] = {}; // 1..5
    int32_t lastSearched = -1;
    bool roundComplete = false;
    bool probing = false;
    bool probeHit = false;
    Sprite* tileSprite = nullptr;
    Sprite* waterSprite = nullptr;
    Sprite* islandSprite = nullptr;

    // Fields of the rules: nothing until a game starts (the panel shows 000 searches).
    int32_t score = 0;
    int32_t findValue = 0;
    int32_t findStep = 0;
    int32_t findBase = 0;
    int32_t searchesLeft = 0;
    int32_t round = 0;
    int32_t streak[TreasureCount + 1] = {}; // 1..5
    int32_t bonusUntil = 0;

private:
    bool TryPlaceTreasure(int32_t treasure, int32_t start, int32_t direction);
    void RunSonar(int32_t index);
    void WaitSonarStep();

    BoardHost* host = nullptr;
};
