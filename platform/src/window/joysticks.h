// The joysticks the layer knows: SDL's and the harness's virtual ones, in the
// order they were attached. Written by the SDL driver and the harness, read by
// DirectInput, from any thread. Like the keyboard and mouse state (input.h),
// this is the hardware as the user holds it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ludora::window {

constexpr int kJoystickAxes = 6;
constexpr int kJoystickButtons = 32;
constexpr int kJoystickPovs = 4;

struct Joystick {
    int id = 0;
    int sdl_instance = -1; // -1 for a virtual joystick
    std::string name;
    bool attached = true;
    int axis_count = 0;
    int button_count = 0;
    int pov_count = 0;
    int axes[kJoystickAxes] = {}; // raw -32768..32767
    bool buttons[kJoystickButtons] = {};
    DWORD povs[kJoystickPovs] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
};

int joystick_attach(const std::string& name, int axes, int buttons, int povs, int sdl_instance);
void joystick_detach(int id);
void joystick_set_axis(int id, int axis, int value);
void joystick_set_button(int id, int button, bool down);
void joystick_set_pov(int id, int pov, DWORD value);
int joystick_by_sdl_instance(int sdl_instance);
std::vector<Joystick> joysticks_attached();
// By id, attached or not; false when no joystick ever had it.
bool joystick_by_id(int id, Joystick& out);
void joysticks_reset_virtual();

} // namespace ludora::window
