// The players screen: the current player's name, address and e-mail in three
// fields, the yes/no switch of the send flag, and "enter", "remove", "back".
#pragma once

#include <cstdint>

#include "ui/buttons/menu_screen.h"
#include "ui/roster/player_roster.h"
#include "ui/text/bitmap_font.h"
#include "ui/text/text_field.h"

class Button;

class PlayersScreen : public MenuScreen {
public:
    PlayersScreen();
    ~PlayersScreen() override = default;

    // The fields follow the background wherever it is placed.
    void PlaceBackground(int32_t x, int32_t y) override;
    // The roster slot edited (not owned) and its number.
    void LoadPlayer(PlayerRecord* record, int32_t number);
    int Poll(int32_t pointerX, int32_t pointerY, int32_t pointerButtons) override;

    TextField& Field(int32_t index) { return *fields[index]; }
    int32_t SendOn() const { return sendOn; }

private:
    static constexpr int32_t FieldCount = 3;

    BitmapFont normalFont;
    BitmapFont highlightFont;
    TextField nameField, addressField, emailField;
    TextField* fields[FieldCount] = {&nameField, &addressField, &emailField};
    PlayerRecord* player = nullptr;
    int32_t playerNumber = 0;
    int32_t sendOn = 1;
    int32_t lastButtons = -1;
};
