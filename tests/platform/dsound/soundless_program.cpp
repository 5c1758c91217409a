// A program that asks for DirectSound, plays nothing and ends; what the
// layer tells the player on the way is on its stderr.
#include <dsound.h>
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    IDirectSound* sound = nullptr;
    const HRESULT created = DirectSoundCreate(nullptr, &sound, nullptr);
    std::printf("%s\n", created == DS_OK ? "created" : "refused");
    if (sound) sound->Release();
    return 0;
}
