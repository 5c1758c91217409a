// The window area's harness extras for tests.
#include "ludora/harness_window.h"

#include "window/driver.h"
#include "window/idle_wait.h"
#include "window/input.h"
#include "window/keys.h"
#include "window/present.h"
#include "window/script.h"
#include "window/window_system.h"

#include <cstring>

using namespace ludora::window;

extern "C" {

int LudoraRunScript(const char* text) {
    const int loaded = script_load(text ? text : "");
    wake_idle_wait();
    return loaded;
}

int LudoraScriptDone(void) {
    return script_done() ? 1 : 0;
}

void LudoraPostKey(int vk, int down) {
    if (const KeyInfo* key = key_by_vk(vk)) inject_key(key->dik, down != 0);
    wake_idle_wait();
}

void LudoraPostMouseMove(int x, int y) {
    inject_mouse_move(nullptr, x, y);
    wake_idle_wait();
}

void LudoraPostMouseButton(int button, int down) {
    inject_mouse_button(button, down != 0);
    wake_idle_wait();
}

void LudoraActivate(int active) {
    inject_activate(active != 0);
    wake_idle_wait();
}

void LudoraClose(void) {
    inject_close(nullptr);
    wake_idle_wait();
}

int LudoraLastFrameSize(int* width, int* height) {
    int w = 0, h = 0;
    const bool any = last_frame_size(w, h);
    if (width) *width = w;
    if (height) *height = h;
    return any ? 1 : 0;
}

unsigned LudoraIdleWaits(void) {
    return idle_waits();
}

void LudoraResetWindows(void) {
    reset_windows();
    reset_input();
    script_load("");
    forget_last_frame();
}

} // extern "C"
