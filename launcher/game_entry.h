// The games the launcher finds beside it: every plain sub-folder of its
// folder that holds a "LudoraButton.bmp".
#pragma once

#include <cstdint>

#include "ui/pictures/pointer_list.h"
#include "ui/pictures/sprite.h"

struct GameEntry {
    char folder[256]; // full path: the launcher's folder, "\\", the folder name
    char program[64]; // the folder name followed by ".exe"
    char name[64];    // the folder name; the game's name for the score upload
    Sprite* button;   // owned; the button picture, its only frame
};

// Lists the games of the current directory, in the order the folders are
// found, appending new entries to games. Answers the number found.
int32_t DiscoverGames(PointerList<GameEntry>& games);

// Destroys every entry (and its button) and empties the list.
void FreeGames(PointerList<GameEntry>& games);

// 1 when the entry's program name begins with text, byte for byte over the
// text's length (the command line a game hands back).
int ProgramBeginsWith(const GameEntry& entry, const char* text);

// Copies folder, program and name; the copy has no button picture.
void CopyGameEntry(GameEntry& destination, const GameEntry& source);
