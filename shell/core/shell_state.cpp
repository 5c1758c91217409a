#include "shell/core/shell_state.h"

#include <cstdio>

#include "shell/core/copy_text.h"

ShellState g_ShellState{};

void SetProgramName(const char* text) {
    CopyText(g_ShellState.programName, sizeof g_ShellState.programName, text);
}

void SetLauncherFolder(const char* text) {
    CopyText(g_ShellState.launcherFolder, sizeof g_ShellState.launcherFolder, text);
}

void SetWindowTitle(const char* text) {
    CopyText(g_ShellState.title, sizeof g_ShellState.title, text);
}

void SetTitleSuffix(const char* text) {
    char caption[256];
    FormatText(caption, sizeof caption, "%s - %s", g_ShellState.title, text ? text : "");
    if (g_ShellState.window) {
        SetWindowTextA(g_ShellState.window, caption);
    }
}
