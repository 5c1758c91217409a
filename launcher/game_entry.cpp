#include "launcher/game_entry.h"

#include <cstdio>
#include <cstring>
#include <new>

#include <windows.h>

#include "shell/core/copy_text.h"

namespace {

// Paths while searching may be longer than the 256 characters an entry keeps.
constexpr size_t SearchPathSize = 1024;

GameEntry* MakeEntry(const char* directory, const char* folderName) {
    char picture[SearchPathSize];
    FormatText(picture, sizeof picture, "%s\\%s\\LudoraButton.bmp", directory, folderName);
    FILE* probe = std::fopen(picture, "rb");
    if (!probe) {
        return nullptr; // a folder without the picture is not a game
    }
    std::fclose(probe);

    GameEntry* entry = new (std::nothrow) GameEntry{};
    if (!entry) {
        return nullptr;
    }
    // Names too long for the entry's fields are cut, never overrun.
    char folder[SearchPathSize];
    FormatText(folder, sizeof folder, "%s\\%s", directory, folderName);
    CopyText(entry->folder, sizeof entry->folder, folder);
    char program[SearchPathSize + 8];
    FormatText(program, sizeof program, "%s.exe", folderName);
    CopyText(entry->program, sizeof entry->program, program);
    CopyText(entry->name, sizeof entry->name, folderName);
    entry->button = new (std::nothrow) Sprite();
    if (entry->button) {
        entry->button->AddFrameFromFile(picture);
    }
    return entry;
}

} // namespace

int32_t DiscoverGames(PointerList<GameEntry>& games) {
    char directory[SearchPathSize] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory) {
        return 0;
    }
    char pattern[SearchPathSize + 4];
    FormatText(pattern, sizeof pattern, "%s\\*", directory);

    int32_t found = 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    do {
        // Only plain folders: any other attribute (hidden, read-only, archive)
        // and names beginning with "." are passed over.
        if (data.dwFileAttributes != FILE_ATTRIBUTE_DIRECTORY || data.cFileName[0] == '.') {
            continue;
        }
        if (GameEntry* entry = MakeEntry(directory, data.cFileName)) {
            if (games.Add(entry)) {
                ++found;
            } else {
                delete entry->button;
                delete entry;
            }
        }
    } while (FindNextFileA(search, &data));
    // Any error ends the listing as ERROR_NO_MORE_FILES does.
    FindClose(search);
    return found;
}

void FreeGames(PointerList<GameEntry>& games) {
    for (GameEntry* entry : games) {
        delete entry->button;
        delete entry;
    }
    games.Clear();
}

int ProgramBeginsWith(const GameEntry& entry, const char* text) {
    if (!text) {
        return 0;
    }
    const size_t length = std::strlen(text);
    if (length > std::strlen(entry.program)) {
        return 0;
    }
    return std::memcmp(entry.program, text, length) == 0 ? 1 : 0;
}

void CopyGameEntry(GameEntry& destination, const GameEntry& source) {
    CopyField(destination.folder, sizeof destination.folder, source.folder, sizeof source.folder);
    CopyField(destination.program, sizeof destination.program, source.program,
              sizeof source.program);
    CopyField(destination.name, sizeof destination.name, source.name, sizeof source.name);
    destination.button = nullptr;
}
