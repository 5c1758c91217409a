#include "window/keys.h"

#include <dinput.h>
#include <winuser.h>

#include <cstring>

namespace ludora::window {

namespace {

const KeyInfo kKeys[] = {
    {"ESCAPE", DIK_ESCAPE, VK_ESCAPE, VK_ESCAPE},
    {"1", DIK_1, '1', '1'},
    {"2", DIK_2, '2', '2'},
    {"3", DIK_3, '3', '3'},
    {"4", DIK_4, '4', '4'},
    {"5", DIK_5, '5', '5'},
    {"6", DIK_6, '6', '6'},
    {"7", DIK_7, '7', '7'},
    {"8", DIK_8, '8', '8'},
    {"9", DIK_9, '9', '9'},
    {"0", DIK_0, '0', '0'},
    {"OEM_MINUS", DIK_MINUS, VK_OEM_MINUS, VK_OEM_MINUS},
    {"OEM_PLUS", DIK_EQUALS, VK_OEM_PLUS, VK_OEM_PLUS},
    {"BACK", DIK_BACK, VK_BACK, VK_BACK},
    {"TAB", DIK_TAB, VK_TAB, VK_TAB},
    {"Q", DIK_Q, 'Q', 'Q'},
    {"W", DIK_W, 'W', 'W'},
    {"E", DIK_E, 'E', 'E'},
    {"R", DIK_R, 'R', 'R'},
    {"T", DIK_T, 'T', 'T'},
    {"Y", DIK_Y, 'Y', 'Y'},
    {"U", DIK_U, 'U', 'U'},
    {"I", DIK_I, 'I', 'I'},
    {"O", DIK_O, 'O', 'O'},
    {"P", DIK_P, 'P', 'P'},
    {"OEM_4", DIK_LBRACKET, VK_OEM_4, VK_OEM_4},
    {"OEM_6", DIK_RBRACKET, VK_OEM_6, VK_OEM_6},
    {"RETURN", DIK_RETURN, VK_RETURN, VK_RETURN},
    {"CONTROL", DIK_LCONTROL, VK_CONTROL, VK_LCONTROL},
    {"LCONTROL", DIK_LCONTROL, VK_CONTROL, VK_LCONTROL},
    {"A", DIK_A, 'A', 'A'},
    {"S", DIK_S, 'S', 'S'},
    {"D", DIK_D, 'D', 'D'},
    {"F", DIK_F, 'F', 'F'},
    {"G", DIK_G, 'G', 'G'},
    {"H", DIK_H, 'H', 'H'},
    {"J", DIK_J, 'J', 'J'},
    {"K", DIK_K, 'K', 'K'},
    {"L", DIK_L, 'L', 'L'},
    {"OEM_1", DIK_SEMICOLON, VK_OEM_1, VK_OEM_1},
    {"OEM_7", DIK_APOSTROPHE, VK_OEM_7, VK_OEM_7},
    {"OEM_3", DIK_GRAVE, VK_OEM_3, VK_OEM_3},
    {"SHIFT", DIK_LSHIFT, VK_SHIFT, VK_LSHIFT},
    {"LSHIFT", DIK_LSHIFT, VK_SHIFT, VK_LSHIFT},
    {"OEM_5", DIK_BACKSLASH, VK_OEM_5, VK_OEM_5},
    {"Z", DIK_Z, 'Z', 'Z'},
    {"X", DIK_X, 'X', 'X'},
    {"C", DIK_C, 'C', 'C'},
    {"V", DIK_V, 'V', 'V'},
    {"B", DIK_B, 'B', 'B'},
    {"N", DIK_N, 'N', 'N'},
    {"M", DIK_M, 'M', 'M'},
    {"OEM_COMMA", DIK_COMMA, VK_OEM_COMMA, VK_OEM_COMMA},
    {"OEM_PERIOD", DIK_PERIOD, VK_OEM_PERIOD, VK_OEM_PERIOD},
    {"OEM_2", DIK_SLASH, VK_OEM_2, VK_OEM_2},
    {"RSHIFT", DIK_RSHIFT, VK_SHIFT, VK_RSHIFT},
    {"MULTIPLY", DIK_MULTIPLY, VK_MULTIPLY, VK_MULTIPLY},
    {"MENU", DIK_LMENU, VK_MENU, VK_LMENU},
    {"LMENU", DIK_LMENU, VK_MENU, VK_LMENU},
    {"SPACE", DIK_SPACE, VK_SPACE, VK_SPACE},
    {"CAPITAL", DIK_CAPITAL, VK_CAPITAL, VK_CAPITAL},
    {"F1", DIK_F1, VK_F1, VK_F1},
    {"F2", DIK_F2, VK_F2, VK_F2},
    {"F3", DIK_F3, VK_F3, VK_F3},
    {"F4", DIK_F4, VK_F4, VK_F4},
    {"F5", DIK_F5, VK_F5, VK_F5},
    {"F6", DIK_F6, VK_F6, VK_F6},
    {"F7", DIK_F7, VK_F7, VK_F7},
    {"F8", DIK_F8, VK_F8, VK_F8},
    {"F9", DIK_F9, VK_F9, VK_F9},
    {"F10", DIK_F10, VK_F10, VK_F10},
    {"NUMLOCK", DIK_NUMLOCK, VK_NUMLOCK, VK_NUMLOCK},
    {"SCROLL", DIK_SCROLL, VK_SCROLL, VK_SCROLL},
    {"NUMPAD7", DIK_NUMPAD7, VK_NUMPAD7, VK_NUMPAD7},
    {"NUMPAD8", DIK_NUMPAD8, VK_NUMPAD8, VK_NUMPAD8},
    {"NUMPAD9", DIK_NUMPAD9, VK_NUMPAD9, VK_NUMPAD9},
    {"SUBTRACT", DIK_SUBTRACT, VK_SUBTRACT, VK_SUBTRACT},
    {"NUMPAD4", DIK_NUMPAD4, VK_NUMPAD4, VK_NUMPAD4},
    {"NUMPAD5", DIK_NUMPAD5, VK_NUMPAD5, VK_NUMPAD5},
    {"NUMPAD6", DIK_NUMPAD6, VK_NUMPAD6, VK_NUMPAD6},
    {"ADD", DIK_ADD, VK_ADD, VK_ADD},
    {"NUMPAD1", DIK_NUMPAD1, VK_NUMPAD1, VK_NUMPAD1},
    {"NUMPAD2", DIK_NUMPAD2, VK_NUMPAD2, VK_NUMPAD2},
    {"NUMPAD3", DIK_NUMPAD3, VK_NUMPAD3, VK_NUMPAD3},
    {"NUMPAD0", DIK_NUMPAD0, VK_NUMPAD0, VK_NUMPAD0},
    {"DECIMAL", DIK_DECIMAL, VK_DECIMAL, VK_DECIMAL},
    {"OEM_102", DIK_OEM_102, VK_OEM_102, VK_OEM_102},
    {"F11", DIK_F11, VK_F11, VK_F11},
    {"F12", DIK_F12, VK_F12, VK_F12},
    {"RCONTROL", DIK_RCONTROL, VK_CONTROL, VK_RCONTROL},
    {"DIVIDE", DIK_DIVIDE, VK_DIVIDE, VK_DIVIDE},
    {"SNAPSHOT", DIK_SYSRQ, VK_SNAPSHOT, VK_SNAPSHOT},
    {"RMENU", DIK_RMENU, VK_MENU, VK_RMENU},
    {"PAUSE", 0xC5, VK_PAUSE, VK_PAUSE},
    {"HOME", DIK_HOME, VK_HOME, VK_HOME},
    {"UP", DIK_UP, VK_UP, VK_UP},
    {"PRIOR", DIK_PRIOR, VK_PRIOR, VK_PRIOR},
    {"LEFT", DIK_LEFT, VK_LEFT, VK_LEFT},
    {"RIGHT", DIK_RIGHT, VK_RIGHT, VK_RIGHT},
    {"END", DIK_END, VK_END, VK_END},
    {"DOWN", DIK_DOWN, VK_DOWN, VK_DOWN},
    {"NEXT", DIK_NEXT, VK_NEXT, VK_NEXT},
    {"INSERT", DIK_INSERT, VK_INSERT, VK_INSERT},
    {"DELETE", DIK_DELETE, VK_DELETE, VK_DELETE},
    {"LWIN", DIK_LWIN, VK_LWIN, VK_LWIN},
    {"RWIN", DIK_RWIN, VK_RWIN, VK_RWIN},
    {"APPS", DIK_APPS, VK_APPS, VK_APPS},
};

// US layout: unshifted and shifted characters of the punctuation keys.
struct Punctuation {
    int vk;
    char plain, shifted;
};
const Punctuation kPunctuation[] = {
    {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
    {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},
};
const char kShiftedDigits[] = ")!@#$%^&*(";

} // namespace

const KeyInfo* key_by_name(const std::string& name) {
    for (const KeyInfo& k : kKeys)
        if (name == k.name) return &k;
    return nullptr;
}

const KeyInfo* key_by_dik(int dik) {
    for (const KeyInfo& k : kKeys)
        if (k.dik == dik) return &k;
    return nullptr;
}

const KeyInfo* key_by_vk(int vk) {
    for (const KeyInfo& k : kKeys)
        if (k.vk == vk || k.vk_specific == vk) return &k;
    return nullptr;
}

int char_for_key(int vk, bool shift, bool control) {
    if (vk >= 'A' && vk <= 'Z') {
        if (control) return vk - 'A' + 1;
        return shift ? vk : vk - 'A' + 'a';
    }
    if (control) return 0;
    if (vk >= '0' && vk <= '9') return shift ? kShiftedDigits[vk - '0'] : vk;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return '0' + vk - VK_NUMPAD0;
    switch (vk) {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return '\r';
    case VK_BACK:
        return 8;
    case VK_TAB:
        return '\t';
    case VK_ESCAPE:
        return 27;
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DECIMAL:
        return '.';
    case VK_DIVIDE:
        return '/';
    default:
        break;
    }
    for (const Punctuation& p : kPunctuation)
        if (p.vk == vk) return shift ? p.shifted : p.plain;
    return 0;
}

bool key_for_char(char c, int& vk, bool& shift) {
    if (c >= 'a' && c <= 'z') {
        vk = c - 'a' + 'A';
        shift = false;
        return true;
    }
    if (c >= 'A' && c <= 'Z') {
        vk = c;
        shift = true;
        return true;
    }
    if (c >= '0' && c <= '9') {
        vk = c;
        shift = false;
        return true;
    }
    if (const char* p = std::strchr(kShiftedDigits, c); p && c) {
        vk = '0' + static_cast<int>(p - kShiftedDigits);
        shift = true;
        return true;
    }
    shift = false;
    switch (c) {
    case ' ':
        vk = VK_SPACE;
        return true;
    case '\n':
    case '\r':
        vk = VK_RETURN;
        return true;
    case '\t':
        vk = VK_TAB;
        return true;
    default:
        break;
    }
    for (const Punctuation& p : kPunctuation) {
        if (p.plain == c || p.shifted == c) {
            vk = p.vk;
            shift = p.shifted == c;
            return true;
        }
    }
    return false;
}

} // namespace ludora::window
