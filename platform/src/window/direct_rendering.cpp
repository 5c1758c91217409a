#include "window/direct_rendering.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstring>
#include <dlfcn.h>

namespace ludora::window {

bool renders_directly(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 ||
        !info.info.x11.display)
        return true;
    // SDL has loaded Xlib already; the layer does not link it itself.
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib) return true;
    using QueryExtension = int (*)(Display*, const char*, int*, int*, int*);
    auto query = reinterpret_cast<QueryExtension>(dlsym(xlib, "XQueryExtension"));
    bool direct = true;
    if (query) {
        int opcode = 0, event = 0, error = 0;
        direct = query(info.info.x11.display, "DRI3", &opcode, &event, &error) != 0 ||
                 query(info.info.x11.display, "DRI2", &opcode, &event, &error) != 0;
    }
    dlclose(xlib);
    return direct;
#else
    (void)window;
    return true;
#endif
}

} // namespace ludora::window
