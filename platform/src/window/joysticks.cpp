#include "window/joysticks.h"

#include "ludora/harness_window.h"

#include <algorithm>
#include <mutex>

namespace ludora::window {

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<Joystick> all; // detached ones stay, so their GUIDs stay known
    int next_id = 1;
};

Registry& registry() {
    static Registry* instance = new Registry;
    return *instance;
}

Joystick* find(Registry& r, int id) {
    for (Joystick& j : r.all)
        if (j.id == id) return &j;
    return nullptr;
}

} // namespace

int joystick_attach(const std::string& name, int axes, int buttons, int povs, int sdl_instance) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    Joystick j;
    j.id = r.next_id++;
    j.sdl_instance = sdl_instance;
    j.name = name.substr(0, MAX_PATH - 1);
    j.axis_count = std::clamp(axes, 0, kJoystickAxes);
    j.button_count = std::clamp(buttons, 0, kJoystickButtons);
    j.pov_count = std::clamp(povs, 0, kJoystickPovs);
    r.all.push_back(j);
    return j.id;
}

void joystick_detach(int id) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (Joystick* j = find(r, id)) j->attached = false;
}

void joystick_set_axis(int id, int axis, int value) {
    if (axis < 0 || axis >= kJoystickAxes) return;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (Joystick* j = find(r, id)) j->axes[axis] = std::clamp(value, -32768, 32767);
}

void joystick_set_button(int id, int button, bool down) {
    if (button < 0 || button >= kJoystickButtons) return;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (Joystick* j = find(r, id)) j->buttons[button] = down;
}

void joystick_set_pov(int id, int pov, DWORD value) {
    if (pov < 0 || pov >= kJoystickPovs) return;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (Joystick* j = find(r, id)) j->povs[pov] = value;
}

int joystick_by_sdl_instance(int sdl_instance) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (const Joystick& j : r.all)
        if (j.attached && j.sdl_instance == sdl_instance) return j.id;
    return 0;
}

std::vector<Joystick> joysticks_attached() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    std::vector<Joystick> out;
    for (const Joystick& j : r.all)
        if (j.attached) out.push_back(j);
    return out;
}

bool joystick_by_id(int id, Joystick& out) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const Joystick* j = find(r, id);
    if (j) out = *j;
    return j != nullptr;
}

void joysticks_reset_virtual() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (Joystick& j : r.all)
        if (j.sdl_instance < 0) j.attached = false;
}

} // namespace ludora::window

using namespace ludora::window;

extern "C" {

int LudoraAttachJoystick(const char* name) {
    return joystick_attach(name ? name : "", kJoystickAxes, kJoystickButtons, 1, -1);
}

void LudoraSetJoystickAxis(int joystick, int axis, int value) {
    joystick_set_axis(joystick, axis, value);
}

void LudoraSetJoystickButton(int joystick, int button, int down) {
    joystick_set_button(joystick, button, down != 0);
}

void LudoraDetachJoystick(int joystick) {
    joystick_detach(joystick);
}

} // extern "C"
