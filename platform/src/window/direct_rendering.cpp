#include "window/direct_rendering.h"

#include "window/x_display.h"

namespace ludora::window {

bool renders_directly(SDL_Window* window) {
    void* display = x_display_of(window);
    if (!display) return true;
    using QueryExtension = int (*)(void*, const char*, int*, int*, int*);
    const auto query = xlib_function<QueryExtension>("XQueryExtension");
    if (!query) return true;
    int opcode = 0, event = 0, error = 0;
    return query(display, "DRI3", &opcode, &event, &error) != 0 ||
           query(display, "DRI2", &opcode, &event, &error) != 0;
}

} // namespace ludora::window
