#include "shell/music.h"

#include <cstdlib>
#include <thread>

#include <mmsystem.h>

#include "shell/sound_bank.h"

namespace {

const char* const Mp3Path = ".\\sounds\\music.mp3";
char WavPath[] = ".\\sounds\\music.wav";

// A switch of the settings file is on when its first character is an upper-case 'Y'.
bool SwitchIsOn(const char* optionsPath, const char* key) {
    char value[2] = {};
    GetPrivateProfileStringA("setup", key, "Y", value, sizeof value, optionsPath);
    return value[0] == 'Y';
}

// Only whether the file is there and can be read; it is closed again at once.
bool FileCanBeRead(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

// The music fades in beside the start-up instead of holding the splash back
// for the fade's 300 ms; the fade only sets the stream's volume, under the
// sound library's own lock.
std::thread FadeIn;

void FinishFadeIn() {
    if (FadeIn.joinable()) {
        FadeIn.join();
    }
}

void FadeMusicInBeside(unsigned long milliseconds) {
    FinishFadeIn();
    // The fade's first step at once, so nothing is heard at full volume.
    ZQSound::SetStreamVolume(0);
    FadeIn = std::thread([milliseconds] { g_Sound.FadeMusicIn(milliseconds); });
    static bool joinedAtExit = false;
    if (!joinedAtExit) {
        joinedAtExit = true;
        std::atexit(FinishFadeIn); // before the sound library's objects go
    }
}

void OpenAndPlayMp3(HWND window) {
    mciSendStringA("open .\\sounds\\music.mp3 alias music", nullptr, 0, nullptr);
    mciSendStringA("play music notify", nullptr, 0, window);
}

} // namespace

void StartMusic(HWND window, const char* optionsPath) {
    const bool music = SwitchIsOn(optionsPath, "music");
    g_SoundBank.EnableMusic(music ? 1 : 0);
    if (FileCanBeRead(Mp3Path)) {
        if (music) {
            OpenAndPlayMp3(window);
        }
    } else if (music) {
        if (g_Sound.LoadStream(WavPath, 0)) {
            ZQSound::SetStreamVolume(32767);
            g_Sound.PlayStream(STREAM_LOOP);
            FadeMusicInBeside(300);
        }
    }
    g_SoundBank.EnableSFX(SwitchIsOn(optionsPath, "SFX") ? 1 : 0);
}

void RestartMusic(HWND window) {
    mciSendStringA("close music", nullptr, 0, nullptr);
    OpenAndPlayMp3(window);
}

// Both go out whether or not an MP3 is open (without the alias they just
// fail); kept as designed.
void PauseMusic(HWND window) {
    mciSendStringA("pause music", nullptr, 0, window);
}

void ResumeMusic(HWND window) {
    mciSendStringA("resume music", nullptr, 0, window);
}
