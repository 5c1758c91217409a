// A game's hall of fame: the twenty places of its "hiscore.dat" in two
// columns of ten, with "upload" (the top score to the maker's score page),
// "clear" and "back".
#pragma once

#include <cstdint>

#include "scores/score_table.h"
#include "ui/buttons/menu_screen.h"
#include "ui/text/bitmap_font.h"

class HallOfFame : public MenuScreen {
public:
    // Reads "hiscore.dat" of the current directory (the game's folder).
    explicit HallOfFame(const char* gameName);
    ~HallOfFame() override = default;

    int CheckInputs() override;

    const ScoreTable& Table() const { return table; }

private:
    void DrawTable(IDirectDrawSurface* target);
    void DrawEntry(IDirectDrawSurface* target, int32_t index, int32_t row, int32_t nameX,
                   int32_t scoreX);

    char gameName[64] = {};
    BitmapFont blackFont;
    BitmapFont purpleFont;
    ScoreTable table;
};
