// The treasure hunt Pearlwreck: one screen, "treasure", on the shell. The
// command line is the launcher's folder when the launcher started the game.
#include <windows.h>

#include "game/treasure_screen.h"
#include "shell/core/shell_state.h"
#include "shell/scene_manager.h"
#include "shell/start_up.h"

namespace {

// The screen lives for the whole run.
TreasureScreen treasureScreen;

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    SetProgramName("Pearlwreck");
    SetLauncherFolder(commandLine);
    SetWindowTitle("Pearl Wreck");
    if (!StartUp(PearlwreckProgram, instance, previous, commandLine, showCommand)) {
        return 0;
    }
    g_SceneManager.SetContext(g_ShellState.directDraw, g_ShellState.backSurface);
    g_SceneManager.AddScene(&treasureScreen);
    g_SceneManager.SwitchTo("treasure");
    MainLoop();
    return 0;
}
