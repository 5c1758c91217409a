// The buttons of a message box by its MB_ type, as Windows lays them out.
#pragma once

#include <windows.h>

namespace ludora::window {

struct MessageBoxButton {
    int id;
    const char* label;
};

struct MessageBoxButtons {
    MessageBoxButton buttons[3];
    int count = 0;
    int default_index = 0; // MB_DEFBUTTONn, kept to the buttons there are
    int cancel_id = 0;     // what Escape or the close box answers; 0 when the box has no way out

    int default_id() const { return buttons[default_index].id; }
};

MessageBoxButtons message_box_buttons(UINT type);

} // namespace ludora::window
