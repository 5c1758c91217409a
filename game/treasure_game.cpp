// A frame of the game: the buttons, the state machine, the pop-up pictures,
// the status panel and the hall-of-fame entry at the end of a game.
#include "game/treasure_game.h"

#include <cstdio>
#include <new>

#include "game/sprite_list.h"
#include "game/treasure_screen.h"
#include "shell/core/hand_over.h"
#include "shell/core/shell_state.h"
#include "shell/core/tick_clock.h"
#include "shell/scene_manager.h"
#include "shell/sound_bank.h"
#include "ui/buttons/button.h"
#include "ui/buttons/button_list.h"
#include "ui/buttons/menu_screen.h"
#include "ui/buttons/pointer.h"
#include "ui/pictures/back_buffer.h"
#include "ui/pictures/redraw_list.h"
#include "ui/pictures/sprite.h"
#include "ui/roster/player_roster.h"
#include "zq.h"

namespace {

constexpr const char* OptionsPath = "..\\options.ini";
constexpr const char* HallOfFameFile = "hiscore.dat";
constexpr int32_t StartingSearches = 25;
constexpr int32_t RightButtonSearches = 25;
constexpr int32_t StateWaitMilliseconds = 1000;
constexpr int32_t BlinkMilliseconds = 500;
constexpr int32_t ConversionStepMilliseconds = 100;
constexpr int32_t NoticeMilliseconds = 1000;
constexpr int32_t PopupLifeMilliseconds = 1000;
constexpr float PopupRise = -50.0f; // pixels per second
constexpr int32_t ScoreCellWidth = 24;
constexpr int32_t ScoreCellHeight = 12;
constexpr int32_t SpaceBar = 32;
constexpr int32_t LeftButton = 1;
constexpr int32_t RightButton = 2;

} // namespace

TreasureGame::TreasureGame() {
    board.SetHost(this);
}

TreasureGame::~TreasureGame() {
    Release();
}

void TreasureGame::SetScreen(TreasureScreen* owner) {
    screen = owner;
}

void TreasureGame::Release() {
    hallOfFame.Allocate(0);
    if (popups) {
        for (ScorePopup* popup : *popups) {
            delete popup;
        }
        delete popups;
        popups = nullptr;
    }
    if (scoreCells) {
        for (IDirectDrawSurface* cell : *scoreCells) {
            if (cell) {
                cell->Release();
            }
        }
        delete scoreCells;
        scoreCells = nullptr;
    }
}

void TreasureGame::Reset() {
    Release();
    // Asked for at every reset although no sample carries the name; kept as designed.
    PlaySound("reveal");

    scoreCells = new (std::nothrow) PointerList<IDirectDrawSurface>;
    if (scoreCells) {
        if (IDirectDrawSurface* picture = ZQLoadBitmap("scores.bmp", 16)) {
            GridCut(picture, ScoreCellWidth, ScoreCellHeight, *scoreCells);
            picture->Release();
        }
    }
    popups = new (std::nothrow) PointerList<ScorePopup>;

    SetFinalScore(0);
    SetState(Idle);
    StartPlayerSession(nullptr);

    // The chart is not drawn here: the islands appear when a game starts.
    board.SelectMap();
    board.ClearBoard();
    board.tileSprite = board.waterSprite;
    board.LoadIslands();
    board.PlaceTreasures();

    hallOfFame.Allocate(HallOfFamePlaces);
    hallOfFame.Read(HallOfFameFile);
}

void TreasureGame::StartPlayerSession(char* composed) {
    g_PlayerRoster.SetPath(OptionsPath);
    SetPlayerSlot(g_PlayerRoster.ReadCurrent());
    g_PlayerRoster.ReadPlayer(PlayerSlot());
    SetTitleSuffix(g_PlayerRoster.Player(PlayerSlot()).name);
    if (composed) {
        g_PlayerRoster.Compose(PlayerSlot(), composed);
    }
}

int32_t TreasureGame::Frame() {
    const PointerReading pointer = g_Pointer.Read();
    ButtonList* buttons = screen ? screen->Buttons() : nullptr;
    if (buttons) {
        buttons->UpdateAll(pointer.x, pointer.y, pointer.buttons);
        buttons->DrawAll();
    }
    // Holding the right button adds 25 searches every frame, in every state; kept as designed.
    if (pointer.buttons & RightButton) {
        board.searchesLeft = board.searchesLeft + RightButtonSearches;
    }
    if (buttons && buttons->WasClicked("newgame")) {
        PlaySound("newgame");
        SetState(NewGame);
    }
    if (buttons && buttons->WasClicked("help")) {
        // "click" is asked for but never loaded, so it is silent; kept as designed.
        PlaySound("click");
        if (!ShowHelp()) {
            return FrameQuit;
        }
    }
    if (buttons && buttons->WasClicked("exit")) {
        return FrameQuit;
    }
    if (buttons && buttons->WasClicked("menu")) {
        PlaySound("click");
        if (ReturnToLauncher()) {
            return FrameQuit;
        }
    }
    const int32_t result = WorkOfState(pointer.x, pointer.y, pointer.buttons);
    if (result == FrameQuit) {
        return FrameQuit;
    }
    prevButtons = pointer.buttons;
    UpdatePopups(BackBuffer());
    DrawStatusPanel(BoardSurface());
    return FrameContinue;
}

int32_t TreasureGame::WorkOfState(int32_t x, int32_t y, int32_t buttons) {
    switch (State()) {
    case Idle: {
        Button* newGame =
            screen && screen->Buttons() ? screen->Buttons()->FindByName("newgame") : nullptr;
        if (newGame && Now() - lastBlink > BlinkMilliseconds) {
            blinkOn = 1 - blinkOn;
            newGame->SetFrameOffset(blinkOn);
            newGame->DrawOn(BackBuffer());
            lastBlink = Now();
        }
        break;
    }
    case Playing:
        if ((buttons & LeftButton) && buttons != prevButtons) {
            board.Search(GameBoard::CellAt(x, y));
        }
        if (board.roundComplete) {
            SetState(RoundWon);
            board.DrawBoard(true);
            stateDeadline = Now() + StateWaitMilliseconds;
        }
        if (board.searchesLeft == 0) {
            SetState(GameOver);
            stateDeadline = Now() + StateWaitMilliseconds;
        }
        break;
    case NewGame:
        board.mapIndex = 0;
        Reset();
        board.StartGame(StartingSearches);
        SetState(Playing);
        g_RedrawList.RestoreAll();
        board.DrawBoard(false);
        if (!ShowPicture(RoundPicture)) {
            return FrameQuit;
        }
        break;
    case RoundWon:
        if (Now() - stateDeadline < 0) {
            break;
        }
        if (!board.AdvanceRound()) {
            // The deadline has passed, so the next frame goes on with the win.
            SetState(GameWon);
            break;
        }
        PlaySound("advance");
        g_RedrawList.RestoreAll();
        board.DrawBoard(true);
        if (screen) {
            char picture[64];
            std::snprintf(picture, sizeof picture, "round%dsmall.bmp", board.round + 1);
            screen->DrawImage(BoardSurface(), picture, 649, 264);
        }
        SetState(Playing);
        if (!ShowPicture(RoundPicture)) {
            return FrameQuit;
        }
        break;
    case GameWon:
        if (Now() - stateDeadline < 0) {
            break;
        }
        while (board.ConvertSearch()) {
            PlaySound("1treasure");
            DrawStatusPanel(BackBuffer());
            Sleep(ConversionStepMilliseconds);
            PresentFrame();
        }
        PlaySound("win");
        SetState(Idle);
        DrawStatusPanel(BackBuffer());
        PresentFrame();
        DrawStatusPanel(BackBuffer());
        if (!ShowPicture(CongratulationsPicture) || !SubmitScore()) {
            return FrameQuit;
        }
        break;
    case GameOver:
        if (Now() - stateDeadline < 0) {
            break;
        }
        PlaySound("gameover");
        DrawStatusPanel(BackBuffer());
        if (!ShowPicture(GameOverPicture) || !SubmitScore()) {
            return FrameQuit;
        }
        SetState(Idle);
        break;
    default:
        break;
    }
    return FrameContinue;
}

int TreasureGame::ShowHelp() {
    MenuScreen page;
    page.AddBackground("title\\HowToPlay.bmp", nullptr);
    page.AddFullScreenButton();
    char result[256] = {};
    if (!page.Run(result, "rules")) {
        page.Destroy();
        return 0;
    }
    if (ImageRecord* picture = page.CurrentBackground()) {
        g_RedrawList.Restore(page.backgroundX, page.backgroundY, picture->width, picture->height);
    }
    page.Destroy();
    board.DrawBoard(true);
    return 1;
}

int TreasureGame::ShowPicture(int32_t kind) {
    char picture[64];
    if (kind == RoundPicture) {
        std::snprintf(picture, sizeof picture, "round%d.bmp", board.round + 1);
    } else if (kind == GameOverPicture) {
        std::snprintf(picture, sizeof picture, "gameover.bmp");
    } else {
        std::snprintf(picture, sizeof picture, "congrats.bmp");
    }
    MenuScreen popUp;
    popUp.AddBackground(picture, nullptr);
    popUp.PlaceBackground(135, 153);
    popUp.AddFullScreenButton();
    popUp.SetHotKey(SpaceBar);
    char result[256] = {};
    if (!popUp.Run(result, nullptr)) {
        popUp.Destroy();
        return 0;
    }
    popUp.Destroy();
    g_RedrawList.RestoreAll();
    board.DrawBoard(true);
    return 1;
}

int TreasureGame::SubmitScore() {
    char composed[256] = {};
    StartPlayerSession(composed);
    SetFinalScore(board.score);
    // An equal score ranks below the stored one; kept as designed.
    if (!hallOfFame.Insert(composed, FinalScore())) {
        return 1;
    }
    // A failed save is not reported; the old file stays whole.
    hallOfFame.Write(HallOfFameFile);
    return ShowHallOfFame();
}

int TreasureGame::ShowHallOfFame() {
    PresentFrame();
    UpdatePopups(BackBuffer());
    DrawStatusPanel(BackBuffer());
    MenuScreen notice;
    notice.AddBackground("hallfamepop.bmp", nullptr);
    notice.PlaceBackground(250, 202);
    notice.SetDeadline(Now() + NoticeMilliseconds);
    char result[256] = {};
    if (!notice.Run(result, nullptr)) {
        notice.Destroy();
        return 0;
    }
    notice.Destroy();
    g_RedrawList.RestoreAll();
    board.DrawBoard(true);
    return 1;
}

void TreasureGame::DrawStatusPanel(IDirectDrawSurface* target) {
    if (!screen) {
        return;
    }
    if (NumberSprite* numbers = screen->numbers) {
        numbers->spacing = 0;
        numbers->align = NumberFromLeft;
        numbers->digits = 1;
        numbers->DrawNumber(board.round + 1, 706, 370, target);
        numbers->align = NumberLastAtX;
        numbers->DrawNumber(board.score, 755, 77, target);
        numbers->DrawNumber(hallOfFame.TopScore(), 755, 16, target);
        numbers->digits = 3;
        numbers->align = NumberCentred;
        numbers->DrawNumber(board.searchesLeft, 712, 165, target);
    }
    char picture[64];
    std::snprintf(picture, sizeof picture, "round%dsmall.bmp", board.round + 1);
    screen->DrawImage(BoardSurface(), picture, 649, 264);
    for (int32_t k = 1; k <= TreasureCount; ++k) {
        if (board.found[k] == PiecesPerTreasure) {
            std::snprintf(picture, sizeof picture, "g%d.bmp", k);
            screen->DrawImage(BackBuffer(), picture, 674 + 16 * (k - 1), 225);
        }
    }
    if (Now() - board.bonusUntil < 0) {
        g_SpriteList.AnimateAndDrawAll(BackBuffer());
    }
}

void TreasureGame::AddScorePopup(int32_t index, int32_t level) {
    if (!popups) {
        return;
    }
    const int32_t treasure = board.cells[index].treasure;
    ScorePopup* popup = new (std::nothrow) ScorePopup;
    if (!popup) {
        return;
    }
    IDirectDrawSurface* picture =
        scoreCells ? scoreCells->At((treasure - 1) * 5 + level - 1) : nullptr;
    if (picture) {
        popup->AddBorrowedFrame(picture);
    }
    popup->frameWidth = ScoreCellWidth;
    popup->frameHeight = ScoreCellHeight;
    popup->SetPosition(GameBoard::CellX(index) - 6, GameBoard::CellY(index));
    popup->velocityX = 0;
    popup->velocityY = popup->y >= 10 ? PopupRise : 0;
    popup->expiry = Now() + PopupLifeMilliseconds;
    if (!popups->Add(popup)) {
        delete popup;
    }
}

void TreasureGame::UpdatePopups(IDirectDrawSurface* target) {
    if (!popups) {
        return;
    }
    for (ScorePopup* popup : *popups) {
        popup->Move();
    }
    const int32_t now = Now();
    for (int32_t i = popups->Count() - 1; i >= 0; --i) {
        ScorePopup* popup = popups->At(i);
        if (now - popup->expiry > 0) {
            popups->RemoveAt(i);
            delete popup;
        }
    }
    for (ScorePopup* popup : *popups) {
        if (popup->y > 5) {
            popup->Draw(target);
        }
    }
}

void TreasureGame::ShowTurnBonusPicture(int32_t bonus) {
    for (int32_t i = 0; i < TurnBonusPictures; ++i) {
        char spriteName[32];
        std::snprintf(spriteName, sizeof spriteName, "turnbonus%d.bmp", 3 * (i + 1));
        Sprite* sprite = g_SpriteList.FindByName(spriteName);
        if (!sprite) {
            continue;
        }
        const int32_t chosen = i == bonus / 3 - 1 ? 1 : 0;
        sprite->SetVisible(chosen);
        sprite->SetPlaying(chosen);
    }
}

int32_t TreasureGame::Now() {
    return g_TickClock.Now();
}

void TreasureGame::Sleep(int32_t milliseconds) {
    ::Sleep(static_cast<DWORD>(milliseconds));
}

namespace {
constexpr int32_t CentrePan = 32768; // the sound scale's centre
} // namespace

void TreasureGame::PlaySound(const char* soundName) {
    // Full volume in the middle: pan 0 of the sound scale is hard right, which
    // would leave the left speaker silent for every effect of the game.
    g_SoundBank.Play(soundName, 65535, CentrePan);
}

void TreasureGame::StopSound(const char* soundName) {
    g_SoundBank.Stop(soundName);
}

void TreasureGame::PresentFrame() {
    if (screen) {
        screen->Present();
    }
}

IDirectDrawSurface* TreasureGame::BoardSurface() {
    return screen ? screen->LiveBackground() : nullptr;
}
