#include "dinput/joystick_guids.h"

#include <dinput.h>

namespace ludora::dinput {

// Instance GUIDs derive from GUID_Joystick, numbered like Windows' joystick ids.
GUID joystick_instance_guid(int id) {
    GUID g = GUID_Joystick;
    g.Data1 += static_cast<DWORD>(id);
    return g;
}

GUID joystick_product_guid() {
    return GUID{0x4C554430, 0x0000, 0x0000, {0x00, 0x00, 0x50, 0x49, 0x44, 0x56, 0x49, 0x44}};
}

bool joystick_find(const GUID& guid, Joystick& out) {
    const GUID base = GUID_Joystick;
    GUID numbered = guid;
    const DWORD id = guid.Data1 - base.Data1;
    numbered.Data1 = base.Data1;
    // Joystick ids are small and start at 1.
    if (!(numbered == base) || id == 0 || id > 0xFFFF) return false;
    return window::joystick_by_id(static_cast<int>(id), out);
}

} // namespace ludora::dinput
