// The launcher Ludora: the game pages first, a game's title screen when one
// is chosen, or at once when a game hands back with its name.
#include <windows.h>

#include "launcher/games_scene.h"
#include "launcher/title_scene.h"
#include "shell/core/shell_state.h"
#include "shell/scene_manager.h"
#include "shell/start_up.h"

namespace {

// The screens live for the whole run.
GamesScene gamesScene;
TitleScene titleScene;

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    SetWindowTitle("TovikGames Ludora");
    if (!StartUp(LudoraProgram, instance, previous, commandLine, showCommand)) {
        return 0;
    }
    g_SceneManager.SetContext(g_ShellState.directDraw, g_ShellState.backSurface);
    gamesScene.SetTitleScene(&titleScene);
    g_SceneManager.AddScene(&gamesScene);
    g_SceneManager.AddScene(&titleScene);
    g_SceneManager.SwitchTo("Ludora");
    // A game handing back names itself: open on its title page.
    if (commandLine && commandLine[0] != '\0') {
        gamesScene.SelectByCommandLine(commandLine);
    }
    MainLoop();
    return 0;
}
