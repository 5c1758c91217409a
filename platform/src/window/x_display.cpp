#include "window/x_display.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <dlfcn.h>

namespace ludora::window {

void* x_display_of(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    return info.info.x11.display;
#else
    (void)window;
    return nullptr;
#endif
}

void* xlib_function(const char* name) {
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib) return nullptr;
    void* function = dlsym(xlib, name);
    dlclose(xlib); // drops our reference only: SDL's holds the library
    return function;
}

} // namespace ludora::window
