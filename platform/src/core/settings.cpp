#include "core/settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ludora::settings {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

DesktopMode desktop() {
    DesktopMode mode{1024, 768, 16};
    const std::string text = env("LUDORA_DESKTOP");
    int w = 0, h = 0, bpp = 0;
    if (!text.empty() && std::sscanf(text.c_str(), "%dx%dx%d", &w, &h, &bpp) == 3 && w >= 320 &&
        h >= 200 && w <= 8192 && h <= 8192 &&
        (bpp == 8 || bpp == 15 || bpp == 16 || bpp == 24 || bpp == 32)) {
        mode = {w, h, bpp};
    }
    return mode;
}

bool headless() {
    return env("LUDORA_VIDEO") == "headless";
}

double time_scale() {
    const std::string text = env("LUDORA_TIME_SCALE");
    const double scale = text.empty() ? 1.0 : std::atof(text.c_str());
    return scale > 0.0 && scale <= 10000.0 ? scale : 1.0;
}

bool seed_override(unsigned& seed) {
    const std::string text = env("LUDORA_SEED");
    if (text.empty()) return false;
    seed = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

int window_scale() {
    const int scale = std::atoi(env("LUDORA_SCALE").c_str());
    return scale > 0 && scale <= 16 ? scale : 0;
}

int headless_refresh() {
    const int hz = std::atoi(env("LUDORA_HEADLESS_REFRESH").c_str());
    return hz > 0 && hz <= 1000 ? hz : 0;
}

bool pacing() {
    return env("LUDORA_PACING") != "off";
}

std::string frame_log() {
    return env("LUDORA_FRAME_LOG");
}

bool audio_disabled() {
    return env("LUDORA_AUDIO") == "none";
}
bool shell_run() {
    return env("LUDORA_SHELL_RUN") == "1";
}
std::string audio_out() {
    return env("LUDORA_AUDIO_OUT");
}
std::string shell_log() {
    return env("LUDORA_SHELL_LOG");
}
std::string message_log() {
    return env("LUDORA_MESSAGE_LOG");
}
std::string script() {
    return env("LUDORA_SCRIPT");
}

} // namespace ludora::settings
