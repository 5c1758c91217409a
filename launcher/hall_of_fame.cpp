#include "launcher/hall_of_fame.h"

#include <cstdio>
#include <new>

#include "launcher/site_address.h"
#include "launcher/upload_address.h"
#include "shell/core/copy_text.h"
#include "shell/core/hand_over.h"
#include "ui/buttons/button.h"
#include "ui/buttons/button_place.h"
#include "ui/buttons/button_list.h"
#include "ui/pictures/redraw_list.h"

namespace {

constexpr const char* ScoreFile = "hiscore.dat";
constexpr int32_t RowsPerColumn = 10;
constexpr int32_t FirstRowY = 275;
constexpr int32_t RowHeight = 26;

constexpr ButtonPlace HallButtons[] = {
    {"upload", "..\\UploadButton.bmp", 552, 88},
    {"clear", "..\\ClearScores.bmp", 552, 149},
    {"back", "..\\backbutton.bmp", 595, 220},
};

} // namespace

HallOfFame::HallOfFame(const char* name) {
    CopyText(gameName, sizeof gameName, name);
    blackFont.Load("..\\HallBlackFont.bmp");
    blackFont.gap = 1;
    purpleFont.Load("..\\HallPurpleFont.bmp");
    purpleFont.gap = 1;
    AddBackground("..\\HallOfFameScreen.bmp", "hall");
    AddPlacedButtons(*this, HallButtons, 2);
    table.Allocate(HallOfFamePlaces);
    table.Read(ScoreFile); // a missing or refused file leaves twenty empty places
}

int HallOfFame::CheckInputs() {
    if (buttons && buttons->WasClicked("upload")) {
        const ScoreEntry* top = table.Entry(0);
        char address[1024];
        BuildUploadAddress(MakerSiteAddress, gameName, top ? top->name : "", top ? top->score : 0,
                           address, sizeof address);
        OpenWebPage(address);
    }
    if (buttons && buttons->WasClicked("clear")) {
        table.Allocate(HallOfFamePlaces);
        table.Write(ScoreFile);
        Fire("clear");
    }
    if (buttons && buttons->WasClicked("back")) {
        Fire("back");
    }
    DrawTable(g_RedrawList.Background());
    return 1;
}

void HallOfFame::DrawEntry(IDirectDrawSurface* target, int32_t index, int32_t row, int32_t nameX,
                           int32_t scoreX) {
    const ScoreEntry* entry = table.Entry(index);
    if (!entry || entry->name[0] == '\0') {
        return; // an empty place
    }
    // Only the player's name shows: the record up to its first ":".
    char shown[256];
    CopyField(shown, sizeof shown, entry->name, sizeof entry->name);
    for (char* c = shown; *c; ++c) {
        if (*c == ':') {
            *c = '\0';
            break;
        }
    }
    char score[16];
    std::snprintf(score, sizeof score, "%d", static_cast<int>(entry->score));
    BitmapFont& font = row % 2 == 0 ? purpleFont : blackFont;
    const int32_t y = FirstRowY + RowHeight * row;
    font.DrawText(target, shown, nameX, y, AlignLeft, -1);
    font.DrawText(target, score, scoreX, y, AlignLeft, -1);
}

void HallOfFame::DrawTable(IDirectDrawSurface* target) {
    if (!target) {
        return;
    }
    for (int32_t row = 0; row < RowsPerColumn; ++row) {
        DrawEntry(target, row, row, 56, 256);
        // The right column is placed from the background's left edge while the
        // left one uses fixed coordinates; kept as designed.
        DrawEntry(target, RowsPerColumn + row, row, originX + 334, originX + 534);
    }
}
