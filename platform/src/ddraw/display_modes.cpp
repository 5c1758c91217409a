#include "ddraw/display.h"

namespace ludora::video {

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

} // namespace ludora::video
