// Picks the video driver: LUDORA_VIDEO=headless, or SDL with a fall-back to
// headless when no display can be opened.
#include "core/settings.h"
#include "window/driver.h"

#include <cstdio>

namespace ludora::window {

Driver& driver() {
    static Driver* chosen = [] {
        if (settings::headless()) return make_headless_driver();
        if (Driver* sdl = make_sdl_driver()) return sdl;
        std::fprintf(stderr, "ludora: no display available, running headless\n");
        return make_headless_driver();
    }();
    return *chosen;
}

} // namespace ludora::window

extern "C" const char* LudoraVideoDriverName(void) {
    return ludora::window::driver().name();
}
