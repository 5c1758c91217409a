// A press from the user's own hands lasts until the program has seen it. A
// touchpad tap or a quick key gives its press and release together; on
// Windows a real button stays down long enough to span a frame, and programs
// that sample the buttons or keys once per frame count on that. So the
// release of a button or key pressed on the hardware is held back until the
// program has presented a frame after the press and 30 ms of layer time have
// passed since it, whichever comes later; half a second at most, for a
// program that presents nothing meanwhile.
#pragma once

#include <cstdint>

namespace ludora::window {

class ReleaseHold {
public:
    // A press of a key (its DirectInput code) or a mouse button (0..3).
    static int key_id(int dik) { return dik & 0xFF; }
    static int button_id(int button) { return 256 + (button & 3); }

    // The press was applied while `frames` frames had been presented.
    void pressed(int id, uint64_t frames, uint64_t now_us);
    // Whether the release may be applied now.
    bool release_ready(int id, uint64_t frames, uint64_t now_us) const;
    void released(int id);
    void clear();

    static constexpr uint64_t kHeldUs = 30'000;
    static constexpr uint64_t kLongestUs = 500'000;

private:
    struct Press {
        bool held = false;
        uint64_t frames = 0;
        uint64_t at_us = 0;
    };
    Press presses_[260];
};

} // namespace ludora::window
