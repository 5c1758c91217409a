// Sound effects by name over the sound engine's sample ids (10 plus the
// position in the bank), and the engine itself.
#pragma once

#include <cstdint>

#include <windows.h>

#include "ui/pictures/pointer_list.h"
#include "zqsound.h"

struct SoundBankEntry {
    int32_t id;
    char name[32]; // cut at 31 characters
};

class SoundBank {
public:
    virtual ~SoundBank() = default;

    virtual int Init(HWND window, int32_t maxSamples);
    virtual SoundBankEntry* Load(const char* path, const char* soundName);
    virtual SoundBankEntry* Find(const char* soundName) const;
    virtual void Play(const char* soundName, int32_t volume, int32_t pan);
    virtual void Stop(const char* soundName);
    virtual void FreeAll();
    virtual void Shutdown();
    virtual void EnableMusic(int on);
    virtual void EnableSFX(int on);
    int32_t Count() const { return entries.Count(); }

private:
    PointerList<SoundBankEntry> entries;
};

extern SoundBank g_SoundBank;
extern ZQSound g_Sound; // the process-wide sound engine, defined by the sound library
