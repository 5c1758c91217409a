// The layer's settings, all from the environment (LUDORA_*), read when asked.
#pragma once

#include <string>

namespace ludora::settings {

struct DesktopMode {
    int width;
    int height;
    int bpp;
};

// LUDORA_DESKTOP=WxHxBPP, else 1024x768 at 16 bits (5-6-5).
DesktopMode desktop();
// LUDORA_VIDEO=sdl|headless (default sdl).
bool headless();
// LUDORA_TIME_SCALE (default 1; read once, when the clock starts).
double time_scale();
// LUDORA_SEED: replaces every srand seed when set.
bool seed_override(unsigned& seed);
// LUDORA_HEADLESS_REFRESH=HZ: the headless driver presents at most HZ frames a
// second, as a display would; 0 (unset) for as fast as they come.
int headless_refresh();
// LUDORA_PACING=off: frames go out as fast as they come, every one converted
// and uploaded, and an idle program polls without waiting (for measuring what
// the pacing saves). On by default.
bool pacing();
// LUDORA_FRAME_LOG=FILE: the time of each of the first presentations, and of
// the process's start, written to FILE (empty when unset).
std::string frame_log();
// LUDORA_SCALE: whole window scale factor, 0 for "largest that fits".
int window_scale();
// LUDORA_AUDIO=none: no sound device at all.
bool audio_disabled();
// LUDORA_SHELL_RUN=1: the headless driver starts programs for real.
bool shell_run();
// File settings; empty when unset.
std::string audio_out();   // LUDORA_AUDIO_OUT
std::string shell_log();   // LUDORA_SHELL_LOG
std::string message_log(); // LUDORA_MESSAGE_LOG
std::string script();      // LUDORA_SCRIPT

std::string env(const char* name);

} // namespace ludora::settings
