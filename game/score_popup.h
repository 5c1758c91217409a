// The value of a find floating up from the piece for one second.
#pragma once

#include <cstdint>

#include "ui/pictures/sprite.h"

class ScorePopup : public Sprite {
public:
    // Pixels per second turned into pixels per frame at the measured frame rate.
    void Move() override;

    int32_t expiry = 0; // frame-clock time
};
