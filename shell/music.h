// The background music: ".\\sounds\\music.mp3" through MCI under the alias
// "music", else ".\\sounds\\music.wav" streamed by the sound engine.
#pragma once

#include <windows.h>

// Start-up: reads "music" and "SFX" from optionsPath, switches the engine and
// starts the music when it is on.
void StartMusic(HWND window, const char* optionsPath);
// The MCI end notification: the MP3 starts again from the beginning.
void RestartMusic(HWND window);
// Activation: "pause music" / "resume music", sent whether or not an MP3 is open.
void PauseMusic(HWND window);
void ResumeMusic(HWND window);
