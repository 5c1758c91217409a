// Keyboard tables: every physical key is named by its DirectInput code (the
// set-1 scan code, with 0x80 for the extended keys), which also gives the
// virtual-key codes and the scan code of Windows' key messages.
#pragma once

#include <string>

namespace ludora::window {

struct KeyInfo {
    const char* name; // virtual-key name without the VK_ prefix
    int dik;
    int vk;          // the code of WM_KEYDOWN/WM_KEYUP (VK_SHIFT for both shift keys)
    int vk_specific; // VK_LSHIFT and friends; equal to vk for the other keys
};

// The key of a script name ("ESCAPE", "A", "OEM_PERIOD", "LSHIFT"); null when unknown.
const KeyInfo* key_by_name(const std::string& name);
const KeyInfo* key_by_dik(int dik);
// The left-hand physical key for a virtual key (VK_SHIFT gives left shift).
const KeyInfo* key_by_vk(int vk);

// The character WM_CHAR carries for a key, US layout; 0 when it types none.
int char_for_key(int vk, bool shift, bool control);
// The key and shift state that type `c` on a US keyboard; false when none does.
bool key_for_char(char c, int& vk, bool& shift);

} // namespace ludora::window
