#include "launcher/players_screen.h"

#include <new>

#include "shell/core/copy_text.h"
#include "ui/buttons/button.h"
#include "ui/buttons/button_place.h"
#include "ui/buttons/button_list.h"
#include "ui/pictures/back_buffer.h"
#include "ui/pictures/redraw_list.h"

namespace {

constexpr ButtonPlace PlayerButtons[] = {
    {"enter", "..\\EnterButton.bmp", 474, 471},
    {"remove", "..\\RemoveButton.bmp", 360, 471},
    {"back", "..\\BackButton.bmp", 608, 489},
    {"yesno", "..\\yesno.bmp", 37, 486},
};

constexpr int32_t FieldTops[] = {282, 348, 416};
constexpr int32_t FieldLeft = 50;
constexpr int32_t FieldWidth = 580;
constexpr int32_t FieldHeight = 26;
constexpr int32_t FieldCapacity = 64;

} // namespace

PlayersScreen::PlayersScreen() {
    normalFont.Load("..\\n_font.bmp");
    normalFont.gap = 1;
    highlightFont.Load("..\\h_font.bmp");
    highlightFont.gap = 3;
    AddBackground("..\\PlayerInfo.bmp", "players");
    AddPlacedButtons(*this, PlayerButtons, 2);
    if (Button* yesno = buttons ? buttons->FindByName("yesno") : nullptr) {
        yesno->SetLockedLook(1);
        yesno->SetMarkOnDraw(1);
    }
    for (int32_t i = 0; i < FieldCount; ++i) {
        TextField* field = fields[i];
        field->SetCapacity(FieldCapacity);
        // The highlight font is these fields' normal look.
        field->AttachFont(&highlightFont);
        field->AttachFont(&normalFont);
        field->SetCursor("..\\blockcursor.bmp");
        field->SetOrigin(originX, originY);
        field->SetRect(FieldLeft, FieldTops[i], FieldWidth, FieldHeight);
        field->selectable = 0;
        field->editable = 1;
    }
    nameField.SetFocus(1);
    sendOn = 1;
}

void PlayersScreen::PlaceBackground(int32_t x, int32_t y) {
    MenuScreen::PlaceBackground(x, y);
    for (TextField* field : fields) {
        field->SetOrigin(originX, originY);
    }
}

void PlayersScreen::LoadPlayer(PlayerRecord* record, int32_t number) {
    player = record;
    playerNumber = number;
    if (!player) {
        return;
    }
    nameField.SetText(player->name);
    addressField.SetText(player->address);
    emailField.SetText(player->email);
    if (player->send[0] == 'N') {
        if (Button* yesno = buttons ? buttons->FindByName("yesno") : nullptr) {
            yesno->SwapFirstTwoFrames();
        }
        sendOn = 0;
    } else {
        sendOn = 1;
    }
}

int PlayersScreen::Poll(int32_t pointerX, int32_t pointerY, int32_t pointerButtons) {
    if (pointerButtons != lastButtons && (pointerButtons & 1)) {
        for (TextField* field : fields) {
            field->OnClick(pointerX, pointerY);
        }
        if (!nameField.focused && !addressField.focused && !emailField.focused) {
            nameField.SetFocus(1);
        }
    }
    lastButtons = pointerButtons;

    if (buttons && buttons->WasClicked("back")) {
        Fire("back"); // the record stays as it was
    }
    if (buttons && buttons->WasClicked("remove")) {
        g_PlayerRoster.ResetPlayer(playerNumber);
        Fire("remove");
    }
    if (buttons && buttons->WasClicked("enter") && player) {
        CopyText(player->name, sizeof player->name, nameField.Text());
        CopyText(player->address, sizeof player->address, addressField.Text());
        CopyText(player->email, sizeof player->email, emailField.Text());
        CopyText(player->send, sizeof player->send, sendOn ? "Y" : "N");
        Fire("play");
    }
    if (buttons && buttons->WasClicked("yesno")) {
        if (Button* yesno = buttons->FindByName("yesno")) {
            yesno->SwapFirstTwoFrames();
        }
        sendOn = 1 - sendOn;
    }

    for (int32_t i = 0; i < FieldCount; ++i) {
        const int32_t key = fields[i]->ProcessKeys();
        if (key == FieldKeyTab || key == FieldKeyEnter) {
            fields[i]->SetFocus(0);
            fields[(i + 1) % FieldCount]->SetFocus(1);
        }
    }

    IDirectDrawSurface* back = BackBuffer();
    for (TextField* field : fields) {
        field->Draw(back);
        g_RedrawList.Mark(field->originX + field->x, field->originY + field->y, field->width,
                          field->height, RedrawOneShot | RedrawFromBackground);
    }
    return 1;
}
