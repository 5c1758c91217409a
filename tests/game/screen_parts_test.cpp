// Pieces of the game's screen that stand without a display: painting a cell
// with the right sprite and frame, the floating values, the turn-bonus choice.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <tuple>
#include <vector>

#include "board_fixture.h"
#include "game/score_popup.h"
#include "game/sprite_list.h"
#include "game/treasure_game.h"
#include "shell/core/shell_state.h"
#include "tests/support/temp_folder.h"
#include "shell/scene_manager.h"
#include "ui/buttons/pointer.h"

using testkit::TempFolder;

namespace {

// Remembers every drawing: frame and top-left corner.
class RecordingSprite : public Sprite {
public:
    void Draw(IDirectDrawSurface*) override {
        drawn.emplace_back(frame, static_cast<int>(x), static_cast<int>(y));
    }
    std::vector<std::tuple<int, int, int>> drawn;
};

using Drawn = std::vector<std::tuple<int, int, int>>;

// The game reads its files from the current folder: an empty one.
class InEmptyFolder : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.path);
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    TempFolder folder;
    std::filesystem::path previous;
};

} // namespace

TEST(CellPainting, WaterAndIslandsUseTheirSpritesAtTheCellsCorner) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    RecordingSprite water, island;
    board->SetSprites(&water, &island);
    board->cells[Index(5, 7)].state = Ring;
    board->cells[Index(5, 7)].dirty = 1;
    board->cells[Index(6, 8)].tile = 200; // beyond the pictures cut: the frame is set unchecked
    board->cells[Index(6, 8)].dirty = 1;
    board->cells[0].tile = 3; // a hidden border island is never painted
    board->cells[0].dirty = 1;
    board->cells[Index(1, 0)].state = Cleared; // nor is hidden border water
    board->DrawBoard(true);
    EXPECT_EQ(water.drawn, (Drawn{{Ring, 57 + 14 * 5, 84 + 12 * 7}}));
    EXPECT_EQ(island.drawn, (Drawn{{200, 50 + 14 * 6, 84 + 12 * 8}}));
    EXPECT_EQ(board->tileSprite, &island);
    EXPECT_EQ(board->cells[0].dirty, 0);
}

TEST(CellPainting, SearchPaintsOnlyTheCellsItChanged) {
    RecordingHost host;
    auto board = OpenSeaBoard(host);
    RecordingSprite water, island;
    board->SetSprites(&water, &island);
    board->cells[Index(20, 20)].treasure = 1;
    board->cells[Index(22, 20)].state = Cleared;
    board->DrawBoard(true);
    water.drawn.clear();
    board->Search(Index(20, 20));
    EXPECT_EQ(water.drawn, (Drawn{{6, 50 + 14 * 20, 84 + 12 * 20}}));
    water.drawn.clear();
    board->DrawBoard(false);
    EXPECT_TRUE(water.drawn.empty());
}

TEST(FloatingValues, RiseFiftyPixelsASecondAtAnyFrameRate) {
    for (float fps : {60.0f, 30.0f, 125.0f}) {
        g_ShellState.lastFps = fps;
        ScorePopup popup;
        popup.SetPosition(300, 200);
        popup.velocityY = -50;
        const int frames = static_cast<int>(fps);
        for (int i = 0; i < frames; ++i)
            popup.Move();
        EXPECT_NEAR(popup.y, 150.0f, 0.01f) << fps;
        EXPECT_FLOAT_EQ(popup.x, 300.0f);
    }
}

TEST(FloatingValues, UntrustedFrameRateIsTakenAsSixty) {
    for (float fps : {0.0f, 9.9f}) {
        g_ShellState.lastFps = fps;
        ScorePopup popup;
        popup.SetPosition(0, 100);
        popup.velocityY = -60;
        popup.Move();
        EXPECT_FLOAT_EQ(popup.y, 99.0f) << fps;
        EXPECT_FLOAT_EQ(g_ShellState.lastFps, 60.0f);
    }
    g_ShellState.lastFps = 10.0f;
    ScorePopup popup;
    popup.SetPosition(0, 100);
    popup.velocityY = -60;
    popup.Move();
    EXPECT_FLOAT_EQ(popup.y, 94.0f);
}

TEST(FloatingValues, StopAtTwentyPixelsFromTheTop) {
    g_ShellState.lastFps = 60.0f;
    ScorePopup popup;
    popup.SetPosition(0, 21);
    popup.velocityY = -60;
    popup.Move();
    EXPECT_FLOAT_EQ(popup.y, 20.0f);
    EXPECT_FLOAT_EQ(popup.velocityY, -60.0f);
    popup.Move();
    EXPECT_FLOAT_EQ(popup.y, 20.0f);
    EXPECT_FLOAT_EQ(popup.velocityY, 0.0f);
}

TEST_F(InEmptyFolder, FindPlacesItsValueOverThePiece) {
    auto game = std::make_unique<TreasureGame>();
    game->Reset();
    ASSERT_NE(game->popups, nullptr);
    const int32_t cell = Index(10, 10);
    game->board.cells[cell].treasure = 2;
    game->AddScorePopup(cell, 3);
    ASSERT_EQ(game->popups->Count(), 1);
    ScorePopup* popup = game->popups->At(0);
    EXPECT_FLOAT_EQ(popup->x, 50.0f + 14 * 10 - 6);
    EXPECT_FLOAT_EQ(popup->y, 84.0f + 12 * 10);
    EXPECT_FLOAT_EQ(popup->velocityY, -50.0f);
    EXPECT_EQ(popup->expiry, game->Now() + 1000);
    // Started without a display or files: an empty hall of fame, nothing dealt on islands.
    EXPECT_EQ(game->hallOfFame.Count(), 20);
    EXPECT_EQ(game->hallOfFame.TopScore(), 0);
    EXPECT_EQ(game->State(), Idle);
    EXPECT_EQ(game->board.piecesLeft, 25);
}

TEST_F(InEmptyFolder, ScoreOfNothingIsNotEnteredAndNothingIsWritten) {
    auto game = std::make_unique<TreasureGame>();
    game->Reset();
    game->board.score = 0;
    EXPECT_EQ(game->SubmitScore(), 1);
    EXPECT_EQ(game->FinalScore(), 0);
    EXPECT_FALSE(std::filesystem::exists("hiscore.dat"));
}

TEST(TurnBonus, OnlyTheEarnedPictureShows) {
    std::vector<std::unique_ptr<Sprite>> originals;
    for (int bonus = 3; bonus <= 15; bonus += 3) {
        originals.push_back(std::make_unique<Sprite>());
        originals.back()->SetName(("turnbonus" + std::to_string(bonus) + ".bmp").c_str());
        originals.back()->SetPlaying(1);
        g_SpriteList.AddCopy(*originals.back());
    }
    ASSERT_EQ(g_SpriteList.Count(), 5);
    auto game = std::make_unique<TreasureGame>();
    game->ShowTurnBonusPicture(9);
    for (int bonus = 3; bonus <= 15; bonus += 3) {
        Sprite* copy =
            g_SpriteList.FindByName(("turnbonus" + std::to_string(bonus) + ".bmp").c_str());
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->visible, bonus == 9 ? 1 : 0) << bonus;
        EXPECT_EQ(copy->playing, bonus == 9 ? 1 : 0) << bonus;
    }
    EXPECT_EQ(g_SpriteList.FindByName("TurnBonus9.bmp"), nullptr);
    g_SpriteList.Clear();
    EXPECT_EQ(g_SpriteList.Count(), 0);
}

namespace {

// The game with its pop-ups and hall-of-fame entry recorded instead of shown.
class ScriptedGame : public TreasureGame {
public:
    int ShowPicture(int32_t kind) override {
        events.push_back("picture " + std::to_string(kind));
        return 1;
    }
    int SubmitScore() override {
        events.push_back("submit " + std::to_string(board.score));
        return 1;
    }
    void PlaySound(const char* soundName) override { events.push_back(soundName); }
    // Time moves only when the game sleeps.
    int32_t Now() override { return clock; }
    void Sleep(int32_t milliseconds) override {
        clock += milliseconds;
        if (milliseconds > 1) events.push_back("sleep " + std::to_string(milliseconds));
    }
    void PresentFrame() override { events.push_back("present"); }

    std::vector<std::string> events;
    int32_t clock = 0;
};

using Events = std::vector<std::string>;

} // namespace

TEST_F(InEmptyFolder, WinConvertsEachSearchLeftWithASound) {
    auto game = std::make_unique<ScriptedGame>();
    game->Reset();
    game->board.StartGame(25);
    game->board.score = 1000;
    game->board.searchesLeft = 4;
    game->SetState(GameWon);
    game->stateDeadline = game->Now();
    game->events.clear();
    EXPECT_EQ(game->Frame(), FrameContinue);
    EXPECT_EQ(game->events,
              (Events{"1treasure", "sleep 100", "present", "1treasure", "sleep 100", "present",
                      "1treasure", "sleep 100", "present", "1treasure", "sleep 100", "present",
                      "win", "present", "picture 2", "submit 41000"}));
    EXPECT_EQ(game->board.searchesLeft, 0);
    EXPECT_EQ(game->State(), Idle);
}

TEST_F(InEmptyFolder, LostGameShowsItsPictureAndEntersTheScore) {
    auto game = std::make_unique<ScriptedGame>();
    game->Reset();
    game->board.StartGame(25);
    game->board.score = 300;
    game->SetState(GameOver);
    game->stateDeadline = game->Now() + 1000; // still waiting
    game->events.clear();
    game->Frame();
    EXPECT_TRUE(game->events.empty());
    EXPECT_EQ(game->State(), GameOver);
    game->stateDeadline = game->Now();
    game->Frame();
    EXPECT_EQ(game->events, (Events{"gameover", "picture 1", "submit 300"}));
    EXPECT_EQ(game->State(), Idle);
}

TEST_F(InEmptyFolder, NewGameStartsAtRoundOneAndRoundsAdvance) {
    auto game = std::make_unique<ScriptedGame>();
    game->Reset();
    EXPECT_EQ(game->board.searchesLeft, 0); // the panel shows 000 before a game
    game->board.mapIndex = 5;
    game->SetState(NewGame);
    game->events.clear();
    game->Frame();
    EXPECT_EQ(game->events, (Events{"reveal", "picture 0"}));
    EXPECT_EQ(game->State(), Playing);
    EXPECT_EQ(game->board.mapIndex, 0);
    EXPECT_EQ(game->board.searchesLeft, 25);
    EXPECT_EQ(game->board.score, 0);

    // The last piece found: one second later the next round and its picture.
    game->board.roundComplete = true;
    game->board.score = 1000;
    game->Frame();
    EXPECT_EQ(game->State(), RoundWon);
    EXPECT_EQ(game->stateDeadline, game->Now() + 1000);
    game->stateDeadline = game->Now();
    game->events.clear();
    game->Frame();
    EXPECT_EQ(game->events, (Events{"advance", "picture 0"}));
    EXPECT_EQ(game->State(), Playing);
    EXPECT_EQ(game->board.round, 1);
    EXPECT_EQ(game->board.score, 2000);

    // The ninth round won: the game is won, and the next frame converts.
    game->board.round = 8;
    game->board.roundComplete = true;
    game->Frame();
    game->stateDeadline = game->Now();
    game->events.clear();
    game->Frame();
    EXPECT_EQ(game->State(), GameWon);
    EXPECT_TRUE(game->events.empty());
}

TEST_F(InEmptyFolder, RightButtonAddsSearchesEveryFrameInEveryState) {
    auto game = std::make_unique<ScriptedGame>();
    game->Reset();
    g_Pointer.SetRight(1);
    game->Frame();
    game->Frame();
    EXPECT_EQ(game->board.searchesLeft, 50);
    game->SetState(GameOver);
    game->stateDeadline = game->Now() + 1000;
    game->Frame();
    EXPECT_EQ(game->board.searchesLeft, 75);
    g_Pointer.SetRight(0);
    game->Frame();
    EXPECT_EQ(game->board.searchesLeft, 75);
}

TEST_F(InEmptyFolder, SearchNeedsANewPress) {
    auto game = std::make_unique<ScriptedGame>();
    game->Reset();
    game->SetState(NewGame);
    game->Frame();
    // A chart cell without treasure on this deal.
    int32_t water = -1;
    for (int32_t i = Index(10, 10); i < 1406 && water < 0; ++i)
        if (!game->board.IsExcluded(i) && game->board.cells[i].treasure == 0) water = i;
    ASSERT_GE(water, 0);
    g_Pointer.SetPosition(GameBoard::CellX(water) + 9, GameBoard::CellY(water) + 9);
    g_Pointer.SetLeft(1);
    game->Frame();
    EXPECT_EQ(game->board.searchesLeft, 24);
    game->Frame(); // still held: no second search
    game->board.lastSearched = -1;
    game->Frame();
    EXPECT_EQ(game->board.searchesLeft, 24);
    g_Pointer.SetLeft(0);
    game->Frame();
    EXPECT_EQ(game->board.searchesLeft, 24);
}
