#include "pixels/screen_mode.h"

#include "core/settings.h"

#include <mutex>

namespace ludora::pixels {

namespace {

std::mutex g_screen_mutex;
bool g_screen_set = false;
DisplayMode g_screen;

} // namespace

DisplayMode desktop_mode() {
    const settings::DesktopMode d = settings::desktop();
    return DisplayMode{d.width, d.height, format_for_depth(d.bpp)};
}

DisplayMode screen_mode() {
    std::lock_guard lock(g_screen_mutex);
    return g_screen_set ? g_screen : desktop_mode();
}

void set_screen_mode(const DisplayMode& mode) {
    std::lock_guard lock(g_screen_mutex);
    g_screen = mode;
    g_screen_set = true;
}

void reset_screen_mode() {
    std::lock_guard lock(g_screen_mutex);
    g_screen_set = false;
}

} // namespace ludora::pixels
