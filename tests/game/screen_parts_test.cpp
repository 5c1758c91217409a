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
#include "shell/shell_state.h"
#include "temp_folder.h"

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
