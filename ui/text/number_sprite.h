// Numbers drawn with a digit sprite whose frames 0..9 show the digits.
#pragma once

#include <cstdint>

#include "ui/pictures/sprite.h"

// The launcher's page number: step = frameWidth / 10, the text ends at rightX.
void DrawPageNumber(Sprite& digits, int32_t number, int32_t rightX, int32_t y,
                    IDirectDrawSurface* target);

enum NumberAlign : int32_t { NumberFromLeft = 0, NumberLastAtX = 1, NumberCentred = 2 };

// The game's number sprite: align, spacing and zero-padding digits (-1: plain).
class NumberSprite : public Sprite {
public:
    virtual void DrawNumber(int32_t value, int32_t x, int32_t y, IDirectDrawSurface* target);

    int32_t align = NumberFromLeft;
    int32_t spacing = 0;
    int32_t digits = -1;
};
