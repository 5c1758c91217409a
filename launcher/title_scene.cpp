#include "launcher/title_scene.h"

#include <cstring>
#include <initializer_list>
#include <new>

#include <windows.h>

#include "launcher/hall_of_fame.h"
#include "launcher/title_places.h"
#include "launcher/players_screen.h"
#include "shell/core/copy_text.h"
#include "shell/core/hand_over.h"
#include "shell/scene_manager.h"
#include "ui/buttons/button.h"
#include "ui/buttons/button_place.h"
#include "ui/buttons/button_list.h"
#include "ui/buttons/menu_screen.h"
#include "ui/buttons/pointer.h"
#include "ui/pictures/back_buffer.h"
#include "ui/pictures/redraw_list.h"

namespace {

constexpr const char* OptionsPath = "..\\options.ini";

using namespace title_page;

constexpr int32_t FieldCapacity = 64;
constexpr int32_t PagesX = 53;
constexpr int32_t PagesY = 18;

// The roster's number as an index of the eight fields; a number outside 0..7
// stays in the file as it is but shows the first player.
int32_t PlayerIndex(int32_t number) {
    return number >= 0 && number < RosterPlayers ? number : 0;
}

} // namespace

TitleScene::TitleScene() {
    SetName("title");
}

TitleScene::~TitleScene() {
    ReleaseScreen();
}

void TitleScene::ReleaseScreen() {
    for (TextField*& field : fields) {
        delete field;
        field = nullptr;
    }
    delete normalFont;
    normalFont = nullptr;
    delete highlightFont;
    highlightFont = nullptr;
}

void TitleScene::SetChosenGame(const GameEntry& entry) {
    CopyGameEntry(chosen, entry);
}

void TitleScene::ReadSwitch(Button* button, const char* key, int32_t& flag) {
    char value[10] = {};
    GetPrivateProfileStringA("setup", key, "Y", value, sizeof value, OptionsPath);
    // Only a leading "N" is off here, while the programs at start-up need a
    // leading "Y" for on; kept as designed.
    flag = value[0] == 'N' ? 0 : 1;
    if (!flag && button) {
        button->SwapFirstTwoFrames();
    }
}

void TitleScene::ToggleSwitch(Button* button, const char* key, int32_t& flag) {
    if (button) {
        button->SwapFirstTwoFrames();
    }
    WritePrivateProfileStringA("setup", key, flag ? "N" : "Y", OptionsPath);
    flag = flag ? 0 : 1;
}

void TitleScene::FillPlayerFields() {
    for (int32_t slot = 0; slot < RosterPlayers; ++slot) {
        if (!fields[slot]) {
            continue;
        }
        // Only the first word of a name shows.
        char shown[64];
        CopyField(shown, sizeof shown, g_PlayerRoster.players[slot].name,
                  sizeof g_PlayerRoster.players[slot].name);
        if (char* space = std::strchr(shown, ' ')) {
            *space = '\0';
        }
        fields[slot]->SetText(shown);
    }
}

void TitleScene::Activate(IDirectDraw* directDrawObject, IDirectDrawSurface* back) {
    SetCurrentDirectoryA(chosen.folder);
    Scene::Activate(directDrawObject, back);
    ReleaseScreen();

    backgroundImage = AddImage(".\\title\\titlebackground.bmp");
    pristineImage = AddImage(".\\title\\titlebackground.bmp");
    SetRedrawBackground(backgroundImage ? backgroundImage->surface : nullptr);
    SetRedrawPristine(pristineImage ? pristineImage->surface : nullptr);
    g_RedrawList.RestoreAll();

    AddPlacedButtons(*this, TitleButtons, 2);
    Button* sfx = buttons ? buttons->FindByName("SFX") : nullptr;
    Button* music = buttons ? buttons->FindByName("Music") : nullptr;
    for (Button* toggle : {sfx, music}) {
        if (toggle) {
            toggle->SetLockedLook(1);
        }
    }
    ReadSwitch(sfx, "SFX", sfxOn);
    ReadSwitch(music, "Music", musicOn);

    normalFont = new (std::nothrow) BitmapFont();
    highlightFont = new (std::nothrow) BitmapFont();
    if (normalFont) {
        normalFont->Load("..\\n_font.bmp");
    }
    if (highlightFont) {
        highlightFont->Load("..\\h_font.bmp");
    }
    for (int32_t slot = 0; slot < RosterPlayers; ++slot) {
        TextField* field = new (std::nothrow) TextField();
        if (!field) {
            continue;
        }
        field->SetCapacity(FieldCapacity);
        field->AttachFont(normalFont);
        field->AttachFont(highlightFont);
        field->SetCursor("..\\blockcursor.bmp");
        field->SetOrigin(0, 0);
        field->SetRect(PlayerFields[slot].x, PlayerFields[slot].y, FieldWidth, FieldHeight);
        field->selectable = 1;
        field->editable = 0;
        fields[slot] = field;
    }

    g_PlayerRoster.SetPath(OptionsPath);
    currentPlayer = g_PlayerRoster.ReadCurrent();
    for (int32_t slot = 0; slot < RosterPlayers; ++slot) {
        g_PlayerRoster.ReadPlayer(slot);
    }
    FillPlayerFields();
    lastButtons = -1;
    SetCurrentDirectoryA(chosen.folder);
}

void TitleScene::Destroy() {
    ReleaseScreen();
    Scene::Destroy();
}

int TitleScene::RunPicturePage(const char* picture) {
    MenuScreen page;
    page.AddBackground(picture, "page");
    page.AddFullScreenButton();
    page.PlaceBackground(PagesX, PagesY);
    char result[256];
    const int finished = page.Run(result, nullptr);
    page.Destroy();
    if (finished) {
        // The page was drawn over the title screen: paint the title screen back.
        g_RedrawList.RestoreAll();
    }
    return finished;
}

int TitleScene::RunHallOfFame() {
    HallOfFame hall(chosen.name);
    hall.PlaceBackground(PagesX, PagesY);
    char result[256];
    const int finished = hall.Run(result, nullptr);
    hall.Destroy();
    if (finished) {
        g_RedrawList.RestoreAll(); // as after the picture pages
    }
    return finished;
}

int TitleScene::RunPlayers() {
    g_PlayerRoster.SetPath(OptionsPath);
    const int32_t slot = PlayerIndex(currentPlayer);
    PlayersScreen players;
    players.PlaceBackground(PagesX, PagesY);
    players.LoadPlayer(&g_PlayerRoster.players[slot], slot);
    char result[256];
    const int finished = players.Run(result, nullptr);
    players.Destroy();
    if (!finished) {
        return 0; // the program is shutting down: its screens and pictures are gone
    }
    // Every slot is written back, changed or not.
    for (int32_t number = 0; number < RosterPlayers; ++number) {
        const PlayerRecord record = g_PlayerRoster.players[number];
        g_PlayerRoster.WritePlayer(number, record);
    }
    FillPlayerFields();
    g_RedrawList.RestoreAll();
    return 1;
}

int32_t TitleScene::Frame(int32_t active) {
    const PointerReading pointer = g_Pointer.Read();
    if (!buttons) {
        return Present();
    }
    buttons->UpdateAll(pointer.x, pointer.y, pointer.buttons);
    buttons->DrawAll();

    if (pointer.buttons != lastButtons && (pointer.buttons & 1)) {
        for (int32_t slot = 0; slot < RosterPlayers; ++slot) {
            if (!fields[slot]) {
                continue;
            }
            fields[slot]->OnClick(pointer.x, pointer.y);
            if (fields[slot]->selected) {
                currentPlayer = slot;
                g_PlayerRoster.WriteCurrent(slot);
            }
        }
    }
    lastButtons = pointer.buttons;

    IDirectDrawSurface* back = BackBuffer();
    for (TextField* field : fields) {
        if (field) {
            field->Draw(back);
            g_RedrawList.Mark(field->originX + field->x, field->originY + field->y, field->width,
                              field->height, RedrawOneShot | RedrawFromBackground);
        }
    }
    // The current player stays highlighted after a click elsewhere cleared it.
    if (TextField* current = fields[PlayerIndex(currentPlayer)]) {
        current->selected = 1;
    }

    if (buttons->WasClicked("SFX")) {
        ToggleSwitch(buttons->FindByName("SFX"), "SFX", sfxOn);
    }
    if (buttons->WasClicked("Music")) {
        ToggleSwitch(buttons->FindByName("Music"), "Music", musicOn);
    }
    if (buttons->WasClicked("Credits")) {
        if (!RunPicturePage(".\\title\\Credits.bmp")) {
            return FrameQuit;
        }
    }
    if (buttons->WasClicked("HowToPlay")) {
        if (!RunPicturePage(".\\title\\HowToPlay.bmp")) {
            return FrameQuit;
        }
    }
    if (buttons->WasClicked("HighScores")) {
        if (!RunHallOfFame()) {
            return FrameQuit;
        }
    }
    if (buttons->WasClicked("Players")) {
        if (!RunPlayers()) {
            return FrameQuit;
        }
    }
    if (buttons->WasClicked("Play")) {
        // From the game's folder: the game gets the launcher's full path and
        // runs in its own folder; the launcher ends.
        StartGame(chosen.name);
        return FrameQuit;
    }
    if (buttons->WasClicked("Menu")) {
        SetCurrentDirectoryA("..");
        g_SceneManager.SwitchTo("Ludora");
        return 1;
    }
    if (buttons->WasClicked("Exit")) {
        return FrameQuit;
    }
    buttons->DrawAll();
    return Present();
}
