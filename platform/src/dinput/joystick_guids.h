// Joysticks as DirectInput names them: instance GUIDs numbered like Windows'
// joystick ids, over the window area's joystick registry.
#pragma once

#include "window/joysticks.h"

#include <windows.h>

namespace ludora::dinput {

using window::Joystick;
using window::kJoystickAxes;
using window::kJoystickButtons;
using window::kJoystickPovs;

GUID joystick_instance_guid(int id);
GUID joystick_product_guid();
// By instance GUID; false when no joystick ever had it.
bool joystick_find(const GUID& guid, Joystick& out);

} // namespace ludora::dinput
