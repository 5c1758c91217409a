#include "ddraw/display.h"

#include "core/settings.h"

#include <mutex>

namespace ludora::video {

namespace {

std::mutex g_screen_mutex;
bool g_screen_set = false;
DisplayMode g_screen;

} // namespace

DisplayMode desktop_mode() {
    const settings::DesktopMode d = settings::desktop();
    return DisplayMode{d.width, d.height, format_for_depth(d.bpp)};
}

std::vector<DisplayMode> display_modes() {
    const DisplayMode desktop = desktop_mode();
    const PixelFormat high_colour = desktop.format.bits == 16 ? desktop.format : format_rgb565();
    // The low-resolution modes come first, as drivers list them (Mode X among them).
    static const int sizes[][2] = {{320, 200}, {320, 240},  {640, 400},  {640, 480},
                                   {800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}};
    std::vector<DisplayMode> modes;
    bool desktop_listed = false;
    for (const auto& size : sizes) {
        for (const PixelFormat& format : {format_indexed(8), high_colour, format_xrgb32()}) {
            DisplayMode mode{size[0], size[1], format};
            if (mode.width == desktop.width && mode.height == desktop.height &&
                mode.format == desktop.format) {
                desktop_listed = true;
            }
            modes.push_back(mode);
        }
    }
    if (!desktop_listed) modes.push_back(desktop);
    return modes;
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

} // namespace ludora::video
