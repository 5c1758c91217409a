// Starting the other program, or a web page, through the Windows shell.
#pragma once

// Launcher to game, from inside the game's folder: goes up to the launcher
// folder and starts "<gameFolder>.exe" there with the launcher's full path as
// its only parameter and the game's folder as its working directory.
void StartGame(const char* gameFolder);

// Game to launcher: starts launcherFolder\\Ludora.exe with the program name.
// Answers 0 (nothing started) when the game was started on its own.
int ReturnToLauncher();

// Opens an address in the browser.
void OpenWebPage(const char* url);
