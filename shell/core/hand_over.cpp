#include "shell/core/hand_over.h"

#include <cstdio>

#include <windows.h>
#include <shellapi.h>

#include "shell/core/copy_text.h"
#include "shell/core/shell_state.h"

void StartGame(const char* gameFolder) {
    // The title page runs inside the game's folder; the launcher's is one up.
    SetCurrentDirectoryA("..");
    char fullPath[1024] = {};
    if (GetCurrentDirectoryA(sizeof fullPath, fullPath) >= sizeof fullPath) {
        fullPath[0] = '\0';
    }
    // The game keeps its command line in 256 characters: the path is cut at 255.
    char launcherFolder[256];
    CopyText(launcherFolder, sizeof launcherFolder, fullPath);
    char folder[256];
    CopyText(folder, sizeof folder, gameFolder);
    char program[256];
    FormatText(program, sizeof program, "%s.exe", folder);
    ShellExecuteA(nullptr, "open", program, launcherFolder, folder, SW_SHOWNORMAL);
}

int ReturnToLauncher() {
    if (g_ShellState.launcherFolder[0] == '\0') {
        return 0;
    }
    char program[256];
    FormatText(program, sizeof program, "%s\\Ludora.exe", g_ShellState.launcherFolder);
    ShellExecuteA(nullptr, "open", program, g_ShellState.programName, g_ShellState.launcherFolder,
                  SW_SHOWNORMAL);
    return 1;
}

void OpenWebPage(const char* url) {
    ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
}
