#include "shell/sound_bank.h"

#include <cstring>
#include <new>

#include "shell/core/copy_text.h"

SoundBank g_SoundBank;

namespace {
constexpr int32_t FirstSampleId = 10;
}

int SoundBank::Init(HWND window, int32_t maxSamples) {
    for (SoundBankEntry* entry : entries) {
        delete entry;
    }
    entries.Clear();
    return g_Sound.Init(window, maxSamples);
}

SoundBankEntry* SoundBank::Load(const char* path, const char* soundName) {
    // Ids follow the bank's size, so they start again at 10 once it is emptied.
    const int32_t id = FirstSampleId + entries.Count();
    char fileName[256];
    CopyText(fileName, sizeof fileName, path);
    if (!g_Sound.LoadSample(fileName, static_cast<unsigned long>(id))) {
        return nullptr;
    }
    SoundBankEntry* entry = new (std::nothrow) SoundBankEntry{};
    if (!entry) {
        g_Sound.FreeSample(static_cast<unsigned long>(id));
        return nullptr;
    }
    entry->id = id;
    CopyText(entry->name, sizeof entry->name, soundName);
    if (!entries.Add(entry)) {
        g_Sound.FreeSample(static_cast<unsigned long>(id));
        delete entry;
        return nullptr;
    }
    return entry;
}

SoundBankEntry* SoundBank::Find(const char* soundName) const {
    if (!soundName) {
        return nullptr;
    }
    for (SoundBankEntry* entry : entries) {
        if (std::strcmp(entry->name, soundName) == 0) {
            return entry;
        }
    }
    return nullptr;
}

void SoundBank::Play(const char* soundName, int32_t volume, int32_t pan) {
    if (SoundBankEntry* entry = Find(soundName)) {
        g_Sound.PlaySample(entry->id, volume, pan);
    }
}

void SoundBank::Stop(const char* soundName) {
#ifndef ZQSOUND_LAUNCHER_BUILD
    if (SoundBankEntry* entry = Find(soundName)) {
        g_Sound.StopSample(entry->id);
    }
#else
    // The launcher's engine cannot stop one sample; the launcher never asks.
    (void)soundName;
#endif
}

void SoundBank::FreeAll() {
    for (SoundBankEntry* entry : entries) {
        g_Sound.FreeSample(static_cast<unsigned long>(entry->id));
        delete entry;
    }
    entries.Clear();
    g_Sound.StopStream();
    ZQSound::ClearSampleList();
}

void SoundBank::Shutdown() {
    FreeAll();
    g_Sound.Exit();
}

void SoundBank::EnableMusic(int on) {
    g_Sound.EnableMusic(on);
}

void SoundBank::EnableSFX(int on) {
    g_Sound.EnableSFX(on);
}
