// Holds the process's stderr shut while the host's libraries look for a
// display or a sound device: the ones SDL tries (Wayland, ALSA, the sound
// servers' clients) print their own complaints when there is none, and the
// player hears about it in one line of ours instead.
#pragma once

namespace ludora {

class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};

} // namespace ludora
