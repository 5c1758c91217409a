// A click on the chart: finds and their value, the sonar of an unsuccessful
// search, extra searches for treasures found in one streak, round changes and
// the end-of-game conversion of the searches left.
#include "game/game_board.h"

namespace {

// Rings grow at twenty a second.
constexpr int32_t SonarStepMilliseconds = 50;
constexpr int32_t TurnBonusMilliseconds = 2000;
constexpr int32_t BonusPerStreak = 3;
// No cell of the chart is further than this from any other: a ring this wide
// has passed over every hidden piece, so the sonar always ends.
constexpr int32_t WidestRing = BoardColumns + BoardRows;

} // namespace

void GameBoard::StartGame(int32_t searches) {
    score = 0;
    findStep = 25;
    findBase = 100;
    findValue = findBase;
    searchesLeft = searches;
    round = 0;
    for (int32_t& count : streak) {
        count = 0;
    }
}

void GameBoard::Search(int32_t index) {
    if (index < 0 || index >= BoardCells) {
        return;
    }
    if (IsExcluded(index)) {
        host->PlaySound("negative");
        return;
    }
    if (index == lastSearched) {
        return;
    }
    Cell& cell = cells[index];
    if (cell.state >= FoundPiece) {
        return;
    }
    if (IsIsland(index)) {
        host->PlaySound("negative");
        return;
    }
    // The marker of the previous unsuccessful search turns into cleared water.
    if (lastSearched != -1) {
        Cell& previous = cells[lastSearched];
        previous.state = previous.treasure != 0 ? previous.treasure + 5 : Cleared;
        previous.dirty = 1;
    }
    lastSearched = index;

    if (cell.treasure == 0) {
        cell.state = LastMiss;
        cell.dirty = 1;
        findValue = findBase;
        searchesLeft = searchesLeft - 1;
        host->PlaySound("search");
        for (int32_t k = 1; k <= TreasureCount; ++k) {
            streak[k] = 0;
        }
        RunSonar(index);
        host->StopSound("search");
        return;
    }

    const int32_t k = cell.treasure;
    found[k] = found[k] + 1;
    streak[k] = streak[k] + 1;
    if (found[k] == PiecesPerTreasure) {
        int32_t bonus = 0;
        for (int32_t j = 1; j <= TreasureCount; ++j) {
            if (streak[j] == PiecesPerTreasure) {
                bonus += BonusPerStreak;
            }
        }
        if (bonus > 0) {
            searchesLeft = searchesLeft + bonus;
            ShowTurnBonus(bonus);
            host->PlaySound("5treasure");
        }
    }
    findValue = findValue + findStep;
    if (findValue > FindValueCap) {
        score = score + FindValueCap;
        host->AddScorePopup(index, 5);
    } else {
        score = score + findValue;
        host->AddScorePopup(index, (findValue - 100) / findStep);
    }
    host->PlaySound("1treasure");
    piecesLeft = piecesLeft - 1;
    if (piecesLeft == 0) {
        roundComplete = true;
    }
    cell.state = k + 5;
    cell.dirty = 1;
    DrawBoard(false);
    host->PresentFrame();
}

void GameBoard::RunSonar(int32_t index) {
    probeHit = false;
    for (int32_t radius = 0; !probeHit && radius <= WidestRing; ++radius) {
        probing = true;
        SweepRing(index, radius, Ring);
        probing = false;
        if (radius > 1) {
            SweepRing(index, radius - 1, Cleared);
        }
        DrawBoard(false);
        host->PresentFrame();
        WaitSonarStep();
    }
}

void GameBoard::WaitSonarStep() {
    const int32_t start = host->Now();
    while (host->Now() - start < SonarStepMilliseconds) {
        host->Sleep(1);
        host->PresentFrame();
        host->PresentFrame();
    }
}

void GameBoard::SweepRing(int32_t centre, int32_t radius, int32_t value) {
    GridPosition position = PositionOf(centre);
    for (int32_t i = 0; i < radius; ++i) {
        position = Step(position, NorthWest);
    }
    static constexpr int32_t legs[DirectionCount] = {East, SouthEast, SouthWest,
                                                     West, NorthWest, NorthEast};
    for (int32_t leg : legs) {
        for (int32_t i = 0; i < radius; ++i) {
            if (IsOnBoard(position)) {
                const int32_t index = IndexOf(position);
                const Cell& cell = cells[index];
                if (probing && cell.treasure != 0 && cell.state < FoundPiece) {
                    probeHit = true;
                }
                MarkCell(index, value);
            }
            position = Step(position, leg);
        }
    }
}

void GameBoard::MarkCell(int32_t index, int32_t value) {
    Cell& cell = cells[index];
    if (value == Ring && cell.state == Cleared) {
        cell.state = RingOnCleared;
        cell.dirty = 1;
    } else if (value == Cleared && cell.state == RingOnCleared) {
        cell.state = Cleared;
        cell.dirty = 1;
    } else if (cell.state != Cleared && cell.state != RingOnCleared && cell.state < FoundPiece) {
        cell.state = value;
        cell.dirty = 1;
    }
}

void GameBoard::ShowTurnBonus(int32_t bonus) {
    host->ShowTurnBonusPicture(bonus);
    bonusUntil = host->Now() + TurnBonusMilliseconds;
}

int GameBoard::AdvanceRound() {
    round = round + 1;
    if (round == RoundsPerGame) {
        round = RoundsPerGame - 1;
        return 0;
    }
    score = score * 2;
    mapIndex = mapIndex + 1;
    SelectMap();
    ClearBoard();
    PlaceTreasures();
    return 1;
}

bool GameBoard::ConvertSearch() {
    searchesLeft = searchesLeft - 1;
    if (searchesLeft < 0) {
        searchesLeft = 0;
        return false;
    }
    score = score + SearchValue;
    return true;
}
