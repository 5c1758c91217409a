// Picks the video driver: LUDORA_VIDEO=headless, or SDL with a fall-back to
// headless when no display can be opened.
#include "core/settings.h"
#include "window/driver.h"

#include <cstdio>

namespace ludora::window {

Driver& driver() {
    static Driver* chosen = [] {
#ifdef __EMSCRIPTEN__
        if (!settings::headless()) return make_web_driver();
#endif
        if (settings::headless()) return make_headless_driver();
#ifndef __EMSCRIPTEN__
        if (Driver* sdl = make_sdl_driver()) return sdl;
#endif
        std::fprintf(stderr, "ludora: no display available, running headless\n");
        return make_headless_driver();
    }();
    return *chosen;
}

} // namespace ludora::window

extern "C" const char* LudoraVideoDriverName(void) {
    return ludora::window::driver().name();
}
