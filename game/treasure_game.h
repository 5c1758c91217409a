// The game controller: the board and its rules, the floating value pictures,
// the hall of fame and the state machine that runs every frame.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

#include "game/board_host.h"
#include "game/game_board.h"
#include "game/game_object.h"
#include "game/score_popup.h"
#include "scores/score_table.h"
#include "ui/pictures/pointer_list.h"

class TreasureScreen;

enum GameState : int32_t {
    Idle = 0,
    Playing = 1,
    NewGame = 9,
    RoundWon = 10,
    GameWon = 12,
    GameOver = 14,
};

// What a frame answers while the program goes on.
constexpr int32_t FrameContinue = 5;

// Which picture ShowPicture puts up.
enum PictureKind : int32_t { RoundPicture = 0, GameOverPicture = 1, CongratulationsPicture = 2 };

class TreasureGame : public GameObject, public BoardHost {
public:
    TreasureGame();
    ~TreasureGame() override;

    void SetScreen(TreasureScreen* owner);

    void Reset() override;
    void Release() override;
    int32_t Frame() override;

    // Answers 0 when the program was told to quit while the picture was up.
    virtual int ShowPicture(int32_t kind);
    virtual int ShowHallOfFame();
    virtual void DrawStatusPanel(IDirectDrawSurface* target);
    virtual int SubmitScore();
    virtual void UpdatePopups(IDirectDrawSurface* target);

    // What the board asks of the game.
    int32_t Now() override;
    void Sleep(int32_t milliseconds) override;
    void PlaySound(const char* soundName) override;
    void StopSound(const char* soundName) override;
    void PresentFrame() override;
    IDirectDrawSurface* BoardSurface() override;
    void ShowTurnBonusPicture(int32_t bonus) override;
    void AddScorePopup(int32_t index, int32_t level) override;

    // Fields in order.
    PointerList<IDirectDrawSurface>* scoreCells = nullptr;
    PointerList<ScorePopup>* popups = nullptr;
    ScoreTable hallOfFame;
    GameBoard board;

    // The frame's own values.
    int32_t prevButtons = 0;
    int32_t stateDeadline = 0;
    int32_t blinkOn = 0;
    int32_t lastBlink = 0;

private:
    int ShowHelp();
    void StartPlayerSession(char* composed);
    int32_t WorkOfState(int32_t x, int32_t y, int32_t buttons);

    TreasureScreen* screen = nullptr;
};
